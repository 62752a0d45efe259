#pragma once
// A folder of its own for one test, made empty under the system's temporary folder and removed
// with everything in it when the object goes.

#include <filesystem>
#include <random>
#include <string>
#include <string_view>
#include <system_error>

namespace kelmora::testing {

class TempFolder {
 public:
  // Made with a random name as mkdtemp does (which Windows lacks), readable by its owner alone.
  explicit TempFolder(std::string_view name) {
    namespace fs = std::filesystem;
    std::random_device random;
    std::error_code error;
    const fs::path base = fs::temp_directory_path(error);
    for (int attempt = 0; attempt < 100 && path_.empty() && !error; ++attempt) {
      fs::path folder = base / ("kelmora-" + std::string(name) + "-" + std::to_string(random()));
      if (fs::create_directory(folder, error)) path_ = folder;
    }
    if (!path_.empty()) fs::permissions(path_, fs::perms::owner_all, error);
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace kelmora::testing
