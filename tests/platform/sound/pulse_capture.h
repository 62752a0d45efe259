#pragma once
// A private PulseAudio for the player's tests, as the integration tests use (tests/integration/
// lib.sh): its only sink writes into a pipe that this records, so a test hears what was played.
// The server's address goes into this process's environment, so it must be started before Qt
// Multimedia first connects. A missing pulseaudio fails the test: the real player is the thing
// under test.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

namespace kelmora::testing {

class PulseCapture {
 public:
  static constexpr double kBytesPerSecond = 44100 * 4;  // 16-bit stereo

  PulseCapture() {
    for (const char* sub : {"home", "runtime", "config/pulse"}) QDir(dir_.path()).mkpath(sub);
    QFile::setPermissions(Path("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    WriteFile("config/pulse/cookie", QByteArray(256, '\x5a'));
    WriteFile("client.conf", "autospawn = no\n");
    qputenv("PULSE_SERVER", ("unix:" + Path("pulse.sock")).toUtf8());
    qputenv("PULSE_COOKIE", Path("config/pulse/cookie").toUtf8());
    qputenv("PULSE_CLIENTCONFIG", Path("client.conf").toUtf8());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), Path("home"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Path("runtime"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path("config"));
    server_.setProcessEnvironment(env);
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.start(
        QStringLiteral("pulseaudio"),
        {"-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no", "--disallow-exit",
         "--disable-shm=yes", "-L",
         "module-pipe-sink sink_name=cap file=" + Path("sink.fifo") +
             " format=s16le rate=44100 channels=2 use_system_clock_for_timing=yes",
         "-L", "module-native-protocol-unix auth-anonymous=1 socket=" + Path("pulse.sock")});
    ready_ = server_.waitForStarted(5000) && QTest::qWaitFor(
                                                 [this] {
                                                   return QFile::exists(Path("pulse.sock")) &&
                                                          QFile::exists(Path("sink.fifo"));
                                                 },
                                                 10000);
    if (ready_) recorder_ = std::thread([this] { Record(); });
  }

  ~PulseCapture() {
    stop_ = true;
    if (recorder_.joinable()) recorder_.join();
    server_.terminate();
    if (!server_.waitForFinished(3000)) server_.kill();
    server_.waitForFinished(1000);
  }

  // True when the server runs; else the reason, for the failure message.
  ::testing::AssertionResult Ready() {
    if (ready_) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "no private PulseAudio (install pulseaudio): " << server_.errorString().toStdString()
           << " " << server_.readAll().toStdString();
  }

  // Seconds recorded so far.
  double Seconds() const {
    const std::lock_guard lock(mutex_);
    return static_cast<double>(raw_.size()) / kBytesPerSecond;
  }

  // The root mean square of the left channel between two moments of the recording, as a fraction
  // of full scale.
  double Rms(double from, double to) const {
    const std::lock_guard lock(mutex_);
    const auto frame = [&](double t) {
      return std::min(raw_.size() / 4, static_cast<std::size_t>(std::max(t, 0.0) * 44100));
    };
    double sum = 0;
    const std::size_t first = frame(from), last = frame(to);
    for (std::size_t i = first; i < last; ++i) {
      std::int16_t sample;
      std::memcpy(&sample, raw_.data() + 4 * i, 2);
      sum += static_cast<double>(sample) * sample;
    }
    return last > first ? std::sqrt(sum / static_cast<double>(last - first)) / 32768 : 0;
  }

 private:
  QString Path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

  void WriteFile(const char* name, const QByteArray& bytes) const {
    QFile file(Path(name));
    if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  }

  void Record() {
    const int fd = ::open(Path("sink.fifo").toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK);
    char buffer[16384];
    while (fd >= 0 && !stop_) {
      pollfd wait{fd, POLLIN, 0};
      if (::poll(&wait, 1, 50) <= 0) continue;
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got <= 0) continue;
      const std::lock_guard lock(mutex_);
      raw_.append(buffer, static_cast<std::size_t>(got));
    }
    if (fd >= 0) ::close(fd);
  }

  QTemporaryDir dir_;
  QProcess server_;
  bool ready_ = false;
  std::thread recorder_;
  std::atomic<bool> stop_ = false;
  mutable std::mutex mutex_;
  std::string raw_;  // 16-bit stereo at 44100 Hz, as the sink played it
};

}  // namespace kelmora::testing
