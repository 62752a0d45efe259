// Kelmora: a tray clock with alarms; its Win32 start: the services, the main window and its
// behaviour, the message loop.

#include <windows.h>

#include <commctrl.h>

#include "app/form1.h"
#include "app/win/win_main_window.h"
#include "platform/system_clock.h"
#include "platform/win/win_app_paths.h"
#include "platform/win/win_dialogs.h"
#include "platform/win/win_notifier.h"
#include "platform/win/win_screen.h"
#include "platform/win/win_single_instance.h"
#include "platform/win/win_sound.h"
#include "platform/win/win_tick_timer.h"
#include "platform/win/win_tray.h"
#include "platform/win/win_window_frames.h"

namespace {

// The message loop; the dialog keys (Tab, the arrows, Enter) move about the window they are
// pressed in. Ends with the main window's close.
int RunMessages() {
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    HWND top = GetAncestor(message.hwnd, GA_ROOT);
    if (top != nullptr && IsDialogMessageW(top, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

int Run() {
  const kelmora::AppPaths paths = kelmora::WindowsAppPaths();
  kelmora::WinSingleInstance instance(paths.data_folder);
  if (!instance.TryBecomePrimary()) return 0;

  kelmora::SystemClock clock;
  kelmora::WinTickTimer timer;
  kelmora::WinTray tray;
  kelmora::WinSound sound;
  kelmora::WinNotifier notifier(tray);
  kelmora::WinMessageBoxes messages;
  kelmora::WinColorDialog colors;
  kelmora::WinFileDialog files;
  kelmora::WinScreen screen;
  kelmora::WinAppearance appearance;
  kelmora::WinWindowFrames frames;
  const kelmora::Services services{clock,      timer,  tray,  sound,  notifier, messages,
                                   appearance, colors, files, screen, frames,   paths};
  kelmora::WinMainWindow window(services);
  kelmora::Form1 form(services, window);
  window.Attach(form);

  instance.on_show_requested = [&form] { form.ShowFromTray(); };
  form.on_closed = [] { PostQuitMessage(0); };
  form.Load();
  const int code = RunMessages();
  form.SaveFiles();
  return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, PWSTR /*command_line*/,
                    int /*show*/) {
  const INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                      ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  return Run();
}
