#pragma once
// Text files of lines on disk, read whole and written durably: into a temporary file, synced to
// the disk, renamed over the old one, the folder synced. The lines' bytes are code_page.h's.

#include <filesystem>
#include <string>
#include <vector>

namespace kelmora {

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

// Writes each line followed by CR LF, safely: into a temporary file in the same folder, flushed
// to disk, then renamed over path. Where path is a symbolic link, the file it names is replaced
// and the link stays. The folder is created when missing. Returns the empty text on success,
// else why it failed; on failure the old file is left as it was.
std::string WriteTextLinesSafely(const std::filesystem::path& path,
                                 const std::vector<std::string>& lines);

// Appends each line followed by CR LF to path, creating it (and its folder) when missing.
// Returns the empty text on success, else why it failed.
std::string AppendTextLines(const std::filesystem::path& path,
                            const std::vector<std::string>& lines);

// Removes the temporary files "<name>.tmp-<process>-<n>" that a writer of path killed before its
// rename left beside it (beside the file a link names). Only for a time when nothing else writes
// path (the program's start).
void RemoveStaleTemporaries(const std::filesystem::path& path);

// Moves an unreadable file aside as "<name>.bad" before a new one is written in its place.
// Returns the empty text on success, else why it failed.
std::string MoveAside(const std::filesystem::path& path);

}  // namespace kelmora
