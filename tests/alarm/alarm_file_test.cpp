// The alarm file: loading into the sorted list, writing back with CR LF, round trips.

#include "alarm/alarm_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "alarm/scheduler.h"
#include "core/code_page.h"
#include "core/text_file.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

class AlarmFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("kelmora-alarm-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    file_ = folder_ / kAlarmFileName;
  }
  void TearDown() override { fs::remove_all(folder_); }

  void WriteBytes(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }
  std::string ReadBytes() const {
    std::ifstream in(file_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path folder_;
  fs::path file_;
};

TEST_F(AlarmFileTest, NoFileGivesAnEmptyListAndAnEmptyListAZeroByteFile) {
  AlarmList list;
  EXPECT_EQ(LoadAlarmFile(file_, list).status, TextFileRead::Status::kMissing);
  EXPECT_TRUE(list.Empty());
  EXPECT_EQ(WriteBytesSafely(file_, TextFileBytes(list.Lines())).error, "");
  ASSERT_TRUE(fs::exists(file_));
  EXPECT_EQ(fs::file_size(file_), 0u);
}

TEST_F(AlarmFileTest, OutOfOrderLinesLoadSortedAndAreWrittenWithCrLfAfterEveryLine) {
  WriteBytes(
      "2026/12/07 07:30:00\t1d\tE\ta.wav\r\n"
      "2026/12/06 22:00:00\t30m\t2\tb.wav\n"
      "2026/12/06 18:00:00\t0z\t0\tc.wav");  // the last line without a line end
  AlarmList list;
  EXPECT_EQ(LoadAlarmFile(file_, list).status, TextFileRead::Status::kRead);
  EXPECT_THAT(list.Lines(),
              ElementsAre("2026/12/06 18:00:00\t0z\t0\tc.wav", "2026/12/06 22:00:00\t30m\t2\tb.wav",
                          "2026/12/07 07:30:00\t1d\tE\ta.wav"));
  EXPECT_EQ(WriteBytesSafely(file_, TextFileBytes(list.Lines())).error, "");
  EXPECT_EQ(ReadBytes(),
            "2026/12/06 18:00:00\t0z\t0\tc.wav\r\n"
            "2026/12/06 22:00:00\t30m\t2\tb.wav\r\n"
            "2026/12/07 07:30:00\t1d\tE\ta.wav\r\n");
}

TEST_F(AlarmFileTest, SoundPathWithCommaQuotesAndNonAsciiRoundTrips) {
  const std::string line = "2026/12/06 22:00:00\t1h\tE\t /home/ユーザー/\"目覚まし\", 朝.wav";
  AlarmList written;
  written.Add(line);
  ASSERT_EQ(WriteBytesSafely(file_, TextFileBytes(written.Lines())).error, "");
  AlarmList read;
  LoadAlarmFile(file_, read);
  EXPECT_THAT(read.Lines(), ElementsAre(line));
}

TEST_F(AlarmFileTest, BlankLinesLoadAndAreGoneAfterAPass) {
  WriteBytes("\r\n2027/01/01 00:00:00\t1h\tE\tx\r\n\r\n");
  AlarmList list;
  LoadAlarmFile(file_, list);
  EXPECT_THAT(list.Lines(), ElementsAre("", "", "2027/01/01 00:00:00\t1h\tE\tx"));
  const auto survivors = SchedulerPass(list.Lines(), *MakeDateTime(2026, 12, 6));
  EXPECT_THAT(survivors, ElementsAre("2027/01/01 00:00:00\t1h\tE\tx"));
}

TEST_F(AlarmFileTest, LinesPastTheLimitAreNotAdded) {
  std::string bytes;
  for (int i = AlarmList::kMaxLines + 5; i > 0; --i) bytes += std::to_string(i) + "\r\n";
  WriteBytes(bytes);
  AlarmList list;
  EXPECT_EQ(LoadAlarmFile(file_, list).status, TextFileRead::Status::kRead);
  ASSERT_EQ(list.Count(), AlarmList::kMaxLines);
  EXPECT_EQ(list.At(0), "10");  // the five lines at the end of the file ("5" .. "1") are not added
  EXPECT_EQ(list.At(list.Count() - 1), "9999");
}

TEST_F(AlarmFileTest, AFolderInPlaceOfTheFileIsReportedAndAddsNothing) {
  fs::create_directory(file_);
  AlarmList list;
  const TextFileRead read = LoadAlarmFile(file_, list);
  EXPECT_EQ(read.status, TextFileRead::Status::kFailed);
  EXPECT_FALSE(read.error.empty());
  EXPECT_THAT(list.Lines(), IsEmpty());
}

}  // namespace
}  // namespace kelmora
