// The sound player module's one entry point: the program looks it up by name after loading the
// module and owns the player it returns.

#include "platform/sound/module_entry.h"
#include "platform/sound/qt_sound.h"

extern "C" __attribute__((visibility("default"))) kelmora::SoundService* kelmora_create_sound(
    void (*beep)()) {
  return new kelmora::QtSound(beep);
}
