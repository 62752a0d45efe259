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

  // The store's saves, with what they told on standard error.
  Notices SaveBoth(FileStore& store, const AlarmList& list, std::string& told) {
    ::testing::internal::CaptureStderr();
    Notices notices = store.SaveSettings(WindowSettings{}, kNow);
    for (std::string& notice : store.SaveAlarms(list, kNow)) notices.push_back(notice);
    told = ::testing::internal::GetCapturedStderr();
    return notices;
  }

  const DateTime kNow = *MakeDateTime(2003, 11, 9, 14, 7, 5);
  testing::TempFolder temp_{"store"};
  fs::path folder_ = temp_.path();
};

TEST_F(FileStoreTest, BothFilesComeBackByteForByte) {
  const std::string settings =
      "yyyy/mm/dd \x8E\x9E\x8C\x76 hh:nn:ss\r\n1,5\r\n 2 \r\n 3 \r\n 255 \r\n-5 \r\n 0 \r\n 0 \r\n"
      " 0 \r\n 0 \r\n 0 \r\n 16711680 \r\n";
  const std::string alarms =
      "2026/12/06 22:00:00\t30m\t2\t/音楽/a, \"b\".wav\r\n2026/12/07 07:30:00\t1d\tE\t\r\n"
      "2026/12/08 07:30:00\t1d\tE\t/snd/\xE9t\xE9s\r.wav\r\n";
  Write("Varnlock.ini", settings);
  Write("timer.ini", alarms);
  FileStore store(folder_);
  EXPECT_TRUE(store.SettingsFileExists());
  WindowSettings read_settings;
  AlarmList list;
  EXPECT_THAT(store.LoadSettings(read_settings), IsEmpty());
  EXPECT_THAT(store.LoadAlarms(list), IsEmpty());
  fs::remove_all(folder_);
  EXPECT_THAT(store.SaveSettings(read_settings, kNow), IsEmpty());
  EXPECT_THAT(store.SaveAlarms(list, kNow), IsEmpty());
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
  EXPECT_THAT(store.SaveAlarms(list, kNow), IsEmpty());
  list.Add("b");
  EXPECT_THAT(store.SaveAlarms(list, kNow), IsEmpty());
  EXPECT_EQ(Read("timer.ini.bad/inside"), "kept");
  EXPECT_FALSE(fs::exists(folder_ / "timer.ini.bad2"));
  EXPECT_EQ(Read("timer.ini"), "a\r\nb\r\n");
}

TEST_F(FileStoreTest, AWriteThatFailsIsReportedAndToldOnStandardErrorAtOnce) {
  fs::create_directory(folder_ / "Varnlock.ini");
  FileStore store(folder_);
  EXPECT_FALSE(store.SettingsFileExists());
  std::string told;
  EXPECT_THAT(SaveBoth(store, AlarmList{}, told),
              ElementsAre(HasSubstr("Varnlock.ini に書き込めません: ")));
  EXPECT_THAT(told, HasSubstr("kelmora: cannot write " + (folder_ / "Varnlock.ini").string() +
                              ": cannot replace the file: Is a directory\n"));
  EXPECT_EQ(Read("timer.ini"), "") << "the other file is written";
}

// Settings it cannot read as they stand would be lost at the save: the file is kept first.
TEST_F(FileStoreTest, SettingsItCannotReadAreKeptAsideBeforeTheSave) {
  const std::string settings = "t\r\n1\r\n 0 \r\n 0 \r\n red \r\n";
  Write("Varnlock.ini", settings);
  FileStore store(folder_);
  WindowSettings read;
  EXPECT_THAT(store.LoadSettings(read),
              ElementsAre(HasSubstr("の 5 行目を読めません (元のファイルは Varnlock.ini.bad ")));
  EXPECT_THAT(store.SaveSettings(read, kNow), IsEmpty());
  EXPECT_EQ(Read("Varnlock.ini.bad"), settings);
}

// A line longer than any alarm line stops the reading: the lines before it load, and the whole
// file is kept aside before the new one is written.
TEST_F(FileStoreTest, AnAlarmFileWithALineTooLongLoadsUpToItAndIsKeptWhole) {
  const std::string bytes = "2099/01/01 00:00:00\t0z\tE\ta\r\n" + std::string(9000, 'x') +
                            "\r\n2099/01/02 00:00:00\t0z\tE\tb\r\n";
  Write("timer.ini", bytes);
  FileStore store(folder_);
  AlarmList list;
  EXPECT_THAT(store.LoadAlarms(list),
              ElementsAre(HasSubstr("timer.ini の 2 行目は 8192 バイトを超えるので")));
  EXPECT_THAT(list.Lines(), ElementsAre("2099/01/01 00:00:00\t0z\tE\ta"));
  EXPECT_THAT(store.SaveAlarms(list, kNow), IsEmpty());
  EXPECT_EQ(Read("timer.ini.bad"), bytes);
  EXPECT_EQ(Read("timer.ini"), "2099/01/01 00:00:00\t0z\tE\ta\r\n");
}

struct HandEditCase {
  const char* name;
  const char* at_start;  // nullptr: no file
  const char* by_hand;   // nullptr: removed
  bool kept;
};

void PrintTo(const HandEditCase& c, std::ostream* out) {
  *out << c.name;
}

class FileStoreHandEditTest : public FileStoreTest,
                              public ::testing::WithParamInterface<HandEditCase> {};

// A file changed on disk while the program ran is kept beside it before the save writes over
// it, and the user is told; the content decides, not the size or the time.
TEST_P(FileStoreHandEditTest, IsKeptBeforeTheSaveWritesOverIt) {
  const HandEditCase& c = GetParam();
  if (c.at_start) Write("timer.ini", c.at_start);
  FileStore store(folder_);
  AlarmList list;
  ASSERT_THAT(store.LoadAlarms(list), IsEmpty());
  if (c.by_hand) {
    Write("timer.ini", c.by_hand);
  } else {
    fs::remove(folder_ / "timer.ini");
  }
  list.Clear();
  list.Add("2099/01/01 00:00:00\t0z\tE\tnew");
  std::string told;
  const Notices notices = SaveBoth(store, list, told);
  EXPECT_EQ(Read("timer.ini"), "2099/01/01 00:00:00\t0z\tE\tnew\r\n");
  const fs::path kept = folder_ / "timer.ini.changed-20031109-140705";
  EXPECT_EQ(fs::exists(kept), c.kept);
  if (c.kept) {
    EXPECT_EQ(Read(kept.filename()), c.by_hand);
    EXPECT_THAT(notices,
                ElementsAre(HasSubstr("timer.ini は起動中に書き換えられていました: その内容を " +
                                      kept.string() + " に残しました")));
    EXPECT_THAT(told, HasSubstr("was changed while Kelmora ran; kept it as " + kept.string()));
  } else {
    EXPECT_THAT(notices, IsEmpty());
  }
  // What the save wrote is what it knows now: the next save keeps nothing.
  list.Add("2099/01/02 00:00:00\t0z\tE\tnewer");
  EXPECT_THAT(SaveBoth(store, list, told), IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FileStoreHandEditTest,
    ::testing::Values(
        HandEditCase{"untouched", "2099/01/01 00:00:00\t0z\tE\told\r\n",
                     "2099/01/01 00:00:00\t0z\tE\told\r\n", false},
        HandEditCase{"line_appended", "2099/01/01 00:00:00\t0z\tE\told\r\n",
                     "2099/01/01 00:00:00\t0z\tE\told\r\n2099/05/05 00:00:00\t0z\tE\tx\r\n", true},
        HandEditCase{"same_size", "2099/01/01 00:00:00\t0z\tE\told\r\n",
                     "2099/01/01 00:00:00\t0z\tE\tOLD\r\n", true},
        HandEditCase{"made_while_running", nullptr, "2099/05/05 00:00:00\t0z\tE\tx\r\n", true},
        HandEditCase{"removed_while_running", "2099/01/01 00:00:00\t0z\tE\told\r\n", nullptr,
                     false}),
    [](const auto& info) { return std::string(info.param.name); });

// Two edits kept in the same second keep both.
TEST_F(FileStoreTest, AKeptCopyNeverTakesTheNameOfAnother) {
  Write("Varnlock.ini", "old\r\n");
  FileStore store(folder_);
  WindowSettings settings;
  ASSERT_THAT(store.LoadSettings(settings), IsEmpty());
  Write("Varnlock.ini", "first edit\r\n");
  EXPECT_THAT(store.SaveSettings(settings, kNow), ElementsAre(HasSubstr("に残しました")));
  Write("Varnlock.ini", "second edit\r\n");
  EXPECT_THAT(store.SaveSettings(settings, kNow), ElementsAre(HasSubstr("に残しました")));
  EXPECT_EQ(Read("Varnlock.ini.changed-20031109-140705"), "first edit\r\n");
  EXPECT_EQ(Read("Varnlock.ini.changed-20031109-140705-2"), "second edit\r\n");
}

}  // namespace
}  // namespace kelmora
