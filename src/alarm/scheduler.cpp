#include "alarm/scheduler.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <optional>
#include <string_view>

#include "alarm/alarm_line.h"
#include "alarm/countdown.h"
#include "core/number.h"

namespace kelmora {
namespace {

using std::chrono::seconds;

// Seconds that no step can cross and stay within the years a due time may hold.
constexpr std::int64_t kWholeTextRange = (std::chrono::sys_days{std::chrono::year{10000} / 1 / 1} -
                                          std::chrono::sys_days{std::chrono::year{100} / 1 / 1}) /
                                         seconds{1};

// What one catch-up does to a due line: how many steps it takes and the count afterwards
// (nullopt for count "E").
struct CatchUp {
  std::int64_t steps = 0;
  std::optional<double> count;
};

// The catch-up of a step that moves the due time forward: steps until the due time is no longer
// before now, fewer when the count reaches 0 first.
CatchUp MovingCatchUp(std::int64_t overdue_seconds, std::int64_t step_seconds,
                      std::optional<double> count) {
  const std::int64_t needed = (overdue_seconds + step_seconds - 1) / step_seconds;
  if (!count) return {needed, std::nullopt};
  const Countdown countdown = CountDown(*count, needed);
  return {countdown.steps, countdown.value};
}

// The catch-up of a step that does not move the due time forward: only a count that reaches 0
// ends it; nullopt when nothing would, and the line goes like one with count "0".
std::optional<CatchUp> StandingCatchUp(std::optional<double> count) {
  if (!count) return std::nullopt;
  const Countdown countdown = CountDown(*count, std::numeric_limits<std::int64_t>::max());
  if (!countdown.reached_zero) return std::nullopt;
  return CatchUp{countdown.steps, countdown.value};
}

// due moved by steps * step_seconds; nullopt when that leaves the years 100 to 9999.
std::optional<DateTime> MoveBy(DateTime due, std::int64_t steps, std::int64_t step_seconds) {
  if (step_seconds != 0 && steps > kWholeTextRange / std::abs(step_seconds)) return std::nullopt;
  const DateTime moved = due + seconds{steps * step_seconds};
  if (!InTextRange(moved)) return std::nullopt;
  return moved;
}

std::int64_t UnitSeconds(char unit) {
  switch (unit) {
    case 'd':
      return 86400;
    case 'h':
      return 3600;
    case 'm':
      return 60;
    case 's':
      return 1;
    default:
      return 0;  // any other letter leaves the due time where it is
  }
}

// What the pass makes of one line: the line to keep, or nothing; why, when it could not read it;
// the firings it was moved over (a count of 0 when none).
struct LineOutcome {
  std::optional<std::string> survivor;
  std::string unreadable_because;
  MovedOver moved;
};

LineOutcome Unreadable(std::string why) {
  return {std::nullopt, std::move(why), {}};
}

// The line goes with its one firing at due.
LineOutcome Gone(DateTime due) {
  return {std::nullopt, {}, {0, due, 0, 1}};
}

// steps firings from due on, step_seconds apart, put earliest first (a step back in time
// leaves the earliest last).
MovedOver Firings(DateTime due, std::int64_t steps, std::int64_t step_seconds) {
  if (step_seconds >= 0 || steps == 0) return {0, due, step_seconds, steps};
  return {0, due + seconds{(steps - 1) * step_seconds}, -step_seconds, steps};
}

// The line with its due time written in canonical form and the count it now has.
std::string Rebuild(DateTime due, const AlarmLine& fields, std::string_view count_text) {
  const std::string due_text = CanonicalText(due);
  return AlarmLine{due_text, fields.interval, count_text, fields.sound}.Join();
}

// A line due before now: reads its interval and count and moves it on.
LineOutcome CatchUpLine(DateTime due, const AlarmLine& fields, DateTime now) {
  const std::string_view interval = fields.interval;
  if (interval.empty()) return Unreadable("the repeat interval is empty");
  const std::optional<std::int16_t> number =
      RoundToInt16(ReadNumber(interval.substr(0, interval.size() - 1)));
  if (!number) return Unreadable("the repeat interval number does not fit 16 bits");
  std::optional<double> count;
  if (fields.count != AlarmLine::kNoLimit) {
    count = ReadLeadingNumber(fields.count);
    if (!count || !std::isfinite(*count)) {
      return Unreadable("the repeat count is neither E nor a number");
    }
  }
  const std::int64_t step = *number * UnitSeconds(interval.back());
  const std::optional<CatchUp> catch_up =
      step > 0 ? MovingCatchUp((now - due).count(), step, count) : StandingCatchUp(count);
  if (!catch_up) return Gone(due);
  const std::optional<DateTime> moved = MoveBy(due, catch_up->steps, step);
  if (!moved) return Unreadable("a step takes the due time outside the years 100 to 9999");
  const std::string count_text =
      catch_up->count ? ShortestDecimal(*catch_up->count) : std::string(AlarmLine::kNoLimit);
  return {Rebuild(*moved, fields, count_text), {}, Firings(due, catch_up->steps, step)};
}

LineOutcome PassLine(const std::string& line, DateTime now) {
  const std::optional<AlarmLine> fields = AlarmLine::Split(line);
  if (!fields)
    return line.empty() ? LineOutcome{} : Unreadable("it does not split into four fields");
  const std::optional<DateTime> due = ParseDateTime(fields->due);
  if (!due) return Unreadable("the due time is not a date-time");
  if (*due > now) return {line, {}, {}};
  if (fields->count == AlarmLine::kLastFiring) return Gone(*due);
  if (*due == now) return {Rebuild(*due, *fields, fields->count), {}, {}};
  return CatchUpLine(*due, *fields, now);
}

}  // namespace

std::vector<std::string> SchedulerPass(const std::vector<std::string>& lines, DateTime now,
                                       const PassWarning& warn,
                                       std::vector<MovedOver>* moved_over) {
  std::vector<std::string> survivors;
  survivors.reserve(lines.size());
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    LineOutcome outcome = PassLine(line, now);
    if (moved_over && outcome.moved.count > 0) {
      outcome.moved.line = i;
      moved_over->push_back(outcome.moved);
    }
    if (outcome.survivor && !outcome.survivor->empty()) {
      survivors.push_back(std::move(*outcome.survivor));
    } else if (!outcome.unreadable_because.empty() && warn) {
      warn(line, outcome.unreadable_because);
    }
  }
  return survivors;
}

std::vector<LineChange> ChangesForCopy(const std::vector<std::string>& copy,
                                       const std::vector<std::string>& passed, DateTime now) {
  std::vector<std::string> given = passed;
  std::sort(given.begin(), given.end());
  std::vector<LineChange> changes;
  for (const std::string& line : copy) {
    if (!std::binary_search(given.begin(), given.end(), line)) continue;
    std::vector<std::string> after = SchedulerPass({line}, now);
    if (after.size() == 1 && after[0] == line) continue;
    changes.push_back({line, after.empty() ? std::nullopt : std::optional(std::move(after[0]))});
  }
  return changes;
}

void WarnOnStandardError(const std::string& line, const std::string& why) {
  std::cerr << "kelmora: dropped alarm line \"" << line << "\": " << why << '\n';
}

}  // namespace kelmora
