#include "editor/placement.h"

#include <gtest/gtest.h>

namespace kelmora {
namespace {

// The main window's area at 866,618 (158x150); the editor 157x202.
TEST(EditorPositionTest, TheEditorsFrameStandsOnTheMainWindowsFrame) {
  struct Case {
    const char* window_manager;
    PixelMargins main_frame, editor_frame;
    PixelPoint expected;
  };
  const PixelRect main_area{866, 618, 866 + 158, 618 + 150};
  const PixelSize editor{157, 202};
  for (const Case& c : {
           Case{"none", {}, {}, {866, 416}},
           Case{"title bar only (mutter)", {0, 37, 0, 0}, {0, 37, 0, 0}, {866, 379}},
           Case{"title bar and borders (KWin)", {0, 29, 0, 0}, {0, 29, 0, 0}, {866, 387}},
           Case{"borders all round (xfwm4)", {5, 26, 5, 5}, {5, 26, 5, 5}, {866, 385}},
           Case{"another frame for the editor", {5, 26, 5, 5}, {2, 20, 2, 2}, {863, 388}},
       }) {
    const PixelPoint at = EditorPosition(main_area, c.main_frame, editor, c.editor_frame);
    EXPECT_EQ(at, c.expected) << c.window_manager;
    // The outer edges: the editor's frame ends where the main window's begins.
    EXPECT_EQ(at.y + editor.height + c.editor_frame.bottom, main_area.top - c.main_frame.top);
    EXPECT_EQ(at.x - c.editor_frame.left, main_area.left - c.main_frame.left);
  }
}

TEST(EditorFrameTest, TheWindowManagersReportElseTheToolkitsElseTheMainWindows) {
  const PixelMargins main_frame{5, 26, 5, 5};
  const PixelMargins reported{4, 24, 4, 4};
  const PixelMargins from_toolkit{15, 36, 15, 15};  // mutter's invisible borders counted in
  EXPECT_EQ(EditorFrame(reported, from_toolkit, main_frame), reported);
  EXPECT_EQ(EditorFrame(std::nullopt, from_toolkit, main_frame), from_toolkit);
  EXPECT_EQ(EditorFrame(std::nullopt, {}, main_frame), main_frame) << "not framed yet";
}

}  // namespace
}  // namespace kelmora
