// Fuzzes reading, writing and formatting date-times, and cutting tip texts to the tray's byte
// limit. The input's first line is read as a date-time; the rest is a format pattern, applied to
// the date-time read or, when the line does not read, to one within years 100..9999 made from the
// input's bytes. Checked:
// - a date-time read lies within years 100..9999; the text holds nothing but blanks, digits and
//   "/-:", and its digit groups are the year, month, day and (when given) hour, minute and
//   second of the value; blanks around it change nothing;
// - the canonical text is 19 characters, reads back to the same value and equals the pattern
//   "yyyy/mm/dd hh:nn:ss"; one-digit forms read back too;
// - formatting with any pattern finishes, and a pattern of valid UTF-8 gives valid UTF-8;
// - cutting the formatted text to 63 code-page bytes keeps a prefix on a character boundary
//   that fits, leaves no room for the next character, and is unchanged by a second cut.

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_page.h"
#include "core/date_time.h"
#include "fuzz_support.h"

namespace kelmora {
namespace {

using fuzz::Require;

constexpr std::size_t kTipBytes = 63;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The numbers written in text, in order.
std::vector<long long> DigitGroups(std::string_view text) {
  std::vector<long long> groups;
  for (std::size_t pos = 0; pos < text.size();) {
    if (!IsDigit(text[pos])) {
      ++pos;
      continue;
    }
    long long value = 0;
    for (; pos < text.size() && IsDigit(text[pos]); ++pos) {
      value = std::min(value * 10 + (text[pos] - '0'), 1'000'000'000LL);
    }
    groups.push_back(value);
  }
  return groups;
}

std::vector<long long> Parts(DateTime value) {
  const auto day = std::chrono::floor<std::chrono::days>(value);
  const std::chrono::year_month_day date{day};
  const std::chrono::hh_mm_ss time{value - day};
  return {static_cast<int>(date.year()),
          static_cast<unsigned>(date.month()),
          static_cast<unsigned>(date.day()),
          time.hours().count(),
          time.minutes().count(),
          time.seconds().count()};
}

void CheckReadValue(std::string_view text, DateTime value) {
  const std::string shown(text);
  Require(InTextRange(value), "a date-time read lies within years 100..9999", shown);
  Require(text.find_first_not_of(" 0123456789/-:") == std::string_view::npos,
          "a date-time text holds only blanks, digits and /-:", shown);
  std::vector<long long> groups = DigitGroups(text);
  Require(groups.size() == 3 || groups.size() == 5 || groups.size() == 6,
          "a date-time text has a date and maybe a time", shown);
  groups.resize(6, 0);
  Require(groups == Parts(value), "the digit groups are the value's parts", shown);
  const std::optional<DateTime> padded = ParseDateTime("  " + shown + "  ");
  Require(padded == value, "blanks around a date-time change nothing", shown);

  const std::string canonical = CanonicalText(value);
  Require(canonical.size() == 19, "the canonical text has 19 characters", canonical);
  Require(ParseDateTime(canonical) == value, "the canonical text reads back", canonical);
  Require(FormatDateTime(value, "yyyy/mm/dd hh:nn:ss") == canonical,
          "the canonical text is the pattern yyyy/mm/dd hh:nn:ss", canonical);
  const std::string short_form = FormatDateTime(value, "yyyy-m-d h:n:s");
  Require(ParseDateTime(short_form) == value, "one-digit forms read back", short_form);
}

// A date-time within years 100..9999 made from the input's bytes.
DateTime ValueFromBytes(std::string_view bytes) {
  const DateTime first = *MakeDateTime(100, 1, 1);
  const DateTime last = *MakeDateTime(9999, 12, 31, 23, 59, 59);
  std::uint64_t mixed = 1469598103934665603ULL;  // FNV-1a
  for (char c : bytes) mixed = (mixed ^ static_cast<unsigned char>(c)) * 1099511628211ULL;
  const auto span = static_cast<std::uint64_t>((last - first).count()) + 1;
  return first + std::chrono::seconds{static_cast<std::int64_t>(mixed % span)};
}

int CodePageBytes(char32_t c) {
  return c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F) ? 1 : 2;
}

void CheckTipCut(const std::string& text) {
  const std::string cut = CutToCodePageBytes(text, kTipBytes);
  Require(text.starts_with(cut), "the cut text is a prefix", cut);
  Require(CutToCodePageBytes(cut, kTipBytes) == cut, "a second cut changes nothing", cut);
  if (!fuzz::IsValidUtf8(text)) return;
  Require(fuzz::IsValidUtf8(cut), "the cut falls on a character boundary", cut);
  std::size_t used = 0;
  for (std::size_t pos = 0; pos < cut.size();) {
    const fuzz::Utf8Char c = *fuzz::ReadUtf8Char(cut, pos);
    used += static_cast<std::size_t>(CodePageBytes(c.value));
    pos += c.length;
  }
  Require(used <= kTipBytes, "the cut text fits the tray's bytes", cut);
  if (cut.size() < text.size()) {
    const fuzz::Utf8Char next = *fuzz::ReadUtf8Char(text, cut.size());
    Require(used + static_cast<std::size_t>(CodePageBytes(next.value)) > kTipBytes,
            "the cut leaves no room for the next character", cut);
  }
}

}  // namespace
}  // namespace kelmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmora;
  const std::string_view input = fuzz::AsText(data, size);
  const std::size_t line_end = input.find('\n');
  const std::string_view date_text = input.substr(0, line_end);
  const std::string_view pattern =
      line_end == std::string_view::npos ? std::string_view{} : input.substr(line_end + 1);

  const std::optional<DateTime> read = ParseDateTime(date_text);
  if (read) CheckReadValue(date_text, *read);
  const DateTime value = read ? *read : ValueFromBytes(input);
  const std::string formatted = FormatDateTime(value, pattern);
  if (fuzz::IsValidUtf8(pattern)) {
    fuzz::Require(fuzz::IsValidUtf8(formatted), "a UTF-8 pattern formats to UTF-8", formatted);
  }
  CheckTipCut(formatted);
  return 0;
}
