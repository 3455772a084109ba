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
