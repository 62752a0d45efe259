#include "platform/qt/quit_signals.h"

#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace kelmora {
namespace {

// A signal handler reaches no object, only static storage: this is the write end of the live
// QuitSignals' socket pair, -1 while there is none.
std::atomic<int> signal_write_end{-1};

extern "C" void WriteSignalByte(int signal_number) {
  const int saved_errno = errno;
  const int fd = signal_write_end.load();
  if (fd >= 0) {
    const char byte = static_cast<char>(signal_number);
    [[maybe_unused]] const ssize_t written = ::write(fd, &byte, 1);
  }
  errno = saved_errno;
}

}  // namespace

QuitSignals::QuitSignals(std::function<void()> on_quit) : on_quit_(std::move(on_quit)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, sockets_.data()) != 0) {
    std::fprintf(stderr, "kelmora: no socket pair for ending signals: %s\n", std::strerror(errno));
    return;
  }
  signal_write_end.store(sockets_[1]);
  notifier_ = std::make_unique<QSocketNotifier>(sockets_[0], QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { Drain(); });

  struct sigaction action {};
  action.sa_handler = WriteSignalByte;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    ::sigaction(kSignals[i], &action, &previous_[i]);
  }
}

QuitSignals::~QuitSignals() {
  if (sockets_[0] < 0) return;
  for (std::size_t i = 0; i < kSignals.size(); ++i) {
    ::sigaction(kSignals[i], &previous_[i], nullptr);
  }
  signal_write_end.store(-1);
  notifier_.reset();
  ::close(sockets_[0]);
  ::close(sockets_[1]);
}

void QuitSignals::Drain() {
  char bytes[16];
  while (::read(sockets_[0], bytes, sizeof bytes) > 0) {
  }
  if (on_quit_) on_quit_();
}

}  // namespace kelmora
