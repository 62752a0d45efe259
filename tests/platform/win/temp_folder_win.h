#pragma once
// A folder of its own for one test under the temporary folder, removed with what it holds.

#include <windows.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace kelmora {

class TempFolder {
 public:
  TempFolder() {
    static int made = 0;
    path_ =
        std::filesystem::temp_directory_path() /
        (L"kelmora-win-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++made));
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace kelmora
