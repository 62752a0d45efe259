// Fuzzes the window-settings file the way the program reads it at start: the file's bytes are
// split into lines and applied over the start values. Checked:
// - both display modes end within 0..5;
// - the tip pattern and the interval text are the first two lines decoded (UTF-8, else CP932),
//   written back with the bytes they were read as, and a value whose line the file lacks keeps
//   its start value;
// - the twelve lines written for the result read back to the same settings, both as lines and
//   through the file's bytes (as the writer makes them, split again).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/code_page.h"
#include "fuzz_support.h"
#include "settings/window_settings.h"

namespace kelmora {
namespace {

using fuzz::Require;

constexpr std::size_t kSettingsLineCount = 12;
constexpr std::size_t kFirstColorLine = 4;

bool SameSettings(const WindowSettings& a, const WindowSettings& b) {
  return a.tip_format == b.tip_format && a.interval_text == b.interval_text && a.mode1 == b.mode1 &&
         a.mode2 == b.mode2 && a.colors == b.colors;
}

WindowSettings Applied(std::vector<std::string> lines) {
  WindowSettings settings;
  SettingsReader reader(std::move(lines));
  ApplySettings(reader, settings);
  return settings;
}

void CheckMissingLinesKeepStartValues(const WindowSettings& read, std::size_t line_count) {
  const WindowSettings start;
  if (line_count < 1) Require(read.tip_format == start.tip_format, "tip pattern kept");
  if (line_count < 2) Require(read.interval_text == start.interval_text, "interval kept");
  if (line_count < 3) Require(read.mode1 == start.mode1, "upper mode kept");
  if (line_count < 4) Require(read.mode2 == start.mode2, "lower mode kept");
  for (std::size_t i = 0; i < read.colors.size(); ++i) {
    if (line_count < kFirstColorLine + i + 1) {
      Require(read.colors[i] == start.colors[i], "colour kept", std::to_string(i));
    }
  }
}

void CheckWrittenNumbers(const std::vector<std::string>& written) {
  Require(written.size() == kSettingsLineCount, "twelve lines are written");
  for (std::size_t i = 2; i < written.size(); ++i) {
    const std::string& line = written[i];
    const bool framed = line.size() >= 3 && line.back() == ' ' &&
                        (line.front() == ' ' || line.front() == '-') &&
                        line.find_first_not_of("0123456789", 1) == line.size() - 1;
    Require(framed, "a number is written as blank or sign, digits, blank", line);
  }
}

}  // namespace
}  // namespace kelmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmora;
  using fuzz::Require;
  const std::vector<std::string> lines = FileLines(fuzz::AsText(data, size));
  const WindowSettings read = Applied(lines);
  Require(read.mode1 >= 0 && read.mode1 <= 5, "upper mode within 0..5");
  Require(read.mode2 >= 0 && read.mode2 <= 5, "lower mode within 0..5");
  if (!lines.empty()) {
    Require(read.tip_format == DecodeLine(lines[0]), "tip pattern decoded", lines[0]);
  }
  if (lines.size() >= 2) {
    Require(read.interval_text == DecodeLine(lines[1]), "interval decoded", lines[1]);
  }
  CheckMissingLinesKeepStartValues(read, lines.size());

  const std::vector<std::string> written = SettingsLines(read, lines);
  for (std::size_t i = 0; i < 2 && i < lines.size(); ++i) {
    Require(written[i] == lines[i], "a text goes back byte for byte", lines[i]);
  }
  CheckWrittenNumbers(written);
  Require(SameSettings(Applied(written), read), "written lines read back the same");
  const std::vector<std::string> reread = FileLines(TextFileBytes(written));
  Require(SameSettings(Applied(reread), read), "the written file reads back the same",
          read.tip_format);
  return 0;
}
