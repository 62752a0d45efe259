#include "platform/qt/process_sound.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdint>
#include <numbers>

#include "platform/sound/pulse_capture.h"
#include "platform/sound/sound_session.h"
#include "qt_app.h"

namespace kelmora {
namespace {

// What a test needs to know of a WAV file with the canonical 44-byte header.
struct WavFacts {
  bool riff_wave = false;
  int format = 0;
  int channels = 0;
  int sample_rate = 0;
  int bits = 0;
  std::vector<std::int16_t> samples;
};

int LittleEndian(const QByteArray& bytes, int at, int size) {
  int value = 0;
  for (int i = size - 1; i >= 0; --i)
    value = (value << 8) | static_cast<std::uint8_t>(bytes[at + i]);
  return value;
}

WavFacts ReadWav(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QByteArray bytes = file.readAll();
  WavFacts facts;
  if (bytes.size() < 44) return facts;
  facts.riff_wave = bytes.startsWith("RIFF") && bytes.mid(8, 8) == "WAVEfmt " &&
                    bytes.mid(36, 4) == "data" && LittleEndian(bytes, 4, 4) == bytes.size() - 8 &&
                    LittleEndian(bytes, 40, 4) == bytes.size() - 44;
  facts.format = LittleEndian(bytes, 20, 2);
  facts.channels = LittleEndian(bytes, 22, 2);
  facts.sample_rate = LittleEndian(bytes, 24, 4);
  facts.bits = LittleEndian(bytes, 34, 2);
  for (int at = 44; at + 1 < bytes.size(); at += 2) {
    facts.samples.push_back(static_cast<std::int16_t>(LittleEndian(bytes, at, 2)));
  }
  return facts;
}

struct SoundFileCase {
  const char* name;
  QString path;
  double min_seconds;
  double max_seconds;
};

void PrintTo(const SoundFileCase& c, std::ostream* out) {
  *out << c.name;
}

class SoundFileTest : public ::testing::TestWithParam<SoundFileCase> {};

TEST_P(SoundFileTest, IsAnAudibleWavEndingInSilence) {
  testing::EnsureQApplication();
  ASSERT_TRUE(QFile::exists(GetParam().path)) << GetParam().path.toStdString();
  const WavFacts wav = ReadWav(GetParam().path);
  EXPECT_TRUE(wav.riff_wave);
  EXPECT_EQ(wav.format, 1) << "PCM";
  EXPECT_EQ(wav.channels, 1);
  EXPECT_EQ(wav.sample_rate, 44100);
  EXPECT_EQ(wav.bits, 16);

  const double seconds = static_cast<double>(wav.samples.size()) / 44100;
  EXPECT_GE(seconds, GetParam().min_seconds);
  EXPECT_LE(seconds, GetParam().max_seconds);

  // The last 250 ms are silent: the player cuts the end of a sound.
  const std::size_t silence = 44100 / 4;
  ASSERT_GT(wav.samples.size(), silence);
  const auto tail = wav.samples.end() - static_cast<std::ptrdiff_t>(silence);
  EXPECT_TRUE(std::all_of(tail, wav.samples.end(), [](std::int16_t s) { return s == 0; }));

  int loudest = 0;
  for (std::int16_t s : wav.samples) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
  EXPECT_GT(loudest, 32767 / 4) << "clearly heard";
  EXPECT_LT(loudest, 32767) << "never clipped";
}

INSTANTIATE_TEST_SUITE_P(
    Sounds, SoundFileTest,
    ::testing::Values(SoundFileCase{"chime", QString::fromLatin1(kChimeResource), 0.5, 1.0},
                      SoundFileCase{"alarm",
                                    QStringLiteral(KELMORA_BUILD_SHARE_DIR "/sounds/alarm.wav"),
                                    1.6, 2.2}),
    [](const auto& info) { return std::string(info.param.name); });

// A WAV file of a 440 Hz tone at half of full scale. Its header says what the fields below say,
// true or not; the samples follow the true format (one channel of 44100 Hz unless said).
struct ToneWav {
  int format = 1;  // PCM; 3 is float
  int channels = 1;
  std::uint32_t rate = 44100;
  int bits = 16;
  double seconds = 1;
  std::uint32_t riff_size = 0;  // 0: the true sizes
  std::uint32_t data_size = 0;
};

QByteArray Little(std::uint32_t value, int bytes) {
  QByteArray out;
  for (int i = 0; i < bytes; ++i) out.append(static_cast<char>(value >> (8 * i)));
  return out;
}

QByteArray MakeWav(const ToneWav& wav) {
  QByteArray data;
  const auto frames = static_cast<int>(wav.seconds * 44100);
  for (int i = 0; i < frames * wav.channels; ++i) {
    const int frame = i / wav.channels;
    const double value = 0.5 * std::sin(2 * std::numbers::pi * 440 * frame / 44100);
    if (wav.format == 3) {
      const float sample = static_cast<float>(value);
      data.append(reinterpret_cast<const char*>(&sample), 4);
    } else if (wav.bits == 8) {
      data.append(static_cast<char>(std::lround(128 + 127 * value)));
    } else {
      const auto full = static_cast<std::int64_t>(std::lround(value * 2147483647.0));
      data.append(Little(static_cast<std::uint32_t>(full >> (32 - wav.bits)), wav.bits / 8));
    }
  }
  const int frame = wav.channels * wav.bits / 8;
  return "RIFF" + Little(wav.riff_size ? wav.riff_size : 36 + data.size(), 4) + "WAVEfmt " +
         Little(16, 4) + Little(wav.format, 2) + Little(wav.channels, 2) + Little(wav.rate, 4) +
         Little(wav.rate * frame, 4) + Little(frame, 2) + Little(wav.bits, 2) + "data" +
         Little(wav.data_size ? wav.data_size : data.size(), 4) + data;
}

// The real player processes, heard through a private PulseAudio.
class PlayerProcessTest : public ::testing::Test {
 protected:
  static testing::PulseCapture& Pulse() {
    static testing::PulseCapture pulse;
    return pulse;
  }

  void SetUp() override {
    testing::EnsureQApplication();
    ASSERT_TRUE(Pulse().Ready());
    ASSERT_TRUE(folder.isValid());
    sound.on_finished = [this] { ++finished; };
  }

  // Every sound's process ends once its sound is over.
  void TearDown() override {
    EXPECT_TRUE(QTest::qWaitFor([this] { return sound.PlayersRunning() == 0; }, 5000));
    EXPECT_EQ(beeps, 0) << "the private sound server is there";
  }

  QString WriteFile(const char* name, const QByteArray& content) {
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return file.fileName();
  }

  // Something was heard from the given moment of the recording until now.
  static bool HeardSince(double from) { return Pulse().Rms(from, Pulse().Seconds()) > 0.05; }

  bool WaitForFinished(int count) {
    return QTest::qWaitFor([&] { return finished == count; }, 5000);
  }

  const QString alarm = QStringLiteral(KELMORA_BUILD_SHARE_DIR "/sounds/alarm.wav");
  QTemporaryDir folder;
  int finished = 0;
  int beeps = 0;
  ProcessSound sound{QStringLiteral(KELMORA_BUILD_SOUND_PLAYER), [this] { ++beeps; }};
};

TEST_F(PlayerProcessTest, WhatIsNoWavFileGetsTheChimeAtOnce) {
  const std::string cases[] = {
      folder.filePath("missing.wav").toStdString(),
      WriteFile("notes.wav", "these are not sounds").toStdString(),
      folder.path().toStdString(),  // a folder
      "",
  };
  int expected = 0;
  for (const std::string& path : cases) {
    sound.Play(path);
    EXPECT_TRUE(QTest::qWaitFor([&] { return sound.ChimesStarted() == expected + 1; },
                                ProcessSound::kStartLimitMs / 2))
        << path;
    expected = sound.ChimesStarted();
  }
  EXPECT_TRUE(WaitForFinished(1)) << "only the last chime, the others were replaced";
}

TEST_F(PlayerProcessTest, BrokenWavFallsBackToTheChimeEveryTime) {
  const QString broken = WriteFile("broken.wav", QByteArray("RIFF\x24\0\0\0WAVEjunkjunkjunk", 24));
  sound.Play(broken.toStdString());
  ASSERT_TRUE(QTest::qWaitFor([&] { return sound.ChimesStarted() == 1; }, 5000));
  sound.Play(broken.toStdString());
  EXPECT_TRUE(QTest::qWaitFor([&] { return sound.ChimesStarted() == 2; }, 5000));
}

TEST_F(PlayerProcessTest, PlayableFileIsHeardToItsEndWithoutTheChime) {
  const double start = Pulse().Seconds();
  QElapsedTimer clock;
  clock.start();
  sound.Play(alarm.toStdString());
  ASSERT_TRUE(WaitForFinished(1));
  EXPECT_GE(clock.elapsed(), 1700) << "the alarm lasts 1.75 s";
  EXPECT_TRUE(HeardSince(start));
  EXPECT_EQ(sound.ChimesStarted(), 0);
}

TEST_F(PlayerProcessTest, NewCallReplacesTheSoundStillPlaying) {
  QElapsedTimer clock;
  clock.start();
  sound.Play(folder.filePath("missing.wav").toStdString());  // the chime starts
  sound.Play(alarm.toStdString());                           // and gives way to the alarm
  ASSERT_TRUE(WaitForFinished(1));
  EXPECT_GE(clock.elapsed(), 1700) << "the alarm's end, not the chime's";
  QTest::qWait(300);
  EXPECT_EQ(finished, 1);
}

TEST_F(PlayerProcessTest, StopSilencesTheSoundAtOnceAndReportsNoEnd) {
  sound.Play(WriteFile("long.wav", MakeWav({.seconds = 5})).toStdString());
  const double start = Pulse().Seconds();
  ASSERT_TRUE(QTest::qWaitFor([&] { return HeardSince(start); }, 2000));
  const double stop = Pulse().Seconds();
  sound.Stop();
  sound.Stop();  // nothing playing: no effect
  QTest::qWait(1000);
  EXPECT_LT(Pulse().Rms(stop + 0.5, stop + 1.0), 0.005);
  EXPECT_EQ(finished, 0);
}

struct HostileCase {
  const char* name;
  QByteArray bytes;
  bool chime;  // else the file's own sound
};

void PrintTo(const HostileCase& c, std::ostream* out) {
  *out << c.name;
}

class PlayerProcessHostileTest : public PlayerProcessTest,
                                 public ::testing::WithParamInterface<HostileCase> {};

TEST_P(PlayerProcessHostileTest, GivesTheChimeOrItsOwnSoundNeverSilence) {
  const double start = Pulse().Seconds();
  sound.Play(WriteFile("hostile.wav", GetParam().bytes).toStdString());
  ASSERT_TRUE(WaitForFinished(1));
  EXPECT_EQ(sound.ChimesStarted(), GetParam().chime ? 1 : 0);
  EXPECT_TRUE(HeardSince(start));
}

INSTANTIATE_TEST_SUITE_P(
    Files, PlayerProcessHostileTest,
    ::testing::Values(HostileCase{"cut_to_100_bytes", MakeWav({}).left(100), true},
                      HostileCase{"sizes_0xFFFFFFFF",
                                  MakeWav({.riff_size = 0xFFFFFFFF, .data_size = 0xFFFFFFFF}),
                                  false},
                      HostileCase{"rate_0xFFFFFFFF_8_channels_32_bits",
                                  MakeWav({.channels = 8, .rate = 0xFFFFFFFF, .bits = 32}), true},
                      HostileCase{"unsigned_8_bits", MakeWav({.bits = 8}), false},
                      HostileCase{"stereo_24_bits", MakeWav({.channels = 2, .bits = 24}), false},
                      HostileCase{"float", MakeWav({.format = 3, .bits = 32}), false}),
    [](const auto& info) { return std::string(info.param.name); });

// A pipe nobody writes to blocks whoever opens it, as a file on a disk that does not answer.
TEST_F(PlayerProcessTest, AFileThatDoesNotOpenGivesTheChimeAfterTheLimit) {
  const QString stuck = folder.filePath("stuck.wav");
  ASSERT_EQ(::mkfifo(stuck.toLocal8Bit().constData(), 0600), 0);
  QElapsedTimer clock;
  clock.start();
  sound.Play(stuck.toStdString());
  ASSERT_TRUE(QTest::qWaitFor([&] { return sound.ChimesStarted() == 1; }, 5000));
  EXPECT_GE(clock.elapsed(), ProcessSound::kStartLimitMs * 9 / 10) << "a coarse timer may be early";
  EXPECT_TRUE(WaitForFinished(1));
  // The player stuck in the pipe was ended: nobody opens it any more.
  EXPECT_LT(::open(stuck.toLocal8Bit().constData(), O_WRONLY | O_NONBLOCK), 0);
}

// A sound stuck in a file that does not open is ended by the next one, which plays at once.
TEST_F(PlayerProcessTest, ANewSoundEndsTheOneStuckBeforeIt) {
  const QString stuck = folder.filePath("stuck.wav");
  ASSERT_EQ(::mkfifo(stuck.toLocal8Bit().constData(), 0600), 0);
  sound.Play(stuck.toStdString());
  ASSERT_TRUE(QTest::qWaitFor([&] { return sound.PlayersRunning() == 1; }, 500));
  const double start = Pulse().Seconds();
  sound.Play(alarm.toStdString());
  EXPECT_TRUE(QTest::qWaitFor([&] { return sound.PlayersRunning() == 1; }, 1000))
      << "the stuck player is gone";
  ASSERT_TRUE(WaitForFinished(1));
  EXPECT_TRUE(HeardSince(start));
  EXPECT_EQ(sound.ChimesStarted(), 0);
}

TEST_F(PlayerProcessTest, AWavCutAfterItsHeaderGetsTheChimeAtOnce) {
  QFile whole(alarm);
  ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
  const QString cut = WriteFile("cut.wav", whole.read(44));
  sound.Play(cut.toStdString());
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return sound.ChimesStarted() == 1; }, ProcessSound::kStartLimitMs / 2));
}

}  // namespace
}  // namespace kelmora
