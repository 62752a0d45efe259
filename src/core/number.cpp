#include "core/number.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace kelmora {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Walks the text one meaningful character at a time, stepping over blanks and tabs.
class NumberScanner {
 public:
  explicit NumberScanner(std::string_view text) : text_(text) { SkipBlanks(); }

  char Peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  bool AtEnd() const { return pos_ == text_.size(); }
  void Take() {
    ++pos_;
    SkipBlanks();
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  std::string_view text_;
  std::size_t pos_ = 0;
};

// The characters of a number with blanks removed, split where std::from_chars and the range
// check need them.
struct NumberText {
  std::string mantissa;            // sign, digits and '.'
  std::string exponent;            // "e", sign and digits; empty when the text has none
  int integer_digits = 0;          // digits before '.', leading zeros excluded
  int leading_fraction_zeros = 0;  // zeros right after '.' while no other digit came
  bool has_digit = false;
};

void TakeDigits(NumberScanner& scanner, std::string& out) {
  while (IsDigit(scanner.Peek())) {
    out += scanner.Peek();
    scanner.Take();
  }
}

void TakeMantissa(NumberScanner& scanner, NumberText& number) {
  if (scanner.Peek() == '+' || scanner.Peek() == '-') {
    if (scanner.Peek() == '-') number.mantissa += '-';
    scanner.Take();
  }
  bool significant = false;
  for (; IsDigit(scanner.Peek()); scanner.Take()) {
    significant = significant || scanner.Peek() != '0';
    number.integer_digits += significant ? 1 : 0;
    number.mantissa += scanner.Peek();
    number.has_digit = true;
  }
  if (scanner.Peek() != '.') return;
  number.mantissa += '.';
  scanner.Take();
  for (; IsDigit(scanner.Peek()); scanner.Take()) {
    significant = significant || scanner.Peek() != '0';
    number.leading_fraction_zeros += significant ? 0 : 1;
    number.mantissa += scanner.Peek();
    number.has_digit = true;
  }
}

// An exponent counts only when digits follow the "e" (and its sign): "1e" reads as 1.
void TakeExponent(NumberScanner& scanner, NumberText& number) {
  if (scanner.Peek() != 'e' && scanner.Peek() != 'E') return;
  NumberScanner ahead = scanner;
  ahead.Take();
  std::string exponent = "e";
  if (ahead.Peek() == '+' || ahead.Peek() == '-') {
    exponent += ahead.Peek();
    ahead.Take();
  }
  std::string digits;
  TakeDigits(ahead, digits);
  if (digits.empty()) return;
  number.exponent = exponent + digits;
  scanner = ahead;
}

// The power of ten of the first significant digit, saturated far beyond the double range.
long long DecimalMagnitude(const NumberText& number) {
  constexpr long long kLimit = 1'000'000'000;
  long long exponent = 0;
  bool negative = number.exponent.size() > 1 && number.exponent[1] == '-';
  for (char c : number.exponent) {
    if (IsDigit(c)) exponent = std::min(kLimit, exponent * 10 + (c - '0'));
  }
  if (negative) exponent = -exponent;
  long long lead =
      number.integer_digits > 0 ? number.integer_digits - 1 : -(number.leading_fraction_zeros + 1);
  return exponent + lead;
}

// A number beyond the double range: an infinity when too large, a zero when too small.
double OutOfRangeValue(const NumberText& number) {
  bool negative = !number.mantissa.empty() && number.mantissa[0] == '-';
  double magnitude = DecimalMagnitude(number) >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -magnitude : magnitude;
}

template <typename Int>
std::optional<Int> RoundToInt(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double floor = std::floor(value);
  double rest = value - floor;  // exact for every double
  double rounded = floor;
  if (rest > 0.5 || (rest == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1.0;
  if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
      rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
    return std::nullopt;
  }
  return static_cast<Int>(rounded);
}

// Turns "1e+20" into "1E+20", the form the program has always written.
std::string WithCapitalExponent(std::string text) {
  for (char& c : text) {
    if (c == 'e') c = 'E';
  }
  return text;
}

// Takes the number at the scanner's place, as ReadLeadingNumber reads it.
std::optional<double> TakeNumber(NumberScanner& scanner) {
  NumberText number;
  TakeMantissa(scanner, number);
  if (!number.has_digit) return std::nullopt;
  TakeExponent(scanner, number);

  std::string chars = number.mantissa + number.exponent;
  double value = 0.0;
  auto [end, error] = std::from_chars(chars.data(), chars.data() + chars.size(), value);
  if (error == std::errc::result_out_of_range) return OutOfRangeValue(number);
  if (error != std::errc() || end != chars.data() + chars.size()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<double> ReadLeadingNumber(std::string_view text) {
  NumberScanner scanner(text);
  return TakeNumber(scanner);
}

std::optional<double> ReadWholeNumber(std::string_view text) {
  NumberScanner scanner(text);
  const std::optional<double> number = TakeNumber(scanner);
  if (!scanner.AtEnd()) return std::nullopt;
  return number;
}

double ReadNumber(std::string_view text) {
  return ReadLeadingNumber(text).value_or(0.0);
}

std::optional<std::int16_t> RoundToInt16(double value) {
  return RoundToInt<std::int16_t>(value);
}

std::optional<std::int32_t> RoundToInt32(double value) {
  return RoundToInt<std::int32_t>(value);
}

double RoundHalfAwayFromZero(double value) {
  return std::round(value);
}

std::string ShortestDecimal(double value) {
  if (value == 0.0) return "0";  // negative zero too
  double magnitude = std::fabs(value);
  bool plain = magnitude >= 1e-5 && magnitude < 1e15;
  std::array<char, 512> buffer{};
  auto format = plain ? std::chars_format::fixed : std::chars_format::scientific;
  auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, format);
  return WithCapitalExponent(std::string(buffer.data(), result.ptr));
}

}  // namespace kelmora
