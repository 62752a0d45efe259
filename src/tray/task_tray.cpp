#include "tray/task_tray.h"

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
