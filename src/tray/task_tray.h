#pragma once
// tray/: the tray module, the always-on-top module, the colour labels; uses platform/.
// TaskTray: the notification-area icon of the main window.

#include <string>

#include "platform/services.h"

namespace kelmora::TaskTray {

// Hides the window and adds its tray icon with the window's current icon and the tip.
void TrayAdd(TopLevelWindow& window, TrayService& tray, const IconImage& icon,
             const std::string& tip);

// Gives the existing tray icon the window's current icon and the tip; no icon: no effect.
void TrayModify(TrayService& tray, const IconImage& icon, const std::string& tip);

// Brings the window back to its normal size, shows it, removes the tray icon and focuses it.
void TrayRestore(TopLevelWindow& window, TrayService& tray);

}  // namespace kelmora::TaskTray
