// What the Windows integration tests ask of Win32 about a program's windows, run under Wine in the
// test's session. Prints numbers, one fact a line:
//   window_probe                    "work L T R B": the desktop's work area
//   window_probe TITLE              the top-level window of that title: "window L T R B",
//                                   "client X Y" (its client area's origin on the screen),
//                                   "visible 0|1", "topmost 0|1"
//   window_probe TITLE TEXT         and "control X Y W H" of its child window (a button) of that
//   text window_probe --close TITLE      asks that window to close, as its close box does
// Exits 1 when the window or control is not there. The first Win32 program of a session starts
// Wine's desktop (explorer), which keeps this program's standard error.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

void PrintRect(const char* name, const RECT& rect) {
  std::printf("%s %ld %ld %ld %ld\n", name, rect.left, rect.top, rect.right, rect.bottom);
}

struct ChildSearch {
  std::wstring text;
  HWND found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<ChildSearch*>(context);
  std::wstring text(GetWindowTextLengthW(child) + 1, L'\0');
  text.resize(GetWindowTextW(child, text.data(), static_cast<int>(text.size())));
  if (text != search->text) return TRUE;
  search->found = child;
  return FALSE;
}

int PrintControl(HWND window, const wchar_t* text) {
  ChildSearch search{text};
  EnumChildWindows(window, MatchChild, reinterpret_cast<LPARAM>(&search));
  RECT rect;
  if (search.found == nullptr || !GetWindowRect(search.found, &rect)) return 1;
  std::printf("control %ld %ld %ld %ld\n", rect.left, rect.top, rect.right - rect.left,
              rect.bottom - rect.top);
  return 0;
}

int PrintWindow(HWND window) {
  RECT rect;
  GetWindowRect(window, &rect);
  PrintRect("window", rect);
  POINT origin{0, 0};
  ClientToScreen(window, &origin);
  std::printf("client %ld %ld\n", origin.x, origin.y);
  std::printf("visible %d\n", IsWindowVisible(window) ? 1 : 0);
  std::printf("topmost %d\n", (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? 1 : 0);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 1) {
    GetDesktopWindow();  // the session's first program starts Wine's desktop here
    RECT work;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    PrintRect("work", work);
    return 0;
  }
  const bool close = std::wstring(argv[1]) == L"--close";
  if (close && argc < 3) return 2;
  HWND window = FindWindowW(nullptr, argv[close ? 2 : 1]);
  if (window == nullptr) return 1;
  if (close) return PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
  const int rc = PrintWindow(window);
  return argc > 2 ? PrintControl(window, argv[2]) : rc;
}
