#pragma once
// Fakes of the platform services: a settable clock, a timer fired by hand, a tray, player,
// message boxes and dialogs that record what they were asked and answer from a script.

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/services.h"

namespace kelmora::fakes {

class FakeClock : public Clock {
 public:
  DateTime now = *MakeDateTime(2003, 11, 9, 14, 7, 0);
  DateTime Now() const override { return now; }
  // The fake's wall clock is its local one.
  DateTime LocalAt(WallTime instant) const override {
    return DateTime{std::chrono::floor<std::chrono::seconds>(instant.time_since_epoch())};
  }
  WallTime Wall() const { return WallTime{now.time_since_epoch()}; }
};

// A timer whose ticks the test runs by hand (Fire, or the window's Tick). It records the wake
// the window planned, and counts no tick by itself.
class FakeTimer : public TickTimer {
 public:
  int interval = 0;
  int intervals_set = 0;
  std::int64_t wake_after = 1;  // what the window last asked for
  int plans = 0;                // how often it asked
  const FakeClock* clock = nullptr;
  void SetInterval(int milliseconds) override {
    interval = milliseconds > 0 ? milliseconds : 0;
    wake_after = 1;
    ++intervals_set;
  }
  int Interval() const override { return interval; }
  void WakeAfter(std::int64_t ticks) override {
    wake_after = ticks;
    ++plans;
  }
  std::int64_t CountPassed() override { return 0; }
  // The ticks after the fake clock's second, as the real timer would place them.
  TickLattice Lattice() const override {
    if (interval == 0) return {};
    TickSchedule schedule;
    schedule.Start(interval, MonotonicTime{}, clock ? clock->Wall() : WallTime{});
    return schedule.Lattice();
  }
  // Runs one tick, as the running timer would.
  void Fire() {
    if (interval > 0 && on_tick) on_tick(1);
  }
};

class FakeTray : public TrayService {
 public:
  bool present = false;
  IconImage icon{};
  std::string tip;
  int adds = 0;
  int modifies = 0;
  int removes = 0;
  void Add(const IconImage& new_icon, const std::string& new_tip) override {
    present = true;
    icon = new_icon;
    tip = new_tip;
    ++adds;
  }
  void Modify(const IconImage& new_icon, const std::string& new_tip) override {
    if (!present) return;
    icon = new_icon;
    tip = new_tip;
    ++modifies;
  }
  void Remove() override {
    present = false;
    ++removes;
  }
  void Release(TrayMouse what) {
    if (on_mouse) on_mouse(what);
  }
};

class FakeSound : public SoundService {
 public:
  std::vector<std::string> played;
  int stops = 0;
  void Play(const std::string& path) override { played.push_back(path); }
  void Stop() override { ++stops; }
  // The last sound ends by itself, as the player would report it.
  void Finish() {
    if (on_finished) on_finished();
  }
};

class FakeNotifier : public Notifier {
 public:
  struct Shown {
    std::string summary;
    std::string body;
    bool operator==(const Shown&) const = default;
  };
  std::vector<Shown> shown;
  std::vector<NotificationAction> actions;  // the buttons of the last one shown
  bool up = false;
  void Show(const std::string& summary, const std::string& body,
            const std::vector<NotificationAction>& buttons) override {
    shown.push_back({summary, body});
    actions = buttons;
    up = true;
  }
  void Close() override { up = false; }
  std::vector<Shown> notices;
  void Notice(const std::string& summary, const std::string& body) override {
    notices.push_back({summary, body});
  }
  // The user chose the button labelled label on the notification up.
  void Choose(const std::string& label) {
    for (const NotificationAction& action : actions) {
      if (action.label == label && up && on_action) on_action(action.key);
    }
  }
};

class FakeMessages : public MessageBoxes {
 public:
  std::vector<std::string> notices;
  std::vector<std::string> questions;
  std::deque<bool> answers;         // answers to the next questions; Yes when none is left
  std::function<void()> on_notice;  // runs while a notice is up, as a signal would arrive
  void Notice(const std::string& text) override {
    notices.push_back(text);
    if (on_notice) on_notice();
  }
  bool AskYesNo(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return true;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  int boxes_closed = 0;
  void CloseOpenBox() override { ++boxes_closed; }
};

class FakeColorDialog : public ColorDialog {
 public:
  std::deque<std::optional<ColorValue>> answers;  // nullopt: cancelled
  std::vector<ColorValue> asked_with;
  std::optional<ColorValue> Pick(ColorValue current) override {
    asked_with.push_back(current);
    if (answers.empty()) return std::nullopt;
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class FakeFileDialog : public FileDialog {
 public:
  struct Call {
    std::string start_path;
    std::vector<FileFilter> filters;
    int selected_filter = 0;
    bool save = false;
  };
  std::vector<Call> calls;
  std::deque<std::string> answers;  // "" : cancelled
  std::string Open(const std::string& start_path, const std::vector<FileFilter>& filters,
                   int selected_filter) override {
    return Answer({start_path, filters, selected_filter, false});
  }
  std::string Save(const std::string& start_path, const std::vector<FileFilter>& filters,
                   int selected_filter) override {
    return Answer({start_path, filters, selected_filter, true});
  }

 private:
  std::string Answer(Call call) {
    calls.push_back(std::move(call));
    if (answers.empty()) return {};
    auto answer = answers.front();
    answers.pop_front();
    return answer;
  }
};

class FakeAppearance : public Appearance {
 public:
  ColorValue button_face = Rgb(0xEF, 0xEF, 0xEF);
  ColorValue ButtonFace() const override { return button_face; }
};

class FakeScreen : public Screen {
 public:
  PixelRect area{0, 0, 1024, 738};
  PixelRect WorkArea() const override { return area; }
};

// A window that only remembers what was done to it; Base is the window interface it fakes.
template <class Base>
class FakeWindowOf : public Base {
 public:
  bool shown = false;
  bool minimised = false;
  bool on_top = false;
  int raised = 0;
  PixelSize outer{160, 180};
  int left = 0;
  int top = 0;
  bool Shown() const override { return shown; }
  void Hide() override { shown = false; }
  void Restore() override { shown = true, minimised = false; }
  void KeepOnTop(bool keep) override { on_top = keep, shown = true; }
  void Raise() override { ++raised, shown = true; }
  PixelSize OuterSize() const override { return outer; }
  void MoveOuterTo(int x, int y) override { left = x, top = y; }
};
using FakeWindow = FakeWindowOf<TopLevelWindow>;

// Frames the test reports by hand, as a window manager would.
class FakeWindowFrames : public WindowFrames {
 public:
  std::map<NativeWindow, PixelMargins> reported;
  std::vector<NativeWindow> requests;
  std::optional<PixelMargins> Reported(NativeWindow window) const override {
    const auto found = reported.find(window);
    if (found == reported.end()) return std::nullopt;
    return found->second;
  }
  void Request(NativeWindow window) override { requests.push_back(window); }
  void Report(NativeWindow window, PixelMargins frame) {
    reported[window] = frame;
    if (on_reported) on_reported(window);
  }
};

// All fakes together, with Services pointing at them.
struct FakeServices {
  FakeClock clock;
  FakeTimer timer;
  FakeTray tray;
  FakeSound sound;
  FakeNotifier notifier;
  FakeMessages messages;
  FakeAppearance appearance;
  FakeColorDialog colors;
  FakeFileDialog files;
  FakeScreen screen;
  FakeWindowFrames frames;
  AppPaths paths;
  FakeServices() { timer.clock = &clock; }
  FakeServices(const FakeServices&) = delete;
  FakeServices& operator=(const FakeServices&) = delete;
  Services Get() {
    return Services{clock,      timer,  tray,  sound,  notifier, messages,
                    appearance, colors, files, screen, frames,   paths};
  }
};

}  // namespace kelmora::fakes
