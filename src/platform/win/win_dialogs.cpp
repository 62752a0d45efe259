#include "platform/win/win_dialogs.h"

#include <commdlg.h>

#include <algorithm>

#include "core/path_text.h"
#include "core/user_texts.h"
#include "core/wide_text.h"

namespace kelmora {
namespace {

constexpr wchar_t kDialogClass[] = L"#32770";  // message boxes' (and dialogs') window class
constexpr DWORD kLongestPath = 32768;          // in UTF-16 units, with the NUL

// The innermost of this thread's message boxes: the enabled dialog captioned "!Kelmora" (a box
// over another disables it).
HWND FindOpenBox() {
  struct Search {
    std::wstring caption = Wide(texts::kTitle);
    HWND found = nullptr;
  } search;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) -> BOOL {
        auto& search = *reinterpret_cast<Search*>(data);
        wchar_t name[16]{};
        wchar_t caption[16]{};
        GetClassNameW(window, name, 16);
        GetWindowTextW(window, caption, 16);
        if (name != std::wstring_view(kDialogClass) || caption != search.caption ||
            !IsWindowEnabled(window)) {
          return TRUE;
        }
        search.found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// An entry of the common dialogs' library, loaded at the first dialog and kept from then on: a
// program importing it at start carries the printing libraries it loads all day (several MiB
// under Wine); nullptr when it cannot be had.
template <typename Entry>
Entry* CommonDialogEntry(const char* name) {
  HMODULE library = GetModuleHandleW(L"comdlg32.dll");
  if (library == nullptr) library = LoadLibraryW(L"comdlg32.dll");
  if (library == nullptr) return nullptr;
  return reinterpret_cast<Entry*>(reinterpret_cast<void*>(GetProcAddress(library, name)));
}

using FileDialogEntry = BOOL WINAPI(OPENFILENAMEW*);

std::string RunFileDialog(const char* entry_name, DWORD flags, const std::string& start_path,
                          const std::vector<FileFilter>& filters, int selected_filter) {
  const std::filesystem::path start = PathOf(start_path);
  const std::wstring folder = start.parent_path().wstring();
  const std::wstring filter = FilterText(filters);
  std::wstring file = start.filename().wstring();
  file.resize(kLongestPath, L'\0');
  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.lpstrFilter = filter.c_str();
  dialog.nFilterIndex = static_cast<DWORD>(std::max(selected_filter, 0));
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = kLongestPath;
  dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
  dialog.Flags = flags | OFN_EXPLORER | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
  auto* run = CommonDialogEntry<FileDialogEntry>(entry_name);
  if (run == nullptr || !run(&dialog)) return {};
  file.resize(file.find(L'\0'));
  return Utf8(file);
}

}  // namespace

std::wstring FilterText(const std::vector<FileFilter>& filters) {
  std::wstring text;
  for (const FileFilter& filter : filters) {
    text += Wide(filter.description) + L'\0' + Wide(filter.pattern) + L'\0';
  }
  return text + L'\0';
}

int WinMessageBoxes::Run(const std::string& text, UINT buttons) {
  open_.push_back(buttons);
  const int answer = MessageBoxW(GetActiveWindow(), Wide(text).c_str(), Wide(texts::kTitle).c_str(),
                                 buttons | MB_SETFOREGROUND);
  open_.pop_back();
  return answer;
}

void WinMessageBoxes::Notice(const std::string& text) {
  Run(text, MB_OK);
}

bool WinMessageBoxes::AskYesNo(const std::string& text) {
  return Run(text, MB_YESNO | MB_DEFBUTTON1) == IDYES;
}

void WinMessageBoxes::CloseOpenBox() {
  if (open_.empty()) return;
  HWND box = FindOpenBox();
  const WPARAM dismiss = open_.back() == MB_OK ? IDOK : IDNO;
  if (box != nullptr) PostMessageW(box, WM_COMMAND, dismiss, 0);
}

std::optional<ColorValue> WinColorDialog::Pick(ColorValue current) {
  CHOOSECOLORW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = GetActiveWindow();
  dialog.rgbResult = static_cast<COLORREF>(current) & 0x00FFFFFFu;
  dialog.lpCustColors = custom_.data();
  dialog.Flags = CC_RGBINIT | CC_FULLOPEN;
  auto* choose = CommonDialogEntry<BOOL WINAPI(CHOOSECOLORW*)>("ChooseColorW");
  if (choose == nullptr || !choose(&dialog)) return std::nullopt;
  return static_cast<ColorValue>(dialog.rgbResult);
}

std::string WinFileDialog::Open(const std::string& start_path,
                                const std::vector<FileFilter>& filters, int selected_filter) {
  return RunFileDialog("GetOpenFileNameW", OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST, start_path,
                       filters, selected_filter);
}

std::string WinFileDialog::Save(const std::string& start_path,
                                const std::vector<FileFilter>& filters, int selected_filter) {
  return RunFileDialog("GetSaveFileNameW", OFN_PATHMUSTEXIST, start_path, filters, selected_filter);
}

ColorValue WinAppearance::ButtonFace() const {
  return static_cast<ColorValue>(GetSysColor(COLOR_BTNFACE));
}

}  // namespace kelmora
