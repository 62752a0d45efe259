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

TEST_P(RuntimeSplitLines, EndsLinesAtLfCrLfAndALoneCr) {
  EXPECT_EQ(SplitLines(GetParam().content), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RuntimeSplitLines,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a\r\nb\r\n", {"a", "b"}},
                      SplitCase{"a\nb\n", {"a", "b"}}, SplitCase{"a\r\nb", {"a", "b"}},
                      SplitCase{"a\r\n\r\n\nb\r\n", {"a", "", "", "b"}}, SplitCase{"\r\n", {""}},
                      SplitCase{"a\rb\r\n", {"a", "b"}}, SplitCase{"tail\r", {"tail"}},
                      SplitCase{"a\r\rb", {"a", "", "b"}}, SplitCase{"x\ty\r\n", {"x\ty"}}));

TEST(DecodeLines, KeepsUtf8AndDropsTheByteOrderMark) {
  EXPECT_EQ(DecodeLines("時計 ok"), Lines{"時計 ok"});
  EXPECT_EQ(DecodeLines("\xEF\xBB\xBFyyyy"), Lines{"yyyy"});
  EXPECT_EQ(DecodeLines(""), Lines{});
}

// Each line is decided on its own: one foreign line leaves the UTF-8 lines as they are.
TEST(DecodeLines, DecidesEachLineOnItsOwn) {
  EXPECT_EQ(
      DecodeLines("~/音楽.wav\r\n\x8E\x9E\x8C\x76\r\nC:\\\x89\xB9\\a.wav\r\n\xB1\xD7\xB0\xD1"),
      (Lines{"~/音楽.wav", "時計", "C:\\音\\a.wav", "ｱﾗｰﾑ"}));
  // Neither UTF-8 nor CP932 (a lead byte cut off, a byte CP932 does not map): the bytes stay as
  // they are, so they are written back exactly. An overlong UTF-8 slash is CP932 kana.
  EXPECT_EQ(DecodeLines("~/音楽.wav\nab\x8E\n\xA0x\n\xC0\xAF"),
            (Lines{"~/音楽.wav", "ab\x8E", "\xA0x", "ﾀｯ"}));
  EXPECT_EQ(TextFileBytes(DecodeLines("ab\x8E\r\n\xA0x\r\n")), "ab\x8E\r\n\xA0x\r\n");
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
