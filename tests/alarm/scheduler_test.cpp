// The scheduler pass line by line: one table of due, future, spent and unreadable lines.

#include "alarm/scheduler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace kelmora {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

std::string Line(const std::string& due, const std::string& interval, const std::string& count,
                 const std::string& sound = "/snd/a.wav") {
  return due + "\t" + interval + "\t" + count + "\t" + sound;
}

DateTime At(const char* text) {
  return *ParseDateTime(text);
}

struct PassCase {
  const char* name;
  std::string line;
  const char* now;
  std::vector<std::string> survivors;  // empty: the line goes
  bool warns = false;
};

void PrintTo(const PassCase& c, std::ostream* out) {
  *out << c.name;
}

class SchedulerPassTable : public ::testing::TestWithParam<PassCase> {};

TEST_P(SchedulerPassTable, GivesTheSurvivorsAndWarnsOnlyForUnreadableLines) {
  const PassCase& c = GetParam();
  std::vector<std::pair<std::string, std::string>> warnings;
  const auto survivors = SchedulerPass(
      {c.line}, At(c.now),
      [&](const std::string& line, const std::string& why) { warnings.emplace_back(line, why); });
  EXPECT_EQ(survivors, c.survivors);
  ASSERT_EQ(warnings.size(), c.warns ? 1u : 0u);
  if (c.warns) {
    EXPECT_EQ(warnings[0].first, c.line);
    EXPECT_FALSE(warnings[0].second.empty());
  }
}

const char* const kNow = "2026/12/06 12:34:56";

INSTANTIATE_TEST_SUITE_P(
    Lines, SchedulerPassTable,
    ::testing::Values(
        PassCase{"HourlyForeverSkipsMissedFirings",
                 Line("2026/12/06 10:00:00", "1h", "E"),
                 kNow,
                 {Line("2026/12/06 13:00:00", "1h", "E")}},
        PassCase{"CountUsedOnePerStep",
                 Line("2026/12/06 10:00:00", "1h", "3"),
                 kNow,
                 {Line("2026/12/06 13:00:00", "1h", "0")}},
        PassCase{"CountRunsOutFirstLeavingTheLineDue",
                 Line("2026/12/06 10:00:00", "1h", "1"),
                 "2026/12/06 15:00:00",
                 {Line("2026/12/06 11:00:00", "1h", "0")}},
        PassCase{"SecondsAcrossMidnight",
                 Line("2026/12/06 23:59:30", "45s", "E"),
                 "2026/12/07 00:00:00",
                 {Line("2026/12/07 00:00:15", "45s", "E")}},
        PassCase{"DaysAcrossAMonthEnd",
                 Line("2026/01/31 07:00:00", "1d", "E"),
                 "2026/02/01 06:00:00",
                 {Line("2026/02/01 07:00:00", "1d", "E")}},
        PassCase{"DueThisSecondIsRewrittenCanonically",
                 Line("2026/12/6 7:05:00", "1h", "E"),
                 "2026/12/06 07:05:00",
                 {Line("2026/12/06 07:05:00", "1h", "E")}},
        PassCase{"FutureLineKeptByteForByte",
                 Line(" 2026-12-6 13:5 ", "1h", "E", "a,\"b\""),
                 kNow,
                 {Line(" 2026-12-6 13:5 ", "1h", "E", "a,\"b\"")}},
        PassCase{"SpentLineDueNowGoes", Line("2026/12/06 12:34:56", "1h", "0"), kNow, {}},
        PassCase{"SpentLineASecondEarlyStays",
                 Line("2026/12/06 12:34:56", "1h", "0"),
                 "2026/12/06 12:34:55",
                 {Line("2026/12/06 12:34:56", "1h", "0")}},
        PassCase{"UpperCaseUnitDoesNotMove",
                 Line("2026/12/06 10:00:00", "1D", "3"),
                 kNow,
                 {Line("2026/12/06 10:00:00", "1D", "0")}},
        PassCase{"OneAndAHalfHoursStepTwo",
                 Line("2026/12/06 10:00:00", "1.5h", "E"),
                 kNow,
                 {Line("2026/12/06 14:00:00", "1.5h", "E")}},
        PassCase{"TwoAndAHalfHoursStepTwo",
                 Line("2026/12/06 10:00:00", "2.5h", "E"),
                 kNow,
                 {Line("2026/12/06 14:00:00", "2.5h", "E")}},
        PassCase{"NoRepeatWithCountRunsDown",
                 Line("2026/12/06 10:00:00", "0z", "3"),
                 kNow,
                 {Line("2026/12/06 10:00:00", "0z", "0")}},
        PassCase{
            "NoRepeatNoLimitFiresOnceAndGoes", Line("2026/12/06 10:00:00", "0z", "E"), kNow, {}},
        PassCase{"StandingStepWithFractionalCountGoes",
                 Line("2026/12/06 10:00:00", "0z", "2.5"),
                 kNow,
                 {}},
        PassCase{
            "StandingStepWithNegativeCountGoes", Line("2026/12/06 10:00:00", "5x", "-1"), kNow, {}},
        PassCase{"BackwardStepMovesBackByTheCount",
                 Line("2026/12/06 10:00:00", "-1h", "2"),
                 kNow,
                 {Line("2026/12/06 08:00:00", "-1h", "0")}},
        PassCase{"FractionalCountGoesNegative",
                 Line("2026/12/06 10:00:00", "1h", "2.5"),
                 kNow,
                 {Line("2026/12/06 13:00:00", "1h", "-0.5")}},
        PassCase{"CountWithLeadingBlankAndTrailingText",
                 Line("2026/12/06 10:00:00", "1h", " 3x"),
                 kNow,
                 {Line("2026/12/06 13:00:00", "1h", "0")}},
        PassCase{"HugeCountStaysWhereSubtractionRoundsBack",
                 Line("2026/12/06 10:00:00", "1h", "1e20"),
                 kNow,
                 {Line("2026/12/06 13:00:00", "1h", "1E+20")}},
        PassCase{"AYearOverdueBySeconds",
                 Line("2025/12/06 12:34:56", "1s", "E"),
                 kNow,
                 {Line("2026/12/06 12:34:56", "1s", "E")}},
        PassCase{"FewerThanFourFieldsWarn", "2026/12/06 10:00:00\t1h\tE", kNow, {}, true},
        PassCase{"MoreThanFourFieldsWarn",
                 Line("2026/12/06 10:00:00", "1h", "E") + "\t",
                 kNow,
                 {},
                 true},
        PassCase{"EmptyLineGoesQuietly", "", kNow, {}},
        PassCase{
            "FutureUnreadableDueTimeWarns", Line("2026/13/01 10:00:00", "1h", "E"), kNow, {}, true},
        PassCase{"UnreadableDueTimeWarns", Line("yesterday", "1h", "E"), kNow, {}, true},
        PassCase{"EmptyIntervalWarns", Line("2026/12/06 10:00:00", "", "E"), kNow, {}, true},
        PassCase{"IntervalBeyondSixteenBitsWarns",
                 Line("2026/12/06 10:00:00", "32768z", "E"),
                 kNow,
                 {},
                 true},
        PassCase{
            "CountThatIsNoNumberWarns", Line("2026/12/06 10:00:00", "1h", "e"), kNow, {}, true},
        PassCase{
            "CountBeyondDoublesWarns", Line("2026/12/06 10:00:00", "1h", "1e400"), kNow, {}, true},
        PassCase{"StepBeforeYear100Warns", Line("0100/01/01 00:00:00", "-1d", "3"), kNow, {}, true},
        PassCase{"UnreadableFieldsOfAFutureLineAreNotRead",
                 Line("2027/01/01 00:00:00", "", "e"),
                 kNow,
                 {Line("2027/01/01 00:00:00", "", "e")}},
        PassCase{"UnreadableFieldsAreNotReadInTheDueSecond",
                 Line("2026/12/06 12:34:56", "", "e"),
                 kNow,
                 {Line("2026/12/06 12:34:56", "", "e")}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SchedulerPass, NoRepeatWithCountFiresTwiceThenGoes) {
  const DateTime now = At(kNow);
  auto lines = SchedulerPass({Line("2026/12/06 10:00:00", "0z", "3")}, now);
  EXPECT_THAT(lines, ElementsAre(Line("2026/12/06 10:00:00", "0z", "0")));
  EXPECT_THAT(SchedulerPass(lines, now + std::chrono::seconds{1}), IsEmpty());
}

TEST(SchedulerPass, KeepsInputOrderAndDropsOnlyWhatGoes) {
  const auto survivors = SchedulerPass(
      {Line("2026/12/06 10:00:00", "1h", "E", "b"), "", Line("2026/12/06 09:00:00", "1d", "0", "c"),
       Line("2026/12/06 08:00:00", "30m", "E", "d")},
      At(kNow));
  EXPECT_THAT(survivors, ElementsAre(Line("2026/12/06 13:00:00", "1h", "E", "b"),
                                     Line("2026/12/06 13:00:00", "30m", "E", "d")));
  EXPECT_THAT(SchedulerPass({}, At(kNow)), IsEmpty());
}

// The editor's copy: a shared line moves on or goes as the pass took it, a line only the copy has
// (added or changed there) stays, and a shared line the pass left alone is no change.
TEST(SchedulerPass, ACopyFollowsThePassOnlyOnTheLinesItShares) {
  const std::string moves = Line("2026/12/06 10:00:00", "1h", "E", "b");
  const std::string goes = Line("2026/12/06 09:00:00", "0z", "0", "c");
  const std::string later = Line("2027/01/01 00:00:00", "0z", "E");
  const std::string changed_there = Line("2026/12/06 10:00:00", "1h", "E", "x");
  const auto changes =
      ChangesForCopy({goes, moves, changed_there, later}, {moves, goes, later}, At(kNow));
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].before, goes);
  EXPECT_EQ(changes[0].after, std::nullopt);
  EXPECT_EQ(changes[1].before, moves);
  EXPECT_EQ(changes[1].after, Line("2026/12/06 13:00:00", "1h", "E", "b"));
}

TEST(SchedulerPass, WarningOnStandardErrorNamesTheLineAndTheReason) {
  ::testing::internal::CaptureStderr();
  SchedulerPass({Line("2026/99/06 10:00:00", "1h", "E", "x")}, At(kNow), WarnOnStandardError);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "kelmora: dropped alarm line \"2026/99/06 10:00:00\t1h\tE\tx\": the due time is not a "
            "date-time\n");
}

}  // namespace
}  // namespace kelmora
