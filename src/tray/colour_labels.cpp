#include "tray/colour_labels.h"

namespace kelmora {

bool PickColour(ColorDialog& dialog, ColorValue& colour) {
  const auto picked = dialog.Pick(colour);
  if (!picked) return false;
  colour = *picked;
  return true;
}

}  // namespace kelmora
