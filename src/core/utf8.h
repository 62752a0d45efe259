#pragma once
// Walking UTF-8 text by characters (code points).

#include <cstddef>
#include <optional>
#include <string_view>

namespace kelmora {

// The code point starting at text[pos] and its length in bytes.
struct CodePoint {
  char32_t value;
  std::size_t length;
};

// The code point at text[pos]; nullopt for a byte sequence that is not well-formed UTF-8
// (overlong forms and surrogates included).
std::optional<CodePoint> DecodeCodePoint(std::string_view text, std::size_t pos);

bool IsValidUtf8(std::string_view text);

// The first count characters of text (each begins at a byte that is no continuation byte), or
// all of it when it is shorter.
std::string_view FirstCharacters(std::string_view text, std::size_t count);

// Where the last character of text begins; 0 for the empty text.
std::size_t LastCharacterStart(std::string_view text);

}  // namespace kelmora
