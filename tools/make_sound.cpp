// Synthesises Kelmora's own sounds as WAV files (44100 Hz, 16-bit, mono):
//   alarm  the default alarm: three bell strikes falling through a major chord, about 1.5 s;
//   chime  the short two-note chime played when an alarm's own sound cannot be played.
// Both end in 250 ms of silence, because the sound player cuts the last fifth of a second.
// Usage: kelmora_make_sound alarm|chime OUTPUT.wav

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <numbers>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr int kSampleRate = 44100;
constexpr double kSilenceSeconds = 0.25;
constexpr double kAttackSeconds = 0.003;  // a soft edge on each strike, so it does not click

// One overtone of a struck tone: its frequency as a multiple of the note, its loudness and how
// fast it dies away (seconds to fall to 1/e).
struct Partial {
  double ratio;
  double amplitude;
  double decay_seconds;
};

// One note struck at a moment.
struct Strike {
  double frequency;
  double start_seconds;
  double loudness;
};

struct Recipe {
  std::vector<Strike> strikes;
  std::vector<Partial> partials;
  double length_seconds;  // sounding part, before the silence
  double fade_seconds;    // the sounding part fades to nothing over its last stretch
  double peak;            // loudest sample, as a fraction of full scale
};

// A small bell: a warm hum below the note, the note, and a few inharmonic overtones that fade
// quickly, which gives the bright strike.
Recipe AlarmRecipe() {
  return Recipe{
      .strikes = {{783.99, 0.00, 1.0}, {659.26, 0.40, 0.9}, {523.25, 0.80, 1.0}},  // G5 E5 C5
      .partials = {{0.50, 0.20, 1.20},
                   {1.00, 1.00, 0.90},
                   {2.00, 0.40, 0.45},
                   {2.76, 0.22, 0.25},
                   {5.40, 0.08, 0.10}},
      .length_seconds = 1.5,
      .fade_seconds = 0.2,
      .peak = 0.7};
}

// A quick rising fourth, A5 then D6, soft and glassy.
Recipe ChimeRecipe() {
  return Recipe{.strikes = {{880.00, 0.00, 1.0}, {1174.66, 0.12, 0.8}},
                .partials = {{1.00, 1.00, 0.20}, {3.00, 0.15, 0.08}},
                .length_seconds = 0.6,
                .fade_seconds = 0.1,
                .peak = 0.5};
}

double StrikeSample(const Strike& strike, const std::vector<Partial>& partials, double t) {
  const double since = t - strike.start_seconds;
  if (since < 0) return 0;
  double value = 0;
  for (const Partial& partial : partials) {
    const double phase = 2 * std::numbers::pi * strike.frequency * partial.ratio * since;
    value += partial.amplitude * std::exp(-since / partial.decay_seconds) * std::sin(phase);
  }
  return value * strike.loudness * std::min(1.0, since / kAttackSeconds);
}

std::vector<double> Render(const Recipe& recipe) {
  const auto count = static_cast<std::size_t>(recipe.length_seconds * kSampleRate);
  std::vector<double> samples(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / kSampleRate;
    double value = 0;
    for (const Strike& strike : recipe.strikes) value += StrikeSample(strike, recipe.partials, t);
    const double left = recipe.length_seconds - t;
    samples[i] = value * std::min(1.0, left / recipe.fade_seconds);
  }
  return samples;
}

// Scales the loudest sample to the recipe's peak and appends the silence.
std::vector<std::int16_t> ToPcm(const std::vector<double>& samples, double peak) {
  double loudest = 0;
  for (double value : samples) loudest = std::max(loudest, std::abs(value));
  const double scale = loudest > 0 ? peak * 32767 / loudest : 0;
  std::vector<std::int16_t> pcm;
  pcm.reserve(samples.size() + static_cast<std::size_t>(kSilenceSeconds * kSampleRate));
  for (double value : samples) pcm.push_back(static_cast<std::int16_t>(std::lround(value * scale)));
  pcm.resize(pcm.capacity(), 0);
  return pcm;
}

void PutLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

// The canonical 44-byte RIFF/WAVE header for mono 16-bit PCM, then the samples.
std::string WavBytes(const std::vector<std::int16_t>& pcm) {
  const auto data_bytes = static_cast<std::uint32_t>(pcm.size() * 2);
  std::string out = "RIFF";
  PutLittleEndian(out, 36 + data_bytes, 4);
  out += "WAVEfmt ";
  PutLittleEndian(out, 16, 4);               // size of the format block
  PutLittleEndian(out, 1, 2);                // PCM
  PutLittleEndian(out, 1, 2);                // mono
  PutLittleEndian(out, kSampleRate, 4);      // samples per second
  PutLittleEndian(out, kSampleRate * 2, 4);  // bytes per second
  PutLittleEndian(out, 2, 2);                // bytes per sample frame
  PutLittleEndian(out, 16, 2);               // bits per sample
  out += "data";
  PutLittleEndian(out, data_bytes, 4);
  for (std::int16_t sample : pcm) PutLittleEndian(out, static_cast<std::uint16_t>(sample), 2);
  return out;
}

bool WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file.flush());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s alarm|chime OUTPUT.wav\n", argv[0]);
    return 2;
  }
  const std::string_view which = argv[1];
  if (which != "alarm" && which != "chime") {
    std::fprintf(stderr, "%s: unknown sound \"%s\"\n", argv[0], argv[1]);
    return 2;
  }
  const Recipe recipe = which == "alarm" ? AlarmRecipe() : ChimeRecipe();
  if (!WriteFile(argv[2], WavBytes(ToPcm(Render(recipe), recipe.peak)))) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
    return 1;
  }
  return 0;
}
