#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "core/fingerprint.h"

namespace kelmora {
namespace {

std::string Reason(std::string_view what, int error_number) {
  return std::string(what) + ": " + std::strerror(error_number);
}

}  // namespace

std::string ReadFileChunks(const std::filesystem::path& path,
                           const std::function<bool(std::string_view chunk)>& take, bool& missing) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  missing = descriptor < 0 && (errno == ENOENT || errno == ENOTDIR);
  if (descriptor < 0) return Reason("cannot open the file", errno);
  std::string error;
  char buffer[65536];
  for (;;) {
    const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) error = Reason("cannot read the file", errno);
    if (count <= 0 || !take({buffer, static_cast<std::size_t>(count)})) break;
  }
  if (::close(descriptor) != 0 && error.empty()) error = Reason("cannot close the file", errno);
  return error;
}

}  // namespace kelmora
