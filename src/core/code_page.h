#pragma once
// The code-page side of text: a file's bytes into lines (CR LF or LF ending them) that keep the
// bytes they were read as, lines back into a file's bytes with CR LF, a line decoded to be shown
// (UTF-8, else the legacy code page: CP932 on Linux, the ANSI code page on Windows; else its bytes
// as they are), a line the program makes encoded for its file, and UTF-8 text cut to a number of
// CP932 bytes (the tray's tip).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora {

// Splits file content into lines. CR LF and LF end a line; a lone CR is part of its line (a
// hand-edited path may hold one); a last line without a line end counts; an empty content has
// no lines.
std::vector<std::string> SplitLines(std::string_view content);

// The lines of a file's content with the bytes they hold, so that what is read is written back
// exactly; a leading byte-order mark is dropped.
std::vector<std::string> FileLines(std::string_view content);

// A line as text to show (and to look for a file by when its bytes name none), decided on its
// own: valid UTF-8 as it is; otherwise valid in the legacy code page (on Linux CP932, files from
// a Japanese Windows system; on Windows the system's ANSI code page) converted to UTF-8;
// otherwise its bytes as they are.
std::string DecodeLine(std::string_view line);

// The bytes of a line the program makes from the user's text, for its file: on Windows in the
// ANSI code page when that holds every character, else UTF-8; on Linux UTF-8. Text that is not
// UTF-8 (bytes kept from a file) stays as it is.
std::string EncodeLine(std::string_view text);

// The bytes of a text file holding lines: each followed by CR LF. A first line that begins with
// U+FEFF gets a byte-order mark before it, which the reader takes off again.
std::string TextFileBytes(const std::vector<std::string>& lines);

// Cuts UTF-8 text on a character boundary so that its Shift_JIS (CP932) form takes at most
// max_bytes: ASCII and half-width katakana count one byte, every other character two.
std::string CutToCodePageBytes(std::string_view text, std::size_t max_bytes);

}  // namespace kelmora
