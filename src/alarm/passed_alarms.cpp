#include "alarm/passed_alarms.h"

#include <algorithm>
#include <chrono>

namespace kelmora {
namespace {

using std::chrono::seconds;

DateTime FiringAt(const MovedOver& firings, std::int64_t index) {
  return firings.first + seconds{index * firings.step_seconds};
}

// How many of the firings fall due at or before last.
std::int64_t FiringsUpTo(const MovedOver& firings, DateTime last) {
  if (firings.first > last) return 0;
  if (firings.step_seconds == 0) return firings.count;
  return std::min(firings.count, (last - firings.first).count() / firings.step_seconds + 1);
}

}  // namespace

PassedAlarms Passed(const std::vector<MovedOver>& moved, std::optional<std::size_t> rung_line) {
  std::vector<MovedOver> unheard;
  for (MovedOver firings : moved) {
    if (rung_line && firings.line == *rung_line) {
      firings.first = FiringAt(firings, 1);
      --firings.count;
    }
    if (firings.count > 0) unheard.push_back(firings);
  }
  PassedAlarms passed;
  if (unheard.empty()) return passed;
  for (const MovedOver& firings : unheard) {
    passed.count += firings.count;
    const auto named = std::min<std::int64_t>(firings.count, PassedAlarms::kListed);
    for (std::int64_t i = 0; i < named; ++i) passed.earliest.push_back(FiringAt(firings, i));
  }
  std::sort(passed.earliest.begin(), passed.earliest.end());
  passed.earliest.erase(std::unique(passed.earliest.begin(), passed.earliest.end()),
                        passed.earliest.end());
  if (passed.earliest.size() > PassedAlarms::kListed) passed.earliest.resize(PassedAlarms::kListed);
  std::int64_t named = 0;
  for (const MovedOver& firings : unheard) {
    named += FiringsUpTo(firings, passed.earliest.back());
  }
  passed.more = passed.count > named;
  return passed;
}

std::string PassedAlarmsText(std::string_view lead, const PassedAlarms& passed) {
  std::string text(lead);
  text += " " + std::to_string(passed.count) + " 件のアラームが過ぎました: ";
  for (std::size_t i = 0; i < passed.earliest.size(); ++i) {
    if (i > 0) text += ", ";
    text += CanonicalText(passed.earliest[i]);
  }
  if (passed.more) text += ", …";
  return text;
}

}  // namespace kelmora
