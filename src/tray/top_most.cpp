#include "tray/top_most.h"

namespace kelmora::TopMost {

std::int32_t StayOnTop(TopLevelWindow& window, std::int16_t mode) {
  switch (mode) {
    case 0:
    case 1:
      window.KeepOnTop(mode == 1);
      return 1;
    case 2:
      window.Raise();
      return 1;
    default:
      return 0;
  }
}

}  // namespace kelmora::TopMost
