#include "platform/win/win_app_paths.h"

#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include <string>

#include "core/wide_text.h"

namespace kelmora {
namespace {

std::filesystem::path ProgramFolder() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length == 0) return {};
    if (length < name.size()) {
      name.resize(length);
      return std::filesystem::path(name).parent_path();
    }
    name.resize(name.size() * 2);  // cut short: a longer path
  }
}

std::filesystem::path RoamingFolder() {
  PWSTR folder = nullptr;
  std::filesystem::path roaming;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_CREATE, nullptr, &folder))) {
    roaming = folder;
  }
  CoTaskMemFree(folder);
  return roaming;
}

// The Windows folder as the "windir" variable names it; the system's own where it is unset.
std::wstring WindowsFolder() {
  std::wstring folder(MAX_PATH, L'\0');
  DWORD length = GetEnvironmentVariableW(L"windir", folder.data(), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    length = GetWindowsDirectoryW(folder.data(), MAX_PATH);
  }
  folder.resize(length < MAX_PATH ? length : 0);
  return folder;
}

}  // namespace

bool FolderWritable(const std::filesystem::path& folder) {
  const std::wstring probe =
      (folder / (L"kelmora-" + std::to_wstring(GetCurrentProcessId()) + L".probe")).wstring();
  HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);  // deletes it
  return true;
}

std::filesystem::path ChooseDataFolder(const std::filesystem::path& program_folder,
                                       const std::filesystem::path& roaming_folder) {
  if (!program_folder.empty() && FolderWritable(program_folder)) return program_folder;
  return roaming_folder / L"Kelmora";
}

AppPaths WindowsAppPaths() {
  return AppPaths{
      .data_folder = ChooseDataFolder(ProgramFolder(), RoamingFolder()),
      .default_sound = Utf8(WindowsFolder() + L"\\media\\The Microsoft Sound.wav"),
  };
}

}  // namespace kelmora
