// The store in a data folder whose name the ANSI code page cannot hold.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "core/path_text.h"
#include "store/file_store.h"
#include "temp_folder.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

TEST(FileStoreOnWindows, AFolderNamedOutsideTheAnsiCodePageHoldsItsFilesAndIsNamedInUtf8) {
  const testing::TempFolder temp{"store"};
  const std::string folder = PathText(temp.path()) + "\\設定♫";
  ASSERT_TRUE(fs::create_directory(temp.path() / L"設定♫"));
  FileStore store(PathOf(folder));
  EXPECT_THAT(store.SaveSettings(WindowSettings{}, *MakeDateTime(2003, 11, 9)), IsEmpty());
  EXPECT_TRUE(store.SettingsFileExists());
  EXPECT_TRUE(fs::is_regular_file(temp.path() / L"設定♫" / L"Varnlock.ini"));
  fs::create_directory(temp.path() / L"設定♫" / L"timer.ini");  // no file: a folder
  AlarmList list;
  EXPECT_THAT(store.LoadAlarms(list), ElementsAre(HasSubstr(folder + "\\timer.ini ")));
}

}  // namespace
}  // namespace kelmora
