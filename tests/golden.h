// Golden pictures: a rectangle of a surface compared pixel for pixel with a
// 24-bit BMP in tests/golden/. Run the tests with ZOLBECK_REWRITE_GOLDEN=1
// (tools/rewrite_golden.sh) to write the pictures anew when a change of the
// drawing is intended, then look at them and review the difference.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "draw_fixture.h"
#include "platform/image/surface.h"

namespace golden {

inline std::string PathOf(const std::string& name) {
  std::string path = ZOLBECK_SOURCE_DIR "/tests/golden/";
  path += name;
  path += ".bmp";
  return path;
}

inline bool Rewriting() {
  const char* rewrite = std::getenv("ZOLBECK_REWRITE_GOLDEN");
  return rewrite != nullptr && rewrite[0] == '1';
}

// The rectangle as 0x00RRGGBB, top row first.
inline std::vector<uint32_t> Capture(const plat::Surface& s, const plat::Rect& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  std::vector<uint32_t> out(static_cast<size_t>(w) * h);
  EXPECT_TRUE(plat::ConvertToXrgb8888(s, r, out.data(), w * 4));
  return out;
}

inline void Expect(const std::string& name, const plat::Surface& s, const plat::Rect& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  const std::vector<uint32_t> got = Capture(s, r);
  const std::string path = PathOf(name);
  if (Rewriting()) {
    drawtest::WriteBmp24(path, w, h, [&](int x, int y) { return got[static_cast<size_t>(y) * w + x]; });
    return;
  }
  plat::Bitmap want;
  ASSERT_TRUE(plat::LoadBitmap(path.c_str(), want)) << path << " is missing; ZOLBECK_REWRITE_GOLDEN=1 writes it";
  ASSERT_EQ(want.width, w) << name;
  ASSERT_EQ(want.height, h) << name;
  int differing = 0, firstX = -1, firstY = -1;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      if (got[static_cast<size_t>(y) * w + x] == want.pixels[static_cast<size_t>(y) * w + x]) continue;
      if (differing++ == 0) firstX = x, firstY = y;
    }
  }
  EXPECT_EQ(differing, 0) << name << ": first difference at (" << firstX << ", " << firstY << ")";
}

}  // namespace golden
