#include "editor/win/win_editor_window.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>

#include "core/user_texts.h"
#include "core/wide_text.h"
#include "editor/editor_layout.h"
#include "editor/placement.h"
#include "render/clock_face.h"

namespace kelmora {
namespace {

namespace layout = EditorLayout;

constexpr wchar_t kClassName[] = L"KelmoraEditorWindow";
constexpr UINT_PTR kButtonWatch = 1;  // the subclass that reports Command1's mouse buttons

// The controls' ids; none is IDOK or IDCANCEL, which the dialog keys send.
enum ControlId : int {
  kList1Id = 100,
  kCommand1Id,
  kCheck1Id,
  kCheck2Id,
  kText2Id,
  kCombo1Id,
  kText3Id,
  kCommand2Id,
};

constexpr DWORD kBox = ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD kList = LBS_NOTIFY | LBS_WANTKEYBOARDINPUT | LBS_NOINTEGRALHEIGHT |
                        LBS_USETABSTOPS | WS_VSCROLL | WS_TABSTOP;
constexpr std::array<TwipsBox, 3> kTimeBoxes = {layout::kText1, layout::kText4, layout::kText5};
constexpr std::array<TwipsBox, 3> kSpinnerBoxes = {layout::kVScroll1, layout::kVScroll2,
                                                   layout::kVScroll3};
// A control's notification as one number, to be told apart in one switch.
constexpr int Key(int id, int code) {
  return id * 0x10000 + code;
}

// Each spinner's largest value, at its top end: hours 0..23, minutes and seconds 0..59.
constexpr std::array<int, 3> kSpinnerTops = {23, 59, 59};

// The frame around a window as Win32 has it: from its outer rectangle to its own area.
PixelMargins OwnFrame(HWND window) {
  RECT outer{};
  RECT area{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &area);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
  return {area.left - outer.left, area.top - outer.top, outer.right - area.right,
          outer.bottom - area.bottom};
}

PixelMargins FrameOf(HWND window, const WindowFrames& frames) {
  return frames.Reported(reinterpret_cast<NativeWindow>(window)).value_or(OwnFrame(window));
}

// A window's own area on the screen.
PixelRect AreaOf(HWND window) {
  RECT area{};
  GetClientRect(window, &area);
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
  return {area.left, area.top, area.right, area.bottom};
}

// Sets a box's text where it differs, so the caret of a box being typed into stays put.
void ShowText(HWND box, const std::string& text) {
  if (TextOf(box) != text) SetText(box, text);
}

std::optional<MouseButton> ButtonOf(UINT message) {
  if (message == WM_LBUTTONDOWN) return MouseButton::kLeft;
  if (message == WM_RBUTTONDOWN) return MouseButton::kRight;
  if (message == WM_MBUTTONDOWN) return MouseButton::kMiddle;
  return std::nullopt;
}

// Command1's mouse buttons, as they go down, to the editor; the button works on as ever.
LRESULT CALLBACK WatchButton(HWND button, UINT message, WPARAM wparam, LPARAM lparam,
                             UINT_PTR /*id*/, DWORD_PTR editor) {
  if (const auto pressed = ButtonOf(message)) {
    reinterpret_cast<Form2*>(editor)->Command1MouseDown(*pressed);
  }
  return DefSubclassProc(button, message, wparam, lparam);
}

// The tool tip of one control, its text set later.
HWND AddToolTip(HWND window, HWND control) {
  HWND tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = window;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<wchar_t*>(L"");
  SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  return tip;
}

// The spinner's value after a scroll request: the top end is the largest value, so the upper
// arrow (and a click above the thumb, and the Up key) raise it by one.
int SpunValue(int request, int value, int top, int track) {
  switch (request) {
    case SB_LINEUP:
    case SB_PAGEUP:
      return std::min(value + 1, top);
    case SB_LINEDOWN:
    case SB_PAGEDOWN:
      return std::max(value - 1, 0);
    case SB_TOP:
      return top;
    case SB_BOTTOM:
      return 0;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
      return top - track;
    default:
      return value;
  }
}

}  // namespace

WinEditorWindow::WinEditorWindow(Form2& editor, WindowFrames& frames, HWND main_window)
    : editor_(editor), frames_(frames), main_window_(main_window) {
  window_ = CreateTopLevel(kClassName, texts::kAlarm, layout::kWidth, layout::kHeight, *this);
  icons_.Set(window_, ProgramIcon());
  BuildControls();
  Render(editor_.State());  // a final class: its own, as it is being made
}

WinEditorWindow::~WinEditorWindow() {
  RemoveWindowSubclass(Command1, WatchButton, kButtonWatch);
  DestroyTopLevel(window_);
}

void WinEditorWindow::BuildControls() {
  controls_ = std::make_unique<WinControls>(window_);
  WinControls& add = *controls_;
  List1Box = add.Add(WC_LISTBOXW, "", kList, layout::kList1, kList1Id, WS_EX_CLIENTEDGE);
  add.Add(WC_STATICW, texts::kDueTime, SS_LEFTNOWORDWRAP, layout::kLabel1, 0);
  for (std::size_t i = 0; i < Times.size(); ++i) {
    Times.at(i) =
        add.Add(WC_EDITW, "00", kBox | WS_DISABLED, kTimeBoxes.at(i), 0, WS_EX_CLIENTEDGE);
    VScrolls.at(i) = add.Add(WC_SCROLLBARW, "", SBS_VERT | WS_TABSTOP, kSpinnerBoxes.at(i), 0);
    SetScrollRange(VScrolls.at(i), SB_CTL, 0, kSpinnerTops.at(i), FALSE);
  }
  Command1 = add.Add(WC_BUTTONW, texts::kSoundButton, BS_PUSHBUTTON | WS_TABSTOP, layout::kCommand1,
                     kCommand1Id);
  SetWindowSubclass(Command1, WatchButton, kButtonWatch, reinterpret_cast<DWORD_PTR>(&editor_));
  Command1Tip = AddToolTip(window_, Command1);
  BuildEntryControls();
  // The focus moves in the order of the window's table; labels take no focus and are left out.
  SetTabOrder({List1Box, Times[0], Text2, Check1, Text3, VScrolls[0], Times[1], VScrolls[1],
               Times[2], VScrolls[2], Command1, Command2, Combo1, Check2});
}

void WinEditorWindow::BuildEntryControls() {
  WinControls& add = *controls_;
  constexpr DWORD kCheck = BS_AUTOCHECKBOX | WS_TABSTOP;
  Check1 = add.Add(WC_BUTTONW, texts::kRepeat, kCheck, layout::kCheck1, kCheck1Id);
  Check2 = add.Add(WC_BUTTONW, texts::kCountLimit, kCheck, layout::kCheck2, kCheck2Id);
  Text2 = add.Add(WC_EDITW, "1", kBox | WS_DISABLED, layout::kText2, kText2Id, WS_EX_CLIENTEDGE);
  Combo1 = add.Add(WC_COMBOBOXW, "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_TABSTOP | WS_DISABLED,
                   layout::kCombo1, kCombo1Id);
  for (std::string_view item : kUnitItems) {
    SendMessageW(Combo1, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  }
  add.Add(WC_STATICW, texts::kEvery, SS_LEFTNOWORDWRAP, layout::kLabel2, 0);
  Text3 = add.Add(WC_EDITW, "1", kBox | WS_DISABLED, layout::kText3, kText3Id, WS_EX_CLIENTEDGE);
  add.Add(WC_STATICW, texts::kTimes, SS_LEFTNOWORDWRAP, layout::kLabel3, 0);
  Command2 = add.Add(WC_BUTTONW, texts::kRegister, BS_PUSHBUTTON | WS_TABSTOP, layout::kCommand2,
                     kCommand2Id);
}

void WinEditorWindow::Render(const EditorState& state) {
  showing_ = true;
  ShowText(Times[0], state.entry.hour);
  ShowText(Times[1], state.entry.minute);
  ShowText(Times[2], state.entry.second);
  for (std::size_t i = 0; i < VScrolls.size(); ++i) {
    SetScrollPos(VScrolls.at(i), SB_CTL, kSpinnerTops.at(i) - state.spinners.at(i), TRUE);
  }
  CheckDlgButton(window_, kCheck1Id, state.entry.repeat ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(window_, kCheck2Id, state.entry.count_limit ? BST_CHECKED : BST_UNCHECKED);
  ShowText(Text2, state.entry.interval);
  ShowText(Text3, state.entry.count);
  EnableWindow(Text2, state.IntervalEnabled() ? TRUE : FALSE);
  EnableWindow(Combo1, state.IntervalEnabled() ? TRUE : FALSE);
  EnableWindow(Text3, state.CountEnabled() ? TRUE : FALSE);
  ShowUnit(state);
  ShowSoundTip(state.SoundTip());
  ShowSelection(state.selected);
  showing_ = false;
}

// The unit box is narrow: it shows the start of its text, the letter a line takes.
void WinEditorWindow::ShowUnit(const EditorState& state) {
  if (SendMessageW(Combo1, CB_GETCURSEL, 0, 0) != state.entry.unit_item) {
    SendMessageW(Combo1, CB_SETCURSEL, static_cast<WPARAM>(state.entry.unit_item), 0);
  }
  if (TextOf(Combo1) != state.entry.unit) {
    SetText(Combo1, state.entry.unit);
    SendMessageW(Combo1, CB_SETEDITSEL, 0, MAKELPARAM(0, 0));
  }
}

void WinEditorWindow::ShowSelection(int row) {
  if (SendMessageW(List1Box, LB_GETCURSEL, 0, 0) != row) {
    SendMessageW(List1Box, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  }
}

void WinEditorWindow::ShowSoundTip(const std::string& tip) {
  std::wstring text = Wide(tip);
  TOOLINFOW tool{};
  tool.cbSize = sizeof(tool);
  tool.hwnd = window_;
  tool.uId = reinterpret_cast<UINT_PTR>(Command1);
  tool.lpszText = text.data();
  SendMessageW(Command1Tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void WinEditorWindow::ShowLines(const std::vector<std::string>& lines) {
  SendMessageW(List1Box, WM_SETREDRAW, FALSE, 0);
  SendMessageW(List1Box, LB_RESETCONTENT, 0, 0);
  for (const std::string& line : lines) {
    SendMessageW(List1Box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(line).c_str()));
  }
  SendMessageW(List1Box, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(List1Box, nullptr, TRUE);
}

void WinEditorWindow::InsertLine(int row, const std::string& line) {
  SendMessageW(List1Box, LB_INSERTSTRING, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(Wide(line).c_str()));
}

void WinEditorWindow::RemoveLine(int row) {
  SendMessageW(List1Box, LB_DELETESTRING, static_cast<WPARAM>(row), 0);
}

void WinEditorWindow::ShowOverMainWindow() {
  PlaceOverMainWindow();
  ShowWindow(window_, SW_SHOW);
}

void WinEditorWindow::Hide() {
  ShowWindow(window_, SW_HIDE);
}

// Its frame stands on the main window's; Win32 places a window by its outer corner.
void WinEditorWindow::PlaceOverMainWindow() {
  const PixelMargins main_frame = FrameOf(main_window_, frames_);
  const PixelMargins own = OwnFrame(window_);
  const PixelMargins frame =
      EditorFrame(frames_.Reported(reinterpret_cast<NativeWindow>(window_)), own, main_frame);
  const PixelRect area = AreaOf(window_);
  const PixelPoint at = EditorPosition(AreaOf(main_window_), main_frame,
                                       {area.right - area.left, area.bottom - area.top}, frame);
  SetWindowPos(window_, nullptr, at.x - own.left, at.y - own.top, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT WinEditorWindow::OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (Command(LOWORD(wparam), HIWORD(wparam))) return 0;
      break;
    case WM_VSCROLL:
      Spin(reinterpret_cast<HWND>(lparam), LOWORD(wparam), HIWORD(wparam));
      return 0;
    case WM_VKEYTOITEM:  // a key in the list: -2 when the editor took it, -1 for the list's own
      return editor_.List1KeyDown(LOWORD(wparam) == VK_DELETE ? kDeleteKey : 0) ? -2 : -1;
    case WM_DPICHANGED: {
      const auto* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top,
                   suggested->right - suggested->left, suggested->bottom - suggested->top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
      controls_->Rescale();
      return 0;
    }
    case WM_CLOSE:  // closing hands the editor's lines back to the main list; never refused
      editor_.Close();
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

// A control's notification to Form2; true when it was one.
bool WinEditorWindow::Command(int id, int code) {
  if (showing_) return true;  // the controls echo what Render set
  switch (Key(id, code)) {
    case Key(kList1Id, LBN_SELCHANGE):
      editor_.List1Click(static_cast<int>(SendMessageW(List1Box, LB_GETCURSEL, 0, 0)));
      return true;
    case Key(kCheck1Id, BN_CLICKED):
      editor_.Check1Click(IsDlgButtonChecked(window_, kCheck1Id) == BST_CHECKED);
      return true;
    case Key(kCheck2Id, BN_CLICKED):
      editor_.Check2Click(IsDlgButtonChecked(window_, kCheck2Id) == BST_CHECKED);
      return true;
    case Key(kCommand1Id, BN_CLICKED):
      editor_.Command1Click();
      return true;
    case Key(kCommand2Id, BN_CLICKED):
      editor_.Command2Click();
      return true;
    case Key(kText2Id, EN_CHANGE):
      editor_.TextChange(EntryText::kInterval, TextOf(Text2));
      return true;
    case Key(kText3Id, EN_CHANGE):
      editor_.TextChange(EntryText::kCount, TextOf(Text3));
      return true;
    case Key(kText2Id, EN_KILLFOCUS):
      editor_.LostFocus(EntryText::kInterval);
      return true;
    case Key(kText3Id, EN_KILLFOCUS):
      editor_.LostFocus(EntryText::kCount);
      return true;
    case Key(kCombo1Id, CBN_EDITCHANGE):
      editor_.TextChange(EntryText::kUnit, TextOf(Combo1));
      return true;
    case Key(kCombo1Id, CBN_SELCHANGE):
      editor_.UnitChosen(static_cast<int>(SendMessageW(Combo1, CB_GETCURSEL, 0, 0)));
      return true;
    default:
      return false;
  }
}

void WinEditorWindow::Spin(HWND bar, int request, int track) {
  const auto found = std::ranges::find(VScrolls, bar);
  if (found == VScrolls.end()) return;
  const auto part = static_cast<std::size_t>(found - VScrolls.begin());
  const int top = kSpinnerTops.at(part);
  const int value = top - GetScrollPos(bar, SB_CTL);
  const int spun = SpunValue(request, value, top, track);
  if (spun == value) return;
  SetScrollPos(bar, SB_CTL, top - spun, TRUE);
  editor_.SpinnerChange(static_cast<TimePart>(part), spun);
}

}  // namespace kelmora
