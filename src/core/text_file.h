#pragma once
// Text files of lines on disk, read (up to limits) and written durably: into a temporary file,
// synced to the disk, renamed over the old one, the folder synced. Lines keep the bytes they
// were read as (code_page.h). A file the program makes beside its own (a temporary, a copy, a
// file moved aside, the dropped lines) never follows a symbolic link planted in its place.

#include <filesystem>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/fingerprint.h"

namespace kelmora {

// How much of a file ReadTextLines takes in; left as they are, the whole file.
struct TextLimits {
  std::size_t max_lines = std::numeric_limits<std::size_t>::max();
  std::size_t max_line_bytes = std::numeric_limits<std::size_t>::max();  // line end not counted
  std::size_t max_bytes = std::numeric_limits<std::size_t>::max();       // line ends counted
};

struct TextFileRead {
  enum class Status { kRead, kMissing, kFailed };
  // Where reading stopped: at the file's end, or at the first line that passes a limit.
  enum class Cut { kWhole, kTooManyLines, kLineTooLong, kTooManyBytes };
  Status status = Status::kMissing;
  std::vector<std::string> lines;  // the bytes as read, without line ends
  std::string error;               // for kFailed: why, in words
  Cut cut = Cut::kWhole;           // for kRead; lines then ends before the line that passed
  Fingerprint fingerprint;         // for kRead and kWhole: of the bytes read
};

// True when path names an ordinary file (a folder or other special file of that name does not
// count).
bool IsOrdinaryFile(const std::filesystem::path& path);

// Reads a text file into lines. kMissing when nothing exists at path; kFailed when something
// exists but cannot be read as an ordinary file (a folder, no permission, an I/O error). Reading
// stops at the first line that would pass one of the limits, so a huge file costs no more than
// the limits allow.
TextFileRead ReadTextLines(const std::filesystem::path& path, const TextLimits& limits = {});

// How a safe write went.
struct SafeWrite {
  bool replaced = false;  // the file holds the new bytes
  // Empty when all went well; else why it failed (not replaced) or, replaced, why the new file
  // may not survive a crash (its folder could not be flushed to disk).
  std::string error;
};

// Writes bytes safely: into a temporary file in the same folder, given the old file's
// permissions, flushed to disk, then renamed over path, and the folder flushed. Where path is a
// symbolic link, the file it names is replaced and the link stays. The folder is created when
// missing. On failure the old file is left as it was and the temporary file removed.
SafeWrite WriteBytesSafely(const std::filesystem::path& path, std::string_view bytes);

// Appends each line followed by CR LF to path, creating it (and its folder) when missing. Only
// an ordinary file is appended to: a symbolic link at path is not followed. Returns the empty
// text on success, else why it failed.
std::string AppendTextLines(const std::filesystem::path& path,
                            const std::vector<std::string>& lines);

// Makes a file under the first free one of the names name_at(0), name_at(1)... (a hundred at
// the most): make(name) makes it there and returns 0, or an errno value; EEXIST (the name is
// taken, or was taken meanwhile) tries the next name, any other ends the search. Returns the
// name taken, or nullopt with the last errno in error_number (EEXIST: every name was taken).
std::optional<std::filesystem::path> MakeUnderFreeName(
    const std::function<std::filesystem::path(int attempt)>& name_at,
    const std::function<int(const std::filesystem::path& name)>& make, int& error_number);

// Removes the temporary files "<name>.tmp-<process>-<n>" that a writer of path killed before its
// rename left beside it (beside the file a link names). Only for a time when nothing else writes
// path (the program's start).
void RemoveStaleTemporaries(const std::filesystem::path& path);

// Moves an unreadable file aside as "<name>.bad" (or the next free "<name>.bad2"...) before a
// new one is written in its place; nothing already there is replaced. Returns the empty text on
// success, else why it failed.
std::string MoveAside(const std::filesystem::path& path);

// Keeps what path holds (the file a link names) under the name copy as well, without touching
// path: a hard link, or where the disk has none, a copy. Returns the empty text on success, else
// why it failed (copy exists already, say).
std::string KeepCopy(const std::filesystem::path& path, const std::filesystem::path& copy);

}  // namespace kelmora
