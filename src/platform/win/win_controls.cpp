#include "platform/win/win_controls.h"

#include <commctrl.h>

#include <cstdint>
#include <cwchar>
#include <iterator>
#include <string>
#include <utility>

#include "core/wide_text.h"

namespace kelmora {
namespace {

constexpr UINT kTwipsPerInch = 1440;
// A drop-down list opens below its box by this many boxes' heights.
constexpr int kDropDownBoxes = 8;
constexpr DWORD kTopLevelStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kTopLevelExStyle = WS_EX_CONTROLPARENT;

// Every top-level window's messages go to the handler its creation was given.
LRESULT CALLBACK HandOn(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* handler = reinterpret_cast<WindowMessages*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (handler == nullptr) return DefWindowProcW(window, message, wparam, lparam);
  return handler->OnMessage(window, message, wparam, lparam);
}

void Register(const wchar_t* class_name) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW known{};
  known.cbSize = sizeof(known);
  if (GetClassInfoExW(instance, class_name, &known)) return;
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = HandOn;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  window_class.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  window_class.lpszClassName = class_name;
  RegisterClassExW(&window_class);
}

// The desktop's UI font (the message boxes' font) at a DPI.
UniqueFont MessageFont(UINT dpi) {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof(metrics);
  if (!SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0, dpi)) {
    return UniqueFont(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
  }
  return UniqueFont(CreateFontIndirectW(&metrics.lfMessageFont));
}

BITMAPINFO TopDownInfo(int size) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = size;
  info.bmiHeader.biHeight = -size;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

}  // namespace

HWND CreateTopLevel(const wchar_t* class_name, std::string_view title, int width_twips,
                    int height_twips, WindowMessages& handler) {
  Register(class_name);
  HWND window = CreateWindowExW(kTopLevelExStyle, class_name, Wide(title).c_str(), kTopLevelStyle,
                                CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr, nullptr,
                                GetModuleHandleW(nullptr), &handler);
  const UINT dpi = GetDpiForWindow(window);
  RECT outer{0, 0, PixelsOfTwips(width_twips, dpi), PixelsOfTwips(height_twips, dpi)};
  AdjustWindowRectExForDpi(&outer, kTopLevelStyle, FALSE, kTopLevelExStyle, dpi);
  SetWindowPos(window, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return window;
}

void DestroyTopLevel(HWND window) {
  SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  DestroyWindow(window);
}

int PixelsOfTwips(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

WinControls::WinControls(HWND parent)
    : parent_(parent), font_(MessageFont(GetDpiForWindow(parent))) {}

WinControls::~WinControls() = default;

HWND WinControls::Add(const wchar_t* class_name, std::string_view text, DWORD style,
                      const TwipsBox& box, int id, DWORD ex_style) {
  HWND control = CreateWindowExW(
      ex_style, class_name, Wide(text).c_str(), style | WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
  placed_.push_back({control, box});
  Place(placed_.back(), GetDpiForWindow(parent_));
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
  return control;
}

void WinControls::Rescale() {
  const UINT dpi = GetDpiForWindow(parent_);
  font_ = MessageFont(dpi);
  for (const Placed& placed : placed_) {
    Place(placed, dpi);
    SendMessageW(placed.control, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), TRUE);
  }
}

// A combo box's height is its box's and its drop-down list's together.
void WinControls::Place(const Placed& placed, UINT dpi) const {
  wchar_t class_name[32] = {};
  GetClassNameW(placed.control, class_name, static_cast<int>(std::size(class_name)));
  const bool combo = _wcsicmp(class_name, WC_COMBOBOXW) == 0;
  const int height = placed.box.height * (combo ? kDropDownBoxes : 1);
  MoveWindow(placed.control, PixelsOfTwips(placed.box.left, dpi),
             PixelsOfTwips(placed.box.top, dpi), PixelsOfTwips(placed.box.width, dpi),
             PixelsOfTwips(height, dpi), TRUE);
}

void SetTabOrder(const std::vector<HWND>& chain) {
  for (std::size_t i = 1; i < chain.size(); ++i) {
    SetWindowPos(chain[i], chain[i - 1], 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

std::string TextOf(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

void SetText(HWND window, std::string_view text) {
  SetWindowTextW(window, Wide(text).c_str());
}

void DrawImage(HDC dc, const RECT& rect, const IconImage& image) {
  const BITMAPINFO info = TopDownInfo(IconImage::kSize);
  const int mode = SetStretchBltMode(dc, COLORONCOLOR);
  StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, 0, 0,
                IconImage::kSize, IconImage::kSize, image.argb.data(), &info, DIB_RGB_COLORS,
                SRCCOPY);
  SetStretchBltMode(dc, mode);
}

void WindowIcons::Set(HWND window, const IconImage& image) {
  const UINT dpi = GetDpiForWindow(window);
  const std::array<int, 2> sizes = {GetSystemMetricsForDpi(SM_CXSMICON, dpi),
                                    GetSystemMetricsForDpi(SM_CXICON, dpi)};
  const std::array<WPARAM, 2> kinds = {ICON_SMALL, ICON_BIG};
  for (std::size_t i = 0; i < icons_.size(); ++i) {
    OwnedIcon made = MakeIcon(image, sizes.at(i));
    SendMessageW(window, WM_SETICON, kinds.at(i), reinterpret_cast<LPARAM>(made.get()));
    icons_.at(i) = std::move(made);
  }
}

}  // namespace kelmora
