#include "core/fingerprint.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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
  FileFingerprint result;
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0 && (errno == ENOENT || errno == ENOTDIR)) return result;
  result.status = FileFingerprint::Status::kFailed;
  if (descriptor < 0) {
    result.error = std::string("cannot open the file: ") + std::strerror(errno);
    return result;
  }
  Fingerprint fingerprint{0, kFnvOffset};
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) result.error = std::string("cannot read the file: ") + std::strerror(errno);
    if (count <= 0) break;
    fingerprint.size += static_cast<std::uint64_t>(count);
    fingerprint.hash = HashOn(fingerprint.hash, {buffer, static_cast<std::size_t>(count)});
  }
  if (::close(descriptor) != 0 && result.error.empty()) {
    result.error = std::string("cannot close the file: ") + std::strerror(errno);
  }
  if (!result.error.empty()) return result;
  result.status = FileFingerprint::Status::kRead;
  result.fingerprint = fingerprint;
  return result;
}

}  // namespace kelmora
