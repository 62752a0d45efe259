#pragma once
// The eight colour labels "１".."８" of the main window: each shows its caption in its colour of
// the face (the toolkit's window paints them), and a click on it picks that colour in the colour
// dialog.

#include "platform/services.h"

namespace kelmora {

// Asks the dialog for a colour starting at colour; a cancel keeps it. Returns whether it changed.
bool PickColour(ColorDialog& dialog, ColorValue& colour);

}  // namespace kelmora
