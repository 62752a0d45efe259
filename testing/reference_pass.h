#pragma once
// testing/: references that tests, fuzzers and benchmarks share; uses alarm/, core/.
// The scheduler pass for one line written the slow way, one catch-up iteration per missed step,
// exactly as the pass was first described. Tests and the benchmark hold the computed catch-up
// against it. It gives up after max_iterations, or as soon as an iteration changes nothing, and
// reports the line as endless.

#include <chrono>
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/date_time.h"
#include "core/number.h"

namespace kelmora::reference {

struct LineResult {
  enum class Kind { kKept, kDropped, kUnreadable, kEndless };
  Kind kind = Kind::kDropped;
  std::string line;  // the surviving line, for kKept
  std::int64_t iterations = 0;
};

inline std::vector<std::string> SplitAtTabs(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == '\t') {
      fields.emplace_back();
    } else {
      fields.back() += c;
    }
  }
  return fields;
}

// T moved by one repeat interval; nullopt when field 1 cannot be read.
inline std::optional<DateTime> StepOnce(DateTime t, const std::string& interval) {
  if (interval.empty()) return std::nullopt;
  const std::optional<std::int16_t> n =
      RoundToInt16(ReadNumber(interval.substr(0, interval.size() - 1)));
  if (!n) return std::nullopt;
  switch (interval.back()) {
    case 'd':
      return t + std::chrono::days{*n};
    case 'h':
      return t + std::chrono::hours{*n};
    case 'm':
      return t + std::chrono::minutes{*n};
    case 's':
      return t + std::chrono::seconds{*n};
    default:
      return t;
  }
}

// Uses up one firing of the count; nullopt when the count cannot be read.
inline std::optional<std::string> CountOnce(const std::string& count) {
  if (count == "E") return count;
  const std::optional<double> value = ReadLeadingNumber(count);
  if (!value || !std::isfinite(*value)) return std::nullopt;
  return ShortestDecimal(*value - 1);
}

inline LineResult Outcome(LineResult::Kind kind, std::string line = {},
                          std::int64_t iterations = 0) {
  return {kind, std::move(line), iterations};
}

inline LineResult PassLine(const std::string& line, DateTime now, std::int64_t max_iterations) {
  using Kind = LineResult::Kind;
  std::vector<std::string> fields = SplitAtTabs(line);
  if (fields.size() != 4) return Outcome(line.empty() ? Kind::kDropped : Kind::kUnreadable);
  std::optional<DateTime> t = ParseDateTime(fields[0]);
  if (!t) return Outcome(Kind::kUnreadable);
  if (*t > now) return Outcome(Kind::kKept, line);
  if (fields[2] == "0") return Outcome(Kind::kDropped);
  std::int64_t iterations = 0;
  while (*t < now) {
    if (iterations == max_iterations) return Outcome(Kind::kEndless);
    const std::optional<DateTime> next_t = StepOnce(*t, fields[1]);
    if (!next_t || !InTextRange(*next_t)) return Outcome(Kind::kUnreadable);
    const std::optional<std::string> next_count = CountOnce(fields[2]);
    if (!next_count) return Outcome(Kind::kUnreadable);
    if (*next_t == *t && *next_count == fields[2])
      return Outcome(Kind::kEndless);  // nothing changes
    *t = *next_t;
    fields[2] = *next_count;
    ++iterations;
    if (fields[2] == "0") break;
  }
  return Outcome(Kind::kKept,
                 CanonicalText(*t) + "\t" + fields[1] + "\t" + fields[2] + "\t" + fields[3],
                 iterations);
}

// The whole pass: the surviving lines in input order, empty ones left out.
inline std::vector<std::string> Pass(const std::vector<std::string>& lines, DateTime now,
                                     std::int64_t max_iterations) {
  std::vector<std::string> survivors;
  for (const std::string& line : lines) {
    LineResult result = PassLine(line, now, max_iterations);
    if (result.kind == LineResult::Kind::kKept && !result.line.empty()) {
      survivors.push_back(std::move(result.line));
    }
  }
  return survivors;
}

}  // namespace kelmora::reference
