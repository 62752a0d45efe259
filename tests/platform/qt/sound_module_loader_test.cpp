#include "platform/qt/sound_module_loader.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include "qt_app.h"

namespace kelmora {
namespace {

bool MultimediaLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
}

// This test program starts no sound server: the module's chime, or its beep where no server
// runs, ends all the same, and the module reports it.
TEST(SoundModuleLoaderTest, QtMultimediaComesOnlyWithTheFirstSound) {
  testing::EnsureQApplication();
  ASSERT_FALSE(MultimediaLoaded()) << "the program itself must not need Qt Multimedia";
  SoundModuleLoader sound(QStringLiteral(KELMORA_BUILD_SOUND_MODULE));
  int finished = 0;
  sound.on_finished = [&finished] { ++finished; };
  sound.Stop();  // nothing played yet: the module stays out
  EXPECT_FALSE(sound.Tried());
  EXPECT_FALSE(MultimediaLoaded());
  sound.Play("/nonexistent/alarm.wav");  // the chime, from the module
  EXPECT_TRUE(sound.Tried());
  EXPECT_TRUE(sound.Load());
  EXPECT_TRUE(MultimediaLoaded());
  EXPECT_TRUE(QTest::qWaitFor([&finished] { return finished == 1; }, 5000));
}

TEST(SoundModuleLoaderTest, MissingModuleLeavesABeepThatEndsAtOnceAndTriesOnce) {
  testing::EnsureQApplication();
  SoundModuleLoader sound(QStringLiteral("/nonexistent/kelmora_sound.so"));
  int finished = 0;
  sound.on_finished = [&finished] { ++finished; };
  sound.Play("/nonexistent/alarm.wav");
  EXPECT_EQ(finished, 0) << "not before Play has returned";
  QCoreApplication::processEvents();
  EXPECT_EQ(finished, 1);
  sound.Play("/nonexistent/alarm.wav");
  sound.Stop();
  QCoreApplication::processEvents();
  EXPECT_EQ(finished, 1) << "a stopped beep does not end by itself";
  EXPECT_TRUE(sound.Tried());
  EXPECT_FALSE(sound.Load());
}

}  // namespace
}  // namespace kelmora
