#pragma once
// CmnDlog: the common file dialog of the main window, borrowed by the alarm editor. It keeps its
// filter, the last file name a dialog gave and whether the last dialog was cancelled for the
// whole run.

#include <string>
#include <string_view>
#include <vector>

#include "platform/services.h"

namespace kelmora::CmnDlog {

// The dialog control of the main window and what it remembers between dialogs.
struct CommonDialog {
  std::vector<FileFilter> filters;  // description and pattern pairs, in order
  std::string FileName;             // the file the next dialog starts at
  std::string DlgFileName;          // the name the last successful dialog gave
  bool DlgCancel = false;           // the last dialog was cancelled, failed or gave no name
};

// Sets the filter to "すべてのファイル|*.*|" followed by filter ("description|pattern|" pairs).
void SetFilter(CommonDialog& dialog, std::string_view filter);

// Shows the Open dialog (the Save dialog when mode is "save" in any letter case) with the
// filter_index-th entry (from 1) preselected, starting at dialog.FileName; sets DlgFileName and
// DlgCancel. A cancel keeps DlgFileName.
void ShowDlg(CommonDialog& dialog, FileDialog& files, int filter_index, std::string_view mode);

}  // namespace kelmora::CmnDlog
