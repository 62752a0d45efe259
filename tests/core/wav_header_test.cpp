#include "core/wav_header.h"

#include <gtest/gtest.h>

#include <cctype>
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

// WAVE_FORMAT_EXTENSIBLE: the real format code starts the sub-format GUID.
std::string ExtensibleFmt(std::uint16_t format, std::uint16_t channels, std::uint16_t bits) {
  const std::uint16_t frame = static_cast<std::uint16_t>(channels * bits / 8);
  return "fmt " + Le32(40) + Le16(0xFFFE) + Le16(channels) + Le32(48000) + Le32(48000 * frame) +
         Le16(frame) + Le16(bits) + Le16(22) + Le16(bits) + Le32(3) + Le16(format) +
         std::string(14, '\x11');
}

std::string Wav(const std::string& chunks) {
  return "RIFF" + Le32(4 + chunks.size()) + "WAVE" + chunks;
}

struct WavCase {
  const char* name;
  std::string head;              // the file's first bytes
  std::uint64_t beyond = 0;      // how many bytes the file holds after them
  std::uint64_t data_bytes = 0;  // what the player gets; 0: the file is refused
};

class WavHeader : public ::testing::TestWithParam<WavCase> {};

TEST_P(WavHeader, TellsHowManySamplesThePlayerGets) {
  const WavCase& c = GetParam();
  const auto format = ReadWavFormat(c.head, c.head.size() + c.beyond);
  EXPECT_EQ(format ? format->data_bytes : 0, c.data_bytes) << c.name;
}

const std::string kPcm = Fmt(1, 2, 44100, 16);  // 4 bytes a frame, 176400 a second
const std::string kFourFrames = "data" + Le32(16) + std::string(16, '\0');
constexpr std::uint64_t kSecond = 176400;
constexpr std::uint64_t kTwoHours = 7200 * kSecond;  // 1.27 GB

INSTANTIATE_TEST_SUITE_P(
    Files, WavHeader,
    ::testing::Values(
        WavCase{"pcm", Wav(kPcm + kFourFrames), 0, 16},
        WavCase{"float mono", Wav(Fmt(3, 1, 8000, 32) + kFourFrames), 0, 16},
        WavCase{"list chunk first",
                Wav("LIST" + Le32(3) + "abc" + std::string(1, '\0') + kPcm + kFourFrames), 0, 16},
        WavCase{"cut after the header", Wav(kPcm + "data" + Le32(16)), 0, 0},
        WavCase{"no data chunk", Wav(kPcm), 0, 0},
        WavCase{"data before fmt", Wav(kFourFrames + kPcm), 0, 0},
        WavCase{"compressed", Wav(Fmt(2, 1, 8000, 16) + kFourFrames), 0, 0},
        WavCase{"no channels", Wav(Fmt(1, 0, 8000, 16) + kFourFrames), 0, 0},
        WavCase{"twelve bits", Wav(Fmt(1, 1, 8000, 12) + kFourFrames), 0, 0},
        WavCase{"not riff", "RIFX" + Le32(4) + "WAVE", 0, 0}, WavCase{"empty", "", 0, 0},
        WavCase{"fmt past the end", Wav("fmt " + Le32(400) + "xx"), 0, 0},
        // Cut short: what is left plays when it lasts a tenth of a second, else the chime.
        WavCase{"first 100 bytes of a longer file", Wav(kPcm + "data" + Le32(kSecond)), 56, 0},
        WavCase{"a second left of ten", Wav(kPcm + "data" + Le32(10 * kSecond)), kSecond + 3,
                kSecond},
        WavCase{"sizes 0xFFFFFFFF, as written to a pipe",
                "RIFF" + Le32(0xFFFFFFFF) + "WAVE" + kPcm + "data" + Le32(0xFFFFFFFF), kSecond,
                kSecond},
        WavCase{"two hours", Wav(kPcm + "data" + Le32(kTwoHours)), kTwoHours, kTwoHours},
        WavCase{"sizes 0xFFFFFFFF, five hours", Wav(kPcm + "data" + Le32(0xFFFFFFFF)),
                5 * 3600 * kSecond + 2, 5 * 3600 * kSecond},
        // Values no sound card plays.
        WavCase{"rate 0xFFFFFFFF, 8 channels, 32 bits", Wav(Fmt(1, 8, 0xFFFFFFFF, 32)), 0, 0},
        WavCase{"rate 0xFFFFFFFF, with data",
                Wav(Fmt(1, 8, 0xFFFFFFFF, 32) + "data" + Le32(0xFFFFFFFF)), kSecond, 0},
        WavCase{"rate 999 Hz", Wav(Fmt(1, 1, 999, 16) + kFourFrames), 0, 0},
        WavCase{"rate 384 kHz", Wav(Fmt(1, 1, 384000, 16) + kFourFrames), 0, 16},
        WavCase{"rate 384001 Hz", Wav(Fmt(1, 1, 384001, 16) + kFourFrames), 0, 0},
        WavCase{"nine channels", Wav(Fmt(1, 9, 44100, 16) + kFourFrames), 0, 0},
        WavCase{"64-bit float", Wav(Fmt(3, 1, 44100, 64) + kFourFrames), 0, 0},
        WavCase{"extensible without its sub-format",
                Wav("fmt " + Le32(18) + ExtensibleFmt(1, 1, 16).substr(8, 18) + kFourFrames), 0,
                0}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
      return name;
    });

TEST(WavHeaderFormat, TellsHowTheSamplesAreStoredAndWhere) {
  struct Case {
    std::string fmt;
    WavSamples samples;
    int frame_bytes;
  };
  for (const Case& c : {Case{Fmt(1, 1, 8000, 8), WavSamples::kUnsigned8, 1},
                        Case{Fmt(1, 2, 8000, 24), WavSamples::kSigned24, 6},
                        Case{Fmt(1, 1, 8000, 32), WavSamples::kSigned32, 4},
                        Case{ExtensibleFmt(1, 6, 24), WavSamples::kSigned24, 18},
                        Case{ExtensibleFmt(3, 2, 32), WavSamples::kFloat32, 8}}) {
    const std::string head = Wav(c.fmt + "data" + Le32(36) + std::string(36, '\0'));
    const auto format = ReadWavFormat(head, head.size());
    ASSERT_TRUE(format) << c.fmt.size();
    EXPECT_EQ(format->samples, c.samples);
    EXPECT_EQ(format->frame_bytes, c.frame_bytes);
    EXPECT_EQ(format->data_offset, head.size() - 36);
    EXPECT_EQ(format->data_bytes, 36 / c.frame_bytes * c.frame_bytes);
  }
  EXPECT_FALSE(ReadWavFormat(Wav(ExtensibleFmt(2, 1, 16) + kFourFrames), 100)) << "ADPCM";
}

TEST(WavHeaderFormat, WidensTwentyFourBitSamples) {
  const char in[] = {'\x01', '\x02', '\x03', '\xFF', '\xFF', '\xFF'};
  char out[8];
  WidenSamples24(in, 2, out);
  EXPECT_EQ(std::string(out, 8), std::string("\0\x01\x02\x03\0\xFF\xFF\xFF", 8));
}

}  // namespace
}  // namespace kelmora
