// The software surfaces: formats, blit rectangle rules, colour keys, fills,
// stretching, lost surfaces, the old interface's colour conversion, the
// present's conversion and BMP decoding.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/image/surface.h"
#include "portable.h"

namespace {

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

uint32_t Get(const Surface& s, int x, int y) {
  const uint8_t* p = s.pixels + y * s.pitch + x * s.format.bytesPerPixel;
  uint32_t v = 0;
  std::memcpy(&v, p, s.format.bytesPerPixel);
  return v;
}
void Put(Surface& s, int x, int y, uint32_t v) {
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
std::vector<uint32_t> Snapshot(const Surface& s) {
  std::vector<uint32_t> out;
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) out.push_back(Get(s, x, y));
  return out;
}
uint32_t Mix(uint32_t a) {
  a ^= a >> 15;
  a *= 0x2C1B3C6Du;
  a ^= a >> 12;
  return a;
}

// ---------------------------------------------------------------------------
// Formats and creation

TEST(SurfaceFormat, DepthsGiveTheirMasks) {
  const plat::PixelFormat f15 = plat::FormatForDepth(15), f16 = plat::FormatForDepth(16);
  const plat::PixelFormat f24 = plat::FormatForDepth(24), f32 = plat::FormatForDepth(32);
  EXPECT_EQ(f15.bitsPerPixel, 16);
  EXPECT_EQ(f15.bytesPerPixel, 2);
  EXPECT_EQ(f15.redMask, 0x7C00u);
  EXPECT_EQ(f15.greenMask, 0x03E0u);
  EXPECT_EQ(f15.blueMask, 0x001Fu);
  EXPECT_EQ(f16.redMask, 0xF800u);
  EXPECT_EQ(f16.greenMask, 0x07E0u);
  EXPECT_EQ(f16.blueMask, 0x001Fu);
  EXPECT_EQ(f24.bitsPerPixel, 24);
  EXPECT_EQ(f24.bytesPerPixel, 3);
  EXPECT_EQ(f32.bytesPerPixel, 4);
  EXPECT_EQ(f24.redMask, 0xFF0000u);
  EXPECT_EQ(f32.greenMask, 0x00FF00u);
  EXPECT_EQ(f32.blueMask, 0x0000FFu);
}

TEST(SurfaceCreate, NewSurfacesAreZeroAlignedAndReuseReleasedBuffers) {
  Desktop desktop(32);
  ASSERT_TRUE(desktop.Started());
  Surface* a = plat::CreateSurface(37, 20);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->format.bytesPerPixel, 4);
  EXPECT_GE(a->pitch, 37 * 4);
  EXPECT_EQ(a->pitch % 16, 0);
  EXPECT_FALSE(a->primary);
  BltFill(*a, Rect{0, 0, 37, 20}, 0x123456);
  uint8_t* buffer = a->pixels;
  plat::ReleaseSurface(a);
  // A smaller surface fits the released buffer, and starts zeroed again.
  Surface* b = desktop.Make(30, 10);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->pixels, buffer);
  for (uint32_t v : Snapshot(*b)) ASSERT_EQ(v, 0u);

  Surface* primary = plat::CreatePrimarySurface();
  ASSERT_NE(primary, nullptr);
  EXPECT_TRUE(primary->primary);
  EXPECT_EQ(primary->pixels, nullptr);
  plat::ReleaseSurface(primary);
  EXPECT_EQ(plat::CreateSurface(0, 10), nullptr);
}

// ---------------------------------------------------------------------------
// Blit rectangles

TEST(SurfaceBlit, RectanglesOutsideTheSurfacesAreRefusedAndEmptyOnesDrawNothing) {
  Desktop desktop(16);
  Surface* dest = desktop.Make(20, 10);
  Surface* src = desktop.Make(8, 8);
  Paint(*src, [](int, int) { return 0x1234u; });
  const auto before = Snapshot(*dest);
  // Outside the source, outside the destination on each side.
  EXPECT_EQ(plat::BltFast(*dest, 0, 0, *src, Rect{0, 0, 9, 8}, false), Result::InvalidRect);
  EXPECT_EQ(plat::BltFast(*dest, 0, 0, *src, Rect{-1, 0, 4, 4}, false), Result::InvalidRect);
  EXPECT_EQ(plat::BltFast(*dest, 0, 0, *src, Rect{0, -1, 4, 4}, false), Result::InvalidRect);
  EXPECT_EQ(plat::BltFast(*dest, 0, 0, *src, Rect{0, 0, 4, 9}, false), Result::InvalidRect);
  EXPECT_EQ(plat::BltFast(*dest, -1, 0, *src, Rect{0, 0, 4, 4}, false), Result::InvalidRect);
  EXPECT_EQ(plat::BltFast(*dest, 0, -1, *src, Rect{0, 0, 4, 4}, false), Result::InvalidRect);
  EXPECT_EQ(plat::BltFast(*dest, 17, 0, *src, Rect{0, 0, 4, 4}, false), Result::InvalidRect);
  EXPECT_EQ(plat::BltFast(*dest, 0, 7, *src, Rect{0, 0, 4, 4}, true), Result::InvalidRect);
  // Empty and inverted rectangles, even far outside, draw nothing and are Ok.
  EXPECT_EQ(plat::BltFast(*dest, 0, 0, *src, Rect{3, 0, 3, 4}, false), Result::Ok);
  EXPECT_EQ(plat::BltFast(*dest, 500, 500, *src, Rect{5, 5, 2, 2}, false), Result::Ok);
  EXPECT_EQ(plat::BltFast(*dest, 0, 0, *src, Rect{0, 4, 4, 4}, false), Result::Ok);
  EXPECT_EQ(Snapshot(*dest), before);
  // Exactly on the edges is inside.
  EXPECT_EQ(plat::BltFast(*dest, 12, 2, *src, Rect{0, 0, 8, 8}, false), Result::Ok);
  EXPECT_EQ(Get(*dest, 19, 9), 0x1234u);
  EXPECT_EQ(Get(*dest, 11, 9), 0u);
  EXPECT_EQ(Get(*dest, 12, 1), 0u);
}

// A keyed copy done one pixel at a time, for comparison.
void ReferenceCopy(std::vector<uint32_t>& dest, int destWidth, int x, int y, const Surface& src, const Rect& r,
                   bool keyed) {
  for (int sy = r.top; sy < r.bottom; ++sy)
    for (int sx = r.left; sx < r.right; ++sx) {
      const uint32_t v = Get(src, sx, sy);
      if (keyed && src.hasKey && v >= src.keyLow && v <= src.keyHigh) continue;
      dest[(y + sy - r.top) * destWidth + x + sx - r.left] = v;
    }
}

class KeyedBlit : public testing::TestWithParam<int> {};

TEST_P(KeyedBlit, KeyedCopiesSkipTheKeyAndOpaqueCopiesDoNot) {
  Desktop desktop(GetParam());
  Surface* dest = desktop.Make(140, 12);
  Surface* src = desktop.Make(140, 12);
  const uint32_t valueMask = src->format.bytesPerPixel == 4 ? 0x00FFFFFF : (1u << (8 * src->format.bytesPerPixel)) - 1;
  const uint32_t key = plat::ColourToPixel(src->format, 0x00FF00FF);  // magenta
  // A third of the pixels are the key. Rows are merged in blocks of groups
  // with a last group that may overlap the one before: every width from 1 to
  // 139 reaches each block count and tail.
  Paint(*src, [&](int x, int y) {
    const uint32_t v = Mix(x * 131 + y * 7) & valueMask;
    return (x + y) % 3 == 0 ? key : (v == key ? v ^ 1 : v);
  });
  plat::SetColorKey(*src, true, key, key);
  for (int width = 1; width < 140; ++width) {
    for (bool keyed : {true, false}) {
      Paint(*dest, [](int x, int y) { return static_cast<uint32_t>(x + y * 3 + 1); });
      auto expected = Snapshot(*dest);
      const Rect r{140 - width, 1, 140, 11};
      ReferenceCopy(expected, 140, 0, 2, *src, r, keyed);
      ASSERT_EQ(plat::BltFast(*dest, 0, 2, *src, r, keyed), Result::Ok);
      ASSERT_EQ(Snapshot(*dest), expected) << "width " << width << " keyed " << keyed;
    }
  }
}

TEST_P(KeyedBlit, KeyRangesSkipEveryValueBetweenTheBounds) {
  Desktop desktop(GetParam());
  Surface* dest = desktop.Make(100, 3);
  Surface* src = desktop.Make(100, 3);
  Paint(*src, [](int x, int y) { return static_cast<uint32_t>(x % 40 + 40 * y); });
  plat::SetColorKey(*src, true, 10, 50);
  for (int width = 1; width <= 100; ++width) {
    BltFill(*dest, Rect{0, 0, 100, 3}, 0x77);
    auto expected = Snapshot(*dest);
    ReferenceCopy(expected, 100, 0, 0, *src, Rect{0, 0, width, 3}, true);
    ASSERT_EQ(plat::BltFast(*dest, 0, 0, *src, Rect{0, 0, width, 3}, true), Result::Ok);
    ASSERT_EQ(Snapshot(*dest), expected) << "width " << width;
  }
  EXPECT_EQ(Get(*dest, 9, 0), 9u);
  EXPECT_EQ(Get(*dest, 10, 0), 0x77u);
  EXPECT_EQ(Get(*dest, 10, 1), 0x77u);  // 50
  EXPECT_EQ(Get(*dest, 11, 1), 51u);
  // A keyed copy from a surface without a key is an opaque copy.
  plat::SetColorKey(*src, false, 0, 0);
  ASSERT_EQ(plat::BltFast(*dest, 0, 0, *src, Rect{0, 0, 40, 3}, true), Result::Ok);
  EXPECT_EQ(Get(*dest, 10, 0), 10u);
}

INSTANTIATE_TEST_SUITE_P(Depths, KeyedBlit, testing::Values(15, 16, 24, 32));

// Large pictures drawn keyed again and again use their opaque runs; the runs
// must follow every change of the picture and of its key.
TEST(SurfaceBlit, RepeatedLargeKeyedDrawsFollowChangesOfThePicture) {
  Desktop desktop(16);
  Surface* dest = desktop.Make(300, 40);
  Surface* src = desktop.Make(260, 30);
  const uint32_t key = 0xF81F;
  // Long runs with a few single pixels between them.
  Paint(*src, [&](int x, int y) { return (x / 40 + y) % 3 == 0 || x % 97 == 5 ? Mix(x + y * 1000) & 0xF7FF : key; });
  plat::SetColorKey(*src, true, key, key);
  auto check = [&](int x, int y, const Rect& r, const char* what) {
    Paint(*dest, [](int px, int py) { return static_cast<uint32_t>(px * 3 + py); });
    auto expected = Snapshot(*dest);
    ReferenceCopy(expected, 300, x, y, *src, r, true);
    ASSERT_EQ(plat::BltFast(*dest, x, y, *src, r, true), Result::Ok);
    ASSERT_EQ(Snapshot(*dest), expected) << what;
  };
  for (int pass = 0; pass < 4; ++pass) {
    check(0, 0, Rect{0, 0, 260, 30}, "whole");
    check(13, 5, Rect{17, 3, 250, 29}, "part");
    check(40, 10, Rect{100, 0, 180, 30}, "middle");
    check(0, 8, Rect{100, 0, 260, 30}, "at the left edge, from the right of the picture");
  }
  Put(*src, 20, 2, 0x1234);  // through a lock
  check(0, 0, Rect{0, 0, 260, 30}, "after a lock");
  check(0, 0, Rect{0, 0, 260, 30}, "after a lock, again");
  BltFill(*src, Rect{0, 10, 260, 12}, 0x0042);
  check(0, 0, Rect{0, 0, 260, 30}, "after a fill");
  check(0, 0, Rect{0, 0, 260, 30}, "after a fill, again");
  plat::SetColorKey(*src, true, 0x0042, 0x0042);
  check(0, 0, Rect{0, 0, 260, 30}, "after a new key");
  check(0, 0, Rect{0, 0, 260, 30}, "after a new key, again");
  Surface* other = desktop.Make(260, 30);
  BltFill(*other, Rect{0, 0, 260, 30}, 0x0042);
  Put(*other, 100, 15, 0x0999);
  ASSERT_EQ(plat::BltFast(*src, 0, 0, *other, Rect{0, 0, 260, 30}, false), Result::Ok);
  check(0, 0, Rect{0, 0, 260, 30}, "after a blit into it");
  EXPECT_EQ(Get(*dest, 100, 15), 0x0999u);
  EXPECT_EQ(Get(*dest, 101, 15), 101u * 3 + 15);
}

TEST(SurfaceBlit, CopiesWithinOneSurfaceReadTheOriginalPixels) {
  Desktop desktop(16);
  Surface* s = desktop.Make(50, 30);
  for (bool keyed : {false, true}) {
    for (const auto& to : {std::pair{5, 3}, std::pair{0, 0}, std::pair{3, 0}, std::pair{0, 4}}) {
      Paint(*s, [](int x, int y) { return (x * 7 + y) % 5 == 0 ? 0u : static_cast<uint32_t>(x + 64 * y); });
      plat::SetColorKey(*s, true, 0, 0);
      auto expected = Snapshot(*s);
      const Rect r{2, 1, 42, 25};
      ReferenceCopy(expected, 50, to.first, to.second, *s, r, keyed);
      ASSERT_EQ(plat::BltFast(*s, to.first, to.second, *s, r, keyed), Result::Ok);
      EXPECT_EQ(Snapshot(*s), expected) << to.first << "," << to.second << " keyed " << keyed;
    }
  }
}

// ---------------------------------------------------------------------------
// Fills and stretching

TEST(SurfaceFill, ValuesAreCutToTheSurfaceBits) {
  for (int depth : {16, 24, 32}) {
    Desktop desktop(depth);
    Surface* s = desktop.Make(37, 5);
    EXPECT_EQ(plat::BltFill(*s, Rect{1, 1, 36, 4}, 0xAB123456), Result::Ok);
    const uint32_t cut = depth == 16 ? 0x3456 : depth == 24 ? 0x123456 : 0xAB123456;
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 37; ++x) {
        const bool inside = x >= 1 && x < 36 && y >= 1 && y < 4;
        ASSERT_EQ(Get(*s, x, y), inside ? cut : 0u) << depth << " at " << x << "," << y;
      }
    EXPECT_EQ(plat::BltFill(*s, Rect{0, 0, 38, 5}, 1), Result::InvalidRect);
    EXPECT_EQ(plat::BltFill(*s, Rect{0, -1, 3, 5}, 1), Result::InvalidRect);
    EXPECT_EQ(plat::BltFill(*s, Rect{4, 0, 3, 5}, 1), Result::Ok);
    EXPECT_EQ(Get(*s, 3, 0), 0u);
    EXPECT_EQ(plat::BltFill(*s, Rect{0, 0, 37, 5}, 0xFFFFFFFF), Result::Ok);
    EXPECT_EQ(Get(*s, 36, 4), depth == 16 ? 0xFFFFu : depth == 24 ? 0xFFFFFFu : 0xFFFFFFFFu);
  }
}

TEST(SurfaceStretch, NearestPixelMapsEachDestinationColumnDown) {
  Desktop desktop(16);
  Surface* src = desktop.Make(6, 4);
  Surface* dest = desktop.Make(20, 20);
  Paint(*src, [](int x, int y) { return static_cast<uint32_t>(0x100 * y + x + 1); });
  // 6 x 4 onto 15 x 7: source (x * 6) / 15, (y * 4) / 7.
  ASSERT_EQ(plat::Blt(*dest, Rect{2, 3, 17, 10}, *src, Rect{0, 0, 6, 4}, false), Result::Ok);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 15; ++x) ASSERT_EQ(Get(*dest, 2 + x, 3 + y), 0x100u * (y * 4 / 7) + (x * 6 / 15) + 1);
  EXPECT_EQ(Get(*dest, 1, 3), 0u);
  EXPECT_EQ(Get(*dest, 17, 9), 0u);
  // Shrinking a part: 4 x 3 from (2, 1) onto 2 x 2 takes columns 2, 4 and rows 1, 2.
  ASSERT_EQ(plat::Blt(*dest, Rect{0, 0, 2, 2}, *src, Rect{2, 1, 6, 4}, false), Result::Ok);
  EXPECT_EQ(Get(*dest, 0, 0), 0x103u);
  EXPECT_EQ(Get(*dest, 1, 0), 0x105u);
  EXPECT_EQ(Get(*dest, 1, 1), 0x205u);
  // Keyed: the key value is not drawn.
  plat::SetColorKey(*src, true, 0x102, 0x102);
  BltFill(*dest, Rect{0, 0, 20, 20}, 0x7777);
  ASSERT_EQ(plat::Blt(*dest, Rect{0, 0, 12, 8}, *src, Rect{0, 0, 6, 4}, true), Result::Ok);
  EXPECT_EQ(Get(*dest, 2, 2), 0x7777u);
  EXPECT_EQ(Get(*dest, 3, 3), 0x7777u);
  EXPECT_EQ(Get(*dest, 4, 2), 0x103u);
  EXPECT_EQ(plat::Blt(*dest, Rect{0, 0, 21, 8}, *src, Rect{0, 0, 6, 4}, true), Result::InvalidRect);
  // The old interface's stretch clips the destination to the surface.
  EXPECT_TRUE(plat::GdiStretchBlt(*dest, Rect{-6, -4, 6, 4}, *src, Rect{0, 0, 6, 4}));
  EXPECT_EQ(Get(*dest, 0, 0), 0x204u);
  EXPECT_EQ(Get(*dest, 5, 3), 0x306u);
  EXPECT_FALSE(plat::GdiStretchBlt(*dest, Rect{0, 0, 6, 4}, *src, Rect{0, 0, 7, 4}));
  EXPECT_FALSE(plat::GdiStretchBlt(*dest, Rect{6, 0, 0, 4}, *src, Rect{0, 0, 6, 4}));
}

// ---------------------------------------------------------------------------
// Present and lost surfaces

TEST(SurfaceLoss, LostSurfacesAnswerSurfaceLostUntilRestored) {
  Desktop desktop(16);
  Surface* primary = plat::CreatePrimarySurface();
  Surface* back = desktop.Make(30, 20);
  Surface* sprite = desktop.Make(10, 10);
  BltFill(*back, Rect{0, 0, 30, 20}, 0x1234);
  const uint32_t presents = plat::PresentCount();
  EXPECT_EQ(plat::Blt(*primary, Rect{100, 100, 130, 120}, *back, Rect{0, 0, 30, 20}, false), Result::Ok);
  EXPECT_EQ(plat::PresentCount(), presents + 1);
  EXPECT_EQ(plat::Blt(*primary, Rect{0, 0, 30, 20}, *back, Rect{0, 0, 31, 20}, false), Result::InvalidRect);

  plat::LoseAllSurfaces();
  EXPECT_TRUE(plat::IsLost(*primary));
  EXPECT_TRUE(plat::IsLost(*back));
  EXPECT_TRUE(plat::IsLost(*sprite));
  EXPECT_EQ(plat::Blt(*primary, Rect{0, 0, 30, 20}, *back, Rect{0, 0, 30, 20}, false), Result::SurfaceLost);
  EXPECT_EQ(plat::PresentCount(), presents + 1);
  EXPECT_EQ(plat::BltFast(*back, 0, 0, *sprite, Rect{0, 0, 10, 10}, true), Result::SurfaceLost);
  EXPECT_EQ(plat::BltFill(*back, Rect{0, 0, 1, 1}, 0), Result::SurfaceLost);
  plat::LockInfo lock;
  EXPECT_EQ(plat::Lock(*back, lock), Result::SurfaceLost);
  EXPECT_EQ(plat::GdiGetPixel(*back, 0, 0), kInvalidColour);
  EXPECT_EQ(plat::GdiSetPixel(*back, 0, 0, 0), kInvalidColour);

  EXPECT_EQ(plat::Restore(*back), Result::Ok);
  EXPECT_FALSE(plat::IsLost(*back));
  EXPECT_EQ(back->width, 30);
  EXPECT_EQ(back->height, 20);
  for (uint32_t v : Snapshot(*back)) ASSERT_EQ(v, 0u);
  // The sprite is still lost, so a blit from it still fails.
  EXPECT_EQ(plat::BltFast(*back, 0, 0, *sprite, Rect{0, 0, 10, 10}, false), Result::SurfaceLost);
  EXPECT_EQ(plat::Restore(*sprite), Result::Ok);
  EXPECT_EQ(plat::Restore(*primary), Result::Ok);
  EXPECT_EQ(plat::BltFast(*back, 0, 0, *sprite, Rect{0, 0, 10, 10}, false), Result::Ok);
  plat::ReleaseSurface(primary);
}

// ---------------------------------------------------------------------------
// The old graphics interface

TEST(SurfaceGdi, ColoursBecomeTheNearestValueAndReadBackShifted) {
  const plat::PixelFormat f565 = plat::FormatForDepth(16), f555 = plat::FormatForDepth(15);
  const plat::PixelFormat f32 = plat::FormatForDepth(32);
  // A 5-bit channel reads back in steps of 8, a 6-bit one in steps of 4:
  // 7 is nearer 8 than 0 (1 of 31) and nearer 8 than 4 (2 of 63).
  EXPECT_EQ(plat::ColourToPixel(f565, 0x00070707), (1u << 11) | (2u << 5) | 1u);
  EXPECT_EQ(plat::ColourToPixel(f555, 0x00070707), (1u << 10) | (1u << 5) | 1u);
  EXPECT_EQ(plat::ColourToPixel(f565, 0x00030303), 1u << 5);
  EXPECT_EQ(plat::ColourToPixel(f565, 0x00F3F3F3), (30u << 11) | (61u << 5) | 30u);
  EXPECT_EQ(plat::ColourToPixel(f565, 0x00FFFFFF), 0xFFFFu);
  EXPECT_EQ(plat::ColourToPixel(f565, 0x00FCFDFE), 0xFFFFu);
  EXPECT_EQ(plat::ColourToPixel(f555, 0x00FF00FF), 0x7C1Fu);
  EXPECT_EQ(plat::ColourToPixel(f565, 0x000000FF), 0xF800u);  // red is the low byte
  EXPECT_EQ(plat::ColourToPixel(f32, 0x00332211), 0x112233u);

  Desktop desktop(16);
  Surface* s = desktop.Make(4, 4);
  EXPECT_EQ(plat::GdiSetPixel(*s, 1, 1, 0x00070707), 0x00080808u);
  EXPECT_EQ(Get(*s, 1, 1), 0x0841u);
  EXPECT_EQ(plat::GdiSetPixel(*s, 2, 2, 0x00FFFFFF), 0x00F8FCF8u);
  EXPECT_EQ(plat::GdiGetPixel(*s, 2, 2), 0x00F8FCF8u);
  // Writing back what was read leaves every pixel as it was.
  Paint(*s, [](int x, int y) { return Mix(x + 4 * y) & 0xFFFF; });
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) {
      const uint32_t before = Get(*s, x, y);
      plat::GdiSetPixel(*s, x, y, plat::GdiGetPixel(*s, x, y));
      ASSERT_EQ(Get(*s, x, y), before);
    }
  EXPECT_EQ(plat::GdiGetPixel(*s, 4, 0), kInvalidColour);
  EXPECT_EQ(plat::GdiGetPixel(*s, 0, -1), kInvalidColour);
  EXPECT_EQ(plat::GdiSetPixel(*s, -1, 0, 0), kInvalidColour);
}

TEST(SurfaceGdi, ReadBackOn555And32BitSurfaces) {
  {
    Desktop desktop(15);
    Surface* s = desktop.Make(2, 1);
    EXPECT_EQ(plat::GdiSetPixel(*s, 0, 0, 0x00FFFFFF), 0x00F8F8F8u);
    EXPECT_EQ(Get(*s, 0, 0), 0x7FFFu);
  }
  {
    Desktop desktop(32);
    Surface* s = desktop.Make(2, 1);
    EXPECT_EQ(plat::GdiSetPixel(*s, 0, 0, 0x00070605), 0x00070605u);
    EXPECT_EQ(Get(*s, 0, 0), 0x050607u);
  }
}

TEST(SurfaceGdi, PicturesConvertLikeSinglePixelsSoKeyColoursMatch) {
  for (int depth : {15, 16, 24, 32}) {
    Desktop desktop(depth);
    plat::Bitmap bitmap;
    bitmap.width = 64;
    bitmap.height = 16;
    for (uint32_t i = 0; i < 64 * 16; ++i) bitmap.pixels.push_back(Mix(i) & 0x00FFFFFF);
    bitmap.pixels[5] = 0x00070307;  // a colour that must round
    Surface* s = desktop.Make(64, 16);
    ASSERT_TRUE(plat::GdiStretchBitmap(*s, Rect{0, 0, 64, 16}, bitmap, Rect{0, 0, 64, 16}));
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 64; ++x) {
        const uint32_t c = bitmap.pixels[y * 64 + x];
        const uint32_t colourRef = (c & 0xFF) << 16 | (c & 0xFF00) | (c >> 16);  // 0x00BBGGRR
        ASSERT_EQ(Get(*s, x, y), plat::ColourToPixel(s->format, colourRef)) << depth;
      }
    // The key rule: write the key colour at (0, 0), read the value back.
    Surface* probe = desktop.Make(1, 1);
    plat::GdiSetPixel(*probe, 0, 0, 0x00070307);
    EXPECT_EQ(Get(*probe, 0, 0), Get(*s, 5, 0)) << depth;
  }
}

TEST(SurfaceGdi, StretchedPicturesAndFailures) {
  Desktop desktop(32);
  plat::Bitmap bitmap;
  bitmap.width = 3;
  bitmap.height = 2;
  bitmap.pixels = {0x000001, 0x000002, 0x000003, 0x000004, 0x000005, 0x000006};
  Surface* s = desktop.Make(6, 4);
  ASSERT_TRUE(plat::GdiStretchBitmap(*s, Rect{0, 0, 6, 4}, bitmap, Rect{0, 0, 3, 2}));
  EXPECT_EQ(Get(*s, 0, 0), 1u);
  EXPECT_EQ(Get(*s, 1, 1), 1u);
  EXPECT_EQ(Get(*s, 2, 0), 2u);
  EXPECT_EQ(Get(*s, 5, 3), 6u);
  EXPECT_FALSE(plat::GdiStretchBitmap(*s, Rect{0, 0, 6, 4}, bitmap, Rect{0, 0, 4, 2}));
  EXPECT_FALSE(plat::GdiStretchBitmap(*s, Rect{0, 0, 0, 4}, bitmap, Rect{0, 0, 3, 2}));
  plat::LoseAllSurfaces();
  EXPECT_FALSE(plat::GdiStretchBitmap(*s, Rect{0, 0, 6, 4}, bitmap, Rect{0, 0, 3, 2}));
  EXPECT_FALSE(plat::GdiStretchBlt(*s, Rect{0, 0, 1, 1}, *s, Rect{0, 0, 1, 1}));
}

// ---------------------------------------------------------------------------
// The present's conversion

uint32_t Widen(uint32_t v, int bits) {
  // Repeats the top bits until eight are filled.
  uint32_t out = 0;
  for (int filled = 0; filled < 8; filled += bits) {
    const int shift = 8 - bits - filled;
    out |= shift >= 0 ? v << shift : v >> -shift;
  }
  return out & 0xFF;
}

TEST(SurfaceConvert, EveryFormatWidensByBitReplication) {
  for (int depth : {15, 16, 24, 32}) {
    Desktop desktop(depth);
    Surface* s = desktop.Make(259, 257);  // every 16-bit value, and tails
    Paint(*s, [&](int x, int y) { return depth <= 16 ? static_cast<uint32_t>(y * 259 + x) : Mix(y * 259 + x); });
    const Rect r{1, 1, 258, 256};
    std::vector<uint32_t> out(257 * 300, 0xDEADBEEF);
    const int pitch = 300 * 4;
    ASSERT_TRUE(plat::ConvertToXrgb8888(*s, r, out.data(), pitch));
    for (int y = r.top; y < r.bottom; ++y)
      for (int x = r.left; x < r.right; ++x) {
        const uint32_t v = Get(*s, x, y);
        uint32_t want;
        if (depth == 16)
          want = Widen(v >> 11, 5) << 16 | Widen((v >> 5) & 63, 6) << 8 | Widen(v & 31, 5);
        else if (depth == 15)
          want = Widen((v >> 10) & 31, 5) << 16 | Widen((v >> 5) & 31, 5) << 8 | Widen(v & 31, 5);
        else
          want = v & 0x00FFFFFF;
        ASSERT_EQ(out[(y - 1) * 300 + x - 1], want) << depth << " at " << x << "," << y;
      }
    EXPECT_EQ(out[257], 0xDEADBEEFu);  // beyond the row
    EXPECT_FALSE(plat::ConvertToXrgb8888(*s, Rect{0, 0, 260, 1}, out.data(), pitch));
  }
  EXPECT_EQ(Widen(31, 5), 255u);
  EXPECT_EQ(Widen(63, 6), 255u);
  EXPECT_EQ(Widen(16, 5), 132u);
}

// ---------------------------------------------------------------------------
// BMP files

class BmpFiles : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = portable::MakeTempFolder("zolbeck_bmp_");
    ASSERT_FALSE(dir_.empty());
  }
  void TearDown() override {
    portable::RemoveTree(dir_);
  }
  // Writes a file and returns its name in Windows form.
  std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
    const std::string path = dir_ + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    EXPECT_NE(f, nullptr);
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    files_.push_back(path);
    std::string windows = path;
    for (char& c : windows)
      if (c == '/') c = '\\';
    return windows;
  }
  bool Load(const std::string& name, const std::vector<uint8_t>& bytes, plat::Bitmap& bitmap) {
    return plat::LoadBitmap(Write(name, bytes).c_str(), bitmap);
  }

 private:
  std::string dir_;
  std::vector<std::string> files_;
};

void Put16(std::vector<uint8_t>& b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
  Put16(b, v & 0xFFFF);
  Put16(b, v >> 16);
}

struct BmpSpec {
  int width = 0, height = 0;  // negative height: top-down
  int bits = 24;
  uint32_t compression = 0;
  std::vector<uint32_t> palette;  // 0x00RRGGBB
  std::vector<uint32_t> masks;    // bit fields after the header
  std::vector<uint8_t> data;      // pixel data as stored
};

std::vector<uint8_t> MakeBmp(const BmpSpec& s) {
  const uint32_t offset = 14 + 40 + 4 * static_cast<uint32_t>(s.masks.size() + s.palette.size());
  std::vector<uint8_t> b;
  b.push_back('B');
  b.push_back('M');
  Put32(b, offset + static_cast<uint32_t>(s.data.size()));
  Put32(b, 0);
  Put32(b, offset);
  Put32(b, 40);
  Put32(b, static_cast<uint32_t>(s.width));
  Put32(b, static_cast<uint32_t>(s.height));
  Put16(b, 1);
  Put16(b, s.bits);
  Put32(b, s.compression);
  Put32(b, static_cast<uint32_t>(s.data.size()));
  Put32(b, 2834);
  Put32(b, 2834);
  Put32(b, static_cast<uint32_t>(s.palette.size()));
  Put32(b, 0);
  for (uint32_t m : s.masks) Put32(b, m);
  for (uint32_t c : s.palette) Put32(b, c);
  b.insert(b.end(), s.data.begin(), s.data.end());
  return b;
}

constexpr int kW = 7, kH = 3;  // an odd width, so rows are padded
int Index(int x, int y, int colours) { return (x + 2 * y) % colours; }
std::vector<uint32_t> Palette(int colours) {
  std::vector<uint32_t> p;
  for (int i = 0; i < colours; ++i) p.push_back(Mix(i + 1) & 0x00FFFFFF);
  return p;
}

// Packs rows of `bits`-bit values, bottom row first unless top-down.
std::vector<uint8_t> PackRows(int bits, bool topDown, uint32_t (*value)(int x, int y)) {
  std::vector<uint8_t> out;
  const int rowBytes = (kW * bits + 31) / 32 * 4;
  for (int i = 0; i < kH; ++i) {
    const int y = topDown ? i : kH - 1 - i;
    std::vector<uint8_t> row(rowBytes, 0);
    for (int x = 0; x < kW; ++x) {
      const uint32_t v = value(x, y);
      if (bits < 8) {
        const int bit = x * bits;
        row[bit / 8] |= static_cast<uint8_t>(v << (8 - bits - bit % 8));
      } else {
        for (int k = 0; k < bits / 8; ++k) row[x * bits / 8 + k] = static_cast<uint8_t>(v >> (8 * k));
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

void ExpectPicture(const plat::Bitmap& bitmap, uint32_t (*colour)(int x, int y)) {
  ASSERT_EQ(bitmap.width, kW);
  ASSERT_EQ(bitmap.height, kH);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) ASSERT_EQ(bitmap.pixels[y * kW + x], colour(x, y)) << x << "," << y;
}

const std::vector<uint32_t> kPal2 = Palette(2), kPal16 = Palette(16), kPal256 = Palette(256);

TEST_F(BmpFiles, PaletteKindsBottomUpAndTopDown) {
  plat::Bitmap bitmap;
  for (bool topDown : {false, true}) {
    BmpSpec one{kW, topDown ? -kH : kH, 1, 0, kPal2, {},
                PackRows(1, topDown, [](int x, int y) { return static_cast<uint32_t>(Index(x, y, 2)); })};
    ASSERT_TRUE(Load("one.bmp", MakeBmp(one), bitmap));
    ExpectPicture(bitmap, [](int x, int y) { return kPal2[Index(x, y, 2)]; });

    BmpSpec four{kW, topDown ? -kH : kH, 4, 0, kPal16, {},
                 PackRows(4, topDown, [](int x, int y) { return static_cast<uint32_t>(Index(x, y, 16)); })};
    ASSERT_TRUE(Load("four.bmp", MakeBmp(four), bitmap));
    ExpectPicture(bitmap, [](int x, int y) { return kPal16[Index(x, y, 16)]; });

    BmpSpec eight{kW, topDown ? -kH : kH, 8, 0, kPal256, {},
                  PackRows(8, topDown, [](int x, int y) { return static_cast<uint32_t>(Index(x, y, 256) * 37 % 256); })};
    ASSERT_TRUE(Load("eight.bmp", MakeBmp(eight), bitmap));
    ExpectPicture(bitmap, [](int x, int y) { return kPal256[Index(x, y, 256) * 37 % 256]; });
  }
}

uint32_t Colour24(int x, int y) { return Mix(x * 10 + y) & 0x00FFFFFF; }

TEST_F(BmpFiles, TrueColourKinds) {
  plat::Bitmap bitmap;
  for (bool topDown : {false, true}) {
    BmpSpec rgb24{kW, topDown ? -kH : kH, 24, 0, {}, {}, PackRows(24, topDown, Colour24)};
    ASSERT_TRUE(Load("rgb24.bmp", MakeBmp(rgb24), bitmap));
    ExpectPicture(bitmap, Colour24);
    BmpSpec rgb32{kW, topDown ? -kH : kH, 32, 0, {}, {}, PackRows(32, topDown, Colour24)};
    ASSERT_TRUE(Load("rgb32.bmp", MakeBmp(rgb32), bitmap));
    ExpectPicture(bitmap, Colour24);
  }
}

// 16-bit pictures land on a surface of their own format unchanged.
TEST_F(BmpFiles, SixteenBitKindsComeBackExactOnTheirSurfaces) {
  static const auto value555 = [](int x, int y) { return (Mix(x * 5 + y) & 0x7FFF); };
  static const auto value565 = [](int x, int y) { return (Mix(x * 3 + y * 11) & 0xFFFF); };
  plat::Bitmap bitmap;
  {
    BmpSpec s{kW, kH, 16, 0, {}, {}, PackRows(16, false, [](int x, int y) { return value555(x, y); })};
    ASSERT_TRUE(Load("rgb555.bmp", MakeBmp(s), bitmap));
    // Widened as the old interface reads a 16-bit surface: 31 is 248.
    const uint32_t v = value555(0, 0);
    EXPECT_EQ(bitmap.pixels[0], (v >> 10 & 31) << 19 | (v >> 5 & 31) << 11 | (v & 31) << 3);
    Desktop desktop(15);
    Surface* surface = desktop.Make(kW, kH);
    ASSERT_TRUE(plat::GdiStretchBitmap(*surface, Rect{0, 0, kW, kH}, bitmap, Rect{0, 0, kW, kH}));
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) ASSERT_EQ(Get(*surface, x, y), value555(x, y));
  }
  {
    BmpSpec s{kW, -kH, 16, 3, {}, {0xF800, 0x07E0, 0x001F},
              PackRows(16, true, [](int x, int y) { return value565(x, y); })};
    ASSERT_TRUE(Load("rgb565.bmp", MakeBmp(s), bitmap));
    Desktop desktop(16);
    Surface* surface = desktop.Make(kW, kH);
    ASSERT_TRUE(plat::GdiStretchBitmap(*surface, Rect{0, 0, kW, kH}, bitmap, Rect{0, 0, kW, kH}));
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) ASSERT_EQ(Get(*surface, x, y), value565(x, y));
  }
}

// Run-length pictures: each row as short runs plus one literal stretch.
std::vector<uint8_t> Rle(int bits) {
  std::vector<uint8_t> out;
  const int colours = bits == 8 ? 256 : 16;
  for (int y = kH - 1; y >= 0; --y) {
    // Pixels 0 and 1 as a run of two of pixel 0's index... then each as its own.
    auto idx = [&](int x) { return static_cast<uint8_t>(Index(x, y, colours)); };
    int x = 0;
    // Absolute mode for the first four pixels.
    out.push_back(0);
    out.push_back(4);
    if (bits == 8) {
      for (int i = 0; i < 4; ++i) out.push_back(idx(i));
      // Four bytes: already a whole number of words.
    } else {
      out.push_back(static_cast<uint8_t>(idx(0) << 4 | idx(1)));
      out.push_back(static_cast<uint8_t>(idx(2) << 4 | idx(3)));
    }
    x = 4;
    for (; x < kW; ++x) {
      out.push_back(1);
      out.push_back(bits == 8 ? idx(x) : static_cast<uint8_t>(idx(x) << 4));
    }
    out.push_back(0);
    out.push_back(0);  // end of line
  }
  out.push_back(0);
  out.push_back(1);  // end of picture
  return out;
}

TEST_F(BmpFiles, RunLengthKinds) {
  plat::Bitmap bitmap;
  BmpSpec rle8{kW, kH, 8, 1, kPal256, {}, Rle(8)};
  ASSERT_TRUE(Load("rle8.bmp", MakeBmp(rle8), bitmap));
  ExpectPicture(bitmap, [](int x, int y) { return kPal256[Index(x, y, 256)]; });
  BmpSpec rle4{kW, kH, 4, 2, kPal16, {}, Rle(4)};
  ASSERT_TRUE(Load("rle4.bmp", MakeBmp(rle4), bitmap));
  ExpectPicture(bitmap, [](int x, int y) { return kPal16[Index(x, y, 16)]; });
}

TEST_F(BmpFiles, BadTruncatedAndLyingFilesFailCleanly) {
  plat::Bitmap bitmap;
  EXPECT_FALSE(plat::LoadBitmap("\\no\\such\\file.bmp", bitmap));
  const std::vector<uint8_t> good = MakeBmp(BmpSpec{kW, kH, 24, 0, {}, {}, PackRows(24, false, Colour24)});
  ASSERT_TRUE(Load("good.bmp", good, bitmap));

  EXPECT_FALSE(Load("empty.bmp", {}, bitmap));
  EXPECT_FALSE(Load("header.bmp", std::vector<uint8_t>(good.begin(), good.begin() + 30), bitmap));
  EXPECT_FALSE(Load("truncated.bmp", std::vector<uint8_t>(good.begin(), good.end() - 5), bitmap));
  auto lie = [&](size_t at, uint32_t value) {
    std::vector<uint8_t> b = good;
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(value >> (8 * i));
    return b;
  };
  EXPECT_FALSE(Load("wide.bmp", lie(18, 60000), bitmap));
  EXPECT_FALSE(Load("tall.bmp", lie(22, 0x7FFFFFFF), bitmap));
  EXPECT_FALSE(Load("huge.bmp", lie(18, 20000), bitmap)) << "20000 x 3 x 3 bytes are not in the file";
  EXPECT_FALSE(Load("nowidth.bmp", lie(18, 0), bitmap));
  EXPECT_FALSE(Load("offset.bmp", lie(10, 100000), bitmap));
  EXPECT_FALSE(Load("offset2.bmp", lie(10, static_cast<uint32_t>(good.size() - 10)), bitmap));
  EXPECT_FALSE(Load("header2.bmp", lie(14, 4000), bitmap));
  EXPECT_FALSE(Load("bits.bmp", lie(28, 7), bitmap));
  EXPECT_FALSE(Load("packed.bmp", lie(30, 4), bitmap)) << "JPEG inside a BMP";
  std::vector<uint8_t> notBmp = good;
  notBmp[0] = 'X';
  EXPECT_FALSE(Load("magic.bmp", notBmp, bitmap));

  // A palette that claims more colours than the bit count holds.
  BmpSpec eight{kW, kH, 8, 0, kPal256, {}, PackRows(8, false, [](int, int) { return 1u; })};
  std::vector<uint8_t> colours = MakeBmp(eight);
  colours[46] = 0x01;
  colours[47] = 0x01;  // 257 colours
  EXPECT_FALSE(Load("colours.bmp", colours, bitmap));

  // Run-length data that runs past the picture, or stops short of its end,
  // must not write or read outside it.
  std::vector<uint8_t> wild = {0, 2, 200, 9, 255, 1, 255, 1, 255, 1, 0, 255};
  for (int i = 0; i < 50; ++i) wild.insert(wild.end(), {255, 3, 0, 0});
  wild.insert(wild.end(), {0, 1});
  BmpSpec bad8{kW, kH, 8, 1, kPal256, {}, wild};
  plat::LoadBitmap(Write("wild8.bmp", MakeBmp(bad8)).c_str(), bitmap);  // either way, no crash
  BmpSpec bad4{kW, kH, 4, 2, kPal16, {}, wild};
  plat::LoadBitmap(Write("wild4.bmp", MakeBmp(bad4)).c_str(), bitmap);
  BmpSpec cut8{kW, kH, 8, 1, kPal256, {}, {0, 40, 1, 2, 3}};
  plat::LoadBitmap(Write("cut8.bmp", MakeBmp(cut8)).c_str(), bitmap);
  // Run-length data holds at most 255 pixels a byte: a kilobyte that
  // declares 8192 x 8192 pixels is refused, a picture of the longest runs
  // is not.
  BmpSpec huge8{8192, 8192, 8, 1, kPal256, {}, std::vector<uint8_t>(1024, 0)};
  EXPECT_FALSE(Load("huge8.bmp", MakeBmp(huge8), bitmap));
  BmpSpec huge4{8192, 8192, 4, 2, kPal16, {}, std::vector<uint8_t>(1024, 0)};
  EXPECT_FALSE(Load("huge4.bmp", MakeBmp(huge4), bitmap));
  std::vector<uint8_t> longRuns;
  for (int row = 0; row < 2; ++row) longRuns.insert(longRuns.end(), {255, 7, 255, 7, 255, 7, 255, 7, 0, 0});
  longRuns.insert(longRuns.end(), {0, 1});
  BmpSpec long8{1020, 2, 8, 1, kPal256, {}, longRuns};
  ASSERT_TRUE(Load("long8.bmp", MakeBmp(long8), bitmap));
  EXPECT_EQ(bitmap.pixels[1019], kPal256[7]);
  // Run-length pictures cannot be top-down.
  BmpSpec down8{kW, -kH, 8, 1, kPal256, {}, Rle(8)};
  EXPECT_FALSE(Load("down8.bmp", MakeBmp(down8), bitmap));
}

}  // namespace
