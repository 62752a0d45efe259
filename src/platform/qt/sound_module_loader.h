#pragma once
// The sound player as the program uses it, loading the player module (Qt Multimedia and all it
// brings) when the first sound is asked for, not at start. If the module cannot be loaded, the
// program says so once on standard error and beeps instead of each sound; the beep then counts
// as a sound that ends at once: on_finished follows it from the event loop, unless Stop or
// another Play comes first.

#include <QLibrary>
#include <QString>
#include <QTimer>
#include <memory>

#include "platform/services.h"

namespace kelmora {

class SoundModuleLoader : public SoundService {
 public:
  explicit SoundModuleLoader(const QString& module_path);
  ~SoundModuleLoader() override;
  void Play(const std::string& path) override;
  void Stop() override;

  // Loads the module now, if it was not tried yet; true when a player is there.
  bool Load();
  bool Tried() const { return tried_; }  // for the tests: whether the module was looked for

 private:
  void Finished();

  QLibrary module_;
  bool tried_ = false;
  std::unique_ptr<SoundService> player_;
  QTimer beep_over_;  // without a player: the beep's on_finished, from the event loop
};

// <folder of the executable>/../lib/kelmora/kelmora_sound.so, as a clean absolute path. Needs a
// QCoreApplication.
QString DefaultSoundModulePath();

}  // namespace kelmora
