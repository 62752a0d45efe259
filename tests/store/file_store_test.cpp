// The store of the two files, on its own in a temporary folder.

#include "store/file_store.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "temp_folder.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class FileStoreTest : public ::testing::Test {
 protected:
  void Write(const fs::path& name, const std::string& bytes) {
    std::ofstream(folder_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const fs::path& name) const {
    std::ifstream in(folder_ / name, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  testing::TempFolder temp_{"store"};
  fs::path folder_ = temp_.path();
};

TEST_F(FileStoreTest, BothFilesComeBackByteForByte) {
  const std::string settings =
      "yyyy/mm/dd hh:nn:ss\r\n1,5\r\n 2 \r\n 3 \r\n 255 \r\n-5 \r\n 0 \r\n 0 \r\n 0 \r\n 0 \r\n"
      " 0 \r\n 16711680 \r\n";
  const std::string alarms =
      "2026/12/06 22:00:00\t30m\t2\t/音楽/a, \"b\".wav\r\n2026/12/07 07:30:00\t1d\tE\t\r\n";
  Write("Varnlock.ini", settings);
  Write("timer.ini", alarms);
  FileStore store(folder_);
  EXPECT_TRUE(store.SettingsFileExists());
  WindowSettings read_settings;
  AlarmList list;
  EXPECT_THAT(store.LoadSettings(read_settings), IsEmpty());
  EXPECT_THAT(store.LoadAlarms(list), IsEmpty());
  fs::remove_all(folder_);
  EXPECT_THAT(store.SaveSettings(read_settings), IsEmpty());
  EXPECT_THAT(store.SaveAlarms(list), IsEmpty());
  EXPECT_EQ(Read("Varnlock.ini"), settings);
  EXPECT_EQ(Read("timer.ini"), alarms);
}

TEST_F(FileStoreTest, AnUnreadableFileIsReportedAndMovedAsideOnceBeforeItIsWritten) {
  fs::create_directory(folder_ / "timer.ini");
  Write("timer.ini/inside", "kept");
  FileStore store(folder_);
  AlarmList list;
  EXPECT_THAT(store.LoadAlarms(list), ElementsAre(HasSubstr("timer.ini を読めません: ")));
  list.Add("a");
  EXPECT_THAT(store.SaveAlarms(list), IsEmpty());
  list.Add("b");
  EXPECT_THAT(store.SaveAlarms(list), IsEmpty());
  EXPECT_EQ(Read("timer.ini.bad/inside"), "kept");
  EXPECT_FALSE(fs::exists(folder_ / "timer.ini.bad2"));
  EXPECT_EQ(Read("timer.ini"), "a\r\nb\r\n");
}

TEST_F(FileStoreTest, AWriteThatFailsIsReported) {
  fs::create_directory(folder_ / "Varnlock.ini");
  FileStore store(folder_);
  EXPECT_FALSE(store.SettingsFileExists());
  EXPECT_THAT(store.SaveSettings(WindowSettings{}),
              ElementsAre(HasSubstr("Varnlock.ini に書き込めません: ")));
}

}  // namespace
}  // namespace kelmora
