#pragma once
// The scheduler pass: lines not yet due stay as they are; due lines move on by their repeat
// interval to the first time not before now, using up one count a step, or go.

#include <functional>
#include <string>
#include <vector>

#include "core/date_time.h"

namespace kelmora {

// Told of each non-empty line the pass cannot read and drops (the line, and why): lines that do
// not split into four fields, and four-field lines with a field the pass cannot use.
using PassWarning = std::function<void(const std::string& line, const std::string& why)>;

// One pass over lines at now; returns the surviving lines in input order (the scratch list).
// Empty survivors are never returned.
std::vector<std::string> SchedulerPass(const std::vector<std::string>& lines, DateTime now,
                                       const PassWarning& warn = {});

// Warns on standard error: "kelmora: dropped alarm line "<line>": <why>".
void WarnOnStandardError(const std::string& line, const std::string& why);

}  // namespace kelmora
