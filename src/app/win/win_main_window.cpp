#include "app/win/win_main_window.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "app/form1.h"
#include "app/main_window_layout.h"
#include "core/user_texts.h"
#include "core/wide_text.h"
#include "editor/win/win_editor_window.h"

namespace kelmora {
namespace {

namespace layout = MainWindowLayout;

constexpr wchar_t kClassName[] = L"KelmoraMainWindow";

// The controls' ids; none is IDOK or IDCANCEL, which the dialog keys send.
enum ControlId : int {
  kText1Id = 100,
  kCommand1Id,
  kCommand2Id,
  kCombo1Id,
  kCombo2Id,
  kLb1Id,  // the first of eight
};

constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
constexpr DWORD kModeList = CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP;

// A colour label's place: in its frame, １..４ in the first, ５..８ in the second.
TwipsBox LabelBox(int index) {
  const TwipsBox& frame = index < 4 ? layout::kFrame1 : layout::kFrame2;
  return {frame.left + layout::kLabelLefts.at(index % 4), frame.top + layout::kLabelTop,
          layout::kLabelWidth, layout::kLabelHeight};
}

// A mode list: its first entry, then the five digit modes (AddCmb).
HWND AddModeList(WinControls& controls, const TwipsBox& box, int id, const char* first) {
  HWND list = controls.Add(WC_COMBOBOXW, "", kModeList, box, id);
  SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(first).c_str()));
  for (const char* name : texts::kDigitModes) {
    SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  }
  return list;
}

}  // namespace

WinMainWindow::WinMainWindow(Services services) : services_(std::move(services)) {
  window_ = CreateTopLevel(kClassName, texts::kTitle, layout::kWidth, layout::kHeight, *this);
}

WinMainWindow::~WinMainWindow() {
  editor_window_.reset();
  DestroyTopLevel(window_);
}

// Made in the order the focus moves: the interval, 設定, ♪, the two mode lists. Each frame comes
// after its labels, below them, and leaves them unpainted.
void WinMainWindow::BuildControls() {
  controls_ = std::make_unique<WinControls>(window_);
  WinControls& add = *controls_;
  Picture1 = add.Add(WC_STATICW, "", SS_OWNERDRAW, layout::kPicture1, 0);
  Text1 = add.Add(WC_EDITW, "", ES_AUTOHSCROLL | WS_TABSTOP, layout::kText1, kText1Id,
                  WS_EX_CLIENTEDGE);
  add.Add(WC_STATICW, texts::kSeconds, SS_LEFTNOWORDWRAP, layout::kLabel1, 0);
  Command1 = add.Add(WC_BUTTONW, texts::kSet, kButton, layout::kCommand1, kCommand1Id);
  Command2 = add.Add(WC_BUTTONW, texts::kOpenEditor, kButton, layout::kCommand2, kCommand2Id);
  Combo1 = AddModeList(add, layout::kCombo1, kCombo1Id, texts::kAnalog);
  Combo2 = AddModeList(add, layout::kCombo2, kCombo2Id, texts::kNoLowerLine);
  for (int i = 0; i < 8; ++i) {
    Lb1.at(i) = add.Add(WC_STATICW, texts::kColourLabels.at(i), SS_CENTER | SS_NOTIFY, LabelBox(i),
                        kLb1Id + i);
  }
  for (const TwipsBox& frame : {layout::kFrame1, layout::kFrame2}) {
    add.Add(WC_STATICW, "", SS_ETCHEDFRAME | WS_CLIPSIBLINGS, frame, 0);
  }
}

void WinMainWindow::Render(const MainWindowState& state) {
  const MainWindowState before = std::exchange(state_, state);
  if (!controls_ || (controls_current_ && before == state_)) return;
  ShowState();
  controls_current_ = true;
}

// The controls take what changed; the labels take their colours as they paint.
void WinMainWindow::ShowState() {
  showing_ = true;
  if (TextOf(Text1) != state_.interval_text) SetText(Text1, state_.interval_text);
  SendMessageW(Combo1, CB_SETCURSEL, state_.mode1, 0);
  SendMessageW(Combo2, CB_SETCURSEL, state_.mode2, 0);
  EnableWindow(Combo2, state_.lower_line_choosable ? TRUE : FALSE);
  for (HWND label : Lb1) InvalidateRect(label, nullptr, TRUE);
  if (preview_shown_ != state_.preview) {
    preview_shown_ = state_.preview;
    InvalidateRect(Picture1, nullptr, FALSE);
  }
  showing_ = false;
}

void WinMainWindow::SetIcon(const IconImage& icon) {
  icons_.Set(window_, icon);
}

EditorView& WinMainWindow::EditorWindow(Form2& editor) {
  if (!editor_window_) {
    editor_window_ = std::make_unique<WinEditorWindow>(editor, services_.frames, window_);
  }
  return *editor_window_;
}

bool WinMainWindow::Shown() const {
  return IsWindowVisible(window_) != FALSE;
}

void WinMainWindow::Hide() {
  ShowWindow(window_, SW_HIDE);
}

void WinMainWindow::Restore() {
  ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOWNORMAL);
  SetForegroundWindow(window_);
}

void WinMainWindow::KeepOnTop(bool on_top) {
  SetWindowPos(window_, on_top ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
}

void WinMainWindow::Raise() {
  SetWindowPos(window_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  SetForegroundWindow(window_);
}

PixelSize WinMainWindow::OuterSize() const {
  RECT outer{};
  GetWindowRect(window_, &outer);
  return {outer.right - outer.left, outer.bottom - outer.top};
}

void WinMainWindow::MoveOuterTo(int left, int top) {
  SetWindowPos(window_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT WinMainWindow::OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_WINDOWPOSCHANGING:  // about to show, by ShowWindow or SetWindowPos
      if ((reinterpret_cast<const WINDOWPOS*>(lparam)->flags & SWP_SHOWWINDOW) != 0 &&
          !controls_) {
        BuildControls();
      }
      break;
    case WM_WINDOWPOSCHANGED:  // shown: the alarm check stops; hidden: it runs again
      if ((reinterpret_cast<const WINDOWPOS*>(lparam)->flags & (SWP_SHOWWINDOW | SWP_HIDEWINDOW)) !=
              0 &&
          form_ != nullptr) {
        form_->WindowChanged();
      }
      break;
    case WM_SYSCOLORCHANGE:  // the button-face colour is the face's background
    case WM_THEMECHANGED:
      if (form_ != nullptr) form_->WindowChanged();
      break;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      if (controls_) controls_->Rescale();
      return 0;
    }
    case WM_COMMAND:
      if (form_ != nullptr && Command(LOWORD(wparam), HIWORD(wparam))) return 0;
      break;
    case WM_CTLCOLORSTATIC:
      return ColourLabel(reinterpret_cast<HDC>(wparam), reinterpret_cast<HWND>(lparam));
    case WM_DRAWITEM:  // Picture1
      DrawImage(reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)->hDC,
                reinterpret_cast<const DRAWITEMSTRUCT*>(lparam)->rcItem, state_.preview);
      return TRUE;
    case WM_SETCURSOR:  // a colour label is clicked: it shows the pointing hand
      if (std::ranges::find(Lb1, reinterpret_cast<HWND>(wparam)) != Lb1.end()) {
        SetCursor(LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      form_->CloseRequested();
      return 0;
    case WM_QUERYENDSESSION:
      SessionEnds(false);
      return TRUE;
    case WM_ENDSESSION:
      if (wparam != FALSE) SessionEnds(true);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// A control's notification to Form1; true when it was one.
bool WinMainWindow::Command(int id, int code) {
  if (id >= kLb1Id && id < kLb1Id + 8 && code == STN_CLICKED) {
    form_->Lb1Click(id - kLb1Id);
  } else if (id == kText1Id && code == EN_CHANGE && !showing_) {
    form_->IntervalEdited(TextOf(Text1));
  } else if (id == kCommand1Id && code == BN_CLICKED) {
    form_->Command1Click();
  } else if (id == kCommand2Id && code == BN_CLICKED) {
    form_->Command2Click();
  } else if ((id == kCombo1Id || id == kCombo2Id) && code == CBN_SELCHANGE) {
    const auto mode = static_cast<std::int16_t>(
        SendMessageW(id == kCombo1Id ? Combo1 : Combo2, CB_GETCURSEL, 0, 0));
    if (id == kCombo1Id) form_->Combo1Click(mode);
    if (id == kCombo2Id) form_->Combo2Click(mode);
  } else {
    return false;
  }
  return true;
}

// The colour labels' captions in their colours; every static on the button face.
LRESULT WinMainWindow::ColourLabel(HDC dc, HWND label) const {
  const auto found = std::ranges::find(Lb1, label);
  if (found != Lb1.end()) {
    const auto index = static_cast<std::size_t>(found - Lb1.begin());
    SetTextColor(dc, ToColorRef(state_.colours.at(index)));
  }
  SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
  return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

// The session asks (the files are written and the program goes on), or it ends: the program ends
// without its window, and writes its files while it still may.
void WinMainWindow::SessionEnds(bool ending) {
  if (form_ == nullptr) return;
  if (!ending) {
    form_->SaveForSession();
    return;
  }
  form_->EndWithoutWindow();
  form_->SaveFiles();
}

}  // namespace kelmora
