#pragma once
// Where no notification area exists, this small frameless window in the lower right corner of
// the work area stands in for the tray icon: it shows the icon twice as large, carries the tip as
// its tool tip and reports a button released on it, so the program always keeps a way back.

#include <QLabel>
#include <functional>

#include "platform/services.h"

namespace kelmora {

class TrayStandIn : public QLabel {
 public:
  static constexpr int kScale = 2;

  TrayStandIn();
  void SetIcon(const IconImage& icon);
  void SetTip(const QString& tip);
  // Shows the window in the lower right corner of the primary screen's work area, above others.
  void ShowInCorner();

  std::function<void(TrayMouse)> on_release;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace kelmora
