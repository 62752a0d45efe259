#include "tray/top_most.h"

namespace kelmora::TopMost {

std::int32_t StayOnTop(QWidget& window, std::int16_t mode) {
  switch (mode) {
    case 0:
      window.setWindowFlag(Qt::WindowStaysOnTopHint, false);
      break;
    case 1:
      window.setWindowFlag(Qt::WindowStaysOnTopHint, true);
      break;
    case 2:
      window.raise();
      break;
    default:
      return 0;
  }
  window.show();
  return 1;
}

}  // namespace kelmora::TopMost
