#include "core/text_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/code_page.h"
#include "core/text_file_fixture.h"
#include "temp_folder.h"

namespace kelmora {
namespace {

TEST_F(RuntimeTextFileOnDisk, WritesCrLfAfterEveryLineAndReadsItBack) {
  fs::path file = folder_ / "new" / "deeper" / "timer.ini";
  Lines lines{"2026/12/07 07:30:00\t1d\tE\t/home/u/音 \"a\",b.wav", "", "last"};
  ASSERT_EQ(WriteLines(file, lines), "");
  EXPECT_EQ(Content(file), lines[0] + "\r\n\r\nlast\r\n");
  auto read = ReadTextLines(file);
  EXPECT_EQ(read.status, TextFileRead::Status::kRead);
  EXPECT_EQ(read.lines, lines);
  EXPECT_EQ(read.error, "");
  EXPECT_EQ(fs::directory_iterator(file.parent_path())->path(), file) << "no temporary left";
}

struct LimitCase {
  const char* name;
  std::string content;
  TextLimits limits;
  Lines lines;
  TextFileRead::Cut cut;
};

void PrintTo(const LimitCase& c, std::ostream* out) {
  *out << c.name;
}

class RuntimeTextLimits : public ::testing::TestWithParam<LimitCase> {};

// Reading stops at the first line that passes a limit; the lines before it are read whole.
TEST_P(RuntimeTextLimits, StopAtTheFirstLineThatPassesOne) {
  const testing::TempFolder folder("limits");
  const fs::path file = folder.path() / "timer.ini";
  std::ofstream(file, std::ios::binary) << GetParam().content;
  const TextFileRead read = ReadTextLines(file, GetParam().limits);
  EXPECT_EQ(read.status, TextFileRead::Status::kRead);
  EXPECT_EQ(read.lines, GetParam().lines);
  EXPECT_EQ(read.cut, GetParam().cut);
}

using Cut = TextFileRead::Cut;
INSTANTIATE_TEST_SUITE_P(
    Table, RuntimeTextLimits,
    ::testing::Values(
        LimitCase{"lines_within", "a\r\nb\r\n", {.max_lines = 2}, {"a", "b"}, Cut::kWhole},
        LimitCase{
            "last_line_without_end_within", "a\r\nb", {.max_lines = 2}, {"a", "b"}, Cut::kWhole},
        LimitCase{
            "one_line_too_many", "a\r\nb\r\nc", {.max_lines = 2}, {"a", "b"}, Cut::kTooManyLines},
        LimitCase{
            "an_empty_line_counts", "a\nb\n\n", {.max_lines = 2}, {"a", "b"}, Cut::kTooManyLines},
        LimitCase{"line_as_long_as_allowed",
                  "abcd\r\nx",
                  {.max_line_bytes = 4},
                  {"abcd", "x"},
                  Cut::kWhole},
        LimitCase{"line_too_long",
                  "ab\r\nabcde\r\nx\r\n",
                  {.max_line_bytes = 4},
                  {"ab"},
                  Cut::kLineTooLong},
        LimitCase{
            "last_line_too_long", "ab\nabcde", {.max_line_bytes = 4}, {"ab"}, Cut::kLineTooLong},
        LimitCase{
            "last_line_ends_in_lone_cr", "abcd\r", {.max_line_bytes = 4}, {}, Cut::kLineTooLong},
        LimitCase{"bytes_within", "ab\r\ncd\r\n", {.max_bytes = 8}, {"ab", "cd"}, Cut::kWhole},
        LimitCase{
            "bytes_passed_in_a_line", "ab\r\ncd\r\n", {.max_bytes = 5}, {"ab"}, Cut::kTooManyBytes},
        LimitCase{"bytes_passed_in_a_line_end",
                  "ab\r\ncd\r\n",
                  {.max_bytes = 7},
                  {"ab"},
                  Cut::kTooManyBytes}),
    [](const auto& info) { return std::string(info.param.name); });

// A file far larger than the limits (sparse, a line of zero bytes) is read no further than
// they allow: the call returns at once and holds little.
TEST_F(RuntimeTextFileOnDisk, AHugeFileIsReadOnlyAsFarAsTheLimits) {
  const fs::path file = folder_ / "timer.ini";
  Put(file, "first\r\n");
  fs::resize_file(file, std::uintmax_t{4} << 30);  // 4 GiB
  const TextFileRead read = ReadTextLines(file, {.max_line_bytes = 8192});
  EXPECT_EQ(read.status, TextFileRead::Status::kRead);
  EXPECT_EQ(read.lines, Lines{"first"});
  EXPECT_EQ(read.cut, TextFileRead::Cut::kLineTooLong);
}

TEST_F(RuntimeTextFileOnDisk, FirstLineBeginningWithU_FEFFKeepsItThroughWriteAndRead) {
  const fs::path file = folder_ / "Varnlock.ini";
  const std::vector<std::string> lines = {"\xEF\xBB\xBFyyyy/mm/dd", "1.0"};
  ASSERT_EQ(WriteLines(file, lines), "");
  EXPECT_EQ(ReadTextLines(file).lines, lines);
}

TEST_F(RuntimeTextFileOnDisk, EmptyListGivesAnEmptyFile) {
  fs::path file = folder_ / "timer.ini";
  ASSERT_EQ(WriteLines(file, {}), "");
  EXPECT_TRUE(IsOrdinaryFile(file));
  EXPECT_EQ(fs::file_size(file), 0u);
  EXPECT_EQ(ReadTextLines(file).status, TextFileRead::Status::kRead);
}

TEST_F(RuntimeTextFileOnDisk, ReplacingKeepsTheOldPermissions) {
  fs::path file = folder_ / "Varnlock.ini";
  Put(file, "old\r\n");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_EQ(WriteLines(file, {"new"}), "");
  EXPECT_EQ(Content(file), "new\r\n");
  EXPECT_EQ(fs::status(file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(RuntimeTextFileOnDisk, TemporaryNamesLeftByAnEarlierProgramAreSteppedOver) {
  const fs::path file = folder_ / "timer.ini";
  const std::string stale = file.string() + ".tmp-" + std::to_string(::getpid()) + "-0";
  Put(stale, "left by a program that was killed");
  ASSERT_EQ(WriteLines(file, {"new"}), "");
  EXPECT_EQ(Content(file), "new\r\n");
}

TEST_F(RuntimeTextFileOnDisk, StaleTemporariesOfTheFileGoAndNothingElse) {
  const fs::path file = folder_ / "timer.ini";
  Put(file, "kept\r\n");
  const std::vector<std::string> stale = {"timer.ini.tmp-4242-0", "timer.ini.tmp-1-17"};
  const std::vector<std::string> others = {
      "timer.ini.bad",       "timer.ini.tmp",      "Varnlock.ini.tmp-1-0", "xtimer.ini.tmp-1-0",
      "timer.ini.tmp-notes", "timer.ini.tmp-12-x", "timer.ini.tmp-1-",     "timer.ini.tmp--1"};
  for (const auto& name : stale) Put(folder_ / name, "half");
  for (const auto& name : others) Put(folder_ / name, "other");
  RemoveStaleTemporaries(file);
  for (const auto& name : stale) EXPECT_FALSE(fs::exists(folder_ / name)) << name;
  for (const auto& name : others) EXPECT_TRUE(fs::exists(folder_ / name)) << name;
  EXPECT_EQ(Content(file), "kept\r\n");
  RemoveStaleTemporaries(folder_ / "missing" / "timer.ini");  // no folder: nothing happens
}

// A file kept elsewhere behind a link (as dotfile managers set it up) stays a link, and the file
// it names gets the new lines.
TEST_F(RuntimeTextFileOnDisk, WritesThroughASymbolicLink) {
  fs::create_directory(folder_ / "dotfiles");
  Put(folder_ / "dotfiles" / "timer.ini", "old\r\n");
  fs::create_symlink("dotfiles/timer.ini", folder_ / "timer.ini");
  Put(folder_ / "dotfiles" / "timer.ini.tmp-9-0", "half");
  RemoveStaleTemporaries(folder_ / "timer.ini");
  ASSERT_EQ(WriteLines(folder_ / "timer.ini", {"new"}), "");
  EXPECT_TRUE(fs::is_symlink(folder_ / "timer.ini"));
  EXPECT_EQ(Content(folder_ / "dotfiles" / "timer.ini"), "new\r\n");
  EXPECT_EQ(Entries(), (Lines{"dotfiles", "timer.ini"}));
  EXPECT_FALSE(fs::exists(folder_ / "dotfiles" / "timer.ini.tmp-9-0"));
}

TEST_F(RuntimeTextFileOnDisk, AppendsLinesAndMakesTheFileWhenMissing) {
  const fs::path file = folder_ / "new" / "timer.ini.dropped";
  ASSERT_EQ(AppendTextLines(file, {"a"}), "");
  ASSERT_EQ(AppendTextLines(file, {"b\x8E", "c"}), "");
  EXPECT_EQ(Content(file), "a\r\nb\x8E\r\nc\r\n");
}

TEST_F(RuntimeTextFileOnDisk, ReadsLfFilesKeepingEachLinesBytes) {
  fs::path file = folder_ / "timer.ini";
  Put(file, "\x8E\x9E\x8C\x76\na\rb\r\nb");
  EXPECT_EQ(ReadTextLines(file).lines, (Lines{"\x8E\x9E\x8C\x76", "a\rb", "b"}));
}

TEST_F(RuntimeTextFileOnDisk, MissingOnlyWhenNothingIsThere) {
  EXPECT_EQ(ReadTextLines(folder_ / "none.ini").status, TextFileRead::Status::kMissing);
  EXPECT_FALSE(IsOrdinaryFile(folder_ / "none.ini"));

  fs::create_directory(folder_ / "dir.ini");
  auto folder_read = ReadTextLines(folder_ / "dir.ini");
  EXPECT_EQ(folder_read.status, TextFileRead::Status::kFailed);
  EXPECT_NE(folder_read.error, "");
  EXPECT_FALSE(IsOrdinaryFile(folder_ / "dir.ini"));
}

TEST_F(RuntimeTextFileOnDisk, FailedWriteLeavesTheOldFileAndNoTemporary) {
  fs::path file = folder_ / "Varnlock.ini";
  Put(file, "old\r\n");
  fs::path blocked = folder_ / "plain" / "Varnlock.ini";  // its folder is an ordinary file
  Put(folder_ / "plain", "not a folder");
  EXPECT_NE(WriteLines(blocked, {"new"}), "");
  EXPECT_EQ(ReadTextLines(blocked).status, TextFileRead::Status::kMissing);

  // A folder in the way of the target: the rename fails after the temporary was written.
  fs::create_directories(folder_ / "dir.ini" / "inside");
  std::string reason = WriteLines(folder_ / "dir.ini", {"new"});
  EXPECT_NE(reason, "");
  EXPECT_EQ(Content(file), "old\r\n");
  EXPECT_EQ(Entries(), (Lines{"Varnlock.ini", "dir.ini", "plain"}));
}

TEST_F(RuntimeTextFileOnDisk, MoveAsideKeepsEveryEarlierBadFile) {
  fs::path file = folder_ / "timer.ini";
  Put(file, "first");
  ASSERT_EQ(MoveAside(file), "");
  Put(file, "second");
  ASSERT_EQ(MoveAside(file), "");
  fs::create_directory(file);
  ASSERT_EQ(MoveAside(file), "");
  EXPECT_EQ(Entries(), (Lines{"timer.ini.bad", "timer.ini.bad2", "timer.ini.bad3"}));
  EXPECT_EQ(Content(folder_ / "timer.ini.bad"), "first");
  EXPECT_EQ(Content(folder_ / "timer.ini.bad2"), "second");
  EXPECT_NE(MoveAside(file), "") << "nothing left to move";
}

}  // namespace
}  // namespace kelmora
