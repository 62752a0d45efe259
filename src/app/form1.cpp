#include "app/form1.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "alarm/alarm_line.h"
#include "alarm/passed_alarms.h"
#include "alarm/scheduler.h"
#include "alarm/snooze.h"
#include "app/window_placement.h"
#include "core/code_page.h"
#include "core/path_text.h"
#include "core/twips.h"
#include "core/user_texts.h"
#include "editor/form2.h"
#include "platform/wav_player.h"
#include "tick/tick_interval.h"
#include "tick/tick_plan.h"
#include "tray/colour_labels.h"
#include "tray/task_tray.h"
#include "tray/top_most.h"

namespace kelmora {
namespace {

// A plain colour value that no 32-bit colour reference equals: nothing is masked out.
constexpr ColorValue kNoMask = -1;

// The buttons of the ringing alarm's notification.
constexpr char kStopKey[] = "stop";
constexpr char kSnoozeKey[] = "snooze";

// Alarm checks come a tick apart, and a minute apart at the most: a gap this much longer means
// more than a busy moment, the machine slept or the clock was set forward.
constexpr std::chrono::seconds kGapBeyondLongestSleep{60};

}  // namespace

// Holds the plan of the timer's next wake while a handler runs: what it changes is planned once,
// when it returns. One held in a handler that runs inside another (a tick in the event loop of a
// modal dialog) plans at its own end, for everything changed so far.
class Form1::PlanOnce {
 public:
  explicit PlanOnce(Form1& form) : form_(form), outer_(std::exchange(form.plan_once_, this)) {}
  PlanOnce(const PlanOnce&) = delete;
  PlanOnce& operator=(const PlanOnce&) = delete;
  ~PlanOnce() {
    form_.plan_once_ = outer_;
    if (!due_) return;
    if (outer_) outer_->due_ = false;
    form_.Replan();
  }
  void Due() { due_ = true; }

 private:
  Form1& form_;
  PlanOnce* outer_;
  bool due_ = false;
};

Form1::Form1(Services services, MainWindowView& view)
    : services_(std::move(services)), view_(view), store_(services_.paths.data_folder) {
  ShowIcon(ProgramIcon());
  services_.timer.on_tick = [this](std::int64_t ticks) { TicksCame(ticks); };
  services_.timer.on_clock_set = [this] { Changed(); };
  services_.tray.on_mouse = [this](TrayMouse what) { TrayMouseUp(what); };
  services_.notifier.on_action = [this](const std::string& key) { NotificationChosen(key); };
  services_.sound.on_finished = [this] { services_.notifier.Close(); };
}

Form1::~Form1() {
  services_.timer.on_tick = nullptr;
  services_.timer.on_clock_set = nullptr;
  services_.tray.on_mouse = nullptr;
  services_.notifier.on_action = nullptr;
  services_.sound.on_finished = nullptr;
}

void Form1::WindowChanged() {
  Render();   // a window just shown shows what it holds now
  Changed();  // the alarm check stops or runs again; the background may differ
}

void Form1::Changed() {
  // No check runs while the gate is closed: the time until it opens again is no jump of the clock.
  if (!AlarmGateOpen()) last_check_.reset();
  if (plan_once_) {
    plan_once_->Due();
  } else {
    Replan();
  }
}

MainWindowState Form1::State() const {
  return {interval_text_,   face_.Mode1, face_.Mode2,
          face_.Mode1 != 0, face_.Clr,   face_.Picture1.ToIcon(kNoMask)};
}

// Only a shown window's controls are rendered: in the tray a redraw makes no preview.
void Form1::Render() {
  if (view_.Shown()) view_.Render(State());
}

// The analog upper line leaves no room for a lower one: it has "なし".
void Form1::SetMode1(std::int16_t mode) {
  face_.Mode1 = mode;
  if (mode == 0) face_.Mode2 = 0;
  Render();
  Changed();
}

void Form1::SetMode2(std::int16_t mode) {
  face_.Mode2 = mode;
  Render();
  Changed();
}

void Form1::TakeSettings(const WindowSettings& settings) {
  tip_format_ = settings.tip_format;
  interval_text_ = settings.interval_text;
  face_.Mode1 = settings.mode1;
  face_.Mode2 = settings.mode2;
  face_.Clr = settings.colors;
  Render();
  Changed();
}

void Form1::SetList1(const std::vector<std::string>& lines) {
  list1_.Clear();
  list1_.AddAll(lines);
  Changed();
}

// Gives the tray (and the window) the icon and the tip.
void Form1::ShowInTray(const IconImage& icon, const std::string& tip) {
  ShowIcon(icon);
  tip_shown_ = tip;
  TaskTray::TrayModify(services_.tray, icon_, tip_shown_);
  Changed();
}

// Hides the window and adds the tray icon with an empty tip, which the next redraw fills.
void Form1::GoToTray() {
  tip_shown_.clear();
  TaskTray::TrayAdd(view_, services_.tray, icon_, "");
  Changed();
}

void Form1::Load() {
  const PlanOnce plan(*this);
  GetWrk();
  // Only this program writes here now: what a killed writer left half done goes.
  store_.RemoveStaleTemporaries();
  LdDat();
  SetTmr();
  // An interval of 0 stops the clock as the user asked. One that cannot be (negative, beyond 32
  // bits) is told on the desktop: nothing at start waits for an answer.
  if (IntervalOutOfRange(interval_text_)) NotifyNotices({texts::kIntervalNotice});
  Lng();
  // The lists show the modes read, the analog face without a lower line.
  SetMode1(face_.Mode1);
  if (store_.SettingsFileExists()) {
    GoToTray();
  } else {
    TopMost::StayOnTop(view_, 1);
    Render();
  }
  CmnDlog::SetFilter(dialog_, "音楽ファイル|*.wav|");
  GetArm1();
  // The catch-up rings nothing; the user hears of what it moved on once, on the desktop.
  TellPassed(kPassedWhileNotRunning, Passed(PassList1()));
  loaded_ = true;
}

void Form1::Tick() {
  const PlanOnce plan(*this);
  RedrawAndCheck();
}

void Form1::RedrawAndCheck() {
  if (tick_count_ < tick_limit_) {
    ++tick_count_;
  } else {
    tick_count_ = 0;
    Lng();
  }
  AlarmCheck();
}

// The timer wakes at the ticks the plan names; the ticks it slept over would have changed
// nothing, so they only count. Every wake plans the next one.
void Form1::TicksCame(std::int64_t ticks) {
  const PlanOnce plan(*this);
  CountQuietTicks(ticks - 1);
  RedrawAndCheck();
  Changed();
}

void Form1::CountQuietTicks(std::int64_t ticks) {
  if (ticks <= 0) return;
  tick_count_ = static_cast<std::int32_t>((tick_count_ + ticks) % RedrawPeriod(tick_limit_));
}

void Form1::Replan() {
  CountQuietTicks(services_.timer.CountPassed());
  PlanWake();
}

void Form1::PlanWake() {
  TickTimer& timer = services_.timer;
  if (timer.Interval() == 0) return;
  const ColorValue background = services_.appearance.ButtonFace();
  const std::string* line0 = list1_.Empty() ? nullptr : &list1_.At(0);
  TickPlanInput plan;
  plan.lattice = timer.Lattice();
  plan.tick_count = tick_count_;
  plan.tick_limit = tick_limit_;
  plan.local_time = [this](WallTime instant) { return services_.clock.LocalAt(instant); };
  plan.redraw_changes = [&](DateTime at) { return RedrawChanges(at, background, line0); };
  plan.same_all_minute = !TipMayShowSeconds(tip_format_);
  if (AlarmGateOpen()) plan.alarm_due = ReadForTick(*line0).due;
  timer.WakeAfter(TicksToWake(plan));
}

// What Lng would make at that second, against what it made last and what the tray was given.
bool Form1::RedrawChanges(DateTime at, ColorValue background, const std::string* line0) const {
  ClockFace face = face_;  // a copy: drawing moves the glyph cursor too
  face.Draw(at, background);
  if (!(face.Picture1 == face_.Picture1)) return true;
  if (face.Picture1.ToIcon(background) != icon_) return true;
  return TipText(at, tip_format_, line0) != tip_shown_;
}

// Alarms are checked while the window is in the tray, the editor open or not: what a firing
// does to the main list, the editor's copy follows (PassList1).
bool Form1::AlarmGateOpen() const {
  return !list1_.Empty() && !view_.Shown();
}

void Form1::AlarmCheck() {
  if (!AlarmGateOpen()) return;
  const DateTime now = services_.clock.Now();
  const bool clock_moved = ClockMoved(std::exchange(last_check_, now), now);
  const TickView line0 = ReadForTick(list1_.At(0));
  if (!line0.due || now <= *line0.due) return;
  FireAlarm(std::string(DueTimeShown(list1_.At(0))), line0.sound_path, clock_moved);
}

bool Form1::ClockMoved(std::optional<DateTime> last_check, DateTime now) const {
  if (!last_check) return false;
  const std::chrono::milliseconds tick{services_.timer.Interval()};
  return now - *last_check > std::max(tick, kLongestSleep) + kGapBeyondLongestSleep;
}

void Form1::FireAlarm(const std::string& due_shown, const std::string& sound_path,
                      bool clock_moved) {
  WavPlayer::PlayWav(services_.sound, services_.paths.default_sound, sound_path);
  const std::vector<MovedOver> moved = PassList1();
  ShowInTray(ProgramIcon(), FormatDateTime(services_.clock.Now(), tip_format_));
  // Said on the desktop too, for a user away from the speakers; the sound comes first.
  ringing_sound_ = sound_path;
  const std::string played = WavPlayer::FileToPlay(services_.paths.default_sound, sound_path);
  services_.notifier.Show(texts::kAlarm,
                          due_shown + "\n" + DecodeLine(PathText(PathOf(played).filename())),
                          {{kStopKey, texts::kStop}, {kSnoozeKey, SnoozeLabel()}});
  // Whatever else fell due while the clock moved was moved on unheard (line 0's first rang).
  if (clock_moved) TellPassed(kPassedWhileClockMoved, Passed(moved, 0));
}

void Form1::NotificationChosen(const std::string& key) {
  if (key == kStopKey) StopAlarmSound();
  if (key == kSnoozeKey) Snooze();
}

// "停止" on the alarm's notification.
void Form1::StopAlarmSound() {
  services_.sound.Stop();
  services_.notifier.Close();
}

// The alarm that rang rings again a few minutes from now, as a line of its own.
void Form1::Snooze() {
  const PlanOnce plan(*this);
  StopAlarmSound();
  AddToList1(SnoozeLine(services_.clock.Now(), ringing_sound_));
}

// An open editor gets the line too: the copy it hands back at its close becomes the main list.
void Form1::AddToList1(const std::string& line) {
  if (list1_.Add(line) < 0) {
    ShowNotices({AlarmList::kFullNotice});
    return;
  }
  if (EditorOpen()) editor_->AddLine(line);
  Changed();
}

void Form1::TellPassed(std::string_view lead, const PassedAlarms& passed) {
  if (passed.count > 0) services_.notifier.Notice(texts::kAlarm, PassedAlarmsText(lead, passed));
}

void Form1::Lng() {
  const DateTime now = services_.clock.Now();
  const ColorValue background = services_.appearance.ButtonFace();
  face_.Draw(now, background);
  Render();
  ShowInTray(face_.Picture1.ToIcon(background),
             TipText(now, tip_format_, list1_.Empty() ? nullptr : &list1_.At(0)));
}

void Form1::ShowIcon(const IconImage& icon) {
  if (icon_shown_ && icon == icon_) return;
  icon_ = icon;
  icon_shown_ = true;
  view_.SetIcon(icon_);
}

void Form1::GetAlarm() {
  PassList1();
}

std::vector<MovedOver> Form1::PassList1() {
  const DateTime now = services_.clock.Now();
  std::vector<DroppedLine> dropped;
  std::vector<MovedOver> moved;
  const std::vector<std::string> passed = list1_.Lines();
  std::vector<std::string> survivors = SchedulerPass(
      passed, now,
      [&dropped](const std::string& line, const std::string& why) {
        WarnOnStandardError(line, why);
        dropped.push_back({line, why});
      },
      &moved);
  SetList1(survivors);
  // Closing the editor hands its copy back: there the lines move on or go as they did here, so
  // that the copy neither undoes a firing nor rings it again.
  if (EditorOpen()) editor_->FollowPass(ChangesForCopy(editor_->List1().Lines(), passed, now));
  store_.KeepDropped(dropped, now);
  return moved;
}

void Form1::SetTmr() {
  const TickInterval interval = ComputeTickInterval(interval_text_);
  services_.timer.SetInterval(interval.milliseconds);
  tick_limit_ = interval.tick_limit;
  tick_count_ = 0;
  Changed();
}

// The file's lines are added to the list, and the list is there while a notice is up.
void Form1::GetArm1() {
  AlarmList loaded = list1_;
  const Notices notices = store_.LoadAlarms(loaded);
  SetList1(loaded.Lines());
  ShowNotices(notices);
}

void Form1::LdDat() {
  WindowSettings settings = CurrentSettings();
  ShowNotices(store_.LoadSettings(settings));
  TakeSettings(settings);
}

void Form1::GetWrk() {
  const PixelSize outer = view_.OuterSize();
  const TwipsPosition position = GetWrkPosition(
      services_.screen.WorkArea(), outer.width * kTwipsPerPixel, outer.height * kTwipsPerPixel);
  view_.MoveOuterTo(position.left / kTwipsPerPixel, position.top / kTwipsPerPixel);
}

void Form1::IntervalEdited(std::string text) {
  interval_text_ = std::move(text);
}

void Form1::Combo1Click(std::int16_t mode) {
  const PlanOnce plan(*this);
  SetMode1(mode);
}

void Form1::Combo2Click(std::int16_t mode) {
  SetMode2(mode);
}

void Form1::Command1Click() {
  if (!AcceptableInterval(interval_text_)) {
    services_.messages.Notice(texts::kIntervalNotice);
    return;
  }
  const PlanOnce plan(*this);
  GetAlarm();
  SetTmr();
  GoToTray();
}

void Form1::Command2Click() {
  if (!editor_) {
    editor_ = std::make_unique<Form2>(services_, dialog_);
    editor_->SetView(view_.EditorWindow(*editor_));
    editor_->on_closed = [this](const std::vector<std::string>& lines) { TakeEditorLines(lines); };
  }
  editor_->Open(list1_.Lines());
  Changed();
}

// The editor closes: its lines become the main list.
void Form1::TakeEditorLines(const std::vector<std::string>& lines) {
  const PlanOnce plan(*this);
  SetList1(lines);
}

bool Form1::EditorOpen() const {
  return editor_ && editor_->IsOpen();
}

Form2* Form1::Editor() const {
  return EditorOpen() ? editor_.get() : nullptr;
}

void Form1::Lb1Click(int index) {
  ColorValue& colour = face_.Clr.at(static_cast<std::size_t>(index));
  if (!PickColour(services_.colors, colour)) return;
  Render();
  Changed();
}

void Form1::TrayMouseUp(TrayMouse what) {
  if (what != TrayMouse::kLeftUp && what != TrayMouse::kRightUp) return;
  const PlanOnce plan(*this);
  GetWrk();
  TaskTray::TrayRestore(view_, services_.tray);
  GetWrk();  // again, now that the window manager has given the window its frame
  WindowChanged();
}

void Form1::ShowFromTray() {
  if (view_.Shown()) {
    view_.Raise();
  } else {
    TrayMouseUp(TrayMouse::kLeftUp);
  }
}

void Form1::ShowNotices(const Notices& notices) {
  for (const std::string& notice : notices) {
    if (!ending_) services_.messages.Notice(notice);
    // Ending, or a signal closed this notice's box: it goes to the desktop.
    if (ending_) services_.notifier.Notice(texts::kTitle, notice);
  }
}

void Form1::NotifyNotices(const Notices& notices) {
  for (const std::string& notice : notices) services_.notifier.Notice(texts::kTitle, notice);
}

void Form1::EndWithoutWindow() {
  ending_ = true;
  services_.messages.CloseOpenBox();
}

WindowSettings Form1::CurrentSettings() const {
  return {tip_format_, interval_text_, face_.Mode1, face_.Mode2, face_.Clr};
}

void Form1::CloseRequested() {
  SaveFiles();
  if (on_closed) on_closed();
}

void Form1::SaveFiles() {
  // Before the load step has read both files, writing them would put start values over them.
  if (files_saved_ || !loaded_) return;
  files_saved_ = true;
  // The editor hands its list back first, so alarms saved in an editor still open are kept.
  if (EditorOpen()) editor_->Close();
  WriteFiles(list1_, ending_);
}

void Form1::SaveForSession() {
  if (files_saved_ || !loaded_) return;
  WriteFiles(EditorOpen() ? editor_->List1() : list1_, true);
}

// Both files are written before any notice is shown: a box waiting for the user (or a signal
// that closes it) never holds up the second file.
void Form1::WriteFiles(const AlarmList& alarms, bool notify) {
  const DateTime now = services_.clock.Now();
  Notices notices = store_.SaveSettings(CurrentSettings(), now);
  for (std::string& notice : store_.SaveAlarms(alarms, now)) notices.push_back(std::move(notice));
  if (notify) {
    NotifyNotices(notices);
  } else {
    ShowNotices(notices);
  }
}

}  // namespace kelmora
