#pragma once
// app/: the main window's behaviour, its toolkit windows and main(); uses tray/, editor/, store/
// and below. Form1: the main window. A small settings panel for the tray clock that keeps the
// clock's state: the face, the alarm list, the redraw counter and the common dialog. Plain C++:
// it drives a MainWindowView (the toolkit's window) and hears the user's actions from it. The
// services it is given (the clock, the timer, the tray icon...) belong to main(), which outlives
// it.
//
// The timer sleeps over the ticks that would change nothing (tick/tick_timer.h). Whatever a
// coming tick would show or ring depends on goes through Changed(): the face's modes and colours,
// the tip pattern, the interval, the main list, what was last handed to the tray, the window
// shown or hidden, the desktop's look, the wall clock set. A handler that changes several of
// them holds a PlanOnce, so the wake is planned once, when the handler returns.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alarm/alarm_list.h"
#include "alarm/passed_alarms.h"
#include "alarm/scheduler.h"
#include "app/main_window_view.h"
#include "editor/cmn_dlog.h"
#include "platform/services.h"
#include "render/clock_face.h"
#include "settings/window_settings.h"
#include "store/file_store.h"

namespace kelmora {

class Form2;

class Form1 {
 public:
  Form1(Services services, MainWindowView& view);
  ~Form1();
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // The load step: placement, settings, timer, first face, tray or topmost window, file dialog
  // filter, alarm file and the first scheduler pass. The fields hold their start values from the
  // start.
  void Load();
  // One tick of the clock timer: redraw at the chosen rate, then the alarm check.
  void Tick();
  // Counts the ticks the timer slept over and plans its next wake anew. Changes never call it
  // themselves: they go through Changed().
  void Replan();

  void Lng();       // rendering pass: face into the window icon and the tray
  void GetAlarm();  // scheduler pass over the main list
  void SetTmr();    // tick interval and redraw rate from the interval text
  void GetArm1();   // loads the alarm file into the main list
  void LdDat();     // reads the window-settings file
  void GetWrk();    // places the window in the lower right corner of the work area

  // What the user does in the window, as its view reports it.
  void IntervalEdited(std::string text);  // Text1's text changed
  void Combo1Click(std::int16_t mode);    // the upper line's mode chosen
  void Combo2Click(std::int16_t mode);    // the lower line's mode chosen
  void Lb1Click(int index);               // a colour label clicked: pick its colour
  void Command1Click();                   // 設定: apply the interval and go to the tray
  void Command2Click();                   // ♪: open the alarm editor
  // The window was shown or hidden, or the desktop's look changed: the next wake may differ.
  void WindowChanged();
  // The user closes the window: both files are written and the program ends (on_closed).
  void CloseRequested();

  // Writes the settings file and the alarm file (the editor closed first), as at every close.
  // Runs once, and only after the load step has finished; other calls do nothing.
  void SaveFiles();
  // Writes both files for the session's save request (a checkpoint, a logout that may still be
  // cancelled): an open editor's list is written and the editor stays open. The program goes on
  // and writes the files again at its end. What the save has to tell goes to the desktop's
  // notifications, never into a box: the session waits for the answer to its request.
  void SaveForSession();
  // The program is ending without its window (a signal, the session ending), maybe during the
  // load step: from now on nothing waits for the user. A box up now is closed, and every notice
  // still to come goes to the desktop's notifications (summary "!Kelmora"), so that the load
  // step and the saves run to their end and the program exits.
  void EndWithoutWindow();
  bool Loaded() const { return loaded_; }

  // Another start of the program asked for the window: out of the tray, or to the front.
  void ShowFromTray();

  // The window was closed and its files written: the program ends.
  std::function<void()> on_closed;

  // What the window holds, for the tests to look at: the main list of alarm lines, the common
  // dialog, the face, the redraw counter, what the controls show and the editor while open.
  const AlarmList& List1() const { return list1_; }
  const CmnDlog::CommonDialog& CommonDialog1() const { return dialog_; }
  const ClockFace& Face() const { return face_; }
  std::int32_t TickLimit() const { return tick_limit_; }
  std::int32_t TickCount() const { return tick_count_; }
  MainWindowState State() const;
  Form2* Editor() const;

 private:
  class PlanOnce;

  // Something a coming tick would show or ring changed: the wake is planned at once, or when the
  // handler holding a PlanOnce returns.
  void Changed();
  // The controls show what the window holds now.
  void Render();
  void SetMode1(std::int16_t mode);
  void SetMode2(std::int16_t mode);
  void TakeSettings(const WindowSettings& settings);
  void SetList1(const std::vector<std::string>& lines);
  void ShowInTray(const IconImage& icon, const std::string& tip);
  void GoToTray();
  void TakeEditorLines(const std::vector<std::string>& lines);
  bool EditorOpen() const;

  void TrayMouseUp(TrayMouse what);
  void RedrawAndCheck();
  // The alarm check runs: the window is hidden and the main list is not empty.
  bool AlarmGateOpen() const;
  void AlarmCheck();
  void TicksCame(std::int64_t ticks);
  void CountQuietTicks(std::int64_t ticks);
  void PlanWake();
  bool RedrawChanges(DateTime at, ColorValue background, const std::string* line0) const;
  // A gap since the last check longer than the timer ever sleeps: the clock moved forward.
  bool ClockMoved(std::optional<DateTime> last_check, DateTime now) const;
  void FireAlarm(const std::string& due_shown, const std::string& sound_path, bool clock_moved);
  void NotificationChosen(const std::string& key);
  void StopAlarmSound();
  void Snooze();
  void AddToList1(const std::string& line);
  // The scheduler pass; returns the firings it moved lines over.
  std::vector<MovedOver> PassList1();
  // One notice on the desktop of the alarms that passed unheard, none when none did.
  void TellPassed(std::string_view lead, const PassedAlarms& passed);
  void ShowNotices(const Notices& notices);
  void NotifyNotices(const Notices& notices);
  WindowSettings CurrentSettings() const;
  // Writes both files; notices go to boxes, or with notify to the desktop's notifications.
  void WriteFiles(const AlarmList& alarms, bool notify);
  void ShowIcon(const IconImage& icon);

  Services services_;
  MainWindowView& view_;
  FileStore store_;  // the settings and alarm files
  ClockFace face_;
  std::string tip_format_{kStartTipFormat};        // TipFmt: date-time pattern of the tray tip
  std::int32_t tick_limit_ = 0;                    // TickLimit: ticks between redraws
  std::int32_t tick_count_ = 0;                    // TickCount: ticks since the last redraw
  std::string interval_text_{kStartIntervalText};  // Text1: the update interval in seconds
  AlarmList list1_;
  CmnDlog::CommonDialog dialog_;
  IconImage icon_{};       // the window's icon, also the one last handed to the tray
  std::string tip_shown_;  // the tip last handed to the tray
  bool icon_shown_ = false;
  std::optional<DateTime> last_check_;  // the last alarm check, while the gate stayed open
  std::string ringing_sound_;      // the sound field of the alarm that rang last, for its snooze
  std::unique_ptr<Form2> editor_;  // made at the first ♪, kept for the run
  PlanOnce* plan_once_ = nullptr;  // the innermost handler holding the plan
  bool loaded_ = false;
  bool ending_ = false;  // ending without the window: no notice waits for the user
  bool files_saved_ = false;
};

}  // namespace kelmora
