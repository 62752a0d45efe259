#include "tick/tick_interval.h"

#include <optional>

#include "core/number.h"

namespace kelmora {
namespace {

constexpr int kOneSecond = 1000;

// The interval text in whole milliseconds, halves to even; nullopt beyond 32 bits.
std::optional<std::int32_t> IntervalMilliseconds(std::string_view interval_text) {
  return RoundToInt32(ReadNumber(interval_text) * kOneSecond);
}

}  // namespace

TickInterval ComputeTickInterval(std::string_view interval_text) {
  const std::optional<std::int32_t> ms = IntervalMilliseconds(interval_text);
  if (!ms || *ms < 0) return {};
  if (*ms < kOneSecond) return {*ms, 0};
  return {kOneSecond, RoundToInt32(*ms / static_cast<double>(kOneSecond)).value_or(0)};
}

bool IntervalOutOfRange(std::string_view interval_text) {
  const std::optional<std::int32_t> ms = IntervalMilliseconds(interval_text);
  return !ms || *ms < 0;
}

bool AcceptableInterval(std::string_view interval_text) {
  return ReadNumber(interval_text) >= 0.001 && IntervalMilliseconds(interval_text).has_value();
}

}  // namespace kelmora
