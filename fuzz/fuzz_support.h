#pragma once
// What the fuzz targets share: a property check that stops the run with a readable message (so
// libFuzzer keeps the input as a crash), the input bytes as text, and a UTF-8 reader of our own
// that the targets use to check the text the libraries hand back.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace kelmora::fuzz {

// Control characters and bytes above 0x7E written as \xNN, so a broken line can be read.
inline std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\') {
      out += c;
      continue;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", byte);
    out += hex;
  }
  return out;
}

// Stops the run when a property does not hold, naming the property and what broke it.
inline void Require(bool holds, std::string_view property, std::string_view detail = {}) {
  if (holds) return;
  const std::string shown = Escaped(detail);
  std::fprintf(stderr, "\nproperty broken: %.*s\n  %s\n", static_cast<int>(property.size()),
               property.data(), shown.c_str());
  std::abort();
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// One code point read from text at pos, with its length in bytes.
struct Utf8Char {
  char32_t value = 0;
  std::size_t length = 0;
};

// Reads the code point at pos; nullopt for bytes that are not well-formed UTF-8 (stray
// continuation bytes, cut-off sequences, overlong forms, surrogates, values past U+10FFFF).
inline std::optional<Utf8Char> ReadUtf8Char(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = 0;
  char32_t value = 0;
  if (lead < 0x80) return Utf8Char{lead, 1};
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    value = lead & 0x1Fu;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    value = lead & 0x0Fu;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    value = lead & 0x07u;
  } else {
    return std::nullopt;
  }
  if (text.size() - pos < length) return std::nullopt;
  for (std::size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[pos + i]);
    if ((next & 0xC0) != 0x80) return std::nullopt;
    value = (value << 6) | (next & 0x3Fu);
  }
  const char32_t smallest = length == 2 ? 0x80 : (length == 3 ? 0x800 : 0x10000);
  if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    return std::nullopt;
  }
  return Utf8Char{value, length};
}

inline bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const std::optional<Utf8Char> c = ReadUtf8Char(text, pos);
    if (!c) return false;
    pos += c->length;
  }
  return true;
}

}  // namespace kelmora::fuzz
