#pragma once
// platform/win/: the services of services.h over Win32; uses platform/ and core/.
// A hidden top-level window that hands its messages to a handler: what the services hang their
// timers, tray notifications and broadcasts on. It is top-level and unowned, not message-only,
// so that broadcasts (WM_TIMECHANGE, WM_POWERBROADCAST, "TaskbarCreated") reach it too.

#include <windows.h>

#include <functional>
#include <optional>

namespace kelmora {

class HiddenWindow {
 public:
  // The handler's answer to a message, or nullopt for the default handling.
  using Handler = std::function<std::optional<LRESULT>(UINT message, WPARAM wparam, LPARAM lparam)>;

  // class_name: the window class, registered on first use; title: the window's name (FindWindowW
  // finds it by both).
  HiddenWindow(const wchar_t* class_name, const wchar_t* title, Handler handler);
  ~HiddenWindow();
  HiddenWindow(const HiddenWindow&) = delete;
  HiddenWindow& operator=(const HiddenWindow&) = delete;

  HWND Handle() const { return window_; }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

  Handler handler_;
  HWND window_ = nullptr;
};

// This program's module: where its window classes and resources belong.
HINSTANCE ThisModule();

}  // namespace kelmora
