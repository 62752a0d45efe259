#include "platform/qt/process_sound.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/sound/player_protocol.h"

namespace kelmora {
namespace {

// The player's signals as they are for any new program: none blocked, none ignored that matter.
void ResetSignals(posix_spawnattr_t& attributes) {
  sigset_t none;
  sigemptyset(&none);
  posix_spawnattr_setsigmask(&attributes, &none);
  sigset_t defaults;
  sigemptyset(&defaults);
  for (const int signal_number : {SIGPIPE, SIGTERM, SIGHUP, SIGINT, SIGCHLD}) {
    sigaddset(&defaults, signal_number);
  }
  posix_spawnattr_setsigdefault(&attributes, &defaults);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
}

// A descriptor that becomes readable when the process ends (glibc 2.36's <sys/pidfd.h> cannot be
// included from C++).
int OpenProcessDescriptor(pid_t pid) {
  return static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
}

}  // namespace

ProcessSound::ProcessSound(QString player, std::function<void()> beep)
    : player_path_(std::move(player)), beep_(std::move(beep)) {
  start_limit_.setSingleShot(true);
  start_limit_.setInterval(kStartLimitMs);
  connect(&start_limit_, &QTimer::timeout, this, &ProcessSound::OnStartLimit);
  beep_over_.setSingleShot(true);
  beep_over_.setInterval(0);
  connect(&beep_over_, &QTimer::timeout, this, &ProcessSound::Finish);
}

ProcessSound::~ProcessSound() {
  for (auto& [pid, player] : players_) ::kill(pid, SIGKILL);
  const QDeadlineTimer deadline(kShutdownLimitMs);
  for (auto& [pid, player] : players_) {
    while (::waitpid(pid, nullptr, WNOHANG) == 0 && !deadline.hasExpired()) QThread::msleep(5);
    Release(player);
  }
}

void ProcessSound::Play(const std::string& path) {
  StopCurrent();
  if (path.empty()) {
    Start({}, Kind::kChime);
  } else {
    Start(path, Kind::kAlarm);
  }
}

void ProcessSound::Stop() {
  StopCurrent();
}

void ProcessSound::Start(const std::string& file, Kind kind) {
  Player player;
  if (!Spawn(file, player)) {
    if (!told_no_player_) {
      std::fprintf(stderr, "kelmora: cannot start the sound player %s (%s); alarms beep instead\n",
                   qPrintable(player_path_), std::strerror(errno));
      told_no_player_ = true;
    }
    return BeepAndFinish();
  }
  const pid_t pid = player.pid;
  player.ended =
      std::make_unique<QSocketNotifier>(player.process_descriptor, QSocketNotifier::Read);
  connect(player.ended.get(), &QSocketNotifier::activated, this, [this, pid] { OnEnded(pid); });
  player.report =
      std::make_unique<QSocketNotifier>(player.report_descriptor, QSocketNotifier::Read);
  connect(player.report.get(), &QSocketNotifier::activated, this, [this, pid] { OnReport(pid); });
  players_.emplace(pid, std::move(player));
  current_ = pid;
  current_kind_ = kind;
  if (kind == Kind::kChime) ++chimes_started_;
  start_limit_.start();
}

// Starts the player for file (the chime when empty), its report pipe on kReportDescriptor.
bool ProcessSound::Spawn(const std::string& file, Player& player) {
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, report[1], player::kReportDescriptor);
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  ResetSignals(attributes);
  const QByteArray program = QFile::encodeName(player_path_);
  std::string parent = std::to_string(::getpid());
  std::string argument = file.empty() ? std::string(player::kChimeArgument) : file;
  std::vector<char*> argv{const_cast<char*>(program.constData()), parent.data(), argument.data(),
                          nullptr};
  pid_t pid = -1;
  const int failed =
      ::posix_spawn(&pid, program.constData(), &actions, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  ::close(report[1]);
  const int process_descriptor = failed == 0 ? OpenProcessDescriptor(pid) : -1;
  if (process_descriptor < 0) {
    const int error = failed != 0 ? failed : errno;
    if (failed == 0) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, nullptr, 0);
    }
    ::close(report[0]);
    errno = error;
    return false;
  }
  player.pid = pid;
  player.process_descriptor = process_descriptor;
  player.report_descriptor = report[0];
  return true;
}

void ProcessSound::StopCurrent() {
  start_limit_.stop();
  beep_over_.stop();
  if (current_ < 0) return;
  ::kill(current_, SIGKILL);  // reaped when its end is seen
  current_ = -1;
}

void ProcessSound::OnReport(pid_t pid) {
  Player& player = players_.at(pid);
  char bytes[16];
  const ssize_t got = ::read(player.report_descriptor, bytes, sizeof bytes);
  if (got <= 0) {
    player.report->setEnabled(false);  // the player closed its end: it is ending
    return;
  }
  if (pid == current_ && std::memchr(bytes, player::kBegunByte, static_cast<std::size_t>(got))) {
    start_limit_.stop();
  }
}

void ProcessSound::OnEnded(pid_t pid) {
  const auto found = players_.find(pid);
  if (found == players_.end()) return;
  int status = 0;
  if (::waitpid(pid, &status, WNOHANG) != pid) return;  // not quite gone yet
  Release(found->second);
  players_.erase(found);
  if (pid != current_) return;  // stopped or replaced: it no longer counts
  start_limit_.stop();
  current_ = -1;
  const int code = WIFEXITED(status) ? WEXITSTATUS(status) : player::kUnplayable;
  switch (code) {
    case player::kFinished:
      return Finish();
    case player::kNoOutput:
      return BeepAndFinish();
    case player::kNoModule:
    case player::kUsage:
      std::fprintf(stderr, "kelmora: the sound player %s could not play (exit status %d)\n",
                   qPrintable(player_path_), code);
      return BeepAndFinish();
    default:  // unplayable, or the player crashed on the file
      return FallBack(current_kind_);
  }
}

// The sound has not begun within its limit: it is let go, whatever holds it up.
void ProcessSound::OnStartLimit() {
  const Kind kind = current_kind_;
  StopCurrent();
  FallBack(kind);
}

void ProcessSound::FallBack(Kind failed) {
  if (failed == Kind::kAlarm) {
    Start({}, Kind::kChime);
  } else {
    BeepAndFinish();
  }
}

void ProcessSound::BeepAndFinish() {
  if (beep_) beep_();
  beep_over_.start();
}

void ProcessSound::Finish() {
  if (on_finished) on_finished();
}

void ProcessSound::Release(Player& player) {
  player.ended.reset();
  player.report.reset();
  if (player.process_descriptor >= 0) ::close(player.process_descriptor);
  if (player.report_descriptor >= 0) ::close(player.report_descriptor);
  player.process_descriptor = player.report_descriptor = -1;
}

QString DefaultSoundPlayerPath() {
  return QDir::cleanPath(QCoreApplication::applicationDirPath() +
                         QStringLiteral("/../" KELMORA_SOUND_PLAYER_PATH));
}

}  // namespace kelmora
