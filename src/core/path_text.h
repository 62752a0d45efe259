#pragma once
// Paths as the program carries them, text (on Windows UTF-8, on Linux the bytes of the name), and
// as the file system's path. Never std::filesystem::path(std::string): on Windows it reads the
// text in the ANSI code page and names the wrong file for any name outside it.

#include <filesystem>
#include <string>
#include <string_view>

namespace kelmora {

// The file system's path that text names.
std::filesystem::path PathOf(std::string_view text);
// The text of a path, as PathOf reads it back.
std::string PathText(const std::filesystem::path& path);

}  // namespace kelmora
