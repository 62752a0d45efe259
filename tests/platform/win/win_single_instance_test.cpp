#include "platform/win/win_single_instance.h"

#include <gtest/gtest.h>

#include "message_pump.h"
#include "temp_folder_win.h"

namespace kelmora {
namespace {

TEST(WinSingleInstanceTest, ALaterStartStepsBackAndAsksThePrimaryToShow) {
  TempFolder folder;
  WinSingleInstance primary(folder.path());
  int shows = 0;
  primary.on_show_requested = [&shows] { ++shows; };
  ASSERT_TRUE(primary.TryBecomePrimary());
  std::wstring other_case = folder.path().wstring();
  CharUpperBuffW(other_case.data(), static_cast<DWORD>(other_case.size()));
  WinSingleInstance later(std::filesystem::path(other_case + L"\\"));
  EXPECT_FALSE(later.TryBecomePrimary());
  EXPECT_TRUE(PumpUntil([&shows] { return shows == 1; }));
  EXPECT_TRUE(WinSingleInstance(folder.path() / L"other").TryBecomePrimary());
}

}  // namespace
}  // namespace kelmora
