#include "tray/task_tray.h"

namespace kelmora::TaskTray {

void TrayAdd(TopLevelWindow& window, TrayService& tray, const IconImage& icon,
             const std::string& tip) {
  window.Hide();
  tray.Add(icon, tip);
}

void TrayModify(TrayService& tray, const IconImage& icon, const std::string& tip) {
  tray.Modify(icon, tip);
}

void TrayRestore(TopLevelWindow& window, TrayService& tray) {
  window.Restore();
  tray.Remove();
}

}  // namespace kelmora::TaskTray
