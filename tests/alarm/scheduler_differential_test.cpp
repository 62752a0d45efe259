// The computed catch-up against the step-by-step loop over many generated lines: every unit,
// whole, negative, fractional, zero and large numbers, all kinds of counts, due times before, at
// and after now, some written with one-digit parts.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "alarm/scheduler.h"
#include "core/number.h"
#include "testing/reference_pass.h"

namespace kelmora {
namespace {

using std::chrono::seconds;

// Big enough for every line that ends: the generator keeps catch-ups within 401 steps and whole
// counts of standing steps within 500.
constexpr std::int64_t kIterationCap = 800;

class LineGenerator {
 public:
  LineGenerator(std::uint32_t seed, DateTime now) : random_(seed), now_(now) {}

  std::string Next() {
    const std::string interval = Interval();
    const std::int64_t step = StepSeconds(interval);
    const std::string count = Count(step > 0);
    std::string line = DueTime(step) + "\t" + interval + "\t" + count + "\t" + Sound();
    const int shape = Pick(100);
    if (shape == 0) return line.substr(0, line.rfind('\t'));  // three fields
    if (shape == 1) return line + "\t";                       // five fields
    if (shape == 2) return "";
    return line;
  }

 private:
  int Pick(int choices) { return std::uniform_int_distribution<int>(0, choices - 1)(random_); }
  std::int64_t Between(std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random_);
  }
  template <typename T>
  const T& OneOf(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Pick(static_cast<int>(items.size())))];
  }

  std::string Interval() {
    static const std::vector<std::string> kUnits = {"d", "h", "m", "s", "d", "h",
                                                    "m", "s", "z", "D", "x"};
    static const std::vector<std::string> kOddNumbers = {
        "0",      "-1",    "-3",  "1.5",    "2.5", "0.4", "0.5", "-0.5", "32767",
        "-32768", "32768", "1e5", "-32769", " 2",  "",    "7e0", "0.6",  "abc"};
    if (Pick(60) == 0) return "";
    const std::string unit = OneOf(kUnits);
    if (Pick(3) > 0) return std::to_string(Between(1, 40)) + unit;
    return OneOf(kOddNumbers) + unit;
  }

  // The generator's own reading of the step, to keep catch-ups short.
  static std::int64_t StepSeconds(const std::string& interval) {
    if (interval.empty()) return 0;
    const auto n = RoundToInt16(ReadNumber(interval.substr(0, interval.size() - 1)));
    if (!n) return 0;
    const std::int64_t number = *n;
    switch (interval.back()) {
      case 'd':
        return number * 86400;
      case 'h':
        return number * 3600;
      case 'm':
        return number * 60;
      case 's':
        return number;
      default:
        return 0;
    }
  }

  std::string Count(bool moving_step) {
    static const std::vector<std::string> kEndlessWhenStanding = {
        "-1",  "-7", "2.5",  "0.5",   "1.25", "0.1",    "1e-300",         "-0.5",
        "0.0", "-0", "1e20", "-1e20", "3e16", "4.5e-1", "123456789012.5", "-9007199254740990"};
    static const std::vector<std::string> kWholeLarge = {
        "1e15", "9007199254740992", "9007199254740993", "9007199254740994", "4503599627370497",
        "1E+20"};
    static const std::vector<std::string> kUnreadable = {"abc", "e", "", "+", "1e400", "-.e1"};
    switch (Pick(12)) {
      case 0:
      case 1:
      case 2:
        return "E";
      case 3:
        return "0";
      case 4:
      case 5:
        return std::to_string(Between(1, 500));
      case 6:
        return " " + std::to_string(Between(1, 30)) + (Pick(2) ? "x" : "");
      case 7:
      case 8:
        return OneOf(kEndlessWhenStanding);
      case 9:
        return moving_step ? OneOf(kWholeLarge) : std::to_string(Between(1, 50)) + ".0";
      case 10:
        return std::to_string(Between(-3, 3)) + "." + std::to_string(Between(0, 99));
      default:
        return Pick(4) == 0 ? OneOf(kUnreadable) : "3";
    }
  }

  std::string DueTime(std::int64_t step) {
    if (Pick(40) == 0) {
      static const std::vector<std::string> kUnreadable = {
          "2026/13/01 10:00:00", "2026/02/30 10:00:00", "tomorrow", "",
          "2026/12/06 24:00:00", "0099/12/31 23:59:59"};
      return OneOf(kUnreadable);
    }
    if (step <= 0 && Pick(20) == 0)
      return Written(*MakeDateTime(100, 1, static_cast<unsigned>(Between(1, 3))));
    return Written(now_ - seconds{Overdue(step)});
  }

  // Seconds before now: some in the future (negative), some exactly now, most a few steps late.
  std::int64_t Overdue(std::int64_t step) {
    switch (Pick(8)) {
      case 0:
        return -Between(1, 10'000'000);
      case 1:
        return 0;
      case 2:
        return Between(1, 3);
      default:
        break;
    }
    if (step <= 0) return Between(1, 100'000'000);
    const std::int64_t limit = (now_ - *MakeDateTime(101, 1, 1)).count() / step;
    return std::min<std::int64_t>(Between(0, 400), limit) * step + Between(1, step);
  }

  std::string Part(unsigned value) {
    const std::string digits = std::to_string(value);
    return value < 10 && Pick(4) == 0 ? digits : (value < 10 ? "0" : "") + digits;
  }

  // The canonical form mostly; now and then one-digit parts, "-" as date separator, no seconds.
  std::string Written(DateTime value) {
    const auto day = std::chrono::floor<std::chrono::days>(value);
    const std::chrono::year_month_day date{day};
    const std::chrono::hh_mm_ss time{value - day};
    const std::string separator = Pick(10) == 0 ? "-" : "/";
    std::string year = std::to_string(static_cast<int>(date.year()));
    year.insert(0, year.size() < 4 ? 4 - year.size() : 0, '0');  // year 10000: unreadable
    std::string text = year + separator + Part(static_cast<unsigned>(date.month())) + separator +
                       Part(static_cast<unsigned>(date.day())) + " " +
                       Part(static_cast<unsigned>(time.hours().count())) + ":" +
                       Part(static_cast<unsigned>(time.minutes().count()));
    if (time.seconds().count() != 0 || Pick(5) != 0) {
      text += ":" + Part(static_cast<unsigned>(time.seconds().count()));
    }
    return text;
  }

  std::string Sound() {
    static const std::vector<std::string> kSounds = {"", "/snd/a.wav", "C:\\x\\\"y\",z.wav",
                                                     "/home/ユーザー/音.wav"};
    return OneOf(kSounds);
  }

  std::mt19937 random_;
  DateTime now_;
};

struct Tally {
  int kept = 0;
  int dropped = 0;
  int unreadable = 0;
  int endless = 0;
};

// Runs both passes over count generated lines; returns how the reference saw them.
Tally Compare(std::uint32_t seed, DateTime now, int count) {
  using Kind = reference::LineResult::Kind;
  LineGenerator generator(seed, now);
  Tally tally;
  int mismatches = 0;
  for (int i = 0; i < count; ++i) {
    const std::string line = generator.Next();
    const reference::LineResult expected = reference::PassLine(line, now, kIterationCap);
    int warnings = 0;
    const auto survivors =
        SchedulerPass({line}, now, [&](const std::string&, const std::string&) { ++warnings; });
    const bool kept = expected.kind == Kind::kKept;
    const std::vector<std::string> wanted =
        kept ? std::vector<std::string>{expected.line} : std::vector<std::string>{};
    const bool quiet_when_readable = expected.kind == Kind::kUnreadable || warnings == 0;
    if ((survivors != wanted || !quiet_when_readable) && ++mismatches <= 10) {
      ADD_FAILURE() << "line \"" << line << "\": got "
                    << (survivors.empty() ? "(dropped)" : survivors[0]) << ", step by step "
                    << (kept ? expected.line : "(dropped)") << ", warnings " << warnings;
    }
    tally.kept += kept ? 1 : 0;
    tally.dropped += expected.kind == Kind::kDropped ? 1 : 0;
    tally.unreadable += expected.kind == Kind::kUnreadable ? 1 : 0;
    tally.endless += expected.kind == Kind::kEndless ? 1 : 0;
  }
  EXPECT_EQ(mismatches, 0);
  return tally;
}

TEST(SchedulerDifferential, ComputedCatchUpEqualsTheStepByStepLoop) {
  const Tally tally = Compare(20261206, *MakeDateTime(2026, 12, 6, 12, 34, 56), 100'000);
  // Every kind of outcome is exercised in bulk.
  EXPECT_GT(tally.kept, 40'000);
  EXPECT_GT(tally.dropped, 5'000);
  EXPECT_GT(tally.unreadable, 2'000);
  EXPECT_GT(tally.endless, 2'000);
}

TEST(SchedulerDifferential, NearTheLastYearStepsLeaveTheRange) {
  const Tally tally = Compare(9999, *MakeDateTime(9999, 12, 31, 22, 0, 0), 20'000);
  EXPECT_GT(tally.unreadable, 500);
}

}  // namespace
}  // namespace kelmora
