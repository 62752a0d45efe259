#include "platform/qt/qt_window_frames.h"

namespace kelmora {

QtWindowFrames::QtWindowFrames() {
  events_.on_frame_reported = [this](WId window) {
    if (on_reported) on_reported(static_cast<NativeWindow>(window));
  };
}

std::optional<PixelMargins> QtWindowFrames::Reported(NativeWindow window) const {
  return ReportedFrame(static_cast<WId>(window));
}

void QtWindowFrames::Request(NativeWindow window) {
  RequestFrame(static_cast<WId>(window));
}

}  // namespace kelmora
