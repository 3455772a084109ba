// What the surface tests share: a headless desktop of a chosen depth, and
// pixels read, written and painted without the blitter.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/image/surface.h"

namespace surfacetest {

using plat::Rect;
using plat::Result;
using plat::Surface;

constexpr uint32_t kInvalidColour = 0xFFFFFFFF;

// Runs the headless backend with a desktop of the given depth, so that new
// surfaces take that format; every surface made through it is released.
class Desktop {
 public:
  explicit Desktop(int depth) {
    plat::Options options;
    options.backend = "headless";
    options.depth = depth;
    std::string error;
    started_ = plat::Start(options, error);
  }
  ~Desktop() {
    for (Surface* s : surfaces_) plat::ReleaseSurface(s);
    plat::Stop();
  }
  bool Started() const { return started_; }
  Surface* Make(int width, int height) {
    Surface* s = plat::CreateSurface(width, height);
    if (s != nullptr) surfaces_.push_back(s);
    return s;
  }

 private:
  bool started_ = false;
  std::vector<Surface*> surfaces_;
};

inline uint32_t Get(const Surface& s, int x, int y) {
  const uint8_t* p = s.pixels + y * s.pitch + x * s.format.bytesPerPixel;
  uint32_t v = 0;
  std::memcpy(&v, p, s.format.bytesPerPixel);
  return v;
}
inline void Put(Surface& s, int x, int y, uint32_t v) {
  plat::LockInfo lock;
  ASSERT_EQ(plat::Lock(s, lock), Result::Ok);
  std::memcpy(lock.pixels + y * lock.pitch + x * s.format.bytesPerPixel, &v, s.format.bytesPerPixel);
  plat::Unlock(s);
}
// Fills a surface with values from `f(x, y)`, cut to the pixel size.
template <typename F>
void Paint(Surface& s, F f) {
  plat::LockInfo lock;
  ASSERT_EQ(plat::Lock(s, lock), Result::Ok);
  const int bpp = s.format.bytesPerPixel;
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      const uint32_t v = f(x, y);
      std::memcpy(lock.pixels + y * lock.pitch + x * bpp, &v, bpp);
    }
  plat::Unlock(s);
}
inline std::vector<uint32_t> Snapshot(const Surface& s) {
  std::vector<uint32_t> out;
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) out.push_back(Get(s, x, y));
  return out;
}
inline uint32_t Mix(uint32_t a) {
  a ^= a >> 15;
  a *= 0x2C1B3C6Du;
  a ^= a >> 12;
  return a;
}

}  // namespace surfacetest
