#include "platform/sound/qt_sound.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cstdint>

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

class QtSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    testing::EnsureQApplication();
    ASSERT_TRUE(folder.isValid());
  }
  // Qt's sample cache deadlocks at process exit while a file is still loading, so every test
  // lets its sounds finish loading.
  void TearDown() override {
    for (const QSoundEffect* effect : {sound.AlarmEffect(), sound.ChimeEffect()}) {
      if (effect) {
        EXPECT_TRUE(
            QTest::qWaitFor([effect] { return effect->status() != QSoundEffect::Loading; }));
      }
    }
  }

  QString WriteFile(const char* name, const QByteArray& content) {
    QFile file(folder.filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
    return file.fileName();
  }

  bool LoadSettled() const {
    const QSoundEffect* effect = sound.AlarmEffect();
    return effect && effect->status() != QSoundEffect::Loading &&
           effect->status() != QSoundEffect::Null;
  }

  const QString alarm = QStringLiteral(KELMORA_BUILD_SHARE_DIR "/sounds/alarm.wav");
  QTemporaryDir folder;
  QtSound sound;
};

TEST_F(QtSoundTest, WhatIsNoWavFileGetsTheChimeAtOnce) {
  const std::string cases[] = {
      folder.filePath("missing.wav").toStdString(),
      WriteFile("notes.wav", "these are not sounds").toStdString(),
      folder.path().toStdString(),  // a folder
      "",
  };
  int expected = 0;
  for (const std::string& path : cases) {
    sound.Play(path);
    EXPECT_EQ(sound.ChimesStarted(), ++expected) << path;
    EXPECT_EQ(sound.AlarmEffect(), nullptr) << path;
  }
}

TEST_F(QtSoundTest, BrokenWavFallsBackToTheChimeEveryTime) {
  const QString broken = WriteFile("broken.wav", QByteArray("RIFF\x24\0\0\0WAVEjunkjunkjunk", 24));
  sound.Play(broken.toStdString());
  ASSERT_TRUE(QTest::qWaitFor([&] { return sound.ChimesStarted() == 1; }, 5000));
  sound.Play(broken.toStdString());
  EXPECT_TRUE(QTest::qWaitFor([&] { return sound.ChimesStarted() == 2; }, 5000));
}

TEST_F(QtSoundTest, PlayableFileNeedsNoChime) {
  sound.Play(alarm.toStdString());
  ASSERT_TRUE(QTest::qWaitFor([&] { return LoadSettled(); }, 5000));
  EXPECT_EQ(sound.AlarmEffect()->status(), QSoundEffect::Ready);
  EXPECT_EQ(sound.AlarmEffect()->source(), QUrl::fromLocalFile(alarm));
  EXPECT_EQ(sound.ChimesStarted(), 0);
}

TEST_F(QtSoundTest, NewCallReplacesTheSoundStillPlaying) {
  const QString missing = folder.filePath("missing.wav");
  sound.Play(missing.toStdString());  // the chime starts
  sound.Play(alarm.toStdString());    // and gives way to the alarm
  ASSERT_TRUE(QTest::qWaitFor([&] { return LoadSettled(); }, 5000));
  EXPECT_EQ(sound.AlarmEffect()->source(), QUrl::fromLocalFile(alarm));
  EXPECT_EQ(sound.AlarmEffect()->status(), QSoundEffect::Ready);
}

TEST_F(QtSoundTest, AWavCutAfterItsHeaderGetsTheChimeAtOnce) {
  QFile whole(alarm);
  ASSERT_TRUE(whole.open(QIODevice::ReadOnly));
  const QString cut = WriteFile("cut.wav", whole.read(44));
  sound.Play(cut.toStdString());
  EXPECT_EQ(sound.ChimesStarted(), 1);
  EXPECT_EQ(sound.AlarmEffect(), nullptr);
}

}  // namespace
}  // namespace kelmora
