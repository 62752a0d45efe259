#pragma once
// The text files' tests' fixture: a private folder for each test, and what they write and read in
// it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/code_page.h"
#include "core/path_text.h"
#include "core/text_file.h"
#include "temp_folder.h"

namespace kelmora {

// Writes the lines as the program writes its files: each followed by CR LF, safely.
inline std::string WriteLines(const std::filesystem::path& path,
                              const std::vector<std::string>& lines) {
  return WriteBytesSafely(path, TextFileBytes(lines)).error;
}

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// A private folder for one test, removed afterwards.
class RuntimeTextFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.empty()); }
  // A test that took the folder's permissions away gives them back, so that it can go.
  void TearDown() override {
    std::error_code ignored;
    fs::permissions(folder_, fs::perms::owner_all, fs::perm_options::add, ignored);
  }
  static std::string Content(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static void Put(const fs::path& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
  }
  Lines Entries() const {
    Lines names;
    for (const auto& entry : fs::directory_iterator(folder_)) {
      names.push_back(PathText(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  testing::TempFolder temp_{"text"};
  fs::path folder_ = temp_.path();
};

}  // namespace kelmora
