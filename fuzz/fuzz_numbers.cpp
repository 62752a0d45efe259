// Fuzzes reading numbers from text and writing them back. The input is read as text for the
// leading-number reader, and its first eight bytes (when there are eight) are also taken as the
// bits of a double for the writer. Checked:
// - the leading number equals strtod (C locale) of the longest number at the start of the text
//   with every blank and tab taken out, and no number reads as 0 (ReadNumber); blanks in front
//   change nothing; the result is never NaN;
// - rounding to 16 and 32 bits gives the nearest whole number, an exact half to the even one, and
//   fails exactly for values that are not finite or round outside the target width;
// - rounding halves away from zero lands within a half, an exact half on the larger magnitude;
// - the shortest decimal text of every finite double reads back as the same double, and a whole
//   number below 1e15 is written with digits only.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/number.h"
#include "fuzz_support.h"

namespace kelmora {
namespace {

using fuzz::Require;

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The longest "[+-]digits[.digits][e[+-]digits]" at the start of text (with at least one digit
// before the exponent); empty when there is none.
std::string LeadingNumberText(std::string_view text) {
  std::size_t pos = 0;
  const auto digits = [&] {
    const std::size_t start = pos;
    while (pos < text.size() && IsDigit(text[pos])) ++pos;
    return pos - start;
  };
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
  std::size_t mantissa_digits = digits();
  if (pos < text.size() && text[pos] == '.') {
    ++pos;
    mantissa_digits += digits();
  }
  if (mantissa_digits == 0) return {};
  const std::size_t mantissa_end = pos;
  if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
    ++pos;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) ++pos;
    if (digits() == 0) pos = mantissa_end;  // "1e" is the number 1
  }
  return std::string(text.substr(0, pos));
}

std::optional<double> ExpectedLeadingNumber(std::string_view text) {
  std::string without_blanks;
  for (char c : text) {
    if (c != ' ' && c != '\t') without_blanks += c;
  }
  const std::string number = LeadingNumberText(without_blanks);
  if (number.empty()) return std::nullopt;
  return std::strtod(number.c_str(), nullptr);  // ERANGE gives +-HUGE_VAL or a zero
}

bool SameDouble(double a, double b) {
  return a == b && std::signbit(a) == std::signbit(b);
}

void CheckReading(std::string_view text) {
  const std::optional<double> read = ReadLeadingNumber(text);
  const std::optional<double> expected = ExpectedLeadingNumber(text);
  const std::string shown(text.substr(0, 200));
  Require(read.has_value() == expected.has_value(),
          "a number is found exactly when strtod finds one", shown);
  if (!read) {
    Require(ReadNumber(text) == 0.0, "no number reads as 0", shown);
    return;
  }
  Require(!std::isnan(*read), "a number is never NaN", shown);
  Require(SameDouble(*read, *expected), "the number equals strtod's", shown);
  Require(SameDouble(ReadNumber(text), *read), "ReadNumber is the leading number", shown);
  const std::optional<double> padded = ReadLeadingNumber(" \t " + std::string(text));
  Require(padded && SameDouble(*padded, *read), "blanks in front change nothing", shown);
}

template <typename Int>
void CheckRoundingTo(double value, const std::optional<Int>& rounded) {
  const std::string shown = ShortestDecimal(value);
  const double lowest = static_cast<double>(std::numeric_limits<Int>::min()) - 0.5;
  const double highest = static_cast<double>(std::numeric_limits<Int>::max()) + 0.5;
  if (!std::isfinite(value) || value < lowest || value >= highest) {
    Require(!rounded, "out of range or not finite fails", shown);
    return;
  }
  Require(rounded.has_value(), "in range rounds", shown);
  const double distance = std::fabs(static_cast<double>(*rounded) - value);
  Require(distance <= 0.5, "rounds to the nearest whole number", shown);
  if (distance == 0.5) Require(*rounded % 2 == 0, "an exact half goes to the even number", shown);
}

void CheckRounding(double value) {
  CheckRoundingTo(value, RoundToInt16(value));
  CheckRoundingTo(value, RoundToInt32(value));
  if (!std::isfinite(value)) return;
  const double away = RoundHalfAwayFromZero(value);
  const double distance = std::fabs(away - value);
  Require(away == std::floor(away), "rounding away from zero gives a whole number");
  Require(distance <= 0.5, "rounding away from zero stays within a half", ShortestDecimal(value));
  if (distance == 0.5) {
    Require(std::fabs(away) > std::fabs(value), "an exact half goes away from zero",
            ShortestDecimal(value));
  }
}

void CheckShortestDecimal(double value) {
  if (!std::isfinite(value)) return;
  const std::string text = ShortestDecimal(value);
  const std::optional<double> back = ReadLeadingNumber(text);
  Require(back.has_value() && *back == value, "the shortest decimal reads back", text);
  if (value == 0.0) Require(text == "0", "zero is written 0", text);
  if (value == std::trunc(value) && std::fabs(value) < 1e15) {
    Require(text.find_first_not_of("-0123456789") == std::string::npos,
            "a whole number below 1e15 is written with digits only", text);
  }
}

}  // namespace
}  // namespace kelmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmora;
  const std::string_view text = fuzz::AsText(data, size);
  CheckReading(text);
  const double read = ReadNumber(text);
  CheckRounding(read);
  CheckShortestDecimal(read);
  if (size >= sizeof(double)) {
    double bits = 0;
    std::memcpy(&bits, data, sizeof bits);
    CheckRounding(bits);
    CheckShortestDecimal(bits);
  }
  return 0;
}
