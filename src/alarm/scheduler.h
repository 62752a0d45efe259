#pragma once
// The scheduler pass: lines not yet due stay as they are; due lines move on by their repeat
// interval to the first time not before now, using up one count a step, or go.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/date_time.h"

namespace kelmora {

// Told of each non-empty line the pass cannot read and drops (the line, and why): lines that do
// not split into four fields, and four-field lines with a field the pass cannot use.
using PassWarning = std::function<void(const std::string& line, const std::string& why)>;

// The firings a pass moved one line over (or dropped it with) without ringing them: count of
// them, the earliest at first and the others step_seconds apart, later and later (all at first
// when the line's due time stood). Unreadable lines are not among them.
struct MovedOver {
  std::size_t line = 0;  // the line's place in the pass's input
  DateTime first;
  std::int64_t step_seconds = 0;
  std::int64_t count = 0;
};

// One pass over lines at now; returns the surviving lines in input order (the scratch list).
// Empty survivors are never returned. With moved_over, the firings each due line was moved over
// are added to it, in input order.
std::vector<std::string> SchedulerPass(const std::vector<std::string>& lines, DateTime now,
                                       const PassWarning& warn = {},
                                       std::vector<MovedOver>* moved_over = nullptr);

// A line of a copy that a pass changed, and what it became (nullopt: it went).
struct LineChange {
  std::string before;
  std::optional<std::string> after;
};

// A copy of the lines taken before a pass (the editor's) follows the pass: each of its lines that
// the pass was given goes the way the pass took it, moved on or gone; lines only the copy has
// (added or changed there) stay as they are. Returns one change per line of the copy it changes.
std::vector<LineChange> ChangesForCopy(const std::vector<std::string>& copy,
                                       const std::vector<std::string>& passed, DateTime now);

// Warns on standard error: "kelmora: dropped alarm line "<line>": <why>".
void WarnOnStandardError(const std::string& line, const std::string& why);

}  // namespace kelmora
