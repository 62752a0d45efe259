#pragma once
// What the Win32 windows share: a top-level window whose messages go to its owner object, the
// standard controls placed by the twips of a layout table at the window's DPI in the desktop's
// own UI font, the 16x16 image stretched nearest-neighbour, and a window's icons.

#include <windows.h>

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "core/pixels.h"
#include "core/twips.h"
#include "platform/win/win_icon.h"

namespace kelmora {

// A font handle that ends with its owner.
struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// The object that answers a top-level window's messages.
class WindowMessages {
 public:
  virtual ~WindowMessages() = default;
  virtual LRESULT OnMessage(HWND window, UINT message, WPARAM wparam, LPARAM lparam) = 0;
};

// A fixed-size top-level window of its own class, titled title, whose own area measures the
// twips given at the DPI it opens on; its messages from WM_NCCREATE on go to handler. Hidden.
HWND CreateTopLevel(const wchar_t* class_name, std::string_view title, int width_twips,
                    int height_twips, WindowMessages& handler);

// Destroys a window made by CreateTopLevel, its messages no longer going to its handler (which
// may be ending, with what it refers to).
void DestroyTopLevel(HWND window);

// Pixels of twips at a DPI (1440 twips an inch).
int PixelsOfTwips(int twips, UINT dpi);

// The controls of one window, each kept with its place in twips, so that a change of DPI puts
// them all in their place again in the font of the new DPI. Owns that font.
class WinControls {
 public:
  explicit WinControls(HWND parent);
  ~WinControls();
  WinControls(const WinControls&) = delete;
  WinControls& operator=(const WinControls&) = delete;

  // A control of a standard class (WC_EDITW, WC_BUTTONW...) with the text and style given (child
  // and visible are added) at box; its notifications carry id.
  HWND Add(const wchar_t* class_name, std::string_view text, DWORD style, const TwipsBox& box,
           int id, DWORD ex_style = 0);
  // Everything placed and lettered anew at the window's DPI now.
  void Rescale();

 private:
  struct Placed {
    HWND control;
    TwipsBox box;
  };
  void Place(const Placed& placed, UINT dpi) const;

  HWND parent_;
  std::vector<Placed> placed_;
  UniqueFont font_;
};

// The tab order: each control after the one before it (the dialog keys follow the z-order).
void SetTabOrder(const std::vector<HWND>& chain);

// The window's text and a control's, in UTF-8 and back.
std::string TextOf(HWND window);
void SetText(HWND window, std::string_view text);

// Draws image into rect of dc, each pixel a block (nearest neighbour); alpha is not looked at.
void DrawImage(HDC dc, const RECT& rect, const IconImage& image);

// A window's own icons, small (the title bar's) and large (the task switcher's), at its DPI.
class WindowIcons {
 public:
  // The window shows image as its icons, from now on.
  void Set(HWND window, const IconImage& image);

 private:
  std::array<OwnedIcon, 2> icons_;
};

// The colour value as Win32's COLORREF (the same bytes: red lowest).
inline COLORREF ToColorRef(ColorValue color) {
  return static_cast<COLORREF>(color) & 0xFFFFFFu;
}

}  // namespace kelmora
