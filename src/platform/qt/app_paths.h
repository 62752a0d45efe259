#pragma once
// Where this user's Kelmora keeps its files and where the installed default sound lies.

#include "platform/services.h"

namespace kelmora {

// data_folder: $XDG_CONFIG_HOME/kelmora, or ~/.config/kelmora when the variable is unset, empty
// or relative; the home is the password database's when HOME is unset. default_sound: <folder of
// the executable>/../share/kelmora/sounds/alarm.wav, as a clean absolute path, so a build tree and
// an installed tree both find it. Needs a QCoreApplication.
AppPaths DefaultAppPaths();

}  // namespace kelmora
