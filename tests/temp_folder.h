#pragma once
// A folder of its own for one test, made empty under the system's temporary folder and removed
// with everything in it when the object goes.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

namespace kelmora::testing {

class TempFolder {
 public:
  explicit TempFolder(std::string_view name) {
    std::string pattern =
        (std::filesystem::temp_directory_path() / ("kelmora-" + std::string(name) + "-XXXXXX"))
            .string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
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
