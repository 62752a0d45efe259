#pragma once
// The notification-area icon over Shell_NotifyIconW: one icon (id 1) on a hidden window of the
// tray's own, which hears the icon's mouse messages and Explorer's "TaskbarCreated" (the taskbar
// made anew after Explorer restarted, when the icon is added again). The icon is made from the
// 16x16 image at the small-icon size; the tip is cut where its CP932 form would pass 63 bytes.
// Icon and tip go to the shell only when they changed.

#include <windows.h>
#include <shellapi.h>

#include <string>

#include "platform/services.h"
#include "platform/win/hidden_window.h"
#include "platform/win/win_icon.h"

namespace kelmora {

class WinTray : public TrayService {
 public:
  WinTray();
  ~WinTray() override;  // takes the icon away: none is left behind in the notification area
  WinTray(const WinTray&) = delete;
  WinTray& operator=(const WinTray&) = delete;

  void Add(const IconImage& icon, const std::string& tip) override;
  void Modify(const IconImage& icon, const std::string& tip) override;
  void Remove() override;

  // Shows a balloon from the icon (title and text, no buttons); without an icon nothing happens.
  void Balloon(const std::string& title, const std::string& text);

  // The message the icon's mouse messages come in, the mouse message in its LPARAM.
  static constexpr UINT kCallbackMessage = WM_APP + 1;
  // The hidden window that owns the icon.
  HWND Window() const { return window_.Handle(); }
  // Whether the shell took the icon when it was last added.
  bool Shown() const { return shown_; }
  // How often an icon or tip went to the shell; for the tests (the program never asks).
  int ShellUpdates() const { return shell_updates_; }

 private:
  std::optional<LRESULT> OnMessage(UINT message, WPARAM wparam, LPARAM lparam);
  void ShowIcon();
  void Report(TrayMouse what);
  NOTIFYICONDATAW Data(UINT flags) const;

  HiddenWindow window_;
  UINT taskbar_created_ = 0;  // the registered "TaskbarCreated" message
  bool present_ = false;      // added, not removed since
  bool shown_ = false;        // in the notification area, as far as the shell said
  IconImage image_{};
  std::wstring tip_;
  OwnedIcon icon_;
  int shell_updates_ = 0;
};

}  // namespace kelmora
