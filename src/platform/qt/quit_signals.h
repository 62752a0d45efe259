#pragma once
// Turns SIGTERM, SIGHUP and SIGINT into a call on the Qt thread, so that a logout, a shutdown or
// Ctrl+C runs the program's ordinary close path. The signal handler only writes one byte into a
// socket pair; a QSocketNotifier on the other end makes the call from the event loop.
// One object at a time; its destruction restores the handlers that were there before.

#include <QSocketNotifier>
#include <array>
#include <csignal>
#include <functional>
#include <memory>

namespace kelmora {

class QuitSignals {
 public:
  static constexpr std::array<int, 3> kSignals{SIGTERM, SIGHUP, SIGINT};

  explicit QuitSignals(std::function<void()> on_quit);
  ~QuitSignals();
  QuitSignals(const QuitSignals&) = delete;
  QuitSignals& operator=(const QuitSignals&) = delete;

 private:
  void Drain();

  std::function<void()> on_quit_;
  std::array<int, 2> sockets_{-1, -1};  // [0] read by the notifier, [1] written by the handler
  std::array<struct sigaction, kSignals.size()> previous_{};
  std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace kelmora
