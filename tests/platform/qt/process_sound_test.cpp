#include "platform/qt/process_sound.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTest>

#include "qt_app.h"

namespace kelmora {
namespace {

bool Mapped(const char* library) {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}

int ThreadCount() {
  return static_cast<int>(
      QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

// This test program starts no sound server: the chime standing in for a missing file finds no
// output, so the beep sounds, and the end is reported all the same. Qt Multimedia and the
// player's module are loaded only in the player processes, never here.
TEST(ProcessSoundTest, PlaysInProcessesOfItsOwn) {
  testing::EnsureQApplication();
  const int threads = ThreadCount();
  int beeps = 0;
  ProcessSound sound(QStringLiteral(KELMORA_BUILD_SOUND_PLAYER), [&beeps] { ++beeps; });
  int finished = 0;
  sound.on_finished = [&finished] { ++finished; };
  sound.Play("/nonexistent/alarm.wav");
  EXPECT_TRUE(QTest::qWaitFor([&] { return finished == 1; }, 5000));
  EXPECT_EQ(sound.ChimesStarted(), 1);
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(sound.PlayersRunning(), 0);
  EXPECT_FALSE(Mapped("libQt6Multimedia"));
  EXPECT_FALSE(Mapped("kelmora_sound"));
  EXPECT_EQ(ThreadCount(), threads);
}

TEST(ProcessSoundTest, MissingPlayerLeavesABeepThatEndsAtOnce) {
  testing::EnsureQApplication();
  int beeps = 0;
  ProcessSound sound(QStringLiteral("/nonexistent/kelmora_play"), [&beeps] { ++beeps; });
  int finished = 0;
  sound.on_finished = [&finished] { ++finished; };
  sound.Play("/nonexistent/alarm.wav");
  EXPECT_EQ(beeps, 1);
  EXPECT_EQ(finished, 0) << "not before Play has returned";
  QCoreApplication::processEvents();
  EXPECT_EQ(finished, 1);
  sound.Play("/nonexistent/alarm.wav");
  sound.Stop();
  QCoreApplication::processEvents();
  EXPECT_EQ(finished, 1) << "a stopped beep does not end by itself";
  EXPECT_EQ(beeps, 2);
}

}  // namespace
}  // namespace kelmora
