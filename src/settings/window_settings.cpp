#include "settings/window_settings.h"

#include <optional>
#include <string_view>

#include "core/code_page.h"
#include "core/number.h"

namespace kelmora {
namespace {

constexpr std::int16_t kLowestMode = 0;
constexpr std::int16_t kHighestMode = 5;

// A mode the lists cannot show (a hand-edited file) becomes the analog face, mode 0.
std::int16_t KnownModeOrAnalog(std::int16_t mode) {
  return mode >= kLowestMode && mode <= kHighestMode ? mode : kLowestMode;
}

constexpr std::size_t kTextLines = 2;  // the tip pattern and the interval text

// Each Apply step reads one line into its field; false when the line is there but the field
// cannot take it as it stands.
bool ApplyText(SettingsReader& reader, std::string& field) {
  std::string value;
  if (reader.ReadField(value)) field = DecodeLine(value);
  return true;
}

bool ApplyMode(SettingsReader& reader, std::int16_t& field) {
  std::string value;
  if (!reader.ReadField(value)) return true;
  const std::optional<std::int16_t> mode = RoundToInt16(ReadNumber(value));
  if (mode) field = KnownModeOrAnalog(*mode);
  return mode && *mode == field && ReadWholeNumber(value).has_value();
}

bool ApplyColor(SettingsReader& reader, std::int32_t& field) {
  std::string value;
  if (!reader.ReadField(value)) return true;
  const std::optional<std::int32_t> color = RoundToInt32(ReadNumber(value));
  if (color) field = *color;
  return color && ReadWholeNumber(value).has_value();
}

// Runs one Apply step, noting the step's line in first_unread when it is the first it could not
// read.
template <typename Field>
void Step(bool (*apply)(SettingsReader&, Field&), SettingsReader& reader, Field& field,
          std::size_t& first_unread) {
  const std::size_t line = reader.NextLineNumber();
  if (!apply(reader, field) && first_unread == 0) first_unread = line;
}

// The number of the first line past the twelve that holds anything; 0 when none does.
std::size_t FirstLineHoldingAnything(SettingsReader& reader) {
  std::string value;
  for (std::size_t line = reader.NextLineNumber(); reader.ReadField(value); ++line) {
    if (!value.empty()) return line;
  }
  return 0;
}

}  // namespace

bool SettingsReader::ReadField(std::string& value) {
  if (next_ >= lines_.size()) return false;
  value = lines_[next_++];
  return true;
}

std::size_t ApplySettings(SettingsReader& reader, WindowSettings& settings) {
  std::size_t first_unread = 0;
  Step(ApplyText, reader, settings.tip_format, first_unread);
  Step(ApplyText, reader, settings.interval_text, first_unread);
  Step(ApplyMode, reader, settings.mode1, first_unread);
  Step(ApplyMode, reader, settings.mode2, first_unread);
  for (std::int32_t& color : settings.colors) Step(ApplyColor, reader, color, first_unread);
  const std::size_t past_twelve = FirstLineHoldingAnything(reader);
  return first_unread != 0 ? first_unread : past_twelve;
}

std::vector<std::string> SettingsLines(const WindowSettings& settings,
                                       const std::vector<std::string>& as_read) {
  std::vector<std::string> lines{EncodeLine(settings.tip_format),
                                 EncodeLine(settings.interval_text), SettingsNumber(settings.mode1),
                                 SettingsNumber(settings.mode2)};
  for (std::int32_t color : settings.colors) lines.push_back(SettingsNumber(color));
  for (std::size_t i = 0; i < kTextLines && i < as_read.size(); ++i) {
    if (DecodeLine(as_read[i]) == DecodeLine(lines[i])) lines[i] = as_read[i];
  }
  return lines;
}

std::string SettingsNumber(std::int32_t value) {
  std::string digits = std::to_string(value);
  return value < 0 ? digits + " " : " " + digits + " ";
}

}  // namespace kelmora
