#pragma once
// Runs the thread's message loop until a condition holds, for at most a time limit (a guard
// against a test that would hang, not a measure of anything).

#include <windows.h>

#include <functional>

namespace kelmora {

inline bool PumpUntil(const std::function<bool()>& done, DWORD limit_ms = 5000) {
  const ULONGLONG end = GetTickCount64() + limit_ms;
  while (!done()) {
    const ULONGLONG now = GetTickCount64();
    if (now >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
  }
  return true;
}

}  // namespace kelmora
