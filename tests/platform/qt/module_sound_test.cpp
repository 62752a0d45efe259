#include "platform/qt/module_sound.h"

#include <gtest/gtest.h>

#include <QFile>

#include "qt_app.h"

namespace kelmora {
namespace {

bool MultimediaLoaded() {
  QFile maps(QStringLiteral("/proc/self/maps"));
  return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libQt6Multimedia");
}

TEST(ModuleSoundTest, QtMultimediaComesOnlyWithTheFirstSound) {
  testing::EnsureQApplication();
  ASSERT_FALSE(MultimediaLoaded()) << "the program itself must not need Qt Multimedia";
  ModuleSound sound(QStringLiteral(KELMORA_BUILD_SOUND_MODULE));
  EXPECT_FALSE(sound.Tried());
  EXPECT_FALSE(MultimediaLoaded());
  sound.Play("/nonexistent/alarm.wav");  // the chime, from the module
  EXPECT_TRUE(sound.Tried());
  EXPECT_TRUE(sound.Load());
  EXPECT_TRUE(MultimediaLoaded());
}

TEST(ModuleSoundTest, MissingModuleLeavesABeepAndTriesOnce) {
  testing::EnsureQApplication();
  ModuleSound sound(QStringLiteral("/nonexistent/kelmora_sound.so"));
  sound.Play("/nonexistent/alarm.wav");
  sound.Play("/nonexistent/alarm.wav");
  EXPECT_TRUE(sound.Tried());
  EXPECT_FALSE(sound.Load());
}

}  // namespace
}  // namespace kelmora
