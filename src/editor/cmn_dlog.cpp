#include "editor/cmn_dlog.h"

#include <algorithm>
#include <cctype>
#include <exception>

namespace kelmora::CmnDlog {
namespace {

// Splits text at every "|"; a trailing "|" ends the last piece and adds no empty one.
std::vector<std::string> SplitAtBars(std::string_view text) {
  std::vector<std::string> pieces;
  while (!text.empty()) {
    const std::size_t bar = text.find('|');
    pieces.emplace_back(text.substr(0, bar));
    if (bar == std::string_view::npos) break;
    text.remove_prefix(bar + 1);
  }
  return pieces;
}

// The pattern as this platform's dialog reads it: "*.*" matches every file on Windows, where
// Linux needs "*" (a name without a dot has no ".").
std::string NativePattern(std::string_view pattern) {
  std::string result;
  while (true) {
    const std::size_t semicolon = pattern.find(';');
    const std::string_view one = pattern.substr(0, semicolon);
    result += one == "*.*" ? std::string_view("*") : one;
    if (semicolon == std::string_view::npos) break;
    result += ';';
    pattern.remove_prefix(semicolon + 1);
  }
  return result;
}

bool IsSaveMode(std::string_view mode) {
  constexpr std::string_view kSave = "save";
  return std::ranges::equal(
      mode, kSave, [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

}  // namespace

void SetFilter(CommonDialog& dialog, std::string_view filter) {
  const std::string whole = "すべてのファイル|*.*|" + std::string(filter);
  const std::vector<std::string> pieces = SplitAtBars(whole);
  dialog.filters.clear();
  for (std::size_t i = 0; i + 1 < pieces.size(); i += 2) {
    dialog.filters.push_back({pieces[i], NativePattern(pieces[i + 1])});
  }
}

void ShowDlg(CommonDialog& dialog, FileDialog& files, int filter_index, std::string_view mode) {
  std::string name;
  try {
    name = IsSaveMode(mode) ? files.Save(dialog.FileName, dialog.filters, filter_index)
                            : files.Open(dialog.FileName, dialog.filters, filter_index);
  } catch (const std::exception&) {
    name.clear();  // a dialog that failed counts as cancelled
  }
  dialog.DlgCancel = name.empty();
  if (dialog.DlgCancel) return;  // the earlier name stays
  dialog.DlgFileName = name;
  dialog.FileName = std::move(name);
}

}  // namespace kelmora::CmnDlog
