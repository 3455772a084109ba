// Clip-rectangle wipes: the picture opens or closes by moving the edges of
// the clip rectangle a little every frame. Every draw is cut to the clip
// rectangle, so whatever the program draws shows only inside the moving
// window.
#include <algorithm>
#include <cstdlib>

#include "draw/eldraw.h"
#include "shell/elsystem.h"

namespace elDraw {

namespace {

struct WipeSettings {
  int closing = 0;
  int shape = 1;
  float speed = 0.0f;
  int band = 0;
};
WipeSettings wipe;

constexpr int kShapes = 9;

// One axis of the clip rectangle: its two edges, their saved values and the
// middle between them.
struct Axis {
  int* lo;
  int* hi;
  int savedLo, savedHi, mid;
};
Axis Horizontal() {
  const ClipRect& s = wipeSaved;
  return Axis{&screen.clipRect.left, &screen.clipRect.right, s.left, s.right,
              s.left + (s.right - s.left) / 2};
}
Axis Vertical() {
  const ClipRect& s = wipeSaved;
  return Axis{&screen.clipRect.top, &screen.clipRect.bottom, s.top, s.bottom,
              s.top + (s.bottom - s.top) / 2};
}

bool AtSaved(const Axis& a) { return *a.lo == a.savedLo && *a.hi == a.savedHi; }

// The band of shapes 8 and 9 on an axis: band / 2 either side of the middle,
// kept within the saved edges so that the window never reaches past them.
int BandLo(const Axis& a) { return std::max(a.savedLo, a.mid - wipe.band / 2); }
int BandHi(const Axis& a) { return std::min(a.savedHi, a.mid + wipe.band / 2); }

// Both edges move out; once either passes its saved edge both take their
// saved values. True when the axis is whole.
bool Grow(const Axis& a, int step) {
  *a.lo -= step;
  *a.hi += step;
  if (*a.lo < a.savedLo || *a.hi > a.savedHi) {
    *a.lo = a.savedLo;
    *a.hi = a.savedHi;
  }
  return AtSaved(a);
}

// Both edges move in towards lo and hi; once either passes its goal both
// are set there.
void Shrink(const Axis& a, int step, int lo, int hi) {
  *a.lo += step;
  *a.hi -= step;
  if (*a.lo > lo || *a.hi < hi) {
    *a.lo = lo;
    *a.hi = hi;
  }
}

// Both edges move in; once they meet or cross both go to the middle.
void Meet(const Axis& a, int step) {
  *a.lo += step;
  *a.hi -= step;
  if (*a.lo >= *a.hi) *a.lo = *a.hi = a.mid;
}

// Both edges move in, and may pass each other; true once they met.
bool Close(const Axis& a, int step) {
  *a.lo += step;
  *a.hi -= step;
  return *a.lo >= *a.hi;
}

// The window an opening starts from.
void StartWindow() {
  const Axis x = Horizontal(), y = Vertical();
  switch (wipe.shape) {
    case 1: *y.lo = y.savedHi; break;
    case 2: *y.hi = y.savedLo; break;
    case 3: *x.lo = x.savedHi; break;
    case 4: *x.hi = x.savedLo; break;
    case 5: *y.lo = *y.hi = y.mid; break;
    case 6: *x.lo = *x.hi = x.mid; break;
    case 7: *x.lo = *x.hi = x.mid; *y.lo = *y.hi = y.mid; break;
    case 8: *y.lo = *y.hi = y.mid; *x.lo = BandLo(x); *x.hi = BandHi(x); break;
    case 9: *x.lo = *x.hi = x.mid; *y.lo = BandLo(y); *y.hi = BandHi(y); break;
  }
}

// One step of an opening; true when the window is whole again.
bool OpenStep(int step) {
  const Axis x = Horizontal(), y = Vertical();
  switch (wipe.shape) {
    case 1: *y.lo -= step; return *y.lo <= y.savedLo;
    case 2: *y.hi += step; return *y.hi >= y.savedHi;
    case 3: *x.lo -= step; return *x.lo <= x.savedLo;
    case 4: *x.hi += step; return *x.hi >= x.savedHi;
    case 5: return Grow(y, step);
    case 6: return Grow(x, step);
    case 7: Grow(x, step); Grow(y, step); return AtSaved(x) && AtSaved(y);
    // First the band's length, then its breadth.
    case 8:
      if (AtSaved(y)) return Grow(x, step);
      Grow(y, step);
      return false;
    case 9:
      if (AtSaved(x)) return Grow(y, step);
      Grow(x, step);
      return false;
  }
  return true;
}

// One step of a closing; true when nothing is left of the window.
bool CloseStep(int step) {
  const Axis x = Horizontal(), y = Vertical();
  switch (wipe.shape) {
    case 1: *y.lo += step; return *y.lo >= y.savedHi;
    case 2: *y.hi -= step; return *y.hi <= y.savedLo;
    case 3: *x.lo += step; return *x.lo >= x.savedHi;
    case 4: *x.hi -= step; return *x.hi <= x.savedLo;
    case 5: return Close(y, step);
    case 6: return Close(x, step);
    case 7:
      Meet(x, step);
      Meet(y, step);
      return *x.lo == *x.hi && *y.lo == *y.hi;
    // First down to the band, then the band closes along its length.
    case 8:
      if (*x.lo == BandLo(x) && *x.hi == BandHi(x)) return Close(y, step);
      Shrink(x, step, BandLo(x), BandHi(x));
      return false;
    case 9:
      if (*y.lo == BandLo(y) && *y.hi == BandHi(y)) return Close(x, step);
      Shrink(y, step, BandLo(y), BandHi(y));
      return false;
  }
  return true;
}

// Pixels an edge moves this frame: trunc(frame time x speed) + 1. A negative
// speed would move the edges the wrong way for ever, and a huge one past
// the integers, so the result is kept between 1 and a million.
int StepPixels() {
  const float moved = std::clamp(elSystem::dt * wipe.speed, 0.0f, 1000000.0f);
  return static_cast<int>(moved) + 1;
}

}  // namespace

int ClipWipeStart(int closing, int shape, float speed, int band) {
  if (wipeState > 0) return 0;
  // A shape outside the nine would never end and would block every later
  // wipe; it is refused before anything changes.
  if (shape < 0 || shape > kShapes) return 0;
  if (wipeState == -1) screen.clipRect = wipeSaved;
  wipeSaved = screen.clipRect;
  wipe.closing = closing;
  wipe.shape = shape == 0 ? std::rand() % kShapes + 1 : shape;
  wipe.speed = speed;
  wipe.band = std::max(band, 0);
  if (closing) {
    wipeState = 2;
    return 1;
  }
  wipeState = 1;
  StartWindow();
  return 1;
}

int ClipWipeStep() {
  if (wipeState <= 0) return 0;
  const int step = StepPixels();
  if (wipeState == 1) {
    if (OpenStep(step)) {
      screen.clipRect = wipeSaved;
      wipeState = 0;
    }
  } else if (CloseStep(step)) {
    wipeState = -1;
  }
  return 1;
}

void ClipWipeHide() {
  // Only an idle window is saved: during a wipe, or when already hidden,
  // the saved rectangle is the real one and the clip rectangle is not.
  if (wipeState == 0) wipeSaved = screen.clipRect;
  ClipRect& clip = screen.clipRect;
  clip.right = clip.left;
  clip.bottom = clip.top;
  wipeState = -1;
}

}  // namespace elDraw
