#include "platform/win/hidden_window.h"

namespace kelmora {

HINSTANCE ThisModule() {
  return GetModuleHandleW(nullptr);
}

HiddenWindow::HiddenWindow(const wchar_t* class_name, const wchar_t* title, Handler handler)
    : handler_(std::move(handler)) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &HiddenWindow::Procedure;
  window_class.hInstance = ThisModule();
  window_class.lpszClassName = class_name;
  RegisterClassExW(&window_class);  // fails harmlessly when registered before
  window_ = CreateWindowExW(WS_EX_TOOLWINDOW, class_name, title, WS_POPUP, 0, 0, 0, 0, nullptr,
                            nullptr, ThisModule(), this);
}

HiddenWindow::~HiddenWindow() {
  if (window_ == nullptr) return;
  SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  DestroyWindow(window_);
}

LRESULT CALLBACK HiddenWindow::Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<HiddenWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self != nullptr && self->handler_) {
    if (const std::optional<LRESULT> answer = self->handler_(message, wparam, lparam)) {
      return *answer;
    }
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace kelmora
