// Fuzzes the WAV header reader, which sees every file an alarm names. The input's first five
// bytes say how many bytes the file holds beyond the rest (up to a terabyte, so that data chunks
// of any claimed size meet files of every length); the rest is the file's head. Checked, for
// every format the reader gives: 1 to 8 channels, a rate a sound card plays, a frame of whole
// samples of the stated kind, and at least one whole frame of data that lies within the file
// and after the headers.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "core/wav_header.h"

namespace kelmora {
namespace {

using fuzz::Require;

int SampleBytes(WavSamples samples) {
  switch (samples) {
    case WavSamples::kUnsigned8:
      return 1;
    case WavSamples::kSigned16:
      return 2;
    case WavSamples::kSigned24:
      return 3;
    case WavSamples::kSigned32:
    case WavSamples::kFloat32:
      return 4;
  }
  return 0;
}

void CheckFormat(const WavFormat& format, std::string_view head, std::uint64_t file_size) {
  const std::string shown = "channels " + std::to_string(format.channels) + ", rate " +
                            std::to_string(format.rate) + ", data " +
                            std::to_string(format.data_offset) + "+" +
                            std::to_string(format.data_bytes) + " of " + std::to_string(file_size);
  Require(format.channels >= 1 && format.channels <= 8, "1 to 8 channels", shown);
  Require(format.rate >= kWavMinRate && format.rate <= kWavMaxRate, "a rate cards play", shown);
  Require(format.frame_bytes == format.channels * SampleBytes(format.samples),
          "a frame is one sample of each channel", shown);
  Require(format.data_offset >= 12 + 8 + 16 + 8 && format.data_offset <= head.size(),
          "the samples start after the RIFF, fmt and data headers, within the head", shown);
  Require(format.data_bytes >= static_cast<std::uint64_t>(format.frame_bytes) &&
              format.data_bytes % format.frame_bytes == 0,
          "whole frames, at least one", shown);
  Require(format.data_offset + format.data_bytes <= file_size, "the samples lie within the file",
          shown);
}

}  // namespace
}  // namespace kelmora

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kelmora;
  constexpr std::size_t kSizeBytes = 5;
  if (size < kSizeBytes) return 0;
  std::uint64_t beyond = 0;
  for (std::size_t i = 0; i < kSizeBytes; ++i) beyond |= std::uint64_t{data[i]} << (8 * i);
  const std::string_view head = fuzz::AsText(data + kSizeBytes, size - kSizeBytes);
  const std::uint64_t file_size = head.size() + beyond;
  if (const auto format = ReadWavFormat(head, file_size)) CheckFormat(*format, head, file_size);
  return 0;
}
