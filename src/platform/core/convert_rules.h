// How a character that cannot be converted between CP932 and UTF-8 is
// stepped over: it becomes one '?' and the text after it survives. Both
// systems' converters follow these rules, so that they give the same bytes.
#pragma once
#include <cstddef>

#include "platform/platform.h"

namespace plat {

inline bool IsCp932Trail(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// The bytes of CP932 input an unconvertible character takes.
inline size_t Cp932BadLength(const unsigned char* p, size_t left) {
  if (left >= 2 && IsLeadByte(p[0]) && IsCp932Trail(p[1])) return 2;
  return 1;
}

// The bytes of UTF-8 input an unconvertible character takes.
inline size_t Utf8BadLength(const unsigned char* p, size_t left) {
  size_t length = 1;
  if (p[0] >= 0xC2 && p[0] <= 0xDF) length = 2;
  else if (p[0] >= 0xE0 && p[0] <= 0xEF) length = 3;
  else if (p[0] >= 0xF0 && p[0] <= 0xF4) length = 4;
  else return 1;
  // A broken sequence gives up only its lead byte and the continuation
  // bytes that do follow it.
  size_t n = 1;
  while (n < length && n < left && (p[n] & 0xC0) == 0x80) ++n;
  return n;
}

}  // namespace plat
