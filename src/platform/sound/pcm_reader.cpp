#include "platform/sound/pcm_reader.h"

#include <unistd.h>

#include <algorithm>
#include <string_view>

namespace kelmora {

std::unique_ptr<PcmReader> PcmReader::Open(const QString& file) {
  auto wav_file = std::make_unique<QFile>(file);
  if (!wav_file->open(QIODevice::ReadOnly)) return nullptr;
  return Read(std::move(wav_file));
}

std::unique_ptr<PcmReader> PcmReader::Open(int descriptor) {
  auto wav_file = std::make_unique<QFile>();
  if (!wav_file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
    ::close(descriptor);
    return nullptr;
  }
  return Read(std::move(wav_file));
}

std::unique_ptr<PcmReader> PcmReader::Read(std::unique_ptr<QFile> wav_file) {
  const QByteArray head = wav_file->read(static_cast<qint64>(kWavHeadBytes));
  const auto wav = ReadWavFormat(std::string_view(head.constData(), head.size()),
                                 static_cast<std::uint64_t>(wav_file->size()));
  if (!wav || !wav_file->seek(static_cast<qint64>(wav->data_offset))) return nullptr;
  std::unique_ptr<PcmReader> reader(new PcmReader(std::move(wav_file), *wav));
  reader->open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  return reader;
}

PcmReader::PcmReader(std::unique_ptr<QFile> file, const WavFormat& wav)
    : file_(std::move(file)), wav_(wav), left_(wav.data_bytes) {}

QAudioFormat PcmReader::Format() const {
  QAudioFormat format;
  format.setSampleRate(static_cast<int>(wav_.rate));
  format.setChannelCount(wav_.channels);
  switch (wav_.samples) {
    case WavSamples::kUnsigned8:
      format.setSampleFormat(QAudioFormat::UInt8);
      break;
    case WavSamples::kSigned16:
      format.setSampleFormat(QAudioFormat::Int16);
      break;
    case WavSamples::kSigned24:
    case WavSamples::kSigned32:
      format.setSampleFormat(QAudioFormat::Int32);
      break;
    case WavSamples::kFloat32:
      format.setSampleFormat(QAudioFormat::Float);
      break;
  }
  return format;
}

int PcmReader::OutFrameBytes() const {
  return wav_.samples == WavSamples::kSigned24 ? wav_.channels * 4 : wav_.frame_bytes;
}

qint64 PcmReader::size() const {
  return static_cast<qint64>(wav_.data_bytes / wav_.frame_bytes) * OutFrameBytes();
}

qint64 PcmReader::bytesAvailable() const {
  return static_cast<qint64>(left_ / wav_.frame_bytes) * OutFrameBytes() +
         QIODevice::bytesAvailable();
}

qint64 PcmReader::readData(char* data, qint64 max_bytes) {
  const bool widen = wav_.samples == WavSamples::kSigned24;
  const auto frames = std::min<std::uint64_t>(
      static_cast<std::uint64_t>(max_bytes) / OutFrameBytes(), left_ / wav_.frame_bytes);
  if (frames == 0) return 0;
  const auto wanted = static_cast<qint64>(frames * wav_.frame_bytes);
  if (widen) wide_.resize(static_cast<std::size_t>(wanted));
  const qint64 got = file_->read(widen ? wide_.data() : data, wanted);
  // A file that got shorter since it was opened, or a read error, ends the sound.
  left_ = got == wanted ? left_ - static_cast<std::uint64_t>(got) : 0;
  const qint64 whole = std::max<qint64>(got, 0) / wav_.frame_bytes;
  if (widen) WidenSamples24(wide_.data(), static_cast<std::size_t>(whole * wav_.channels), data);
  if (whole > 0 && !begun_) {
    begun_ = true;
    if (on_first_samples) on_first_samples();
  }
  return whole * OutFrameBytes();
}

}  // namespace kelmora
