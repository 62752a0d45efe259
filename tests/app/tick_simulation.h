#pragma once
// A simulated machine for the clock tick: a wall clock and a monotonic clock that the test moves,
// the tick-per-interval loop the program ran before it learned to sleep, the sleeping timer, and a
// tray and a sound player that write down every change a user could see or hear, with the
// monotonic time it came at.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"
#include "tick/scheduled_tick_timer.h"
#include "tick/tick_schedule.h"

namespace kelmora::sim {

using std::chrono::milliseconds;

// Both clocks; the local time is the wall clock taken as local.
struct Clocks : Clock {
  WallTime wall{};
  MonotonicTime monotonic{};
  DateTime Now() const override { return LocalAt(wall); }
  DateTime LocalAt(WallTime instant) const override {
    return DateTime{std::chrono::floor<std::chrono::seconds>(instant.time_since_epoch())};
  }
};

// What the simulation runs at a monotonic time.
class Alarm {
 public:
  virtual ~Alarm() = default;
  virtual std::optional<MonotonicTime> Due() const = 0;
  virtual void GoOff() = 0;
  virtual void ClockWasSet() = 0;  // the wall clock moved alone
};

// The loop the program ran before: it wakes at every tick. A 1000 ms tick re-arms at each tick
// for the time left to the next second of the wall clock; other intervals repeat on the
// monotonic clock. It hears nothing of the wall clock being set.
class LoopTimer : public TickTimer, public Alarm {
 public:
  explicit LoopTimer(Clocks& clocks) : clocks_(clocks) {}
  void SetInterval(int milliseconds) override {
    interval_ = milliseconds > 0 ? milliseconds : 0;
    due_.reset();
    if (interval_ > 0) due_ = clocks_.monotonic + Gap();
  }
  int Interval() const override { return interval_; }
  void WakeAfter(std::int64_t) override {}  // wakes at every tick all the same
  std::int64_t CountPassed() override { return 0; }
  TickLattice Lattice() const override {
    if (!due_) return {};
    const WallTime first = clocks_.wall + (*due_ - clocks_.monotonic);
    const milliseconds step{interval_ == kAlignedTickInterval ? 1000 : interval_};
    const WallTime second =
        first + (interval_ == kAlignedTickInterval ? TimeToNextTick(first) : step);
    return {clocks_.wall, first, second, step};
  }
  std::optional<MonotonicTime> Due() const override { return due_; }
  void GoOff() override {
    due_ = interval_ == kAlignedTickInterval ? clocks_.monotonic + Gap()
                                             : *due_ + milliseconds{interval_};
    if (on_tick) on_tick(1);
  }
  void ClockWasSet() override {}

 private:
  milliseconds Gap() const {
    return interval_ == kAlignedTickInterval ? TimeToNextTick(clocks_.wall)
                                             : milliseconds{interval_};
  }
  Clocks& clocks_;
  int interval_ = 0;
  std::optional<MonotonicTime> due_;
};

// The sleeping timer on the simulated clocks. Its alarm runs on the monotonic clock; a wall
// clock that moved alone is announced at once, as the timerfd announces it.
class SparseTimer : public ScheduledTickTimer, public Alarm {
 public:
  explicit SparseTimer(Clocks& clocks)
      : ScheduledTickTimer([&clocks] { return clocks.wall; },
                           [&clocks] { return clocks.monotonic; }) {}
  std::optional<MonotonicTime> Due() const override { return armed_; }
  void GoOff() override {
    armed_.reset();
    ++wakes;
    AlarmWentOff();
  }
  void ClockWasSet() override { WallClockSet(); }
  int wakes = 0;  // the alarm went off

 protected:
  void Arm(WallTime, MonotonicTime monotonic) override { armed_ = monotonic; }
  void Disarm() override { armed_.reset(); }

 private:
  std::optional<MonotonicTime> armed_;
};

// Lines "TIME what", TIME the monotonic milliseconds.
struct Log {
  const Clocks* clocks = nullptr;
  std::vector<std::string> lines;
  void Add(const std::string& what) {
    lines.push_back(std::to_string(clocks->monotonic.time_since_epoch().count()) + " " + what);
  }
};

inline std::string Fingerprint(const IconImage& icon) {
  std::uint64_t hash = 1469598103934665603ull;
  for (std::uint32_t pixel : icon.argb) hash = (hash ^ pixel) * 1099511628211ull;
  return std::to_string(hash);
}

// The tray as the platform shows it: only a change of what is shown is written down.
class RecordingTray : public TrayService {
 public:
  explicit RecordingTray(Log& log) : log_(log) {}
  void Add(const IconImage& icon, const std::string& tip) override {
    const bool changed = !present_ || !(icon == icon_) || tip != tip_;
    present_ = true;
    icon_ = icon;
    tip_ = tip;
    if (changed) log_.Add("tray " + Fingerprint(icon) + " " + tip);
  }
  void Modify(const IconImage& icon, const std::string& tip) override {
    if (present_) Add(icon, tip);
  }
  void Remove() override {
    if (present_) log_.Add("tray gone");
    present_ = false;
  }

 private:
  Log& log_;
  bool present_ = false;
  IconImage icon_{};
  std::string tip_;
};

class RecordingSound : public SoundService {
 public:
  explicit RecordingSound(Log& log) : log_(log) {}
  void Play(const std::string& path) override { log_.Add("sound " + path); }
  void Stop() override { log_.Add("sound stopped"); }

 private:
  Log& log_;
};

class RecordingNotifier : public Notifier {
 public:
  explicit RecordingNotifier(Log& log) : log_(log) {}
  void Show(const std::string& summary, const std::string& body,
            const std::vector<NotificationAction>&) override {
    log_.Add("notify " + summary + " " + body);
  }
  void Close() override { log_.Add("notification closed"); }
  void Notice(const std::string& summary, const std::string& body) override {
    log_.Add("notice " + summary + " " + body);
  }

 private:
  Log& log_;
};

}  // namespace kelmora::sim
