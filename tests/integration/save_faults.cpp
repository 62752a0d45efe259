// A disk that fails on cue, for the save's fault tests: preloaded (LD_PRELOAD) into the program,
// it counts the calls that reach the files of one folder and fails the N-th of them with a given
// error. Counted are open (every variant, the folder itself included), write, fchmod, fsync and
// close of a descriptor such an open gave, and rename with either name in the folder; calls on
// other files pass untouched. The environment says what to do:
//   KELMORA_FAULT_FOLDER  the folder, an absolute path without a trailing "/" (nothing counted
//                         without it)
//   KELMORA_FAULT_LOG     a file that gets one line for each counted call:
//                         "<count> <call> <file name> ok|failed <errno name>"
//   KELMORA_FAULT_AT      the count of the call to fail (none when unset)
//   KELMORA_FAULT_ERRNO   the error it fails with: ENOSPC, EIO, EROFS or EDQUOT (EIO when unset)
// A failed close still closes the descriptor, as the kernel does; every other failed call does
// nothing.

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>

namespace {

constexpr int kMostDescriptors = 4096;

struct Config {
  std::string folder;
  int log = -1;
  long fail_at = 0;
  int error = EIO;
};

const char* ErrorName(int error) {
  switch (error) {
    case ENOSPC:
      return "ENOSPC";
    case EIO:
      return "EIO";
    case EROFS:
      return "EROFS";
    case EDQUOT:
      return "EDQUOT";
  }
  return "E?";
}

int ErrorNamed(const char* name) {
  for (const int error : {ENOSPC, EIO, EROFS, EDQUOT}) {
    if (name != nullptr && std::strcmp(name, ErrorName(error)) == 0) return error;
  }
  return EIO;
}

// The C library's own function of that name, looked up at its first use (other libraries call
// these before this one's initialisers have run).
#define KELMORA_REAL(name, type)                                                 \
  type real_##name() {                                                           \
    static const auto found = reinterpret_cast<type>(::dlsym(RTLD_NEXT, #name)); \
    return found;                                                                \
  }
using OpenAtFunction = int (*)(int, const char*, int, ...);
using WriteFunction = ssize_t (*)(int, const void*, size_t);
using FchmodFunction = int (*)(int, mode_t);
using DescriptorFunction = int (*)(int);
using RenameFunction = int (*)(const char*, const char*);
using RenameAtFunction = int (*)(int, const char*, int, const char*);
KELMORA_REAL(openat, OpenAtFunction)
KELMORA_REAL(write, WriteFunction)
KELMORA_REAL(fchmod, FchmodFunction)
KELMORA_REAL(fsync, DescriptorFunction)
KELMORA_REAL(close, DescriptorFunction)
KELMORA_REAL(rename, RenameFunction)
KELMORA_REAL(renameat, RenameAtFunction)

Config& Settings() {
  static Config* config = [] {
    auto* made = new Config;
    if (const char* folder = std::getenv("KELMORA_FAULT_FOLDER")) made->folder = folder;
    if (const char* log = std::getenv("KELMORA_FAULT_LOG")) {
      made->log = real_openat()(AT_FDCWD, log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    }
    if (const char* at = std::getenv("KELMORA_FAULT_AT"))
      made->fail_at = std::strtol(at, nullptr, 10);
    made->error = ErrorNamed(std::getenv("KELMORA_FAULT_ERRNO"));
    return made;
  }();
  return *config;
}

std::mutex counting;
long counted = 0;
std::array<std::atomic<bool>, kMostDescriptors> watched{};
std::array<std::string, kMostDescriptors> names;  // under counting

bool InFolder(const char* path) {
  const std::string& folder = Settings().folder;
  if (folder.empty() || path == nullptr) return false;
  if (std::strncmp(path, folder.c_str(), folder.size()) != 0) return false;
  return path[folder.size()] == '\0' || path[folder.size()] == '/';
}

bool Watched(int descriptor) {
  return descriptor >= 0 && descriptor < kMostDescriptors && watched[descriptor].load();
}

std::string NameOf(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash != nullptr && slash[1] != '\0' ? slash + 1 : path;
}

// Counts one call; true when it is the one to fail, with errno set. Called with counting held.
bool CountAndDecide(const char* call, const std::string& name) {
  const Config& config = Settings();
  const bool fail = ++counted == config.fail_at;
  if (config.log >= 0) {
    char line[512];
    const int length =
        std::snprintf(line, sizeof line, "%ld %s %s %s\n", counted, call, name.c_str(),
                      fail ? (std::string("failed ") + ErrorName(config.error)).c_str() : "ok");
    if (length > 0) {
      [[maybe_unused]] const ssize_t written =
          real_write()(config.log, line, static_cast<size_t>(length));
    }
  }
  if (fail) errno = config.error;
  return fail;
}

int Opened(int descriptor, const char* path) {
  if (descriptor >= 0 && descriptor < kMostDescriptors) {
    names[descriptor] = NameOf(path);
    watched[descriptor] = true;
  }
  return descriptor;
}

mode_t ModeOf(int flags, va_list& arguments) {
  return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? va_arg(arguments, mode_t) : 0;
}

int OpenAt(int folder, const char* path, int flags, mode_t mode) {
  const bool ours = (folder == AT_FDCWD || (path != nullptr && path[0] == '/')) && InFolder(path);
  if (!ours) return real_openat()(folder, path, flags, mode);
  const std::lock_guard lock(counting);
  if (CountAndDecide("open", NameOf(path))) return -1;
  return Opened(real_openat()(folder, path, flags, mode), path);
}

// A call on a descriptor: counted when the descriptor is one of the folder's.
template <typename Call>
auto OnDescriptor(const char* call, int descriptor, Call&& real) -> decltype(real()) {
  if (!Watched(descriptor)) return real();
  const std::lock_guard lock(counting);
  if (CountAndDecide(call, names[descriptor])) return -1;
  return real();
}

}  // namespace

extern "C" {

int open(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  return OpenAt(AT_FDCWD, path, flags, mode);
}

int open64(const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  return OpenAt(AT_FDCWD, path, flags, mode);
}

int openat(int folder, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  return OpenAt(folder, path, flags, mode);
}

int openat64(int folder, const char* path, int flags, ...) {
  va_list arguments;
  va_start(arguments, flags);
  const mode_t mode = ModeOf(flags, arguments);
  va_end(arguments);
  return OpenAt(folder, path, flags, mode);
}

// glibc's checked forms of open, which fortified builds call instead; the shim must take them
// too, under their own reserved names.
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
int __open_2(const char* path, int flags) {
  return OpenAt(AT_FDCWD, path, flags, 0);
}
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
int __open64_2(const char* path, int flags) {
  return OpenAt(AT_FDCWD, path, flags, 0);
}
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
int __openat_2(int folder, const char* path, int flags) {
  return OpenAt(folder, path, flags, 0);
}
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp)
int __openat64_2(int folder, const char* path, int flags) {
  return OpenAt(folder, path, flags, 0);
}

ssize_t write(int descriptor, const void* bytes, size_t count) {
  return OnDescriptor("write", descriptor, [&] { return real_write()(descriptor, bytes, count); });
}

int fchmod(int descriptor, mode_t mode) {
  return OnDescriptor("fchmod", descriptor, [&] { return real_fchmod()(descriptor, mode); });
}

int fsync(int descriptor) {
  return OnDescriptor("fsync", descriptor, [&] { return real_fsync()(descriptor); });
}

int close(int descriptor) {
  if (!Watched(descriptor)) return real_close()(descriptor);
  const std::lock_guard lock(counting);
  watched[descriptor] = false;
  const bool fail = CountAndDecide("close", names[descriptor]);
  const int error = errno;
  const int result = real_close()(descriptor);
  if (!fail) return result;
  errno = error;
  return -1;
}

int rename(const char* from, const char* to) {
  if (!InFolder(from) && !InFolder(to)) return real_rename()(from, to);
  const std::lock_guard lock(counting);
  if (CountAndDecide("rename", NameOf(from) + ">" + NameOf(to))) return -1;
  return real_rename()(from, to);
}

int renameat(int from_folder, const char* from, int to_folder, const char* to) {
  const bool ours = (from[0] == '/' && InFolder(from)) || (to[0] == '/' && InFolder(to));
  if (!ours) return real_renameat()(from_folder, from, to_folder, to);
  const std::lock_guard lock(counting);
  if (CountAndDecide("rename", NameOf(from) + ">" + NameOf(to))) return -1;
  return real_renameat()(from_folder, from, to_folder, to);
}

}  // extern "C"
