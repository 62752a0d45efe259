#pragma once
// The samples of a WAV file as a device the audio sink pulls from: the file is read a chunk at a
// time as the sink asks, so a sound of any length takes little memory. Runs in the sound's own
// player process; reading may block there (a slow or network disk), never in the program.

#include <QAudioFormat>
#include <QFile>
#include <QIODevice>
#include <functional>
#include <memory>
#include <vector>

#include "core/wav_header.h"

namespace kelmora {

class PcmReader : public QIODevice {
 public:
  // The reader of file (a path or a Qt resource), open; nullptr when the file cannot be read or
  // is not a WAV the player takes (see ReadWavFormat).
  static std::unique_ptr<PcmReader> Open(const QString& file);
  // The same for a file open on descriptor, read from its start; the reader owns the descriptor
  // (closed at once when it is no WAV).
  static std::unique_ptr<PcmReader> Open(int descriptor);

  // The samples as the sink gets them: 24-bit samples come widened to 32 bits.
  QAudioFormat Format() const;

  // True once every sample has been read.
  bool Exhausted() const { return left_ == 0; }

  bool isSequential() const override { return true; }
  // Never at its end for the sink: Qt 6.4's PulseAudio sink, finding its source at the end when
  // the output runs dry, starts a drain whose reply can reach the sink after it was destroyed.
  // Read to the end, the reader returns no more bytes, which ends the sink's pulling all the same.
  bool atEnd() const override { return false; }
  qint64 size() const override;
  qint64 bytesAvailable() const override;

  // Called once, when the first samples have been read: the sound has begun to play.
  std::function<void()> on_first_samples;

 protected:
  qint64 readData(char* data, qint64 max_bytes) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  PcmReader(std::unique_ptr<QFile> file, const WavFormat& wav);
  static std::unique_ptr<PcmReader> Read(std::unique_ptr<QFile> wav_file);
  int OutFrameBytes() const;

  std::unique_ptr<QFile> file_;
  WavFormat wav_;
  std::uint64_t left_;      // bytes of samples in the file not read yet
  std::vector<char> wide_;  // 24-bit samples as read, before widening
  bool begun_ = false;
};

}  // namespace kelmora
