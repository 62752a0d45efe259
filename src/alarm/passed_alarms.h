#pragma once
// Alarms that passed unheard: what the user is told of the firings a scheduler pass moved lines
// over while the program could not ring them (it was not running, or the machine slept or the
// clock was set forward). Worked out from the pass's counts, never firing by firing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alarm/scheduler.h"
#include "core/date_time.h"

namespace kelmora {

// How the notice begins: the alarms passed while the program was not running, or while the
// machine slept or the clock was set forward.
inline constexpr std::string_view kPassedWhileNotRunning = "起動していない間に";
inline constexpr std::string_view kPassedWhileClockMoved = "スリープ中または時刻の変更で";

struct PassedAlarms {
  static constexpr std::size_t kListed = 3;  // due times named at most
  std::int64_t count = 0;                    // firings passed
  std::vector<DateTime> earliest;            // the earliest of their due times, each once, in order
  bool more = false;                         // some passed later than the last one named
};

// The firings in moved, less the one that rang: the first of the line at rung_line, when given.
PassedAlarms Passed(const std::vector<MovedOver>& moved,
                    std::optional<std::size_t> rung_line = std::nullopt);

// "<lead> N 件のアラームが過ぎました: <due>, <due>, <due>, …" (the "…" when more passed).
std::string PassedAlarmsText(std::string_view lead, const PassedAlarms& passed);

}  // namespace kelmora
