#include "editor/cmn_dlog.h"

#include <gtest/gtest.h>

#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fakes/fake_services.h"

namespace kelmora {
namespace {

using CmnDlog::CommonDialog;

std::vector<std::pair<std::string, std::string>> Pairs(const CommonDialog& dialog) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const FileFilter& filter : dialog.filters)
    pairs.emplace_back(filter.description, filter.pattern);
  return pairs;
}

struct FilterCase {
  const char* name;
  std::string filter;
  std::vector<std::pair<std::string, std::string>> expected;
  friend void PrintTo(const FilterCase& c, std::ostream* os) { *os << c.name; }
};

class SetFilterTest : public ::testing::TestWithParam<FilterCase> {};

TEST_P(SetFilterTest, PutsAllFilesFirstAndPairsTheRest) {
  CommonDialog dialog;
  dialog.filters = {{"old", "*.old"}};
  CmnDlog::SetFilter(dialog, GetParam().filter);
  EXPECT_EQ(Pairs(dialog), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Filters, SetFilterTest,
    ::testing::Values(
        FilterCase{"MainWindowFilter",
                   "音楽ファイル|*.wav|",
                   {{"すべてのファイル", "*"}, {"音楽ファイル", "*.wav"}}},
        FilterCase{"NoTrailingBar",
                   "音楽ファイル|*.wav",
                   {{"すべてのファイル", "*"}, {"音楽ファイル", "*.wav"}}},
        FilterCase{"Empty", "", {{"すべてのファイル", "*"}}},
        FilterCase{"DescriptionWithoutPattern", "音楽ファイル|", {{"すべてのファイル", "*"}}},
        FilterCase{
            "SeveralPatterns", "音|*.wav;*.*|", {{"すべてのファイル", "*"}, {"音", "*.wav;*"}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ModeCase {
  const char* name;
  std::string mode;
  bool save;
  friend void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }
};

class ShowDlgModeTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ShowDlgModeTest, SaveInAnyLetterCaseShowsTheSaveDialog) {
  fakes::FakeFileDialog files;
  files.answers = {"/tmp/chosen.wav"};
  CommonDialog dialog;
  CmnDlog::SetFilter(dialog, "音楽ファイル|*.wav|");
  dialog.FileName = "/music/start.wav";

  CmnDlog::ShowDlg(dialog, files, 2, GetParam().mode);

  ASSERT_EQ(files.calls.size(), 1u);
  EXPECT_EQ(files.calls[0].save, GetParam().save);
  EXPECT_EQ(files.calls[0].start_path, "/music/start.wav");
  EXPECT_EQ(files.calls[0].selected_filter, 2);
  EXPECT_EQ(files.calls[0].filters.size(), 2u);
  EXPECT_FALSE(dialog.DlgCancel);
  EXPECT_EQ(dialog.DlgFileName, "/tmp/chosen.wav");
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ShowDlgModeTest,
    ::testing::Values(ModeCase{"Empty", "", false}, ModeCase{"Open", "open", false},
                      ModeCase{"Lower", "save", true}, ModeCase{"Upper", "SAVE", true},
                      ModeCase{"Mixed", "sAvE", true}, ModeCase{"Longer", "saveas", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShowDlgTest, CancelKeepsTheEarlierNameAndSetsTheFlag) {
  fakes::FakeFileDialog files;
  files.answers = {"/tmp/first.wav", ""};
  CommonDialog dialog;

  CmnDlog::ShowDlg(dialog, files, 2, "");
  ASSERT_FALSE(dialog.DlgCancel);
  CmnDlog::ShowDlg(dialog, files, 2, "");

  EXPECT_TRUE(dialog.DlgCancel);
  EXPECT_EQ(dialog.DlgFileName, "/tmp/first.wav");
}

class ThrowingFileDialog : public FileDialog {
 public:
  std::string Open(const std::string&, const std::vector<FileFilter>&, int) override {
    throw std::runtime_error("no dialog");
  }
  std::string Save(const std::string&, const std::vector<FileFilter>&, int) override {
    throw std::runtime_error("no dialog");
  }
};

TEST(ShowDlgTest, AFailedDialogCountsAsCancelled) {
  ThrowingFileDialog files;
  CommonDialog dialog;
  dialog.DlgFileName = "/tmp/kept.wav";

  CmnDlog::ShowDlg(dialog, files, 1, "save");

  EXPECT_TRUE(dialog.DlgCancel);
  EXPECT_EQ(dialog.DlgFileName, "/tmp/kept.wav");
}

}  // namespace
}  // namespace kelmora
