#include "platform/win/win_single_instance.h"

#include <cwchar>

namespace kelmora {
namespace {

// How long a later program looks for the window of a primary that is still starting.
constexpr int kFindAttempts = 20;
constexpr DWORD kFindPauseMs = 100;

}  // namespace

std::wstring WinSingleInstance::NameFor(const std::filesystem::path& data_folder) {
  std::wstring path = std::filesystem::absolute(data_folder).lexically_normal().wstring();
  while (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
  wchar_t hash[32]{};
  std::swprintf(hash, 32, L"%016llx",
                static_cast<unsigned long long>(std::hash<std::wstring>{}(path)));
  return L"Kelmora-" + std::wstring(hash);
}

WinSingleInstance::WinSingleInstance(const std::filesystem::path& data_folder)
    : name_(NameFor(data_folder)) {}

WinSingleInstance::~WinSingleInstance() {
  window_.reset();
  if (mutex_ != nullptr) CloseHandle(mutex_);
}

bool WinSingleInstance::TryBecomePrimary() {
  if (mutex_ == nullptr) {
    mutex_ = CreateMutexW(nullptr, FALSE, (L"Local\\" + name_).c_str());
    later_ = mutex_ != nullptr && GetLastError() == ERROR_ALREADY_EXISTS;
  }
  if (later_) {
    AskPrimaryToShow();
    return false;
  }
  if (!window_) {
    window_ = std::make_unique<HiddenWindow>(
        kWindowClass, name_.c_str(),
        [this](UINT message, WPARAM, LPARAM) { return OnMessage(message); });
  }
  return true;
}

std::optional<LRESULT> WinSingleInstance::OnMessage(UINT message) const {
  if (message != kShowMessage) return std::nullopt;
  if (on_show_requested) on_show_requested();
  return 0;
}

// The primary may be still on its way up, its window not made yet.
void WinSingleInstance::AskPrimaryToShow() const {
  for (int attempt = 0; attempt < kFindAttempts; ++attempt) {
    if (HWND primary = FindWindowW(kWindowClass, name_.c_str())) {
      DWORD process = 0;
      GetWindowThreadProcessId(primary, &process);
      AllowSetForegroundWindow(process);
      PostMessageW(primary, kShowMessage, 0, 0);
      return;
    }
    Sleep(kFindPauseMs);
  }
}

}  // namespace kelmora
