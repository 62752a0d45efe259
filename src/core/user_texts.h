#pragma once
// The texts the program shows its user, in one place for every face it has (the Qt windows and
// services, and any other toolkit's), so that each is written once.

#include <array>

namespace kelmora::texts {

// The main window's title; the caption of message boxes and the summary of the program's notices.
inline constexpr char kTitle[] = "!Kelmora";
// The alarm editor's title; the summary of the alarm's notification and the passed-alarm notices.
inline constexpr char kAlarm[] = "アラーム";
// What the user is told of an update interval that would stop the clock.
inline constexpr char kIntervalNotice[] = "更新時間を 0.001 以上に設定して下さい";
// The button of the alarm's notification that ends the sound.
inline constexpr char kStop[] = "停止";

// The main window's captions: the interval's unit, 設定 and the editor's button.
inline constexpr char kSeconds[] = "秒";
inline constexpr char kSet[] = "設定";
inline constexpr char kOpenEditor[] = "♪";
// The first entry of each mode list: the analog face for the upper line, none for the lower.
inline constexpr char kAnalog[] = "アナログ";
inline constexpr char kNoLowerLine[] = "なし";
// The five digit display modes, after the first entry of each mode list (AddCmb).
inline constexpr std::array<const char*, 5> kDigitModes = {"デジタル [12]", "デジタル [24]",
                                                           "月日 [ 1 1]", "月日 [0101]", "西暦"};
// The alarm editor's captions: the due time, the sound button, repeat and count, the register
// button.
inline constexpr char kDueTime[] = "指定時刻";
inline constexpr char kSoundButton[] = "wav";
inline constexpr char kRepeat[] = "繰り返し";
inline constexpr char kCountLimit[] = "回数";
inline constexpr char kEvery[] = "毎に";
inline constexpr char kTimes[] = "回";
inline constexpr char kRegister[] = "登録";
// The colour labels' captions, １ to ８.
inline constexpr std::array<const char*, 8> kColourLabels = {"１", "２", "３", "４",
                                                             "５", "６", "７", "８"};

}  // namespace kelmora::texts
