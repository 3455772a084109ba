// Row kernels of the busiest blend effects: the same bits as the effects'
// table rules, sixteen pixels at a time. Each takes a source row `s` and a
// destination row `d` of `n` pixels, leaves the destination alone where the
// source is 0, and reads the pixel format from the screen state.
#pragma once
#include <cstdint>

namespace elDraw::kernels {

void HalfRow(const uint16_t* s, uint16_t* d, int n);
// trunc(ws x s + wd x d) per native channel.
void AlphaRow(const uint16_t* s, uint16_t* d, int n, float ws, float wd);
// 5-bit: max(0, s - k) + max(0, d + k - 31), k = 31 - level.
void CrossFadeRow(const uint16_t* s, uint16_t* d, int n, int k);
// 5-bit: min(31, max(0, s - k) + d).
void AddRow(const uint16_t* s, uint16_t* d, int n, int k);
// 5-bit: max(0, d - s).
void SubtractRow(const uint16_t* s, uint16_t* d, int n);
// 5-bit: max(0, s - k), k = 31 - level; d is not read.
void DarkenRow(const uint16_t* s, uint16_t* d, int n, int k);
// 5-bit: the mean of the three channels in each.
void GreyRow(const uint16_t* s, uint16_t* d, int n);

}  // namespace elDraw::kernels

namespace elDraw::kernels {

// The flame's pixels of one row: where mean[i] is 0xFFFF, up[i] becomes the
// 5-bit mean of mid[i - 1], mid[i + 1], up[i] and down[i] (each channel
// with fade[ch] set lowered by 1 when above 0); elsewhere a copy of mid[i].
void FlameRow(uint16_t* up, const uint16_t* mid, const uint16_t* down, const uint16_t* mean, int n,
              const int (&fade)[3]);
// The sums of the 5-bit channels of row[i + 1], up[i] and down[i], one
// array per channel.
void NeighbourSums(const uint16_t* row, const uint16_t* up, const uint16_t* down, int n,
                   uint16_t* red, uint16_t* green, uint16_t* blue);
// Three arrays of 5-bit channels put back together.
void PlaceRow(const uint16_t* red, const uint16_t* green, const uint16_t* blue, uint16_t* out,
              int n);

}  // namespace elDraw::kernels
