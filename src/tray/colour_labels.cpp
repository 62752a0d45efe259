#include "tray/colour_labels.h"

#include <QPalette>

#include "platform/qt/qt_convert.h"

namespace kelmora {

QLabel* MakeColourLabel(QWidget* parent, int index) {
  static const char* const kCaptions[] = {"１", "２", "３", "４", "５", "６", "７", "８"};
  auto* label = new QLabel(QString::fromUtf8(kCaptions[index]), parent);
  label->setAlignment(Qt::AlignCenter);
  label->setCursor(Qt::PointingHandCursor);
  return label;
}

void PaintColourLabel(QLabel& label, ColorValue color) {
  QPalette palette = label.palette();
  palette.setColor(QPalette::WindowText, ToQColor(color));
  label.setPalette(palette);
}

bool PickColour(ColorDialog& dialog, ColorValue& colour) {
  const auto picked = dialog.Pick(colour);
  if (!picked) return false;
  colour = *picked;
  return true;
}

}  // namespace kelmora
