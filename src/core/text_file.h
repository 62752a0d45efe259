#pragma once
// Text files of lines: read with CR LF or LF line ends, UTF-8 with a Shift_JIS (CP932) fallback;
// written UTF-8 with CR LF after every line, safely (temporary file, flush, rename).

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora {

// Splits file content into lines. CR LF and LF end a line; a last line without a line end
// counts; an empty content has no lines. A lone CR inside a line stays part of it.
std::vector<std::string> SplitLines(std::string_view content);

// Returns content as UTF-8: valid UTF-8 unchanged (a leading byte-order mark dropped), anything
// else converted from CP932 (bytes that CP932 cannot map become U+FFFD).
std::string DecodeText(std::string_view content);

struct TextFileRead {
  enum class Status { kRead, kMissing, kFailed };
  Status status = Status::kMissing;
  std::vector<std::string> lines;  // UTF-8, without line ends
  std::string error;               // for kFailed: why, in words
};

// True when path names an ordinary file (a folder or other special file of that name does not
// count).
bool IsOrdinaryFile(const std::filesystem::path& path);

// Reads a text file into lines. kMissing when nothing exists at path; kFailed when something
// exists but cannot be read as an ordinary file (a folder, no permission, an I/O error).
TextFileRead ReadTextLines(const std::filesystem::path& path);

// The bytes of a text file holding lines: each followed by CR LF. A first line that begins with
// U+FEFF gets a byte-order mark before it, which the reader takes off again.
std::string TextFileBytes(const std::vector<std::string>& lines);

// Writes each line followed by CR LF, safely: into a temporary file in the same folder, flushed
// to disk, then renamed over path. The folder is created when missing. Returns the empty text on
// success, else why it failed; on failure the old file is left as it was.
std::string WriteTextLinesSafely(const std::filesystem::path& path,
                                 const std::vector<std::string>& lines);

// Removes the temporary files "<name>.tmp-*" that a writer of path killed before its rename left
// beside it. Only for a time when nothing else writes path (the program's start).
void RemoveStaleTemporaries(const std::filesystem::path& path);

// Moves an unreadable file aside as "<name>.bad" before a new one is written in its place.
// Returns the empty text on success, else why it failed.
std::string MoveAside(const std::filesystem::path& path);

// Cuts UTF-8 text on a character boundary so that its Shift_JIS (CP932) form takes at most
// max_bytes: ASCII and half-width katakana count one byte, every other character two.
std::string CutToCodePageBytes(std::string_view text, std::size_t max_bytes);

}  // namespace kelmora
