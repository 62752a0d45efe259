#include "platform/qt/app_paths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <optional>

#include "platform/qt/qt_screen.h"
#include "qt_app.h"

namespace kelmora {
namespace {

// Sets an environment variable (nullopt: unsets it) for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<QByteArray>& value)
      : name_(name),
        old_(qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt) {
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }

 private:
  void Set(const std::optional<QByteArray>& value) {
    if (value) qputenv(name_, *value);
    if (!value) qunsetenv(name_);
  }
  const char* name_;
  std::optional<QByteArray> old_;
};

struct DataFolderCase {
  const char* name;
  std::optional<QByteArray> config_home;
  std::string expected;
};

void PrintTo(const DataFolderCase& c, std::ostream* out) {
  *out << c.name;
}

class DataFolderTest : public ::testing::TestWithParam<DataFolderCase> {};

TEST_P(DataFolderTest, FollowsXdgConfigHome) {
  testing::EnsureQApplication();
  ScopedEnv home("HOME", "/home/ayako");
  ScopedEnv config("XDG_CONFIG_HOME", GetParam().config_home);
  EXPECT_EQ(DefaultAppPaths().data_folder, std::filesystem::path(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Settings, DataFolderTest,
    ::testing::Values(DataFolderCase{"Set", "/tmp/cfg", "/tmp/cfg/kelmora"},
                      DataFolderCase{"TrailingSlash", "/tmp/cfg/", "/tmp/cfg/kelmora"},
                      DataFolderCase{"Unset", std::nullopt, "/home/ayako/.config/kelmora"},
                      DataFolderCase{"Empty", "", "/home/ayako/.config/kelmora"},
                      // The XDG rules say to ignore a relative path.
                      DataFolderCase{"Relative", "cfg", "/home/ayako/.config/kelmora"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AppPathsTest, WithoutHomeTheUsersHomeComesFromThePasswordDatabase) {
  testing::EnsureQApplication();
  ScopedEnv home("HOME", std::nullopt);
  ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
  const struct passwd* entry = ::getpwuid(::getuid());
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(DefaultAppPaths().data_folder,
            std::filesystem::path(entry->pw_dir) / ".config" / "kelmora");
}

TEST(AppPathsTest, DefaultSoundLiesInTheShareFolderBesideTheExecutablesFolder) {
  testing::EnsureQApplication();
  const QString expected =
      QDir(QCoreApplication::applicationDirPath() + "/../share/kelmora/sounds/alarm.wav")
          .absolutePath();
  const std::string sound = DefaultAppPaths().default_sound;
  EXPECT_EQ(sound, QDir::cleanPath(expected).toStdString());
  EXPECT_EQ(sound.find(".."), std::string::npos) << "a clean path";
  EXPECT_TRUE(std::filesystem::path(sound).is_absolute());
}

TEST(QtScreenTest, WorkAreaEdgesAreThePrimaryScreensAvailableGeometry) {
  testing::EnsureQApplication();
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  const PixelRect edges = QtScreen().WorkArea();
  EXPECT_EQ(edges.left, area.x());
  EXPECT_EQ(edges.top, area.y());
  EXPECT_EQ(edges.right - edges.left, area.width());
  EXPECT_EQ(edges.bottom - edges.top, area.height());
}

}  // namespace
}  // namespace kelmora
