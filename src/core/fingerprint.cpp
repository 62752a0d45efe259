#include "core/fingerprint.h"

namespace kelmora {
namespace {

constexpr std::uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

std::uint64_t HashOn(std::uint64_t hash, std::string_view bytes) {
  for (const char byte : bytes) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= kFnvPrime;
  }
  return hash;
}

}  // namespace

Fingerprint FingerprintOf(std::string_view bytes) {
  return {bytes.size(), HashOn(kFnvOffset, bytes)};
}

FileFingerprint FingerprintOfFile(const std::filesystem::path& path) {
  Fingerprint fingerprint{0, kFnvOffset};
  bool missing = false;
  FileFingerprint result;
  result.error = ReadFileChunks(
      path,
      [&fingerprint](std::string_view chunk) {
        fingerprint.size += chunk.size();
        fingerprint.hash = HashOn(fingerprint.hash, chunk);
        return true;
      },
      missing);
  if (missing) return {};
  if (!result.error.empty()) {
    result.status = FileFingerprint::Status::kFailed;
    return result;
  }
  result.status = FileFingerprint::Status::kRead;
  result.fingerprint = fingerprint;
  return result;
}

}  // namespace kelmora
