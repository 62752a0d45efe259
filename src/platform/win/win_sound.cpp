#include "platform/win/win_sound.h"

#include <mmsystem.h>

#include <fstream>
#include <system_error>

#include "core/path_text.h"
#include "core/wide_text.h"

namespace kelmora {
namespace {

constexpr UINT_PTR kEndTimerId = 1;
// How long the message beep standing in for the chime counts as playing.
constexpr std::chrono::milliseconds kBeepLength{500};

}  // namespace

std::optional<WavFormat> ReadWavFile(const std::string& path) {
  const std::filesystem::path file = PathOf(path);
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return std::nullopt;
  const std::uintmax_t size = std::filesystem::file_size(file, error);
  if (error) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  std::string head(kWavHeadBytes, '\0');
  in.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(in.gcount()));
  return ReadWavFormat(head, size);
}

std::chrono::milliseconds WavLength(const WavFormat& format) {
  const std::uint64_t frames = format.data_bytes / static_cast<std::uint64_t>(format.frame_bytes);
  return std::chrono::milliseconds{(frames * 1000 + format.rate - 1) / format.rate};
}

std::string_view ChimeWav() {
  HRSRC found = FindResourceW(ThisModule(), L"KELMORA_CHIME", MAKEINTRESOURCEW(10));  // RT_RCDATA
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(ThisModule(), found);
  const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (bytes == nullptr) return {};
  return {static_cast<const char*>(bytes), SizeofResource(ThisModule(), found)};
}

WinSound::WinSound()
    : window_(L"KelmoraSound", L"",
              [this](UINT message, WPARAM, LPARAM) { return OnMessage(message); }) {}

WinSound::~WinSound() {
  Stop();
}

void WinSound::Play(const std::string& path) {
  ends_at_.reset();
  const std::optional<WavFormat> format = ReadWavFile(path);
  const std::wstring file = Wide(path);
  if (format && PlaySoundW(file.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT)) {
    EndAfter(WavLength(*format));
    return;
  }
  PlayChime();
}

// The chime lives in the program's resources for the whole run, as SND_MEMORY needs.
void WinSound::PlayChime() {
  ++chimes_started_;
  const std::string_view chime = ChimeWav();
  const std::optional<WavFormat> format = ReadWavFormat(chime, chime.size());
  const auto* memory = reinterpret_cast<const wchar_t*>(chime.data());
  if (!format || !PlaySoundW(memory, nullptr, SND_MEMORY | SND_ASYNC | SND_NODEFAULT)) {
    PlaySoundW(nullptr, nullptr, 0);  // the sound before goes all the same
    MessageBeep(MB_OK);
    EndAfter(kBeepLength);
    return;
  }
  EndAfter(WavLength(*format));
}

void WinSound::Stop() {
  ends_at_.reset();
  KillTimer(window_.Handle(), kEndTimerId);
  PlaySoundW(nullptr, nullptr, 0);
}

void WinSound::EndAfter(std::chrono::milliseconds length) {
  ends_at_ = std::chrono::steady_clock::now() + length;
  SetTimer(window_.Handle(), kEndTimerId, static_cast<UINT>(length.count()), nullptr);
}

std::optional<LRESULT> WinSound::OnMessage(UINT message) {
  if (message != WM_TIMER) return std::nullopt;
  OnTimer();
  return 0;
}

// A WM_TIMER posted before a Stop or a new Play may still come: the end it was for is gone, or
// later.
void WinSound::OnTimer() {
  if (!ends_at_) {
    KillTimer(window_.Handle(), kEndTimerId);
    return;
  }
  const auto left =
      std::chrono::ceil<std::chrono::milliseconds>(*ends_at_ - std::chrono::steady_clock::now());
  if (left.count() > 0) {
    EndAfter(left);
    return;
  }
  ends_at_.reset();
  KillTimer(window_.Handle(), kEndTimerId);
  if (on_finished) on_finished();
}

}  // namespace kelmora
