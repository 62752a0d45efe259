// A bare Win32 tray program: one 16x16 icon in the notification area, a message loop, nothing
// else. It proves the Wine test harness and is what kelmora.exe's memory and CPU under Wine are
// measured against. It names on standard output the tray messages and the session's end that
// reach it, so a test can see a click arrive.
#include <shellapi.h>
#include <windows.h>

#include <array>
#include <cstdio>

namespace {

constexpr UINT kTrayMessage = WM_APP + 1;
constexpr int kSide = 16;

void Say(const char* what) {
  std::fputs(what, stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

// A red square with a one-pixel blue frame, so a reader of the screen finds it by its colours.
HICON MakeIcon() {
  std::array<DWORD, kSide * kSide> pixels{};
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const bool edge = x == 0 || y == 0 || x == kSide - 1 || y == kSide - 1;
      pixels[y * kSide + x] = edge ? 0xFF0000FFu : 0xFFFF0000u;  // 0xAARRGGBB
    }
  }
  HBITMAP colour = CreateBitmap(kSide, kSide, 1, 32, pixels.data());
  HBITMAP mask = CreateBitmap(kSide, kSide, 1, 1, nullptr);
  ICONINFO info{TRUE, 0, 0, mask, colour};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(colour);
  DeleteObject(mask);
  return icon;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == kTrayMessage && (lparam == WM_LBUTTONUP || lparam == WM_RBUTTONUP)) {
    Say(lparam == WM_LBUTTONUP ? "left button up" : "right button up");
  } else if (message == WM_QUERYENDSESSION) {
    Say("query end session");
    return TRUE;
  } else if (message == WM_ENDSESSION) {
    Say("end session");
  } else if (message == WM_DESTROY) {
    PostQuitMessage(0);
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*command*/, int /*show*/) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = WindowProc;
  window_class.hInstance = instance;
  window_class.lpszClassName = L"BareTray";
  RegisterClassW(&window_class);
  HWND window = CreateWindowW(L"BareTray", L"bare tray", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                              nullptr, nullptr, instance, nullptr);
  NOTIFYICONDATAW data{};
  data.cbSize = sizeof data;
  data.hWnd = window;
  data.uID = 1;
  data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  data.uCallbackMessage = kTrayMessage;
  data.hIcon = MakeIcon();
  lstrcpynW(data.szTip, L"bare tray", ARRAYSIZE(data.szTip));
  Shell_NotifyIconW(NIM_ADD, &data);
  Say("in the tray");
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchMessageW(&message);
  }
  Shell_NotifyIconW(NIM_DELETE, &data);
  DestroyIcon(data.hIcon);
  return 0;
}
