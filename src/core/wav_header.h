#pragma once
// Reads a WAV file's header before its samples go to the player, so that a file the player would
// choke on (truncated, not PCM, no samples, values no sound card plays) gets the built-in chime
// at once, and the player knows where the samples lie and how they are stored.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace kelmora {

// How many of a file's first bytes ReadWavFormat wants to see.
inline constexpr std::size_t kWavHeadBytes = 64 * 1024;

// The sample rates a WAV may have: PulseAudio plays 1 Hz to 384 kHz; below 1 kHz nothing worth
// hearing fits, above 384 kHz no sound card goes.
inline constexpr std::uint32_t kWavMinRate = 1000;
inline constexpr std::uint32_t kWavMaxRate = 384000;

// How one sample of one channel is stored in the file.
enum class WavSamples {
  kUnsigned8,  // 8-bit PCM, 128 is silence
  kSigned16,
  kSigned24,  // three bytes, the player widens them to 32 bits
  kSigned32,
  kFloat32,
};

struct WavFormat {
  WavSamples samples = WavSamples::kSigned16;
  int channels = 0;
  std::uint32_t rate = 0;         // frames per second
  int frame_bytes = 0;            // one sample of every channel, as stored
  std::uint64_t data_offset = 0;  // where the first sample starts in the file
  std::uint64_t data_bytes = 0;   // whole frames, all within the file
  bool operator==(const WavFormat&) const = default;
};

// The format of a RIFF/WAVE file, given its first bytes (head) and its size: a "fmt " chunk of PCM
// (8, 16, 24 or 32 bits) or 32-bit float samples, 1 to 8 channels, a rate within kWavMinRate..
// kWavMaxRate, then a "data" chunk with at least one frame. A data chunk claiming more than the
// file holds (0xFFFFFFFF is what recorders writing to a pipe leave) runs to the end of the file;
// when what is left of such a cut file lasts less than a tenth of a second, nullopt, as for every
// file the player does not take.
std::optional<WavFormat> ReadWavFormat(std::string_view head, std::uint64_t file_size);

// Widens 24-bit samples (three bytes each, little-endian) to 32 bits, the low byte zero: count
// samples from in, 4 * count bytes into out.
void WidenSamples24(const char* in, std::size_t count, char* out);

}  // namespace kelmora
