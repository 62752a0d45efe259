#pragma once
// A list of alarm lines kept in ascending text order, letter case ignored, at most 32767 lines.

#include <cstdint>
#include <string>
#include <vector>

namespace kelmora {

class AlarmList {
 public:
  static constexpr int kMaxLines = 32767;
  // What the user is told when a line finds no room.
  static constexpr const char* kFullNotice = "アラームは 32767 件までです";

  int Count() const { return static_cast<int>(lines_.size()); }
  const std::string& At(int index) const { return lines_.at(static_cast<std::size_t>(index)); }
  const std::vector<std::string>& Lines() const { return lines_; }
  bool Empty() const { return lines_.empty(); }
  void Clear() { lines_.clear(); }
  // Inserts at the sorted place (after lines that compare equal); returns its index, or -1 when
  // the list is full and nothing was added.
  int Add(std::string line);
  // Adds every line as Add does, in one go; lines past the limit are not added.
  void AddAll(std::vector<std::string> lines);
  // Replaces the line at index and moves it to its sorted place; returns the new index.
  int Replace(int index, std::string line);
  void Remove(int index);
  // The index of a line with exactly this text, -1 when the list has none.
  int Find(const std::string& line) const;

 private:
  std::vector<std::string> lines_;
};

// Text order with ASCII letter case ignored, byte by byte otherwise.
bool LessIgnoringCase(const std::string& a, const std::string& b);

}  // namespace kelmora
