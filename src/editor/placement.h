#pragma once
// Where the editor's window goes: its frame standing on the main window's frame, lower edge on
// upper edge, left edges in line. Plain rectangles in pixels, whatever the toolkit.

#include <optional>

#include "core/pixels.h"

namespace kelmora {

// Where the editor's own area goes (its top left corner), from the main window's own area and
// frame, the editor's size and frame.
PixelPoint EditorPosition(const PixelRect& main_area, const PixelMargins& main_frame,
                          PixelSize editor_size, const PixelMargins& editor_frame);

// The editor's frame as best known: the window manager's report, else the toolkit's once it has
// framed the window, else the main window's (the editor gets the same title bar and borders).
PixelMargins EditorFrame(const std::optional<PixelMargins>& reported,
                         const PixelMargins& from_toolkit, const PixelMargins& main_frame);

}  // namespace kelmora
