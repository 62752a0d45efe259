#pragma once
// settings/: the window-settings file's format; Qt-free, uses core/.
// The window-settings file "Varnlock.ini": twelve lines (tip pattern, update interval text, two
// display modes, eight colours), numbers written with a blank before and after.

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace kelmora {

inline constexpr const char* kSettingsFileName = "Varnlock.ini";

// The start values of the tip pattern and the update interval, before a settings file is read.
inline constexpr std::string_view kStartTipFormat = "yyyy/mm/dd hh:mm aaa";
inline constexpr std::string_view kStartIntervalText = "1.0";

struct WindowSettings {
  std::string tip_format{kStartTipFormat};
  std::string interval_text{kStartIntervalText};
  std::int16_t mode1 = 0;
  std::int16_t mode2 = 0;
  std::array<std::int32_t, 8> colors{};
};

// Hands out the lines of an opened settings file one by one.
class SettingsReader {
 public:
  explicit SettingsReader(std::vector<std::string> lines) : lines_(std::move(lines)) {}
  // The next line without its line end; false when no line is left.
  bool ReadField(std::string& value);
  // The line ReadField hands out next, counted from 1.
  std::size_t NextLineNumber() const { return next_ + 1; }

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

// Applies the lines over settings step by step: a step whose line is missing, or whose number is
// out of its range, is skipped and the value kept. A mode outside 0..5 falls back to 0. The two
// texts are decoded to be shown (code_page.h). Returns the number of the first line it could
// not read as it stands (a number line that is not a number within its range and nothing else,
// a mode outside 0..5, a line with anything past the twelfth), which writing the settings would
// lose; 0 when there is none.
std::size_t ApplySettings(SettingsReader& reader, WindowSettings& settings);

// The twelve lines as written. A text the settings hold as it was read from as_read (the lines
// the file held) is written back with the bytes it was read as.
std::vector<std::string> SettingsLines(const WindowSettings& settings,
                                       const std::vector<std::string>& as_read = {});

// A number as the file holds it: " 0 ", " 255 ", "-5 ".
std::string SettingsNumber(std::int32_t value);

}  // namespace kelmora
