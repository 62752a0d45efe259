#pragma once
// What a file held, kept small: its size and a 64-bit FNV-1a hash of its bytes, so the program
// can tell later whether someone else changed the file since it last read or wrote it.

#include <cstdint>
#include <filesystem>
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

}  // namespace kelmora
