#pragma once
// TaskTray: the notification-area icon of the main window. TopMost: keeping a window above the
// others.

#include <QWidget>
#include <cstdint>
#include <string>

#include "platform/services.h"

namespace kelmora::TaskTray {

// Hides the window and adds its tray icon with the window's current icon and the tip.
void TrayAdd(QWidget& window, TrayService& tray, const IconImage& icon, const std::string& tip);

// Gives the existing tray icon the window's current icon and the tip; no icon: no effect.
void TrayModify(TrayService& tray, const IconImage& icon, const std::string& tip);

// Brings the window back to its normal size, shows it, removes the tray icon and focuses it.
void TrayRestore(QWidget& window, TrayService& tray);

}  // namespace kelmora::TaskTray

namespace kelmora::TopMost {

// Mode 0: no longer topmost; 1: topmost; 2: to the top of the others; each shows the window and
// returns 1. Any other mode changes nothing and returns 0.
std::int32_t StayOnTop(QWidget& window, std::int16_t mode);

}  // namespace kelmora::TopMost
