#include "core/date_time.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kelmora {
namespace {

DateTime At(int year, unsigned month, unsigned day, unsigned hour = 0, unsigned minute = 0,
            unsigned second = 0) {
  return MakeDateTime(year, month, day, hour, minute, second).value();
}

TEST(RuntimeMakeDateTime, RefusesPartsTheCalendarOrClockLacks) {
  EXPECT_TRUE(MakeDateTime(2004, 2, 29));
  EXPECT_FALSE(MakeDateTime(2003, 2, 29));
  EXPECT_FALSE(MakeDateTime(2003, 13, 1));
  EXPECT_FALSE(MakeDateTime(2003, 4, 31));
  EXPECT_FALSE(MakeDateTime(2003, 1, 1, 24));
  EXPECT_FALSE(MakeDateTime(2003, 1, 1, 0, 60));
  EXPECT_FALSE(MakeDateTime(2003, 1, 1, 0, 0, 60));
  EXPECT_FALSE(MakeDateTime(40000, 1, 1));
}

TEST(RuntimeMakeDateTime, TextRangeIsYears100To9999) {
  EXPECT_FALSE(InTextRange(At(99, 12, 31, 23, 59, 59)));
  EXPECT_TRUE(InTextRange(At(100, 1, 1)));
  EXPECT_TRUE(InTextRange(At(9999, 12, 31, 23, 59, 59)));
  EXPECT_FALSE(InTextRange(At(10000, 1, 1)));
}

struct ParseCase {
  const char* text;
  std::optional<DateTime> expected;
};

class RuntimeParseDateTime : public ::testing::TestWithParam<ParseCase> {};

TEST_P(RuntimeParseDateTime, ReadsOnlyWholeDateTimes) {
  EXPECT_EQ(ParseDateTime(GetParam().text), GetParam().expected) << GetParam().text;
}

const std::optional<DateTime> kRefused;

INSTANTIATE_TEST_SUITE_P(
    Table, RuntimeParseDateTime,
    ::testing::Values(
        ParseCase{"2003/11/9 7:05:00", At(2003, 11, 9, 7, 5, 0)},
        ParseCase{"2003/11/09 07:05:00", At(2003, 11, 9, 7, 5, 0)},
        ParseCase{"2003-11-09 7:05", At(2003, 11, 9, 7, 5, 0)},
        ParseCase{"2003/11/09", At(2003, 11, 9)},
        ParseCase{"  2003/1/2   3:4:5  ", At(2003, 1, 2, 3, 4, 5)},
        ParseCase{"2004/2/29 23:59:59", At(2004, 2, 29, 23, 59, 59)},
        ParseCase{"100/1/1 0:00", At(100, 1, 1)}, ParseCase{"9999/12/31", At(9999, 12, 31)},
        ParseCase{"99/1/1", kRefused}, ParseCase{"10000/1/1", kRefused},
        ParseCase{"2003/2/29", kRefused}, ParseCase{"2003/11/09 24:00:00", kRefused},
        ParseCase{"2003/11/09 12:60", kRefused}, ParseCase{"2003/11/09 12:00:60", kRefused},
        ParseCase{"2003/11/09 12:00:00x", kRefused}, ParseCase{"2003/11/09 12:00 PM", kRefused},
        ParseCase{"2003/11/09x", kRefused}, ParseCase{"2003/11/0912:00", kRefused},
        ParseCase{"2003/11-09", kRefused}, ParseCase{"2003/011/09", kRefused},
        ParseCase{"2003/11/09 12", kRefused}, ParseCase{"2003/11/09 12:", kRefused},
        ParseCase{"2003/11/09 123:00", kRefused}, ParseCase{"2003/11", kRefused},
        ParseCase{"", kRefused}, ParseCase{"0z", kRefused}));

struct FormatCase {
  const char* pattern;
  const char* expected;
};

class RuntimeFormatDateTime : public ::testing::TestWithParam<FormatCase> {};

// Sunday 9 November 2003, 14:07:05.
TEST_P(RuntimeFormatDateTime, AfternoonOfSundayNinthNovember2003) {
  EXPECT_EQ(FormatDateTime(At(2003, 11, 9, 14, 7, 5), GetParam().pattern), GetParam().expected)
      << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Table, RuntimeFormatDateTime,
    ::testing::Values(FormatCase{"yyyy/mm/dd hh:mm aaa", "2003/11/09 14:07 日"},
                      FormatCase{"yyyy/mm/dd hh:nn:ss", "2003/11/09 14:07:05"},
                      FormatCase{"h:n", "14:7"}, FormatCase{"m/d yy", "11/9 03"},
                      FormatCase{"hh", "14"}, FormatCase{"s", "5"}, FormatCase{"A/P", "P"},
                      FormatCase{"a/p", "p"}, FormatCase{"AM/PM", "PM"}, FormatCase{"am/pm", "pm"},
                      FormatCase{"aaaa", "日曜日"}, FormatCase{"YYYY/MM/DD", "2003/11/09"},
                      FormatCase{"h時m分", "14時7分"}, FormatCase{"hh mm mm", "14 07 11"},
                      FormatCase{"mm hh", "11 14"}, FormatCase{"\"hh mm\" hh", "hh mm 14"},
                      FormatCase{"\\h h", "h 14"}, FormatCase{"\"open", "open"},
                      FormatCase{"x Q!", "x Q!"}, FormatCase{"a aa", "a aa"},
                      FormatCase{"yyy", "03y"}, FormatCase{"", ""}));

TEST(RuntimeFormatDateTimeMorning, ShowsMorningMarkersAndLeadingZeros) {
  DateTime morning = At(2026, 1, 3, 7, 5, 9);  // a Saturday
  EXPECT_EQ(FormatDateTime(morning, "A/P AM/PM aaa"), "A AM 土");
  EXPECT_EQ(FormatDateTime(morning, "hh:nn:ss h:n:s"), "07:05:09 7:5:9");
  EXPECT_EQ(FormatDateTime(At(2026, 1, 3, 11, 59, 59), "A/P"), "A");
  EXPECT_EQ(FormatDateTime(At(2026, 1, 3, 12, 0, 0), "A/P"), "P");
  EXPECT_EQ(FormatDateTime(At(2026, 1, 3), "hh:nn"), "00:00");
}

TEST(RuntimeFormatDateTimeWeekdays, NamesEveryDayOfAWeek) {
  const char* names[] = {"日", "月", "火", "水", "木", "金", "土"};
  for (unsigned i = 0; i < 7; ++i) {
    EXPECT_EQ(FormatDateTime(At(2003, 11, 9 + i), "aaa"), names[i]) << 9 + i;
  }
}

TEST(RuntimeCanonicalText, IsNineteenCharactersWithLeadingZeros) {
  EXPECT_EQ(CanonicalText(At(2003, 1, 2, 3, 4, 5)), "2003/01/02 03:04:05");
  EXPECT_EQ(CanonicalText(At(100, 12, 31, 23, 59, 59)), "0100/12/31 23:59:59");
  EXPECT_EQ(ParseDateTime(CanonicalText(At(2026, 2, 28, 23, 0, 1))), At(2026, 2, 28, 23, 0, 1));
}

}  // namespace
}  // namespace kelmora
