#include "alarm/alarm_list.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace kelmora {
namespace {

unsigned char FoldCase(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 'A' && byte <= 'Z' ? static_cast<unsigned char>(byte - 'A' + 'a') : byte;
}

bool ValidIndex(int index, int count) {
  return index >= 0 && index < count;
}

// How many bytes from start on are the same in a and b (up to end); steps eight at a time over
// the long equal prefixes that lines with the same due time share.
std::size_t SameBytes(const std::string& a, const std::string& b, std::size_t start,
                      std::size_t end) {
  std::size_t i = start;
  for (std::uint64_t x = 0, y = 0; i + sizeof x <= end; i += sizeof x) {
    std::memcpy(&x, a.data() + i, sizeof x);
    std::memcpy(&y, b.data() + i, sizeof y);
    if (x != y) break;
  }
  while (i < end && a[i] == b[i]) ++i;
  return i - start;
}

}  // namespace

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = SameBytes(a, b, 0, common); i < common;
       i += 1 + SameBytes(a, b, i + 1, common)) {
    const unsigned char left = FoldCase(a[i]);
    const unsigned char right = FoldCase(b[i]);
    if (left != right) return left < right;
  }
  return a.size() < b.size();
}

int AlarmList::Add(std::string line) {
  if (Count() >= kMaxLines) return -1;
  if (lines_.empty() || !LessIgnoringCase(line, lines_.back())) {  // belongs at the end
    lines_.push_back(std::move(line));
    return Count() - 1;
  }
  const auto place = std::upper_bound(lines_.begin(), lines_.end(), line, LessIgnoringCase);
  const auto inserted = lines_.insert(place, std::move(line));
  return static_cast<int>(inserted - lines_.begin());
}

void AlarmList::AddAll(std::vector<std::string> lines) {
  lines.resize(std::min(lines.size(), static_cast<std::size_t>(kMaxLines - Count())));
  // Sorted first (stable, so equal lines keep their order), each sorted insertion becomes an
  // append: the same list as adding line after line, without inserting in the middle each time.
  if (!std::is_sorted(lines.begin(), lines.end(), LessIgnoringCase)) {
    std::stable_sort(lines.begin(), lines.end(), LessIgnoringCase);
  }
  for (std::string& line : lines) Add(std::move(line));
}

int AlarmList::Replace(int index, std::string line) {
  if (!ValidIndex(index, Count())) return -1;
  Remove(index);
  return Add(std::move(line));
}

void AlarmList::Remove(int index) {
  if (ValidIndex(index, Count())) lines_.erase(lines_.begin() + index);
}

int AlarmList::Find(const std::string& line) const {
  const auto found = std::find(lines_.begin(), lines_.end(), line);
  return found == lines_.end() ? -1 : static_cast<int>(found - lines_.begin());
}

}  // namespace kelmora
