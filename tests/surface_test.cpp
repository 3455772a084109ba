// The software surfaces: formats, blit rectangle rules, colour keys, fills,
// stretching and lost surfaces.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/platform.h"
#include "platform/image/surface.h"
#include "surface_fixture.h"

namespace {

using plat::Rect;
using plat::Result;
using plat::Surface;
using surfacetest::Desktop;
using surfacetest::Get;
using surfacetest::Put;
using surfacetest::Paint;
using surfacetest::Snapshot;
using surfacetest::Mix;
using surfacetest::kInvalidColour;

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

}  // namespace
