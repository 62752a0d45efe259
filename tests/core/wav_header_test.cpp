#include "core/wav_header.h"

#include <gtest/gtest.h>

#include <string>

namespace kelmora {
namespace {

std::string Le32(std::uint32_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
          static_cast<char>(v >> 24)};
}
std::string Le16(std::uint16_t v) {
  return {static_cast<char>(v), static_cast<char>(v >> 8)};
}

std::string Fmt(std::uint16_t format, std::uint16_t channels, std::uint32_t rate,
                std::uint16_t bits) {
  const std::uint16_t frame = static_cast<std::uint16_t>(channels * bits / 8);
  return "fmt " + Le32(16) + Le16(format) + Le16(channels) + Le32(rate) + Le32(rate * frame) +
         Le16(frame) + Le16(bits);
}

std::string Wav(const std::string& chunks) {
  return "RIFF" + Le32(4 + chunks.size()) + "WAVE" + chunks;
}

struct WavCase {
  const char* name;
  std::string bytes;
  bool playable;
};

class WavHeader : public ::testing::TestWithParam<WavCase> {};

TEST_P(WavHeader, TellsWhetherThePlayerGetsSamples) {
  const WavCase& c = GetParam();
  EXPECT_EQ(WavLooksPlayable(c.bytes, c.bytes.size()), c.playable) << c.name;
}

const std::string kPcm = Fmt(1, 2, 44100, 16);
const std::string kFourFrames = "data" + Le32(16) + std::string(16, '\0');

INSTANTIATE_TEST_SUITE_P(
    Files, WavHeader,
    ::testing::Values(
        WavCase{"pcm", Wav(kPcm + kFourFrames), true},
        WavCase{"float mono", Wav(Fmt(3, 1, 8000, 32) + kFourFrames), true},
        WavCase{"list chunk first",
                Wav("LIST" + Le32(3) + "abc" + std::string(1, '\0') + kPcm + kFourFrames), true},
        WavCase{"cut after the header", Wav(kPcm + "data" + Le32(16)), false},
        WavCase{"no data chunk", Wav(kPcm), false},
        WavCase{"data before fmt", Wav(kFourFrames + kPcm), false},
        WavCase{"compressed", Wav(Fmt(2, 1, 8000, 16) + kFourFrames), false},
        WavCase{"no channels", Wav(Fmt(1, 0, 8000, 16) + kFourFrames), false},
        WavCase{"twelve bits", Wav(Fmt(1, 1, 8000, 12) + kFourFrames), false},
        WavCase{"not riff", "RIFX" + Le32(4) + "WAVE", false}, WavCase{"empty", "", false},
        WavCase{"fmt past the end", Wav("fmt " + Le32(400) + "xx"), false}));

TEST(WavHeaderSize, SamplesBeyondTheBytesLookedAtCountWhenTheFileHoldsThem) {
  const std::string head = Wav(kPcm + "data" + Le32(1 << 20));
  EXPECT_TRUE(WavLooksPlayable(head, head.size() + (1 << 20)));
  EXPECT_FALSE(WavLooksPlayable(head, head.size() + 2));
}

}  // namespace
}  // namespace kelmora
