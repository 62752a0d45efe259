#pragma once
// A quick look at a WAV file's chunks before it goes to the player, so that a file the player
// would choke on (truncated, not PCM, no samples) gets the built-in chime at once.

#include <cstdint>
#include <string_view>

namespace kelmora {

// How many of a file's first bytes WavLooksPlayable wants to see.
inline constexpr std::size_t kWavHeadBytes = 64 * 1024;

// True when head (the first bytes of a file of file_size bytes) is a RIFF/WAVE file with a
// "fmt " chunk of PCM or float samples (1..8 channels, 8..32 bits, a sample rate) and a "data"
// chunk with at least one whole frame of samples within the file.
bool WavLooksPlayable(std::string_view head, std::uint64_t file_size);

}  // namespace kelmora
