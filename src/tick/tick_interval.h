#pragma once
// The tick period and redraw rate derived from the update interval text.

#include <cstdint>
#include <string_view>

namespace kelmora {

struct TickInterval {
  int milliseconds = 0;         // timer interval; 0 stops the tick
  std::int32_t tick_limit = 0;  // ticks to let pass between redraws
};

// ms = the text's leading number x 1000, halves to even, 32 bits. 1000 or more: 1000 ms and
// tick_limit ms/1000 (halves to even); below: ms and 0. Negative or beyond 32 bits: stopped.
TickInterval ComputeTickInterval(std::string_view interval_text);

// An interval whose milliseconds are negative or do not fit 32 bits. It stops the clock as 0 does,
// but unlike 0 (or text without a number) it is no choice a user makes: the start says so.
bool IntervalOutOfRange(std::string_view interval_text);

// What the 設定 button accepts: a leading number of at least 0.001 whose milliseconds fit
// 32 bits.
bool AcceptableInterval(std::string_view interval_text);

}  // namespace kelmora
