#pragma once
// What a file held, kept small: its size and a 64-bit FNV-1a hash of its bytes, so the program
// can tell later whether someone else changed the file since it last read or wrote it.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace kelmora {

struct Fingerprint {
  std::uint64_t size = 0;
  std::uint64_t hash = 0;
  bool operator==(const Fingerprint&) const = default;
};

// The fingerprint of bytes.
Fingerprint FingerprintOf(std::string_view bytes);

// The fingerprint of what a file on disk holds, read a chunk at a time.
struct FileFingerprint {
  enum class Status { kRead, kMissing, kFailed };
  Status status = Status::kMissing;
  Fingerprint fingerprint;
  std::string error;  // kFailed: why, in words
};
FileFingerprint FingerprintOfFile(const std::filesystem::path& path);

// Reads the file at path (the file a link names) in binary, a chunk at a time, giving each chunk
// to take until it returns false (fingerprint_posix.cpp, fingerprint_windows.cpp). Returns the
// empty text when all went well, else why it failed; missing tells that nothing is at path.
std::string ReadFileChunks(const std::filesystem::path& path,
                           const std::function<bool(std::string_view chunk)>& take, bool& missing);

}  // namespace kelmora
