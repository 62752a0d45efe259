#include "platform/win/win_tray.h"

#include <shellapi.h>

#include "core/code_page.h"
#include "core/wide_text.h"

namespace kelmora {
namespace {

constexpr UINT kIconId = 1;

// Copies text into a fixed field of a shell structure, cut to fit with its NUL, never between
// the two halves of a surrogate pair.
template <std::size_t N>
void CopyCut(std::wstring_view text, wchar_t (&field)[N]) {
  std::size_t length = text.copy(field, N - 1);
  if (length > 0 && length < text.size() && IS_HIGH_SURROGATE(field[length - 1])) --length;
  field[length] = L'\0';
}

std::wstring TrayTip(const std::string& tip) {
  return Wide(CutToCodePageBytes(tip, kTrayTipBytes));
}

}  // namespace

WinTray::WinTray()
    : window_(L"KelmoraTray", L"",
              [this](UINT message, WPARAM wparam, LPARAM lparam) {
                return OnMessage(message, wparam, lparam);
              }),
      taskbar_created_(RegisterWindowMessageW(L"TaskbarCreated")) {}

WinTray::~WinTray() {
  Remove();
}

NOTIFYICONDATAW WinTray::Data(UINT flags) const {
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window_.Handle();
  data.uID = kIconId;
  data.uFlags = flags;
  data.uCallbackMessage = kCallbackMessage;
  data.hIcon = icon_.get();
  CopyCut(tip_, data.szTip);
  return data;
}

void WinTray::Add(const IconImage& icon, const std::string& tip) {
  present_ = true;
  if (shown_) {
    Modify(icon, tip);
    return;
  }
  image_ = icon;
  tip_ = TrayTip(tip);
  icon_ = MakeIcon(image_, SmallIconSize());
  ShowIcon();
}

void WinTray::ShowIcon() {
  NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
  shown_ = Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
  ++shell_updates_;
}

void WinTray::Modify(const IconImage& icon, const std::string& tip) {
  if (!present_) return;
  std::wstring wide_tip = TrayTip(tip);
  if (icon == image_ && wide_tip == tip_) return;
  if (icon != image_) icon_ = MakeIcon(icon, SmallIconSize());
  image_ = icon;
  tip_ = std::move(wide_tip);
  NOTIFYICONDATAW data = Data(NIF_ICON | NIF_TIP);
  Shell_NotifyIconW(NIM_MODIFY, &data);
  ++shell_updates_;
}

void WinTray::Remove() {
  present_ = false;
  if (!shown_) return;
  NOTIFYICONDATAW data = Data(0);
  Shell_NotifyIconW(NIM_DELETE, &data);
  shown_ = false;
}

void WinTray::Balloon(const std::string& title, const std::string& text) {
  if (!shown_) return;
  NOTIFYICONDATAW data = Data(NIF_INFO);
  CopyCut(Wide(title), data.szInfoTitle);
  CopyCut(Wide(text), data.szInfo);
  data.dwInfoFlags = NIIF_INFO | NIIF_NOSOUND;  // the alarm sounds by itself
  Shell_NotifyIconW(NIM_MODIFY, &data);
}

std::optional<LRESULT> WinTray::OnMessage(UINT message, WPARAM, LPARAM lparam) {
  if (message == kCallbackMessage) {
    const UINT mouse = LOWORD(lparam);
    if (mouse == WM_LBUTTONUP) Report(TrayMouse::kLeftUp);
    if (mouse == WM_RBUTTONUP) Report(TrayMouse::kRightUp);
    return 0;
  }
  if (message == taskbar_created_ && taskbar_created_ != 0) {
    if (present_) ShowIcon();  // the new taskbar holds no icon of ours
    return 0;
  }
  return std::nullopt;
}

void WinTray::Report(TrayMouse what) {
  if (on_mouse) on_mouse(what);
}

}  // namespace kelmora
