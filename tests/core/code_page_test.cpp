#include "core/code_page.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelmora {
namespace {

using Lines = std::vector<std::string>;

struct SplitCase {
  std::string content;
  Lines expected;
};

class RuntimeSplitLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(RuntimeSplitLines, EndsLinesAtCrLfAndLfOnly) {
  EXPECT_EQ(SplitLines(GetParam().content), GetParam().expected);
}

// A lone CR (a hand-edited path may hold one) stays in its line.
INSTANTIATE_TEST_SUITE_P(
    Table, RuntimeSplitLines,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"a\nb\n", {"a", "b"}}, SplitCase{"a\r\nb", {"a", "b"}},
                      SplitCase{"a\r\n\r\n\nb\r\n", {"a", "", "", "b"}}, SplitCase{"\r\n", {""}},
                      SplitCase{"a\rb\r\n", {"a\rb"}}, SplitCase{"tail\r", {"tail\r"}},
                      SplitCase{"a\r\rb", {"a\r\rb"}}, SplitCase{"a\r\r\n", {"a\r"}},
                      SplitCase{"x\ty\r\n", {"x\ty"}}));

// What is read is written back byte for byte, whatever the code page of each line.
TEST(FileLines, KeepTheBytesReadAndDropTheByteOrderMark) {
  EXPECT_EQ(FileLines("\xEF\xBB\xBFyyyy"), Lines{"yyyy"});
  const std::string file =
      "~/音楽.wav\r\n/snd/\xE9t\xE9s.wav\r\n\x8E\x9E\x8C\x76\r\nab\x8E\r\na\rb\r\n";
  EXPECT_EQ(TextFileBytes(FileLines(file)), file);
}

// Neither UTF-8 nor CP932 (a lead byte cut off): the bytes. An overlong UTF-8 slash is kana.
TEST(DecodeLine, ShowsUtf8ElseCodePage932ElseTheBytes) {
  EXPECT_EQ(DecodeLine("C:\\\x89\xB9\\\xB1\xD7\xB0\xD1.wav"), "C:\\音\\ｱﾗｰﾑ.wav");
  EXPECT_EQ(DecodeLine("ab\x8E"), "ab\x8E");
  EXPECT_EQ(DecodeLine("\xC0\xAF"), "ﾀｯ");
}

// What the program writes the same on every system: text in ASCII, and bytes kept from a file.
TEST(EncodeLine, KeepsAsciiAndBytesReadFromAFile) {
  for (const std::string line : {"", "2026/12/07 07:30:00\t1h\tE\tC:\\a.wav", "\x89\xB9.wav"}) {
    EXPECT_EQ(EncodeLine(line), line);
  }
}

struct CutCase {
  std::string text;
  std::size_t max_bytes;
  std::string expected;
};

class RuntimeCutToCodePageBytes : public ::testing::TestWithParam<CutCase> {};

TEST_P(RuntimeCutToCodePageBytes, CutsOnCharacterBoundaries) {
  EXPECT_EQ(CutToCodePageBytes(GetParam().text, GetParam().max_bytes), GetParam().expected);
}

// The tray tip as the main window builds it: 18 characters, 19 bytes in CP932, then the alarm.
const std::string kTip = "2003/11/09 14:07 日[♪2003/11/09 15:00:00]";  // 42 bytes in CP932

INSTANTIATE_TEST_SUITE_P(
    Table, RuntimeCutToCodePageBytes,
    ::testing::Values(CutCase{kTip, 63, kTip}, CutCase{kTip, 42, kTip},
                      CutCase{kTip, 41, "2003/11/09 14:07 日[♪2003/11/09 15:00:00"},
                      CutCase{kTip, 21, "2003/11/09 14:07 日["},
                      CutCase{kTip, 19, "2003/11/09 14:07 日"},
                      CutCase{kTip, 18, "2003/11/09 14:07 "},
                      CutCase{std::string(40, 'x') + "時計時計時計時計時計時計時計", 63,
                              std::string(40, 'x') + "時計時計時計時計時計時"},
                      CutCase{"ｱﾗｰﾑ時計", 5, "ｱﾗｰﾑ"}, CutCase{"ｱﾗｰﾑ時計", 6, "ｱﾗｰﾑ時"},
                      CutCase{"", 63, ""}, CutCase{"abc", 0, ""}));

}  // namespace
}  // namespace kelmora
