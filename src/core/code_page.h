#pragma once
// The code-page side of text: a file's bytes into UTF-8 lines (CR LF, LF or a lone CR ending
// them; each line UTF-8, else Shift_JIS (CP932), else its bytes as they are), lines back into a
// file's bytes with CR LF, and UTF-8 text cut to a number of CP932 bytes (the tray's tip).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora {

// Splits file content into lines. CR LF, LF and a lone CR end a line; a last line without a line
// end counts; an empty content has no lines.
std::vector<std::string> SplitLines(std::string_view content);

// The lines of a file's content, each decided on its own: valid UTF-8 stays as it is; otherwise
// valid CP932 (files from a Japanese Windows system) is converted to UTF-8; otherwise the line's
// bytes are kept unchanged, so that they are written back exactly. A leading byte-order mark is
// dropped.
std::vector<std::string> DecodeLines(std::string_view content);

// The bytes of a text file holding lines: each followed by CR LF. A first line that begins with
// U+FEFF gets a byte-order mark before it, which the reader takes off again.
std::string TextFileBytes(const std::vector<std::string>& lines);

// Cuts UTF-8 text on a character boundary so that its Shift_JIS (CP932) form takes at most
// max_bytes: ASCII and half-width katakana count one byte, every other character two.
std::string CutToCodePageBytes(std::string_view text, std::size_t max_bytes);

}  // namespace kelmora
