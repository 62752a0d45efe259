#include "core/date_time.h"

#include <array>
#include <cctype>
#include <ctime>

#include "core/date_time_os.h"

namespace kelmora {
namespace {

using std::chrono::days;
using std::chrono::floor;
using std::chrono::hh_mm_ss;
using std::chrono::local_days;
using std::chrono::year_month_day;

// Reads a date-time text from left to right.
class TextCursor {
 public:
  explicit TextCursor(std::string_view text) : text_(text) {}

  bool AtEnd() const { return pos_ == text_.size(); }

  bool Take(char c) {
    if (AtEnd() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }

  std::size_t SkipBlanks() {
    std::size_t start = pos_;
    while (!AtEnd() && text_[pos_] == ' ') ++pos_;
    return pos_ - start;
  }

  // A run of at most max_count digits; nullopt when it holds none.
  std::optional<unsigned> Digits(std::size_t max_count) {
    unsigned value = 0;
    std::size_t count = 0;
    while (count < max_count && !AtEnd() && IsDigit(text_[pos_])) {
      value = value * 10 + static_cast<unsigned>(text_[pos_++] - '0');
      ++count;
    }
    if (count == 0) return std::nullopt;
    return value;
  }

 private:
  static bool IsDigit(char c) { return c >= '0' && c <= '9'; }
  std::string_view text_;
  std::size_t pos_ = 0;
};

struct ClockTime {
  unsigned hour = 0;
  unsigned minute = 0;
  unsigned second = 0;
};

// h:n or h:n:s, one or two digits each.
std::optional<ClockTime> ReadClockTime(TextCursor& cursor) {
  auto hour = cursor.Digits(2);
  if (!hour || !cursor.Take(':')) return std::nullopt;
  auto minute = cursor.Digits(2);
  if (!minute) return std::nullopt;
  ClockTime time{*hour, *minute, 0};
  if (cursor.Take(':')) {
    auto second = cursor.Digits(2);
    if (!second) return std::nullopt;
    time.second = *second;
  }
  return time;
}

// What one pattern token stands for.
enum class Field {
  kYear4,
  kYear2,
  kMonth,
  kMonth2,
  kDay,
  kDay2,
  kHour,
  kHour2,
  kMinute,
  kMinute2,
  kSecond,
  kSecond2,
  kWeekday,
  kWeekdayLong,
  kAmPm,
  kAP,
};

struct TokenSpelling {
  std::string_view text;  // lower case; the pattern may use either case
  Field field;
};

// Longest spellings first, so "yyyy" is not read as "yy" twice.
constexpr std::array<TokenSpelling, 16> kTokens{{
    {"am/pm", Field::kAmPm},
    {"a/p", Field::kAP},
    {"aaaa", Field::kWeekdayLong},
    {"aaa", Field::kWeekday},
    {"yyyy", Field::kYear4},
    {"yy", Field::kYear2},
    {"mm", Field::kMonth2},
    {"m", Field::kMonth},
    {"dd", Field::kDay2},
    {"d", Field::kDay},
    {"hh", Field::kHour2},
    {"h", Field::kHour},
    {"nn", Field::kMinute2},
    {"n", Field::kMinute},
    {"ss", Field::kSecond2},
    {"s", Field::kSecond},
}};

constexpr std::array<std::string_view, 7> kWeekdayNames{"日", "月", "火", "水", "木", "金", "土"};

bool StartsWithIgnoringCase(std::string_view text, std::string_view lower_prefix) {
  if (text.size() < lower_prefix.size()) return false;
  for (std::size_t i = 0; i < lower_prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != lower_prefix[i]) return false;
  }
  return true;
}

const TokenSpelling* MatchToken(std::string_view rest) {
  for (const auto& token : kTokens) {
    if (StartsWithIgnoringCase(rest, token.text)) return &token;
  }
  return nullptr;
}

std::string Padded(long long value, int width) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  if (static_cast<int>(digits.size()) < width) {
    digits.insert(0, static_cast<std::size_t>(width) - digits.size(), '0');
  }
  return value < 0 ? "-" + digits : digits;
}

// The parts of one date-time, taken apart once for the whole pattern.
struct DateTimeParts {
  explicit DateTimeParts(DateTime value)
      : date(floor<days>(value)), time(value - floor<days>(value)), weekday(floor<days>(value)) {}
  year_month_day date;
  hh_mm_ss<std::chrono::seconds> time;
  std::chrono::weekday weekday;
};

// A morning/afternoon token as the pattern spells it: "AM/PM" gives "AM" or "PM", "a/p" gives
// "a" or "p".
std::string NoonMarker(std::string_view spelling, Field field, bool afternoon) {
  if (field == Field::kAP) return std::string(1, afternoon ? spelling[2] : spelling[0]);
  return std::string(afternoon ? spelling.substr(3, 2) : spelling.substr(0, 2));
}

std::string FieldText(const DateTimeParts& parts, Field field) {
  int year = static_cast<int>(parts.date.year());
  switch (field) {
    case Field::kYear4:
      return Padded(year, 4);
    case Field::kYear2:
      return Padded((year % 100 + 100) % 100, 2);
    case Field::kMonth:
      return Padded(static_cast<unsigned>(parts.date.month()), 1);
    case Field::kMonth2:
      return Padded(static_cast<unsigned>(parts.date.month()), 2);
    case Field::kDay:
      return Padded(static_cast<unsigned>(parts.date.day()), 1);
    case Field::kDay2:
      return Padded(static_cast<unsigned>(parts.date.day()), 2);
    case Field::kHour:
      return Padded(parts.time.hours().count(), 1);
    case Field::kHour2:
      return Padded(parts.time.hours().count(), 2);
    case Field::kMinute:
      return Padded(parts.time.minutes().count(), 1);
    case Field::kMinute2:
      return Padded(parts.time.minutes().count(), 2);
    case Field::kSecond:
      return Padded(parts.time.seconds().count(), 1);
    case Field::kSecond2:
      return Padded(parts.time.seconds().count(), 2);
    case Field::kWeekday:
      return std::string(kWeekdayNames[parts.weekday.c_encoding()]);
    case Field::kWeekdayLong:
      return std::string(kWeekdayNames[parts.weekday.c_encoding()]) + "曜日";
    case Field::kAmPm:
    case Field::kAP:
      break;  // spelled by the pattern: NoonMarker
  }
  return {};
}

// An "m" or "mm" right after an hour (literal text between allowed) is a minute.
Field ResolveMinute(Field field, bool after_hour) {
  if (!after_hour) return field;
  if (field == Field::kMonth) return Field::kMinute;
  if (field == Field::kMonth2) return Field::kMinute2;
  return field;
}

// Copies a quoted literal without its quotes; returns the position after the closing quote.
std::size_t CopyQuoted(std::string_view pattern, std::size_t open, std::string& out) {
  std::size_t close = pattern.find('"', open + 1);
  if (close == std::string_view::npos) close = pattern.size();
  out.append(pattern.substr(open + 1, close - open - 1));
  return close == pattern.size() ? close : close + 1;
}

}  // namespace

std::optional<DateTime> MakeDateTime(int year, unsigned month, unsigned day, unsigned hour,
                                     unsigned minute, unsigned second) {
  if (year < -32767 || year > 32767 || hour > 23 || minute > 59 || second > 59) {
    return std::nullopt;
  }
  year_month_day date{std::chrono::year{year}, std::chrono::month{month}, std::chrono::day{day}};
  if (!date.ok()) return std::nullopt;
  return local_days{date} + std::chrono::hours{hour} + std::chrono::minutes{minute} +
         std::chrono::seconds{second};
}

bool InTextRange(DateTime value) {
  int year = static_cast<int>(year_month_day{floor<days>(value)}.year());
  return year >= 100 && year <= 9999;
}

std::optional<DateTime> ParseDateTime(std::string_view text) {
  TextCursor cursor(text);
  cursor.SkipBlanks();
  auto year = cursor.Digits(4);
  char separator = cursor.Take('/') ? '/' : (cursor.Take('-') ? '-' : '\0');
  if (!year || separator == '\0' || *year < 100) return std::nullopt;
  auto month = cursor.Digits(2);
  if (!month || !cursor.Take(separator)) return std::nullopt;
  auto day = cursor.Digits(2);
  if (!day) return std::nullopt;

  ClockTime time;
  bool blanks = cursor.SkipBlanks() > 0;
  if (!cursor.AtEnd()) {
    auto read = blanks ? ReadClockTime(cursor) : std::nullopt;
    if (!read) return std::nullopt;
    time = *read;
    cursor.SkipBlanks();
  }
  if (!cursor.AtEnd()) return std::nullopt;
  return MakeDateTime(static_cast<int>(*year), *month, *day, time.hour, time.minute, time.second);
}

std::string FormatDateTime(DateTime value, std::string_view pattern) {
  DateTimeParts parts(value);
  bool afternoon = parts.time.hours().count() >= 12;
  std::string out;
  bool after_hour = false;
  std::size_t i = 0;
  while (i < pattern.size()) {
    if (pattern[i] == '"') {
      i = CopyQuoted(pattern, i, out);
      continue;
    }
    if (pattern[i] == '\\') {
      if (i + 1 < pattern.size()) out += pattern[i + 1];
      i += 2;
      continue;
    }
    const TokenSpelling* token = MatchToken(pattern.substr(i));
    if (token == nullptr) {
      out += pattern[i++];
      continue;
    }
    std::string_view spelling = pattern.substr(i, token->text.size());
    Field field = ResolveMinute(token->field, after_hour);
    bool noon = field == Field::kAmPm || field == Field::kAP;
    out += noon ? NoonMarker(spelling, field, afternoon) : FieldText(parts, field);
    after_hour = field == Field::kHour || field == Field::kHour2;
    i += spelling.size();
  }
  return out;
}

// The scheduler writes this form for every line it moves on, so it skips the pattern reader.
std::string CanonicalText(DateTime value) {
  const auto day = std::chrono::floor<std::chrono::days>(value);
  const std::chrono::year_month_day date{day};
  const std::chrono::hh_mm_ss time{value - day};
  std::string text = "0000/00/00 00:00:00";
  const auto put = [&text](std::size_t end, unsigned number, int digits) {
    for (int i = 0; i < digits; ++i, number /= 10)
      text[end - i] = static_cast<char>('0' + number % 10);
  };
  put(3, static_cast<unsigned>(static_cast<int>(date.year())), 4);
  put(6, static_cast<unsigned>(date.month()), 2);
  put(9, static_cast<unsigned>(date.day()), 2);
  put(12, static_cast<unsigned>(time.hours().count()), 2);
  put(15, static_cast<unsigned>(time.minutes().count()), 2);
  put(18, static_cast<unsigned>(time.seconds().count()), 2);
  return text;
}

DateTime LocalTimeAt(WallTime instant) {
  const auto at = static_cast<std::time_t>(
      std::chrono::floor<std::chrono::seconds>(instant).time_since_epoch().count());
  const std::tm local = LocalCalendar(at);
  auto second = static_cast<unsigned>(local.tm_sec > 59 ? 59 : local.tm_sec);  // leap second
  auto value =
      MakeDateTime(local.tm_year + 1900, static_cast<unsigned>(local.tm_mon + 1),
                   static_cast<unsigned>(local.tm_mday), static_cast<unsigned>(local.tm_hour),
                   static_cast<unsigned>(local.tm_min), second);
  return value.value_or(DateTime{});
}

DateTime SystemNow() {
  return LocalTimeAt(
      std::chrono::floor<std::chrono::milliseconds>(std::chrono::system_clock::now()));
}

}  // namespace kelmora
