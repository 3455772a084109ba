// Scaling the converted picture (0x00RRGGBB pixels) into the rectangle it
// fills in a window or over the whole desktop, with its pixel edges crisp.
//
// Along each axis the picture is first enlarged by a whole number, nearest
// pixel, then brought to the output's size by a bilinear pass. The whole
// number is the smallest that reaches the output, so the bilinear pass only
// ever shrinks, by a factor between 1/2 and 1: a boundary between two
// picture pixels blends into one output pixel at most, and a whole-number
// fit is plain nearest-pixel scaling. (Enlarging by the largest whole
// number that fits and then stretching would blur every pixel of an
// 800 x 600 picture on a 1080-line desktop, where that number is 1.)
//
// The two passes are one: each output pixel is taken from at most two
// picture pixels along each axis, with weights in 256ths, rounded across
// first, then down. ScalePictureReference does that plainly pixel by pixel;
// PictureScaler does the same with vector arithmetic and redoes only what
// changed, and the tests compare the two.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/platform.h"

namespace plat {

// Where one output pixel of an axis takes its colour from: picture pixel
// `first`, blended with `second` (the next one) by `weight` 256ths.
struct ScaleTap {
  int32_t first = 0;
  int32_t second = 0;  // first + 1, or first when weight is 0
  uint32_t weight = 0;  // 0 to 255
};

// The whole number an axis of n pixels is enlarged by before the bilinear
// pass brings it to `out` pixels.
constexpr int WholeScaleFor(int n, int out) { return n > 0 && out > n ? (out + n - 1) / n : 1; }

// The tap of output pixel x of `out`, for an axis of n picture pixels.
ScaleTap AxisTap(int x, int n, int out);

// The whole picture of w x h (rows `pitch` bytes apart) scaled into
// outW x outH, every output pixel worked out on its own.
void ScalePictureReference(const uint32_t* picture, int w, int h, int pitch, uint32_t* out, int outW,
                           int outH, int outPitch);

class PictureScaler {
 public:
  // Buffers for pictures of up to w x h scaled into up to outW x outH;
  // false when memory runs out. Called when a window opens (and when an
  // output outgrows what was reserved), never per frame.
  bool Reserve(int w, int h, int outW, int outH);
  void Release();
  // The size of the coming frames; a new size marks the whole picture.
  // False when it exceeds what was reserved.
  bool Plan(int w, int h, int outW, int outH);
  // Marks columns [x0, x1) of picture row y as changed since the last Scale.
  void MarkRow(int y, int x0, int x1);
  void MarkAll();
  // Writes the output pixels the marked picture pixels reach into `out`
  // (outW x outH of the plan, rows `outPitch` bytes apart) and clears the
  // marks. Puts the output rectangles written into `rects` (at most
  // maxRects, neighbours merged when there are more) and returns their
  // number.
  int Scale(const uint32_t* picture, int pitch, uint32_t* out, int outPitch, Rect* rects, int maxRects);

 private:
  struct Span {
    int32_t lo = 0, hi = 0;  // [lo, hi); empty when lo >= hi
  };
  void Across(const uint32_t* row, uint32_t* out, int lo, int hi) const;

  int reservedW_ = 0, reservedH_ = 0, reservedOutW_ = 0, reservedOutH_ = 0;
  int w_ = 0, h_ = 0, outW_ = 0, outH_ = 0;
  bool nearestX_ = false;  // every column tap has weight 0
  std::vector<ScaleTap> cols_, rows_;
  std::vector<uint16_t> colWeights_;  // each column's weight four times, for the vector pass
  // For each picture column: the output columns that read it or any column
  // after it begin at colReachLo_; those that read it or any before it end
  // before colReachHi_.
  std::vector<int32_t> colReachLo_, colReachHi_;
  std::vector<Span> marks_;   // per picture row: the columns changed
  std::vector<Span> redone_;  // per picture row: the output columns its across row redid
  // Every picture row scaled across (outW_ pixels each), kept between
  // frames so that an output row whose second picture row did not change
  // still has it.
  std::vector<uint32_t> across_;
};

}  // namespace plat
