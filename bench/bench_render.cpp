// One rendering pass of the clock face: the picture drawn, turned into the icon, and the tip.

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>

#include "core/date_time.h"
#include "render/clock_face.h"

namespace kelmora {
namespace {

constexpr ColorValue kBackground = Rgb(239, 239, 239);

ClockFace FaceWithModes(std::int16_t mode1, std::int16_t mode2) {
  ClockFace face;
  face.Mode1 = mode1;
  face.Mode2 = mode2;
  for (int i = 0; i < 8; ++i) face.Clr[i] = Rgb(30 * i, 255 - 30 * i, 100);
  return face;
}

// Each iteration is one pass a minute later than the last, so every hand position and digit is
// drawn in turn.
void RenderPass(benchmark::State& state, std::int16_t mode1, std::int16_t mode2) {
  ClockFace face = FaceWithModes(mode1, mode2);
  const std::string first_alarm_line = "2003/11/09 15:00:00\t1h\tE\t/usr/share/sounds/alarm.wav";
  DateTime now = *MakeDateTime(2003, 11, 9, 14, 7, 0);
  for (auto _ : state) {
    face.Draw(now, kBackground);
    IconImage icon = face.Picture1.ToIcon(kBackground);
    std::string tip = TipText(now, "yyyy/mm/dd hh:mm aaa", &first_alarm_line);
    benchmark::DoNotOptimize(icon);
    benchmark::DoNotOptimize(tip);
    now += std::chrono::minutes{1};
  }
}

void BM_RenderPassAnalog(benchmark::State& state) {
  RenderPass(state, 0, 0);
}
void BM_RenderPassTwoDigitLines(benchmark::State& state) {
  RenderPass(state, 2, 3);
}

BENCHMARK(BM_RenderPassAnalog);
BENCHMARK(BM_RenderPassTwoDigitLines);

}  // namespace
}  // namespace kelmora
