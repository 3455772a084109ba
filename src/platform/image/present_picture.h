// What a window backend's present does with the back screen on every system
// before the system shows it: the back screen is compared with the copy
// kept from the last frame, only its changed spans are converted into a
// kept 32-bit picture, the program's hints are laid over that, and only the
// output pixels the changes reach are scaled anew (picture_scale.h). A game
// frame changes a small part of the screen, so a large output costs little
// more than the window.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/image/picture_scale.h"
#include "platform/image/surface.h"

namespace plat {

class PresentPicture {
 public:
  // Buffers for a back screen of up to w x h shown in outputs of up to
  // outW x outH; false when memory runs out. Called when a window opens.
  bool Reserve(int w, int h, int outW, int outH);
  void Release();
  // Shows a rectangle of the back screen in `out`: outW x outH pixels of
  // 0x00RRGGBB, rows `outPitch` bytes apart, kept by the caller between
  // frames. Puts the rectangles of `out` that changed into `rects` (at most
  // maxRects) and returns their number, or -1 when nothing could be shown.
  int Present(const Surface& source, const Rect& sourceRect, uint32_t* out, int outPitch, int outW,
              int outH, Rect* rects, int maxRects);
  // The output no longer holds what was shown in it: the next present
  // writes all of it.
  void Forget() { whole_ = true; }

 private:
  bool Converted(const Surface& source, const Rect& sourceRect, int x0, int y, int x1);

  PictureScaler scaler_;
  std::vector<uint32_t> picture_;  // the converted back screen, hints over it
  std::vector<uint8_t> kept_;      // the back screen's bytes at the last present
  int w_ = 0, h_ = 0, bytes_ = 0;  // the kept picture's size and bytes per pixel
  int outW_ = 0, outH_ = 0;
  bool whole_ = true;
  Rect hints_{};  // where the hints were laid over the picture last time
};

}  // namespace plat
