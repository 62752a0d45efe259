// What only Windows has: the ANSI code page (1252 in the tests' locale, C.UTF-8), wide file names,
// and a replacement that Windows refuses.

#include <windows.h>

#include "core/code_page.h"
#include "core/path_text.h"
#include "core/text_file_fixture.h"

namespace kelmora {
namespace {

struct CodePageCase {
  const char* name;
  std::string text;   // as the user typed it
  std::string bytes;  // as its line is written
};

void PrintTo(const CodePageCase& c, std::ostream* out) {
  *out << c.name;
}

class WindowsCodePage : public ::testing::TestWithParam<CodePageCase> {};

TEST_P(WindowsCodePage, WritesTheAnsiCodePageWhereItHoldsTheTextAndReadsItBack) {
  ASSERT_EQ(GetACP(), 1252U);
  EXPECT_EQ(EncodeLine(GetParam().text), GetParam().bytes);
  EXPECT_EQ(DecodeLine(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Table, WindowsCodePage,
    ::testing::Values(CodePageCase{"latin", "C:\\étés\\a.wav", "C:\\\xE9t\xE9s\\a.wav"},
                      CodePageCase{"kanji_outside_it_in_utf8", "é音.wav", "é音.wav"},
                      CodePageCase{"no_best_fit_but_utf8", "Ω.wav", "Ω.wav"},
                      CodePageCase{"ascii", "yyyy/mm/dd", "yyyy/mm/dd"}),
    [](const auto& info) { return std::string(info.param.name); });

// A name outside the ANSI code page: std::filesystem::path(std::string) would name another file.
TEST_F(RuntimeTextFileOnDisk, AJapaneseNameNamesItsOwnFile) {
  const fs::path file = PathOf(PathText(folder_) + "\\音楽♫.ini");
  ASSERT_EQ(WriteLines(file, {"a"}), "");
  EXPECT_EQ(Entries(), Lines{"音楽♫.ini"});
  EXPECT_TRUE(IsOrdinaryFile(folder_ / L"音楽♫.ini"));
  EXPECT_EQ(ReadTextLines(file).lines, Lines{"a"});
}

// A file held open without FILE_SHARE_DELETE cannot be replaced by MoveFileExW.
TEST_F(RuntimeTextFileOnDisk, AReplacementRefusedKeepsTheOldFileAndNoTemporary) {
  const fs::path file = folder_ / "timer.ini";
  Put(file, "old\r\n");
  const HANDLE held = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  const std::string error = WriteLines(file, {"new"});
  CloseHandle(held);
  EXPECT_NE(error, "");
  EXPECT_EQ(Content(file), "old\r\n");
  EXPECT_EQ(Entries(), Lines{"timer.ini"});
}

}  // namespace
}  // namespace kelmora
