#include "tray/colour_labels.h"

#include <QPalette>

namespace kelmora {

QLabel* MakeColourLabel(QWidget* parent, int index) {
  static const char* const kCaptions[] = {"１", "２", "３", "４", "５", "６", "７", "８"};
  auto* label = new QLabel(QString::fromUtf8(kCaptions[index]), parent);
  label->setAlignment(Qt::AlignCenter);
  label->setCursor(Qt::PointingHandCursor);
  return label;
}

QColor ToQColor(ColorValue color) {
  const auto value = static_cast<std::uint32_t>(color);
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

ColorValue FromQColor(const QColor& color) {
  return Rgb(color.red(), color.green(), color.blue());
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
