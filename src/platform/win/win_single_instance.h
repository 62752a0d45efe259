#pragma once
// One Kelmora per data folder on Windows. The first program to start takes a named mutex made
// from a hash of its data folder's path and keeps a hidden window named from the same hash; a
// later one finds the mutex taken, lets the first take the foreground, posts its window a request
// to show itself and steps back. Windows frees the mutex however its owner ends.

#include <windows.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "platform/win/hidden_window.h"

namespace kelmora {

class WinSingleInstance {
 public:
  explicit WinSingleInstance(const std::filesystem::path& data_folder);
  ~WinSingleInstance();
  WinSingleInstance(const WinSingleInstance&) = delete;
  WinSingleInstance& operator=(const WinSingleInstance&) = delete;

  // True when this program is the one for its data folder; false when another one already runs,
  // which has then been asked to show its window if its window could be found.
  bool TryBecomePrimary();

  // The name the mutex and the window take for a data folder: a hash of its absolute path, the
  // same whatever the letter case.
  static std::wstring NameFor(const std::filesystem::path& data_folder);

  // Runs in the primary, on its user-interface thread, when a later program asked it to show its
  // window.
  std::function<void()> on_show_requested;

  // The message a later program posts to the primary's window.
  static constexpr UINT kShowMessage = WM_APP + 1;
  static constexpr wchar_t kWindowClass[] = L"KelmoraInstance";

 private:
  void AskPrimaryToShow() const;
  std::optional<LRESULT> OnMessage(UINT message) const;

  std::wstring name_;
  HANDLE mutex_ = nullptr;
  bool later_ = false;  // the mutex was there before: another program is the primary
  std::unique_ptr<HiddenWindow> window_;  // the primary's, made once it is the primary
};

}  // namespace kelmora
