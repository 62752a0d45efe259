#pragma once
// Where Kelmora keeps its files on Windows and where the system's default sound lies.

#include <filesystem>

#include "platform/services.h"

namespace kelmora {

// data_folder: the executable's own folder when a file can be made there (a portable copy),
// else %APPDATA%\Kelmora (installed under Program Files). default_sound: "The Microsoft
// Sound.wav" in the "media" folder of the Windows folder.
AppPaths WindowsAppPaths();

// The data folder from the executable's folder and the user's roaming application data folder.
std::filesystem::path ChooseDataFolder(const std::filesystem::path& program_folder,
                                       const std::filesystem::path& roaming_folder);

// Whether a file can be made in folder: one is made and deleted again.
bool FolderWritable(const std::filesystem::path& folder);

}  // namespace kelmora
