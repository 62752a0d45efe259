// The alarm editor's Win32 face: where its controls stand and the order the focus takes, where
// the window stands, and the user's actions through its controls to Form2 and back.

#include "editor/win/win_editor_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/wide_text.h"
#include "editor/editor_layout.h"
#include "editor/win/stands_at.h"
#include "fakes/fake_services.h"

namespace kelmora {
namespace {

namespace layout = EditorLayout;

void Notify(HWND control, int code) {
  SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
               reinterpret_cast<LPARAM>(control));
}

void Scroll(HWND bar, int request) {
  SendMessageW(GetParent(bar), WM_VSCROLL, MAKEWPARAM(request, 0), reinterpret_cast<LPARAM>(bar));
}

RECT OuterOf(HWND window) {
  RECT outer{};
  GetWindowRect(window, &outer);
  return outer;
}

std::string Row(HWND list, int row) {
  std::wstring text(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, row, 0)), L'\0');
  SendMessageW(list, LB_GETTEXT, row, reinterpret_cast<LPARAM>(text.data()));
  return Utf8(text);
}

// The editor over a main window, open on one line, at 07:05:30.
class WinEditorWindowTest : public ::testing::Test {
 protected:
  WinEditorWindowTest() {
    fake.paths.default_sound = "C:\\default.wav";
    fake.clock.now = *MakeDateTime(2026, 12, 6, 7, 5, 30);
    editor.SetView(w);
    editor.on_closed = [this](const std::vector<std::string>& lines) { handed_back = lines; };
    editor.Open({"2026/01/05 07:30:00\t30m\t3\tC:\\a.wav"});
  }
  ~WinEditorWindowTest() override { DestroyWindow(main_window); }

  fakes::FakeServices fake;
  CmnDlog::CommonDialog dialog;
  HWND main_window = CreateWindowExW(0, WC_STATICW, L"main", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300,
                                     400, 200, 150, nullptr, nullptr, nullptr, nullptr);
  Form2 editor{fake.Get(), dialog};
  WinEditorWindow w{editor, fake.frames, main_window};
  std::vector<std::string> handed_back;
};

TEST_F(WinEditorWindowTest, ItsControlsReachTheBehaviourAndTheStateReachesItsControls) {
  // Where the controls stand (in twips), in what order the focus moves, where the window stands.
  const std::vector<std::pair<HWND, TwipsBox>> places = {
      {w.List1Box, layout::kList1},       {w.Times[0], layout::kText1},
      {w.VScrolls[0], layout::kVScroll1}, {w.Times[2], layout::kText5},
      {w.VScrolls[2], layout::kVScroll3}, {w.Command1, layout::kCommand1},
      {w.Check2, layout::kCheck2},        {w.Text3, layout::kText3},
      {w.Command2, layout::kCommand2}};
  for (const auto& [control, twips] : places) EXPECT_TRUE(testing::StandsAt(control, twips));
  EnableWindow(w.Times[0], TRUE);  // the boxes shown only are in the chain when enabled
  EnableWindow(w.Times[1], TRUE);
  EnableWindow(w.Times[2], TRUE);
  const std::vector<HWND> tab = {
      w.List1Box,    w.Times[0], w.Text2,       w.Check1,   w.Text3,    w.VScrolls[0], w.Times[1],
      w.VScrolls[1], w.Times[2], w.VScrolls[2], w.Command1, w.Command2, w.Combo1,      w.Check2};
  EnableWindow(w.Text2, TRUE);
  EnableWindow(w.Text3, TRUE);
  EnableWindow(w.Combo1, TRUE);
  for (std::size_t i = 1; i < tab.size(); ++i) {
    EXPECT_EQ(GetNextDlgTabItem(w.Hwnd(), tab[i - 1], FALSE), tab[i]) << i;
  }
  const RECT outer = OuterOf(w.Hwnd());
  EXPECT_EQ(outer.left, OuterOf(main_window).left);
  EXPECT_EQ(outer.bottom, OuterOf(main_window).top);
  EXPECT_EQ(TextOf(w.Combo1), "h:時間");

  // A line selected fills the fields.
  SendMessageW(w.List1Box, LB_SETCURSEL, 0, 0);
  Notify(w.List1Box, LBN_SELCHANGE);
  EXPECT_EQ(TextOf(w.Times[0]) + TextOf(w.Times[1]) + TextOf(w.Text2) + TextOf(w.Text3), "0730303");
  EXPECT_EQ(IsDlgButtonChecked(w.Hwnd(), GetDlgCtrlID(w.Check1)), BST_CHECKED);
  EXPECT_EQ(SendMessageW(w.Combo1, CB_GETCURSEL, 0, 0), 2);

  // Spinners step from their own value, up towards the top, and stop at their ends; a box left
  // is tidied.
  Scroll(w.VScrolls[0], SB_LINEUP);
  EXPECT_EQ(TextOf(w.Times[0]), "08");
  SetText(w.Times[2], "");
  Scroll(w.VScrolls[2], SB_LINEDOWN);
  EXPECT_EQ(TextOf(w.Times[2]), "") << "no change at the bottom";
  SetText(w.Text2, "2.5");
  Notify(w.Text2, EN_KILLFOCUS);
  EXPECT_EQ(TextOf(w.Text2), "3");
  SendMessageW(w.Check2, BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowEnabled(w.Text3));
  SendMessageW(GetWindow(w.Combo1, GW_CHILD), WM_KEYDOWN, VK_UP, 0);
  EXPECT_EQ(TextOf(w.Combo1), "h:時間");

  // The right button tries the sound; Delete asks (No); 登録 overwrites on Yes; closing hands back.
  SendMessageW(w.Command1, WM_RBUTTONDOWN, MK_RBUTTON, 0);
  SendMessageW(w.Command1, WM_RBUTTONUP, 0, 0);
  EXPECT_EQ(fake.sound.played, std::vector<std::string>{"C:\\a.wav"});
  fake.messages.answers = {false, true};
  SendMessageW(w.List1Box, WM_KEYDOWN, VK_DELETE, 0);
  SendMessageW(w.Command2, BM_CLICK, 0, 0);
  EXPECT_EQ(fake.messages.questions.size(), 2U);
  ASSERT_EQ(SendMessageW(w.List1Box, LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(Row(w.List1Box, 0), "2026/12/06 08:30:00\t3h\tE\tC:\\a.wav");
  SendMessageW(w.Hwnd(), WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindowVisible(w.Hwnd()));
  EXPECT_EQ(handed_back, std::vector<std::string>{"2026/12/06 08:30:00\t3h\tE\tC:\\a.wav"});
}

// Each scroll request moves the hour spinner from its value (7 here), the top end the largest.
TEST_F(WinEditorWindowTest, SpinnersTakeEveryScrollRequest) {
  struct Case {
    int request;
    int track;  // the thumb's place, from the top
    const char* hour;
  };
  const Case cases[] = {{SB_LINEUP, 0, "08"},      {SB_PAGEUP, 0, "08"},
                        {SB_LINEDOWN, 0, "06"},    {SB_PAGEDOWN, 0, "06"},
                        {SB_TOP, 0, "23"},         {SB_BOTTOM, 0, "00"},
                        {SB_THUMBTRACK, 20, "03"}, {SB_THUMBPOSITION, 0, "23"}};
  for (const Case& c : cases) {
    editor.SpinnerChange(TimePart::kHour, 7);
    SendMessageW(w.Hwnd(), WM_VSCROLL, MAKEWPARAM(c.request, c.track),
                 reinterpret_cast<LPARAM>(w.VScrolls[0]));
    EXPECT_EQ(TextOf(w.Times[0]), c.hour) << c.request;
    EXPECT_EQ(GetScrollPos(w.VScrolls[0], SB_CTL), 23 - std::stoi(c.hour)) << c.request;
  }
  editor.SpinnerChange(TimePart::kHour, 23);
  Scroll(w.VScrolls[0], SB_LINEUP);
  EXPECT_EQ(TextOf(w.Times[0]), "23") << "no change at the top";
}

}  // namespace
}  // namespace kelmora
