#include "app/task_tray.h"

namespace kelmora::TaskTray {

void TrayAdd(QWidget& window, TrayService& tray, const IconImage& icon, const std::string& tip) {
  window.hide();
  tray.Add(icon, tip);
}

void TrayModify(TrayService& tray, const IconImage& icon, const std::string& tip) {
  tray.Modify(icon, tip);
}

void TrayRestore(QWidget& window, TrayService& tray) {
  window.showNormal();
  window.show();
  tray.Remove();
  window.activateWindow();
  window.setFocus();
}

}  // namespace kelmora::TaskTray

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
