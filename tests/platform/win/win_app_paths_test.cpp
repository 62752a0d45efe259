#include "platform/win/win_app_paths.h"

#include <gtest/gtest.h>

#include "temp_folder_win.h"

namespace kelmora {
namespace {

TEST(WindowsAppPathsTest, TheProgramsFolderWhenWritableElseTheRoamingFolder) {
  TempFolder program;
  const std::filesystem::path roaming = L"C:\\Users\\u\\AppData\\Roaming";
  EXPECT_EQ(ChooseDataFolder(program.path(), roaming), program.path());
  EXPECT_TRUE(std::filesystem::is_empty(program.path()));  // the probe is gone
  EXPECT_EQ(ChooseDataFolder(program.path() / L"missing", roaming), roaming / L"Kelmora");
}

}  // namespace
}  // namespace kelmora
