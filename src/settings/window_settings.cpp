#include "settings/window_settings.h"

#include <string_view>

#include "core/number.h"

namespace kelmora {
namespace {

constexpr std::int16_t kLowestMode = 0;
constexpr std::int16_t kHighestMode = 5;

// A mode the lists cannot show (a hand-edited file) becomes the analog face, mode 0.
std::int16_t KnownModeOrAnalog(std::int16_t mode) {
  return mode >= kLowestMode && mode <= kHighestMode ? mode : kLowestMode;
}

void ApplyText(SettingsReader& reader, std::string& field) {
  std::string value;
  if (reader.ReadField(value)) field = std::move(value);
}

void ApplyMode(SettingsReader& reader, std::int16_t& field) {
  std::string value;
  if (!reader.ReadField(value)) return;
  if (auto mode = RoundToInt16(ReadNumber(value))) field = KnownModeOrAnalog(*mode);
}

void ApplyColor(SettingsReader& reader, std::int32_t& field) {
  std::string value;
  if (!reader.ReadField(value)) return;
  if (auto color = RoundToInt32(ReadNumber(value))) field = *color;
}

}  // namespace

bool SettingsReader::ReadField(std::string& value) {
  if (next_ >= lines_.size()) return false;
  value = lines_[next_++];
  return true;
}

void ApplySettings(SettingsReader& reader, WindowSettings& settings) {
  ApplyText(reader, settings.tip_format);
  ApplyText(reader, settings.interval_text);
  ApplyMode(reader, settings.mode1);
  ApplyMode(reader, settings.mode2);
  for (std::int32_t& color : settings.colors) ApplyColor(reader, color);
}

std::vector<std::string> SettingsLines(const WindowSettings& settings) {
  std::vector<std::string> lines{settings.tip_format, settings.interval_text,
                                 SettingsNumber(settings.mode1), SettingsNumber(settings.mode2)};
  for (std::int32_t color : settings.colors) lines.push_back(SettingsNumber(color));
  return lines;
}

std::string SettingsNumber(std::int32_t value) {
  std::string digits = std::to_string(value);
  return value < 0 ? digits + " " : " " + digits + " ";
}

}  // namespace kelmora
