// Fuzzes the alarm file the way the program reads it at start: the file's bytes are split into
// lines, each decoded (UTF-8, else CP932, else its bytes), loaded into the sorted alarm list, and a
// scheduler pass
// runs over the list at three fixed times: one in 2026, one in the last minute of year 9999 and
// one in the first minute of year 100. Checked:
// - the lines put back together with their line ends give the bytes, and the decoded lines come
//   back unchanged from the bytes the writer makes of them;
// - the list holds the same lines as the file, in case-blind text order, exactly as adding them
//   one by one would, and its order agrees with a plain byte-by-byte comparison;
// - a pass keeps at most one line per line, never an empty one; every survivor has four fields
//   and a readable due time; it is either a line of the file left as it was (due later than now)
//   or a rewritten line starting with the canonical 19-character due time; a survivor still
//   before now has used up its count ("0");
// - the pass over the whole list is the pass over each line on its own, and for every line whose
//   catch-up the step-by-step loop finishes in a few hundred steps, the same as that loop;
// - a second pass at the same time changes no survivor and drops only those due with count "0",
//   without a warning.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "alarm/alarm_list.h"
#include "alarm/scheduler.h"
#include "core/code_page.h"
#include "core/date_time.h"
#include "fuzz_support.h"
#include "testing/reference_pass.h"

namespace kelmora {
namespace {

using fuzz::Require;

// The step-by-step loop gives up after this many iterations; lines it gives up on are not
// compared. Small, so an input of hundreds of long-overdue lines stays fast.
constexpr std::int64_t kReferenceIterations = 300;

void CheckLinesRebuildText(std::string_view text, const std::vector<std::string>& lines) {
  std::size_t pos = 0;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    Require(lines[i].find('\n') == std::string::npos, "a line holds no line feed", lines[i]);
    Require(text.substr(pos, lines[i].size()) == lines[i], "lines are the text in order", lines[i]);
    pos += lines[i].size();
    Require(!(lines[i].ends_with('\r') && text.substr(pos).starts_with("\n")),
            "a CR before a line feed belongs to the line end", lines[i]);
    if (text.substr(pos).starts_with("\r\n")) {
      pos += 2;
    } else if (text.substr(pos).starts_with("\n")) {
      pos += 1;
    } else {
      Require(i + 1 == lines.size(), "only the last line may lack a line end", lines[i]);
    }
  }
  Require(pos == text.size(), "the lines cover the whole text", text.substr(pos));
}

bool FoldedLess(const std::string& a, const std::string& b) {
  const auto fold = [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte + 32) : byte;
  };
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [&](char x, char y) { return fold(x) < fold(y); });
}

void CheckOrder(const std::string& a, const std::string& b) {
  Require(LessIgnoringCase(a, b) == FoldedLess(a, b), "case-blind order", a + " | " + b);
  Require(LessIgnoringCase(b, a) == FoldedLess(b, a), "case-blind order", b + " | " + a);
}

AlarmList CheckLoadedList(const std::vector<std::string>& lines) {
  AlarmList list;
  list.AddAll(lines);
  AlarmList one_by_one;
  for (const std::string& line : lines) one_by_one.Add(line);
  Require(list.Lines() == one_by_one.Lines(), "AddAll equals adding line by line");
  Require(std::is_sorted(list.Lines().begin(), list.Lines().end(), FoldedLess),
          "the list is in case-blind text order");
  std::vector<std::string> sorted_file = lines;
  std::vector<std::string> sorted_list = list.Lines();
  std::sort(sorted_file.begin(), sorted_file.end());
  std::sort(sorted_list.begin(), sorted_list.end());
  Require(sorted_file == sorted_list, "the list holds exactly the file's lines");
  for (std::size_t i = 0; i + 1 < lines.size(); ++i) CheckOrder(lines[i], lines[i + 1]);
  for (int i = 0; i + 1 < list.Count(); ++i) CheckOrder(list.At(i), list.At(i + 1));
  return list;
}

struct ReadLine {
  std::vector<std::string_view> fields;
  std::optional<DateTime> due;
};

ReadLine Read(std::string_view line) {
  ReadLine read;
  for (std::size_t tab = line.find('\t'); tab != std::string_view::npos; tab = line.find('\t')) {
    read.fields.push_back(line.substr(0, tab));
    line.remove_prefix(tab + 1);
  }
  read.fields.push_back(line);
  read.due = ParseDateTime(read.fields[0]);
  return read;
}

void CheckSurvivor(const std::string& survivor, DateTime now,
                   const std::unordered_set<std::string>& file_lines) {
  Require(!survivor.empty(), "no survivor is empty");
  const ReadLine read = Read(survivor);
  Require(read.fields.size() == 4, "a survivor has four fields", survivor);
  Require(read.due.has_value(), "a survivor's due time reads as a date-time", survivor);
  const bool verbatim = *read.due > now && file_lines.contains(survivor);
  const bool rewritten = survivor.starts_with(CanonicalText(*read.due) + "\t");
  Require(verbatim || rewritten, "a survivor is a line of the file or starts canonically",
          survivor);
  Require(*read.due >= now || read.fields[2] == "0", "a survivor before now has count 0", survivor);
}

// The pass line by line, and against the step-by-step loop where that loop finishes.
void CheckEachLine(const std::vector<std::string>& lines, DateTime now,
                   const std::vector<std::string>& whole_pass) {
  using Kind = reference::LineResult::Kind;
  std::vector<std::string> line_by_line;
  for (const std::string& line : lines) {
    int warnings = 0;
    const std::vector<std::string> own =
        SchedulerPass({line}, now, [&](const std::string&, const std::string&) { ++warnings; });
    Require(own.size() <= 1, "one line gives at most one survivor", line);
    line_by_line.insert(line_by_line.end(), own.begin(), own.end());
    const reference::LineResult expected = reference::PassLine(line, now, kReferenceIterations);
    if (expected.kind == Kind::kEndless) continue;  // gave up, or a step that never ends
    const bool kept = expected.kind == Kind::kKept && !expected.line.empty();
    Require(own == (kept ? std::vector<std::string>{expected.line} : std::vector<std::string>{}),
            "the pass equals the step-by-step loop",
            line + " -> " + (own.empty() ? "(dropped)" : own[0]) + ", step by step " +
                (kept ? expected.line : "(dropped)"));
    Require(warnings == 0 || expected.kind == Kind::kUnreadable,
            "only unreadable lines are warned about", line);
  }
  Require(line_by_line == whole_pass, "the whole pass is the pass of each line");
}

void CheckSecondPass(const std::vector<std::string>& survivors, DateTime now) {
  std::vector<std::string> expected;
  for (const std::string& line : survivors) {
    const ReadLine read = Read(line);
    if (!(*read.due <= now && read.fields[2] == "0")) expected.push_back(line);
  }
  int warnings = 0;
  const std::vector<std::string> again =
      SchedulerPass(survivors, now, [&](const std::string&, const std::string&) { ++warnings; });
  Require(warnings == 0, "a second pass warns about nothing");
  Require(again == expected, "a second pass drops only spent due lines and changes none");
}

void CheckPass(const AlarmList& list, DateTime now,
               const std::unordered_set<std::string>& file_lines) {
  int warnings = 0;
  const std::vector<std::string> survivors =
      SchedulerPass(list.Lines(), now, [&](const std::string&, const std::string&) { ++warnings; });
  Require(survivors.size() + static_cast<std::size_t>(warnings) <=
              static_cast<std::size_t>(list.Count()),
          "survivors and warnings never outnumber the lines");
  for (const std::string& survivor : survivors) CheckSurvivor(survivor, now, file_lines);
  CheckEachLine(list.Lines(), now, survivors);
  CheckSecondPass(survivors, now);
}

}  // namespace
}  // namespace kelmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmora;
  const std::string_view bytes = fuzz::AsText(data, size);
  CheckLinesRebuildText(bytes, SplitLines(bytes));
  const std::vector<std::string> lines = FileLines(bytes);
  fuzz::Require(FileLines(TextFileBytes(lines)) == lines, "the lines come back as written");
  const AlarmList list = CheckLoadedList(lines);
  const std::unordered_set<std::string> file_lines(lines.begin(), lines.end());
  for (const DateTime now :
       {*MakeDateTime(2026, 12, 6, 12, 34, 56), *MakeDateTime(9999, 12, 31, 23, 59, 30),
        *MakeDateTime(100, 1, 1, 0, 0, 30)}) {
    CheckPass(list, now, file_lines);
  }
  return 0;
}
