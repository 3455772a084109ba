// The old graphics interface's calls on surfaces (colours rounded to the
// channels and read back, stretched pictures) and the present's conversion.
#include <gtest/gtest.h>

#include <cstdint>
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
using surfacetest::Paint;
using surfacetest::Mix;
using surfacetest::kInvalidColour;

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

}  // namespace
