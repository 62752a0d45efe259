#pragma once
// platform/sound/: the player module over Qt Multimedia, loaded at the first sound.
// The module's exported entry: what the program and its sound player module agree on.

#include "platform/services.h"

// The factory the module exports under the name kCreateSoundSymbol; the caller owns the player.
// beep is the platform's alert, which the player sounds when no sound output exists at all.
extern "C" kelmora::SoundService* kelmora_create_sound(void (*beep)());

namespace kelmora {
inline constexpr char kCreateSoundSymbol[] = "kelmora_create_sound";
using CreateSoundFunction = SoundService* (*)(void (*beep)());
}  // namespace kelmora
