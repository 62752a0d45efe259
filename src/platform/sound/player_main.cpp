// kelmora_play: plays one sound for Kelmora and exits (see player_protocol.h). It links no Qt:
// the WAV file is opened and its header checked the moment the process starts, so a file that
// is missing or no WAV is told at once; only a file worth playing loads the module.

#include <dlfcn.h>
#include <fcntl.h>
#include <linux/close_range.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "core/wav_header.h"
#include "platform/sound/player_protocol.h"

namespace {

using namespace kelmora::player;

// The player goes with the program: killed when its parent ends, even before it got here.
bool FollowParent(const char* parent_text) {
  char* end = nullptr;
  const long parent = std::strtol(parent_text, &end, 10);
  if (end == parent_text || *end != '\0' || parent <= 0) return false;
  ::prctl(PR_SET_PDEATHSIG, SIGKILL);
  return ::getppid() == parent;
}

// True when the file open on descriptor holds a WAV the module plays; leaves it at its start.
bool HoldsPlayableWav(int descriptor) {
  struct stat info {};
  if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  std::string head(kelmora::kWavHeadBytes, '\0');
  std::size_t got = 0;
  while (got < head.size()) {
    const ssize_t count = ::read(descriptor, head.data() + got, head.size() - got);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    got += static_cast<std::size_t>(count);
  }
  head.resize(got);
  const auto wav = kelmora::ReadWavFormat(head, static_cast<std::uint64_t>(info.st_size));
  return wav && ::lseek(descriptor, 0, SEEK_SET) == 0;
}

// The module beside this program's own file.
std::string ModulePath() {
  char self[4096];
  const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return kModuleFileName;
  const std::string_view path(self, static_cast<std::size_t>(length));
  return std::string(path.substr(0, path.rfind('/') + 1)) + kModuleFileName;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 || !FollowParent(argv[1])) return kUsage;
  // Nothing of the program's but the report pipe stays open here.
  ::syscall(SYS_close_range, kReportDescriptor + 1, ~0U, 0);
  int wav = -1;
  if (std::strcmp(argv[2], kChimeArgument) != 0) {
    wav = ::open(argv[2], O_RDONLY | O_CLOEXEC);
    if (wav < 0 || !HoldsPlayableWav(wav)) return kUnplayable;
  }
  const std::string module_path = ModulePath();
  void* module = ::dlopen(module_path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  const auto play = module ? reinterpret_cast<PlayFunction>(::dlsym(module, kPlaySymbol)) : nullptr;
  if (play == nullptr) {
    std::fprintf(stderr, "kelmora_play: cannot load %s: %s\n", module_path.c_str(), ::dlerror());
    return kNoModule;
  }
  return play(argc, argv, wav, kReportDescriptor);
}
