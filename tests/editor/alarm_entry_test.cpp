#include "editor/alarm_entry.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "core/code_page.h"

namespace kelmora {

// How a failing row shows its entry.
void PrintTo(const AlarmEntry& e, std::ostream* os) {
  *os << e.hour << ":" << e.minute << ":" << e.second << " repeat " << e.repeat << " " << e.interval
      << " [" << e.unit << "] item " << e.unit_item << " limit " << e.count_limit << " " << e.count
      << " sound " << e.sound_path;
}

namespace {

// Fields a line cannot fill keep these.
const AlarmEntry kBefore{.hour = "11",
                         .minute = "22",
                         .second = "33",
                         .interval = "7",
                         .unit = "x:start",
                         .count = "9",
                         .sound_path = "/default.wav"};

struct ReadCase {
  std::string line;
  AlarmEntry entry;
};

TEST(AlarmEntryTest, ALineFillsTheFieldsItCanRead) {
  const ReadCase table[] = {
      {"2026/01/05 07:30:00\t30m\tE\t/snd/a.wav",
       {"07", "30", "00", true, "30", "m:分", 2, false, "9", "/snd/a.wav"}},
      {"2026/01/05 18:00:00\t0z\t0\t",
       {"18", "00", "00", false, "0", "x:start", -1, true, "0", ""}},
      {"2026/01/05 06:45:10\t2d\t5\t/d.wav",
       {"06", "45", "10", true, "2", "d:日", 0, true, "5", "/d.wav"}},
      {"2026/01/05 23:59:59\t90s\t1\t/s.wav",
       {"23", "59", "59", true, "90", "s:秒", 3, true, "1", "/s.wav"}},
      {"2026/01/05 08:00:00\t5H\tE\t/u.wav",
       {"08", "00", "00", true, "5", "x:start", -1, false, "9", "/u.wav"}},
      {"garbage", kBefore},
      {"not a date\t\t4\t/p.wav",
       {"11", "22", "33", false, "7", "x:start", -1, true, "4", "/p.wav"}},
      {"2026/01/05 09:10:11\t5h",
       {"09", "10", "11", true, "5", "h:時間", 1, false, "9", "/default.wav"}},
      {"2026/01/05 09:10:11\t3分\tE\t/m.wav",
       {"09", "10", "11", true, "3", "x:start", -1, false, "9", "/m.wav"}},
      // A CP932 line from the original platform: shown decoded, its sound path kept as bytes.
      {"2026/01/05 07:30:00\t30\x95\xAA\tE\t/\x89\xB9.wav",
       {"07", "30", "00", true, "30", "x:start", -1, false, "9", "/\x89\xB9.wav"}},
  };
  for (const ReadCase& c : table) EXPECT_EQ(ReadLine(c.line, kBefore), c.entry) << c.line;
}

struct WriteCase {
  bool repeat;
  const char* interval;
  const char* unit;
  bool count_limit;
  const char* count;
  const char* written;  // fields 1 and 2 of the line
};

TEST(AlarmEntryTest, TheFieldsMakeALineOfTodayWithNumbersWrittenBack) {
  const DateTime today = *MakeDateTime(2026, 12, 6, 9, 30, 0);
  const WriteCase table[] = {
      {false, "30", "m:分", false, "3", "0z\tE"}, {true, "30", "m:分", false, "1", "30m\tE"},
      {true, "1", "h:時間", false, "1", "1h\tE"}, {true, "30", "", false, "1", "30\tE"},
      {true, "5", "分", false, "1", "5分\tE"},    {true, "1.50", "d:日", false, "1", "1.5d\tE"},
      {true, "abc", "s:秒", false, "1", "0s\tE"}, {false, "1", "h:時間", true, "3", "0z\t3"},
      {false, "1", "h:時間", true, "", "0z\t0"},  {true, " 2 ", "h:時間", true, " 07", "2h\t7"},
  };
  for (const WriteCase& c : table) {
    const AlarmEntry entry{"07",   "05", "00",          c.repeat, c.interval,
                           c.unit, -1,   c.count_limit, c.count,  "/a.wav"};
    // In the bytes the system writes lines in: on Windows "分" in CP932.
    EXPECT_EQ(WriteLine(entry, today),
              EncodeLine(std::string("2026/12/06 07:05:00\t") + c.written + "\t/a.wav"));
  }
}

TEST(AlarmEntryTest, LeavingANumberBoxRoundsHalvesAwayFromZeroAndKeepsWhatIsNoNumber) {
  const std::pair<const char*, const char*> table[] = {
      {"1.5", "2"},   {"2.5", "3"},   {"2.4", "2"},         {"-1.5", "-2"}, {"  30", "30"},
      {"2e2", "200"}, {"abc", "abc"}, {"2.5abc", "2.5abc"}, {"xyz", "xyz"}, {"", ""},
  };
  for (const auto& [typed, tidied] : table) EXPECT_EQ(TidyNumber(typed), tidied) << typed;
}

}  // namespace
}  // namespace kelmora
