// BMP decoding: every palette, true-colour, 16-bit and run-length kind,
// and files that are bad, truncated or lie about themselves.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/image/surface.h"
#include "portable.h"
#include "surface_fixture.h"

namespace {

using plat::Rect;
using plat::Result;
using plat::Surface;
using surfacetest::Desktop;
using surfacetest::Get;
using surfacetest::Mix;

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
