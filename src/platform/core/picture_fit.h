// Where the program's picture shows inside the window or the full screen:
// as large as fits, keeping its shape, centred, the rest black; or, asked
// for, only by the largest whole number that fits. Plain arithmetic, shared
// by the present and the mouse.
#pragma once

namespace plat {

struct PictureRect {
  int x = 0, y = 0, w = 0, h = 0;
};

constexpr bool operator==(const PictureRect& a, const PictureRect& b) {
  return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h;
}

// The picture of w x h inside an output of outW x outH: the largest size of
// its shape that fits, or with `wholeScale` the largest whole multiple of
// its size that fits. An output smaller than the picture shows it shrunk to
// fit, keeping its shape, either way.
constexpr PictureRect FitPicture(int outW, int outH, int w, int h, bool wholeScale) {
  if (w <= 0 || h <= 0 || outW <= 0 || outH <= 0) return PictureRect{0, 0, outW, outH};
  const int scale = outW / w < outH / h ? outW / w : outH / h;
  PictureRect r;
  if (wholeScale && scale >= 1) {
    r.w = w * scale;
    r.h = h * scale;
  } else if (static_cast<long long>(outW) * h <= static_cast<long long>(outH) * w) {
    r.w = outW;
    r.h = static_cast<int>(static_cast<long long>(h) * outW / w);
  } else {
    r.h = outH;
    r.w = static_cast<int>(static_cast<long long>(w) * outH / h);
  }
  r.x = (outW - r.w) / 2;
  r.y = (outH - r.h) / 2;
  return r;
}

// Floor division, so that points left of or above the picture stay there.
constexpr int DivFloor(long long value, long long by) {
  long long q = value / by;
  if ((value % by != 0) && ((value < 0) != (by < 0))) --q;
  return static_cast<int>(q);
}

// A point of the output (window pixels) in the picture's own pixels, which
// are `w` wide and `h` high; points on the black border lie outside 0..w-1.
constexpr void OutputToPicture(const PictureRect& r, int w, int h, int& x, int& y) {
  if (r.w <= 0 || r.h <= 0) return;
  x = DivFloor(static_cast<long long>(x - r.x) * w, r.w);
  y = DivFloor(static_cast<long long>(y - r.y) * h, r.h);
}

// The output point where the picture's pixel (x, y) begins: the first one
// that OutputToPicture takes back to it.
constexpr void PictureToOutput(const PictureRect& r, int w, int h, int& x, int& y) {
  if (w <= 0 || h <= 0) return;
  x = r.x - DivFloor(-static_cast<long long>(x) * r.w, w);
  y = r.y - DivFloor(-static_cast<long long>(y) * r.h, h);
}

}  // namespace plat
