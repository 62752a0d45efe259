#include "editor/placement.h"

namespace kelmora {

PixelPoint EditorPosition(const PixelRect& main_area, const PixelMargins& main_frame,
                          PixelSize editor_size, const PixelMargins& editor_frame) {
  const int outer_left = main_area.left - main_frame.left;
  const int outer_top = main_area.top - main_frame.top;
  return {outer_left + editor_frame.left, outer_top - editor_frame.bottom - editor_size.height};
}

PixelMargins EditorFrame(const std::optional<PixelMargins>& reported,
                         const PixelMargins& from_toolkit, const PixelMargins& main_frame) {
  if (reported) return *reported;
  return from_toolkit.IsNull() ? main_frame : from_toolkit;
}

}  // namespace kelmora
