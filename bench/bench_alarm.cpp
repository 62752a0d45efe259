// The alarm core at its limits: a full list of 32767 lines, each a day overdue with a one-second
// step, caught up by one scheduler pass (computed, and step by step for comparison), and the
// alarm file of 32767 lines loaded and written.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "alarm/alarm_file.h"
#include "alarm/alarm_list.h"
#include "alarm/scheduler.h"
#include "core/code_page.h"
#include "core/text_file.h"
#include "testing/reference_pass.h"

namespace kelmora {
namespace {

namespace fs = std::filesystem;

DateTime Now() {
  return *MakeDateTime(2026, 12, 6, 12, 34, 56);
}

// A main list of count lines due a day before now (up to a minute apart), stepping by one
// second, in the list's sorted order.
std::vector<std::string> DayOverdueLines(int count, const std::string& repeat_count) {
  AlarmList list;
  const DateTime first = Now() - std::chrono::days{1};
  for (int i = 0; i < count; ++i) {
    list.Add(CanonicalText(first + std::chrono::seconds{i % 60}) + "\t1s\t" + repeat_count +
             "\t/home/user/sounds/alarm " + std::to_string(i) + ".wav");
  }
  return list.Lines();
}

void BM_SchedulerPassComputed(benchmark::State& state, const std::string& repeat_count) {
  const std::vector<std::string> lines = DayOverdueLines(AlarmList::kMaxLines, repeat_count);
  for (auto _ : state) benchmark::DoNotOptimize(SchedulerPass(lines, Now()));
  state.SetItemsProcessed(state.iterations() * AlarmList::kMaxLines);
}
BENCHMARK_CAPTURE(BM_SchedulerPassComputed, CountE, std::string("E"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SchedulerPassComputed, Count100000, std::string("100000"))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_SchedulerPassComputed, Count2_5, std::string("2.5"))
    ->Unit(benchmark::kMillisecond);

// The pass as the main window runs it: the survivors replace the list in one go.
void BM_SchedulerPassAndRefill(benchmark::State& state) {
  const std::vector<std::string> lines = DayOverdueLines(AlarmList::kMaxLines, "E");
  for (auto _ : state) {
    AlarmList list;
    list.AddAll(SchedulerPass(lines, Now()));
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_SchedulerPassAndRefill)->Unit(benchmark::kMillisecond);

// The step-by-step loop takes 86400 iterations a line, so it runs over a few lines only: items
// per second gives lines per second, and a full list takes 32767 times a line's time.
void BM_SchedulerPassStepByStep(benchmark::State& state) {
  const std::vector<std::string> lines = DayOverdueLines(static_cast<int>(state.range(0)), "E");
  for (auto _ : state) benchmark::DoNotOptimize(reference::Pass(lines, Now(), 1'000'000));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SchedulerPassStepByStep)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(3);

// A folder of its own for the file benchmarks, removed at the end.
class BenchFolder {
 public:
  BenchFolder()
      : path_(fs::temp_directory_path() / ("kelmora-bench-alarm-" + std::to_string(::getpid()))) {
    fs::create_directories(path_);
  }
  ~BenchFolder() { fs::remove_all(path_); }
  fs::path File() const { return path_ / kAlarmFileName; }

 private:
  fs::path path_;
};

AlarmList FullList() {
  AlarmList list;
  for (std::string& line : DayOverdueLines(AlarmList::kMaxLines, "E")) list.Add(std::move(line));
  return list;
}

// A file whose lines stand in reverse order: each line would go to the front of the list.
void BM_LoadReversedAlarmFile(benchmark::State& state) {
  BenchFolder folder;
  std::vector<std::string> lines = DayOverdueLines(AlarmList::kMaxLines, "E");
  std::reverse(lines.begin(), lines.end());
  WriteBytesSafely(folder.File(), TextFileBytes(lines));
  for (auto _ : state) {
    AlarmList list;
    benchmark::DoNotOptimize(LoadAlarmFile(folder.File(), list));
    benchmark::DoNotOptimize(list);
  }
}

void BM_LoadAlarmFile(benchmark::State& state) {
  BenchFolder folder;
  WriteBytesSafely(folder.File(), TextFileBytes(FullList().Lines()));
  for (auto _ : state) {
    AlarmList list;
    benchmark::DoNotOptimize(LoadAlarmFile(folder.File(), list));
    benchmark::DoNotOptimize(list);
  }
}
BENCHMARK(BM_LoadAlarmFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadReversedAlarmFile)->Unit(benchmark::kMillisecond);

void BM_SaveAlarmFile(benchmark::State& state) {
  BenchFolder folder;
  const AlarmList list = FullList();
  for (auto _ : state)
    benchmark::DoNotOptimize(WriteBytesSafely(folder.File(), TextFileBytes(list.Lines())));
}
BENCHMARK(BM_SaveAlarmFile)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kelmora
