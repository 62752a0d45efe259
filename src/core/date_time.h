#pragma once
// The civil date-time: a local calendar date and wall-clock time to the whole second, with no
// time zone or daylight-saving rules. Adding days, hours, minutes and seconds is plain arithmetic
// on local_seconds.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelmora {

using DateTime = std::chrono::local_seconds;

// An instant of the wall clock (the system clock, which can be set), to the millisecond.
using WallTime = std::chrono::sys_time<std::chrono::milliseconds>;

// Builds a date-time from its parts; nullopt when a part is out of range (a day the month lacks).
std::optional<DateTime> MakeDateTime(int year, unsigned month, unsigned day, unsigned hour = 0,
                                     unsigned minute = 0, unsigned second = 0);

// True for years 100 to 9999, the range a date-time is read from text and written in.
bool InTextRange(DateTime value);

// Reads a date-time from text: a date y/m/d with "/" or "-" (year 100..9999, one- or two-digit
// month and day), optionally followed by blanks and a time h:n or h:n:s (one- or two-digit
// parts, 0..23, 0..59, 0..59). Leading and trailing blanks are allowed. Anything else, and a date
// the calendar lacks, is unreadable (nullopt).
std::optional<DateTime> ParseDateTime(std::string_view text);

// Formats with the pattern letters: yyyy (four-digit year), yy (two-digit year), m and mm (month,
// or minutes directly after an h or hh, with at most literal separators between), d, dd, h, hh
// (00..23), n, nn, s, ss, aaa (Japanese weekday, one character 日月火水木金土), aaaa (日曜日 ...),
// A/P and a/p ("A"/"P", "a"/"p"), AM/PM and am/pm. Text in double quotes is copied without the
// quotes, a backslash copies the next character, and anything else is copied as it stands.
// Output is UTF-8.
std::string FormatDateTime(DateTime value, std::string_view pattern);

// "yyyy/mm/dd hh:nn:ss": the canonical due-time form of an alarm line (19 characters).
std::string CanonicalText(DateTime value);

// The current local date-time of the system, to the whole second.
DateTime SystemNow();

// The local date-time of the system's time zone at an instant of the wall clock, to the whole
// second. The zone is read again when it was changed.
DateTime LocalTimeAt(WallTime instant);

}  // namespace kelmora
