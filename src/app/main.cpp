// Kelmora: a tray clock with alarms.

#include <QApplication>
#include <QSessionManager>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/form1.h"
#include "app/qt_main_window.h"
#include "platform/display_choice.h"
#include "platform/qt/app_paths.h"
#include "platform/qt/process_sound.h"
#include "platform/qt/qt_dialogs.h"
#include "platform/qt/qt_notifier.h"
#include "platform/qt/qt_screen.h"
#include "platform/qt/qt_tick_timer.h"
#include "platform/qt/qt_tray.h"
#include "platform/qt/qt_window_frames.h"
#include "platform/qt/quit_signals.h"
#include "platform/qt/single_instance.h"
#include "platform/system_clock.h"

namespace {

constexpr const char* kUsage =
    "Usage: kelmora [--help | --version | -platform NAME]\n"
    "Kelmora is a clock with alarms that lives in the notification area (tray).\n"
    "It keeps its settings and alarms in $XDG_CONFIG_HOME/kelmora (~/.config/kelmora).\n"
    "\n"
    "  --help          show this help and exit\n"
    "  --version       show the version and exit\n"
    "  -platform NAME  show the windows through Qt's platform NAME (xcb, wayland...);\n"
    "                  by default X11 where there is an X server, even on Wayland\n";

// Answers --help and --version; refuses anything but Qt's platform choice. Returns the exit
// code, or -1 to run.
int HandleArguments(int argc, char** argv) {
  if (kelmora::OnlyPlatformArguments({argv + 1, argv + argc})) return -1;
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("kelmora %s\n", KELMORA_VERSION);
    return 0;
  }
  std::fprintf(stderr, "kelmora: unknown argument '%s'\n%s", argv[1], kUsage);
  return 2;
}

// The program proper, once the arguments have been answered.
int Run(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("kelmora"));
  QApplication::setApplicationVersion(QStringLiteral(KELMORA_VERSION));
  QApplication::setDesktopFileName(QStringLiteral("kelmora"));
  // The window hides in the tray and the editor may be the last window closed: the program ends
  // only when the main window closes.
  QApplication::setQuitOnLastWindowClosed(false);

  const kelmora::AppPaths paths = kelmora::DefaultAppPaths();
  kelmora::SingleInstance instance(paths.data_folder);
  if (!instance.TryBecomePrimary()) return 0;

  kelmora::SystemClock clock;
  kelmora::QtTickTimer timer;
  kelmora::QtTray tray;
  kelmora::ProcessSound sound(kelmora::DefaultSoundPlayerPath(), &QApplication::beep);
  kelmora::QtNotifier notifier;
  kelmora::QtMessageBoxes messages;
  kelmora::QtColorDialog colors;
  kelmora::QtFileDialog files;
  kelmora::QtScreen screen;
  kelmora::QtAppearance appearance;
  kelmora::QtWindowFrames frames;
  const kelmora::Services services{clock,      timer,  tray,  sound,  notifier, messages,
                                   appearance, colors, files, screen, frames,   paths};
  kelmora::QtMainWindow window(services);
  kelmora::Form1 form(services, window);
  window.Attach(form);

  instance.on_show_requested = [&form] { form.ShowFromTray(); };
  form.on_closed = [] { QApplication::quit(); };
  // Ending without the window closing (a signal, the session ending) writes the files too, and
  // waits for no one: what the save has to tell goes to the desktop's notifications. A signal
  // during the load step (a message box of it open) ends the program once it has read the files.
  bool quit_during_load = false;
  kelmora::QuitSignals quit_signals([&form, &quit_during_load] {
    form.EndWithoutWindow();
    if (!form.Loaded()) {
      quit_during_load = true;
      return;
    }
    form.SaveFiles();
    QApplication::quit();
  });
  // The session manager asks at every checkpoint and at a logout the user may still cancel: the
  // files are written and the program goes on as before.
  QObject::connect(
      &app, &QGuiApplication::commitDataRequest, &window,
      [&form](QSessionManager&) { form.SaveForSession(); }, Qt::DirectConnection);
  QObject::connect(&app, &QCoreApplication::aboutToQuit, &window, [&form] {
    form.EndWithoutWindow();
    form.SaveFiles();
  });

  form.Load();
  const int code = quit_during_load ? 0 : QApplication::exec();
  form.SaveFiles();
  // The last notices reach the desktop before the program goes.
  notifier.WaitForNotices();
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  if (const int code = HandleArguments(argc, argv); code >= 0) return code;
  const kelmora::EnvironmentReader environment = [](const char* name) { return std::getenv(name); };
  if (!kelmora::HasDisplay(environment, {argv + 1, argv + argc})) {
    std::fputs("kelmora: no display found (neither DISPLAY nor WAYLAND_DISPLAY is set)\n", stderr);
    return 1;
  }
  if (const auto platform = kelmora::PlatformToAskFor(environment, {argv + 1, argv + argc})) {
    qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(*platform));
  }
  const int code = Run(argc, argv);
  // The files are written by now and the sound players ended: the static destructors have
  // nothing left to do, and the program ends without them.
  std::fflush(nullptr);
  std::_Exit(code);
}
