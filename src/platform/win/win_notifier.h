#pragma once
// Notifications on Win32. The tray's balloons carry no buttons, so the ringing alarm's
// notification is a small topmost window of Kelmora's own in the lower right corner of the work
// area, above the tray: the summary as its title, the body, and a push button for each action.
// A button reports its key and closes the window. Notices are balloons from the tray icon; with
// no icon in the tray they are not shown. The window's text is in the system's message font at
// the window's DPI.

#include <windows.h>

#include <string>
#include <vector>

#include "platform/services.h"
#include "platform/win/win_tray.h"

namespace kelmora {

class WinNotifier : public Notifier {
 public:
  explicit WinNotifier(WinTray& tray);
  ~WinNotifier() override;  // takes the window away
  WinNotifier(const WinNotifier&) = delete;
  WinNotifier& operator=(const WinNotifier&) = delete;

  void Show(const std::string& summary, const std::string& body,
            const std::vector<NotificationAction>& actions) override;
  void Close() override;
  void Notice(const std::string& summary, const std::string& body) override;

  // The alarm's window while it is up, else null; for the tests.
  HWND Window() const { return window_; }
  // The first button's control id; the others follow.
  static constexpr int kFirstButtonId = 100;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  void MakeControls(const std::string& body, const std::vector<NotificationAction>& actions);
  struct Layout {
    PixelSize body;
    std::vector<PixelSize> buttons;
    PixelSize row;  // the buttons side by side
  };
  Layout Measure(UINT dpi) const;
  PixelSize PlaceControls(const Layout& layout, UINT dpi) const;
  void Arrange();
  void OnButton(int id);

  WinTray& tray_;
  HWND window_ = nullptr;
  HFONT font_ = nullptr;
  HWND body_ = nullptr;
  std::vector<HWND> buttons_;
  std::vector<std::string> keys_;  // of the buttons, in their order
};

}  // namespace kelmora
