#include "platform/win/win_notifier.h"

#include <algorithm>

#include "core/wide_text.h"
#include "platform/win/hidden_window.h"
#include "platform/win/win_screen.h"

namespace kelmora {
namespace {

constexpr wchar_t kClassName[] = L"KelmoraAlarmNotification";
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;
constexpr DWORD kExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW;

// The window's measures in pixels at 96 DPI, as Windows' own dialogs have them.
constexpr int kMargin = 11;
constexpr int kBodyWidth = 300;  // the longest line before the body wraps
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonPadding = 16;
constexpr int kGap = 7;

// The message font of the system at dpi.
HFONT MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi)) {
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight =
        MulDiv(metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), 96);
  }
  return CreateFontIndirectW(&metrics.lfMessageFont);
}

void RegisterClassOnce(WNDPROC procedure) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = ThisModule();
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kClassName;
  RegisterClassExW(&window_class);  // fails harmlessly when registered before
}

HWND MakeChild(HWND parent, const wchar_t* window_class, const std::string& text, DWORD style,
               int id, HFONT font) {
  HWND child = CreateWindowExW(
      0, window_class, Wide(text).c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, parent,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ThisModule(), nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return child;
}

std::wstring TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// The size of text in the font selected into dc, wrapped at width.
PixelSize TextSize(HDC dc, const std::wstring& text, int width) {
  RECT rect{0, 0, width, 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect,
            DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
  return {static_cast<int>(rect.right), static_cast<int>(rect.bottom)};
}

// Pixels at 96 DPI as pixels at dpi.
int Scaled(int pixels, UINT dpi) {
  return MulDiv(pixels, static_cast<int>(dpi), 96);
}

}  // namespace

WinNotifier::WinNotifier(WinTray& tray) : tray_(tray) {
  RegisterClassOnce(&WinNotifier::Procedure);
}

WinNotifier::~WinNotifier() {
  Close();
}

void WinNotifier::Show(const std::string& summary, const std::string& body,
                       const std::vector<NotificationAction>& actions) {
  Close();
  window_ = CreateWindowExW(kExStyle, kClassName, Wide(summary).c_str(), kStyle, 0, 0, 0, 0,
                            nullptr, nullptr, ThisModule(), this);
  if (window_ == nullptr) return;
  font_ = MessageFont(GetDpiForWindow(window_));
  MakeControls(body, actions);
  Arrange();
}

void WinNotifier::MakeControls(const std::string& body,
                               const std::vector<NotificationAction>& actions) {
  body_ = MakeChild(window_, L"STATIC", body, SS_LEFT | SS_NOPREFIX, -1, font_);
  for (std::size_t index = 0; index < actions.size(); ++index) {
    const DWORD kind = index == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    const int id = kFirstButtonId + static_cast<int>(index);
    buttons_.push_back(
        MakeChild(window_, L"BUTTON", actions[index].label, WS_TABSTOP | kind, id, font_));
    keys_.push_back(actions[index].key);
  }
}

// The sizes of the body and the buttons for their texts in the window's font.
WinNotifier::Layout WinNotifier::Measure(UINT dpi) const {
  Layout layout;
  HDC dc = GetDC(window_);
  HGDIOBJ before = SelectObject(dc, font_);
  layout.body = TextSize(dc, TextOf(body_), Scaled(kBodyWidth, dpi));
  for (HWND button : buttons_) {
    const PixelSize text = TextSize(dc, TextOf(button), Scaled(kBodyWidth, dpi));
    const PixelSize size{
        std::max(Scaled(kButtonWidth, dpi), text.width + Scaled(kButtonPadding, dpi)),
        std::max(Scaled(kButtonHeight, dpi), text.height + Scaled(kGap, dpi))};
    layout.row.width += size.width + (layout.row.width > 0 ? Scaled(kGap, dpi) : 0);
    layout.row.height = std::max(layout.row.height, size.height);
    layout.buttons.push_back(size);
  }
  SelectObject(dc, before);
  ReleaseDC(window_, dc);
  return layout;
}

// Places the body over the row of buttons (right-aligned), and returns the client area's size.
PixelSize WinNotifier::PlaceControls(const Layout& layout, UINT dpi) const {
  const int margin = Scaled(kMargin, dpi);
  const int inner = std::max(layout.body.width, layout.row.width);
  MoveWindow(body_, margin, margin, inner, layout.body.height, FALSE);
  const int top = layout.body.height + 2 * margin;
  int left = margin + inner - layout.row.width;
  for (std::size_t index = 0; index < buttons_.size(); ++index) {
    const PixelSize size = layout.buttons[index];
    MoveWindow(buttons_[index], left, top, size.width, layout.row.height, FALSE);
    left += size.width + Scaled(kGap, dpi);
  }
  return {inner + 2 * margin, top + layout.row.height + margin};
}

// Sizes the window around its controls and shows it in the lower right corner of the work area
// without taking the focus.
void WinNotifier::Arrange() {
  const UINT dpi = GetDpiForWindow(window_);
  const PixelSize client = PlaceControls(Measure(dpi), dpi);
  RECT outer{0, 0, client.width, client.height};
  AdjustWindowRectExForDpi(&outer, kStyle, FALSE, kExStyle, dpi);
  const PixelRect area = WinScreen().WorkArea();
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  const int margin = Scaled(kMargin, dpi);
  SetWindowPos(window_, HWND_TOPMOST, area.right - width - margin, area.bottom - height - margin,
               width, height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void WinNotifier::Close() {
  if (window_ != nullptr) DestroyWindow(window_);
  window_ = nullptr;
  body_ = nullptr;
  buttons_.clear();
  keys_.clear();
  if (font_ != nullptr) DeleteObject(font_);
  font_ = nullptr;
}

void WinNotifier::Notice(const std::string& summary, const std::string& body) {
  tray_.Balloon(summary, body);
}

// The window goes before the key is reported: the handler may show the next notification.
void WinNotifier::OnButton(int id) {
  const int index = id - kFirstButtonId;
  if (index < 0 || index >= static_cast<int>(keys_.size())) return;
  const std::string key = keys_[static_cast<std::size_t>(index)];
  Close();
  if (on_action) on_action(key);
}

LRESULT CALLBACK WinNotifier::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<WinNotifier*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr && message == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    self->OnButton(LOWORD(wparam));
    return 0;
  }
  // Closed by the user (Alt+F4): no key is reported, and the window is gone.
  if (self != nullptr && message == WM_NCDESTROY && self->window_ == window) {
    self->window_ = nullptr;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace kelmora
