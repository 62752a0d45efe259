#pragma once
// The eight colour labels "１".."８" of the main window: each shows its caption in its colour of
// the face, and a click on it picks that colour in the colour dialog.

#include <QLabel>
#include <QWidget>

#include "platform/services.h"

namespace kelmora {

// A colour label captioned with the full-width digit for index (0 -> "１").
QLabel* MakeColourLabel(QWidget* parent, int index);

// Shows the label's caption in the colour value.
void PaintColourLabel(QLabel& label, ColorValue color);

// Asks the dialog for a colour starting at colour; a cancel keeps it. Returns whether it changed.
bool PickColour(ColorDialog& dialog, ColorValue& colour);

}  // namespace kelmora
