#pragma once
// Reading numbers from text and writing them back, the way the program's fields and files hold
// them: a leading decimal number, rounding to 16 or 32 bits with range failure, shortest text.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kelmora {

// The leading decimal number of text: blanks and tabs are skipped (before and inside the number),
// then an optional sign, digits, an optional '.' with digits and an optional exponent ("e" or "E",
// optional sign, digits). Reading stops at the first character that cannot continue the number.
// Returns nullopt when the text does not begin with a number (after blanks).
std::optional<double> ReadLeadingNumber(std::string_view text);

// True when the text is a number as ReadLeadingNumber reads it and nothing else follows but
// blanks and tabs.
bool IsWholeNumber(std::string_view text);

// ReadLeadingNumber, with 0 where the text holds no leading number.
double ReadNumber(std::string_view text);

// Rounds to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4), and
// fails (nullopt) when the result lies outside the target width or the value is not finite.
std::optional<std::int16_t> RoundToInt16(double value);
std::optional<std::int32_t> RoundToInt32(double value);

// Rounds to the nearest whole number, an exact half away from zero (2.5 -> 3, -1.5 -> -2).
double RoundHalfAwayFromZero(double value);

// The shortest decimal text that reads back as the same double: whole numbers without a decimal
// point ("3", "0", "-2"), others with their fraction ("1.5"), plain digits below 1e15 in
// magnitude and an exponent form ("1E+20", "1E-07") beyond. Negative zero is written "0".
std::string ShortestDecimal(double value);

}  // namespace kelmora
