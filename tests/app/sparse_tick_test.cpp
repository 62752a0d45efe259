// The sleeping tick against the tick-per-interval loop: the same main window runs twice on the
// same simulated clocks, once woken at every tick and once only at the ticks its plan names, and
// every change of the tray, every sound, every file written and the tick count at random moments
// must come at the same instants in both. The scenarios cover every update interval kind, every
// display mode, tips with and without seconds, alarms that fire, repeat and run out, the window
// shown and hidden, settings and the list changed, and the wall clock set both ways.

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>

#include "app/form1.h"
#include "editor/form2.h"
#include "fakes/fake_services.h"
#include "support/main_window_fixture.h"
#include "temp_folder.h"
#include "tick_simulation.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;

enum class Kind { kJump, kShow, kHide, kModes, kColour, kInterval, kEditorAdds, kPalette, kProbe };

struct Step {
  std::int64_t at_ms = 0;  // from the start, monotonic
  Kind kind = Kind::kProbe;
  std::int64_t amount = 0;  // jump: ms; modes: mode1 * 10 + mode2; colour: index
  std::string text;         // interval text; the alarm line's interval and count
};

struct Scenario {
  std::string interval = "1.0";
  int mode1 = 0;
  int mode2 = 0;
  std::string tip_format = "yyyy/mm/dd hh:mm aaa";
  bool in_tray = true;  // a settings file is there
  std::int64_t start_wall_ms = 0;
  std::int64_t length_ms = 0;
  std::vector<std::string> alarms;
  std::vector<Step> steps;
};

using std::chrono::milliseconds;

constexpr MonotonicTime kStartMonotonic{milliseconds{5'000'000}};

std::string ReadWhole(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

// One run of the main window on its own simulated machine.
class Machine {
 public:
  Machine(bool sparse, const Scenario& scenario, const fs::path& folder)
      : scenario_(scenario), folder_(folder), tray_(log_), sound_(log_), notifier_(log_) {
    log_.clocks = &clocks_;
    clocks_.wall = WallTime{milliseconds{scenario.start_wall_ms}};
    clocks_.monotonic = kStartMonotonic;
    if (sparse) {
      auto timer = std::make_unique<sim::SparseTimer>(clocks_);
      sparse_ = timer.get();
      alarm_ = timer.get();
      timer_ = std::move(timer);
    } else {
      auto timer = std::make_unique<sim::LoopTimer>(clocks_);
      alarm_ = timer.get();
      timer_ = std::move(timer);
    }
    paths_.data_folder = folder;
    paths_.default_sound = "default.wav";
    WriteFiles();
    form_ = std::make_unique<Form1>(Services{clocks_, *timer_, tray_, sound_, notifier_, messages_,
                                             appearance_, colours_, files_, screen_, frames_,
                                             paths_},
                                    view_);
    form_->Load();
  }

  std::vector<std::string> Run() {
    std::size_t next = 0;
    const MonotonicTime end = kStartMonotonic + milliseconds{scenario_.length_ms};
    for (;;) {
      const MonotonicTime tick = alarm_->Due().value_or(MonotonicTime::max());
      const MonotonicTime step = next < scenario_.steps.size()
                                     ? kStartMonotonic + milliseconds{scenario_.steps[next].at_ms}
                                     : MonotonicTime::max();
      const MonotonicTime at = std::max(std::min({tick, step, end}), clocks_.monotonic);
      clocks_.wall += at - clocks_.monotonic;
      clocks_.monotonic = at;
      if (tick <= at) {
        alarm_->GoOff();  // a tick comes before a step at the same instant
      } else if (step <= at) {
        Apply(scenario_.steps[next++]);
      } else {
        break;
      }
    }
    form_->CloseRequested();
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder_)) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    for (const fs::path& file : files) {
      log_.Add("file " + file.filename().string() + "\n" + ReadWhole(file));
    }
    for (const std::string& notice : messages_.notices) log_.Add("notice " + notice);
    return std::move(log_.lines);
  }

  int Wakes() const { return sparse_ ? sparse_->wakes : 0; }

 private:
  void WriteFiles() {
    if (scenario_.in_tray) {
      std::string settings = scenario_.tip_format + "\r\n" + scenario_.interval + "\r\n";
      settings += std::to_string(scenario_.mode1) + "\r\n" + std::to_string(scenario_.mode2);
      for (int i = 0; i < 8; ++i)
        settings += "\r\n" + std::to_string(Rgb(40 * i, 255 - 30 * i, 90));
      std::ofstream(folder_ / "Varnlock.ini", std::ios::binary) << settings << "\r\n";
    }
    std::ofstream alarms(folder_ / "timer.ini", std::ios::binary);
    for (const std::string& line : scenario_.alarms) alarms << line << "\r\n";
  }

  void Apply(const Step& step) {
    Form1& form = *form_;
    switch (step.kind) {
      case Kind::kJump:  // the clock set, or the machine asleep: the wall clock moves alone
        clocks_.wall += milliseconds{step.amount};
        alarm_->ClockWasSet();
        break;
      case Kind::kShow:  // the preview shows the face as last drawn
        if (!view_.shown) form.ShowFromTray();
        log_.Add("shown " + Fingerprint(form.Face().Picture1.ToIcon(-1)));
        break;
      case Kind::kHide:
        if (view_.shown) form.Command1Click();
        break;
      case Kind::kModes:  // the upper list, the lower one, or both
        if (step.text != "lower") form.Combo1Click(static_cast<std::int16_t>(step.amount / 10));
        if (step.text != "upper" && view_.state.lower_line_choosable) {
          form.Combo2Click(static_cast<std::int16_t>(step.amount % 10));
        }
        break;
      case Kind::kColour:
        colours_.answers.emplace_back(Rgb(static_cast<int>(step.amount) * 30, 20, 200));
        form.Lb1Click(static_cast<int>(step.amount));
        break;
      case Kind::kInterval:
        form.IntervalEdited(step.text);
        form.Command1Click();
        break;
      case Kind::kEditorAdds:
        EditorAdds(step);
        break;
      case Kind::kPalette:  // another button-face colour: the face's background
        appearance_.button_face = Rgb(static_cast<int>(step.amount) % 256, 80, 230);
        form.WindowChanged();
        break;
      case Kind::kProbe:
        form.Replan();
        log_.Add("count " + std::to_string(form.TickCount()) + " face " +
                 Fingerprint(form.Face().Picture1.ToIcon(-1)));
        break;
    }
  }

  // The editor, opened from the window, gets a line due some seconds from now and is closed;
  // its list becomes the main list then, also when the window went to the tray meanwhile.
  void EditorAdds(const Step& step) {
    Form1& form = *form_;
    form.Command2Click();
    Form2* editor = form.Editor();
    const DateTime due = clocks_.Now() + std::chrono::seconds{step.amount};
    editor->AddLine(CanonicalText(due) + "\t" + step.text + "\tedited.wav");
    if (view_.shown && step.amount % 2 == 0) form.Command1Click();
    editor->Close();
  }

  static std::string Fingerprint(const IconImage& icon) { return sim::Fingerprint(icon); }

  const Scenario& scenario_;
  fs::path folder_;
  sim::Clocks clocks_;
  sim::Log log_;
  std::unique_ptr<TickTimer> timer_;
  sim::Alarm* alarm_ = nullptr;
  sim::SparseTimer* sparse_ = nullptr;
  sim::RecordingTray tray_;
  sim::RecordingSound sound_;
  sim::RecordingNotifier notifier_;
  fakes::FakeMessages messages_;
  fakes::FakeAppearance appearance_;
  fakes::FakeColorDialog colours_;
  fakes::FakeFileDialog files_;
  fakes::FakeScreen screen_;
  fakes::FakeWindowFrames frames_;
  AppPaths paths_;
  testing::FakeMainView view_;
  std::unique_ptr<Form1> form_;
};

// Random scenarios from a seed: the span and the interval are given, the rest is drawn.
class ScenarioMaker {
 public:
  explicit ScenarioMaker(std::uint32_t seed) : random_(seed) {}

  // intervals: the settings file's first, then others the 設定 button may set.
  Scenario Make(const std::vector<std::string>& intervals, std::int64_t length_ms, int modes,
                const std::string& tip_format) {
    intervals_ = intervals;
    Scenario s;
    s.interval = intervals.front();
    s.length_ms = length_ms;
    s.mode1 = modes / 10;
    s.mode2 = modes % 10;
    s.tip_format = tip_format;
    s.in_tray = Pick(6) > 0;
    // 2026/12/07 around noon, at any millisecond.
    s.start_wall_ms = 1796645000000 + Between(0, 3'600'000);
    const DateTime start = sim::Clocks{}.LocalAt(WallTime{milliseconds{s.start_wall_ms}});
    const std::int64_t span_s = length_ms / 1000;
    for (int i = Pick(6) + 1; i > 0; --i) {
      const std::int64_t due = Pick(3) == 0 ? Between(-7200, 120) : Between(0, span_s);
      s.alarms.push_back(CanonicalText(start + std::chrono::seconds{due}) + "\t" + Repeat() +
                         "\tbell" + std::to_string(i) + ".wav");
    }
    for (int i = Pick(30) + 10; i > 0; --i) {
      s.steps.push_back(RandomStep(length_ms));
      // The preview shows the new background once a redraw has come.
      if (s.steps.back().kind == Kind::kPalette) {
        s.steps.push_back(Step{s.steps.back().at_ms + 5'000, Kind::kShow, 0, ""});
      }
    }
    std::stable_sort(s.steps.begin(), s.steps.end(),
                     [](const Step& a, const Step& b) { return a.at_ms < b.at_ms; });
    return s;
  }

 private:
  int Pick(int choices) { return std::uniform_int_distribution<int>(0, choices - 1)(random_); }
  std::int64_t Between(std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random_);
  }
  template <typename T>
  T OneOf(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Pick(static_cast<int>(items.size())))];
  }

  // Repeat interval and count of an alarm line.
  std::string Repeat() {
    const std::string every = OneOf<std::string>({"5s", "17s", "1m", "3m", "1h", "1d", "0z", "2x"});
    return every + "\t" + OneOf<std::string>({"0", "1", "2", "3", "E"});
  }

  Step RandomStep(std::int64_t length_ms) {
    Step step;
    step.at_ms = Between(1, length_ms - 1);
    switch (Pick(13)) {
      case 0:
      case 1:
        step.kind = Kind::kJump;
        step.amount = OneOf<std::int64_t>({400, -400, 3000, -3000, 61'000, -61'000, 3'600'000,
                                           -3'600'000, 86'400'000, -86'400'000, 1'700, -999});
        break;
      case 2:
        step.kind = Kind::kShow;
        break;
      case 3:
      case 4:
      case 5:
        step.kind = Kind::kHide;  // mostly in the tray, as the clock lives
        break;
      case 6: {
        step.kind = Kind::kModes;
        const int mode1 = Pick(6);
        step.amount = mode1 * 10 + (mode1 == 0 ? 0 : Pick(6));
        step.text = OneOf<std::string>({"upper", "lower", "both"});
        break;
      }
      case 7:
        step.kind = Kind::kColour;
        step.amount = Pick(8);
        break;
      case 8:
        step.kind = Kind::kEditorAdds;
        step.amount = Between(-3, 400);
        step.text = Repeat();
        break;
      case 9:
        step.kind = Kind::kPalette;
        step.amount = Pick(360);
        break;
      case 10:
        step.kind = Kind::kInterval;
        step.text = NewInterval();
        break;
      default:
        step.kind = Kind::kProbe;
        break;
    }
    return step;
  }

  // One of the scenario's intervals, or one the 設定 button refuses.
  std::string NewInterval() { return Pick(5) == 0 ? "0.0004" : OneOf(intervals_); }

  std::mt19937 random_;
  std::vector<std::string> intervals_;
};

struct DifferentialCase {
  std::vector<std::string> intervals;  // the first from the settings file
  std::int64_t length_ms;
  int modes;  // mode1 * 10 + mode2
  const char* tip_format;
  std::uint32_t seed;
};

void PrintTo(const DifferentialCase& c, std::ostream* out) {
  *out << c.intervals.front() << "s_for_" << c.length_ms / 1000 << "s_modes_" << c.modes << "_tip_"
       << c.tip_format << "_seed_" << c.seed;
}

class SparseTick : public ::testing::TestWithParam<DifferentialCase> {
 protected:
  fs::path NewFolder() { return folders_.emplace_back("sparse").path(); }
  // Runs the scenario both ways; returns the sleeping run's wake-ups.
  int Compare(const Scenario& scenario) {
    std::vector<std::string> loop;
    std::vector<std::string> sparse;
    int wakes = 0;
    {
      Machine machine(false, scenario, NewFolder());
      loop = machine.Run();
    }
    {
      Machine machine(true, scenario, NewFolder());
      sparse = machine.Run();
      wakes = machine.Wakes();
    }
    const auto [in_loop, in_sparse] =
        std::mismatch(loop.begin(), loop.end(), sparse.begin(), sparse.end());
    EXPECT_TRUE(in_loop == loop.end() && in_sparse == sparse.end())
        << "first difference after " << (in_loop - loop.begin())
        << " equal lines:\n  loop:   " << (in_loop == loop.end() ? "(end)" : *in_loop)
        << "\n  sparse: " << (in_sparse == sparse.end() ? "(end)" : *in_sparse);
    return wakes;
  }

 private:
  std::deque<testing::TempFolder> folders_;
};

TEST_P(SparseTick, ChangesComeAtTheSameInstantsAsWithATickPerInterval) {
  const DifferentialCase& c = GetParam();
  Compare(ScenarioMaker(c.seed).Make(c.intervals, c.length_ms, c.modes, c.tip_format));
}

constexpr std::int64_t kMinute = 60'000;
constexpr std::int64_t kHour = 60 * kMinute;
constexpr std::int64_t kDay = 24 * kHour;
constexpr const char* kMinutes = "yyyy/mm/dd hh:mm aaa";
constexpr const char* kSeconds = "hh:nn:ss";

INSTANTIATE_TEST_SUITE_P(
    Intervals, SparseTick,
    ::testing::Values(DifferentialCase{{"0.001", "0.002"}, 4 * kMinute, 0, kMinutes, 1},
                      DifferentialCase{{"0.001", "0.002"}, 2 * kMinute, 23, kSeconds, 2},
                      DifferentialCase{{"0.3", "0.25"}, 2 * kHour, 45, kMinutes, 3},
                      DifferentialCase{{"0.3", "0.25"}, kHour, 10, kSeconds, 4},
                      DifferentialCase{{"1.0", "1"}, kDay, 20, kMinutes, 5},
                      DifferentialCase{{"1.0", "1"}, 6 * kHour, 0, kSeconds, 6},
                      DifferentialCase{{"1", "1.4"}, kDay, 31, "m/d aaa", 7},
                      DifferentialCase{{"2.5", "3.5"}, kDay, 52, kMinutes, 8},
                      DifferentialCase{{"2.5", "3.5"}, 6 * kHour, 14, kSeconds, 9},
                      DifferentialCase{{"59", "1"}, kDay, 0, kMinutes, 10},
                      DifferentialCase{{"59", "1"}, 6 * kHour, 25, "yyyy/mm/dd hh:nn:ss aaa", 11},
                      DifferentialCase{{"61", "60.6"}, kDay, 3, kMinutes, 12},
                      DifferentialCase{{"61", "60.6"}, 6 * kHour, 0, kSeconds, 13}));

// In the default modes the tray changes once a minute, and the clock wakes for nothing else.
TEST_F(SparseTick, DefaultModesInTheTrayWakeOnceAMinute) {
  for (int mode1 : {0, 2}) {
    Scenario scenario;
    scenario.mode1 = mode1;
    scenario.start_wall_ms = 1796645000000 + 321;
    scenario.length_ms = 6 * kHour;
    const int wakes = Compare(scenario);
    EXPECT_LE(wakes, 6 * 60 + 2) << "mode " << mode1;
  }
}

}  // namespace
}  // namespace kelmora
