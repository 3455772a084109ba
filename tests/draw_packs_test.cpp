// Sprite packs: the bytes Convert writes, and what LoadPack and SwapPack
// make of them, including files that lie about their contents.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "draw_fixture.h"
#include "platform/headless/headless.h"

namespace {

using drawtest::DrawFixture;
using drawtest::ProgramSubfolder;
using Bytes = std::vector<uint8_t>;

const std::string kNotFound = "BMPファイルを読み込めません";

void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// One pack entry: width, height, name and 15-bit pixels.
Bytes Entry(int width, int height, const std::string& name, const std::vector<uint16_t>& pixels) {
  Bytes b = {static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8), static_cast<uint8_t>(height),
             static_cast<uint8_t>(height >> 8)};
  for (char c : name) b.push_back(static_cast<uint8_t>(c));
  b.push_back(0);
  for (uint16_t v : pixels) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
  }
  return b;
}
Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// (8, 8, 8), (4, 4, 4), black and white, as a 2 x 2 picture.
uint32_t Corners(int x, int y) {
  static const uint32_t c[4] = {0x080808, 0x040404, 0x000000, 0xFFFFFF};
  return c[y * 2 + x];
}

class PackTest : public DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    elDraw::SetPackFile(folder.Name("test.pak").c_str());
  }
  std::string LastBox() const { return plat::headless::LastBoxText(); }
  ProgramSubfolder folder;
};

class ConvertTest : public PackTest {
 protected:
  int Depth() const override { return 32; }
};

TEST_F(ConvertTest, WritesSizeUpperCaseNameAndFifteenBitPixels) {
  // The pictures and the pack share the test's folder; the pack is no BMP.
  drawtest::WriteBmp24(folder.RealPath("item.bmp"), 2, 2, Corners);
  std::string sub = folder.Name("");
  sub.pop_back();  // the folder without its closing backslash
  const std::string pack = folder.Name("test.pak");
  ASSERT_EQ(elDraw::Convert(pack.c_str(), sub.c_str(), 1), 1);
  const Bytes want = Entry(2, 2, "ITEM.BMP", {0x0421, 0x0001, 0x0000, 0x7FFF});
  EXPECT_EQ(drawtest::ReadFileBytes(folder.RealPath("test.pak")), want);

  // Without replace the pictures are appended again: every entry twice.
  ASSERT_EQ(elDraw::Convert(pack.c_str(), sub.c_str(), 0), 1);
  EXPECT_EQ(drawtest::ReadFileBytes(folder.RealPath("test.pak")), want + want);
  // Replace starts the pack anew.
  ASSERT_EQ(elDraw::Convert(pack.c_str(), sub.c_str(), 1), 1);
  EXPECT_EQ(drawtest::ReadFileBytes(folder.RealPath("test.pak")), want);
}

TEST_F(PackTest, LoadsOnA565ScreenWithChannelsAtTheTop) {
  WriteFile(folder.RealPath("test.pak"), Entry(2, 2, "ITEM.BMP", {0x0421, 0x0001, 0x0000, 0x7FFF}));
  // Any case finds the upper-case entry.
  const int slot = elDraw::LoadPack("item.bmp", 2);
  ASSERT_GE(slot, elDraw::kFirstLoadableSprite);
  const elDraw::SpriteSlot& s = elDraw::SpriteTable[slot];
  EXPECT_STREQ(s.name, "ITEM.BMP");
  EXPECT_EQ(s.packFlag, 1);
  EXPECT_EQ(s.width, 2);
  EXPECT_EQ(s.height, 2);
  EXPECT_EQ(Pixel(SpriteSurface(slot), 0, 0), 0x0841u);
  EXPECT_EQ(Pixel(SpriteSurface(slot), 1, 0), 0x0001u);
  EXPECT_EQ(Pixel(SpriteSurface(slot), 0, 1), 0x0000u);
  EXPECT_EQ(Pixel(SpriteSurface(slot), 1, 1), 0xFFDFu);  // green 62 of 63
  EXPECT_EQ(SpriteSurface(slot).keyLow, 0u);  // black stays the key
}

TEST_F(PackTest, TheFirstOfTwoEqualNamesWinsAndFoldersFindNothing) {
  WriteFile(folder.RealPath("test.pak"),
            Entry(1, 1, "A.BMP", {0x7C00}) + Entry(1, 1, "A.BMP", {0x001F}));
  const int slot = elDraw::LoadPack("a.bmp", 2);
  ASSERT_NE(slot, 0);
  EXPECT_EQ(Pixel(SpriteSurface(slot), 0, 0), 0xF800u);
  EXPECT_EQ(elDraw::LoadPack("BMP\\A.BMP", 2), 0);
  EXPECT_EQ(LastBox(), "elDraw::LoadPack : " + kNotFound);
}

TEST_F(PackTest, ErrorBoxes) {
  EXPECT_EQ(elDraw::Convert("x.pak", "", 1), 0);  // a 16-bit desktop
  EXPECT_EQ(LastBox(), "elDraw::Convert : 画面をフルカラーにして下さい");
  elDraw::SetPackFile("");
  EXPECT_EQ(elDraw::LoadPack("A.BMP", 2), 0);
  EXPECT_EQ(LastBox(), "elDraw::LoadPack : パックファイル名が指定されていません");
  elDraw::SetPackFile(folder.Name("missing.pak").c_str());
  EXPECT_EQ(elDraw::SwapPack("A.BMP", 4, 2), 0);
  EXPECT_EQ(LastBox(), "elDraw::SwapPack : パックファイル名が指定されていません");
}

// Files that end early or lie about their sizes: an error box, no slot
// taken, nothing read past the end.
TEST_F(PackTest, LyingFilesAreRefused) {
  const Bytes good = Entry(1, 1, "A.BMP", {0x7FFF});
  const struct {
    const char* what;
    Bytes bytes;
  } cases[] = {
      {"empty file", {}},
      {"half a size", {0x02}},
      {"name without its zero", {1, 0, 1, 0, 'A', '.', 'B', 'M', 'P'}},
      {"pixels past the end", Bytes{2, 0, 2, 0, 'A', '.', 'B', 'M', 'P', 0, 0xFF, 0x7F}},
      {"zero width", Entry(0, 5, "A.BMP", {})},
      {"zero height", Entry(5, 0, "A.BMP", {})},
      {"the largest size with no pixels", Entry(65535, 65535, "A.BMP", {1, 2, 3})},
      {"an earlier entry reaching past the end", Entry(65535, 65535, "B.BMP", {}) + good},
      {"a stored name longer than any request", Entry(1, 1, std::string(300, 'A'), {0}) + Bytes{1}},
  };
  for (const auto& c : cases) {
    WriteFile(folder.RealPath("test.pak"), c.bytes);
    EXPECT_EQ(elDraw::LoadPack("A.BMP", 2), 0) << c.what;
    EXPECT_EQ(LastBox(), "elDraw::LoadPack : " + kNotFound) << c.what;
    EXPECT_EQ(elDraw::SpriteTable[elDraw::kFirstLoadableSprite].name[0], '\0') << c.what;
  }
  // The same reader finds an honest entry behind a long name.
  WriteFile(folder.RealPath("test.pak"), Entry(1, 1, std::string(300, 'A'), {0}) + good);
  EXPECT_NE(elDraw::LoadPack("A.BMP", 2), 0);
}

TEST_F(PackTest, SwapPackAndARestoredSlotShowTheirPictureAgain) {
  WriteFile(folder.RealPath("test.pak"),
            Entry(1, 1, "A.BMP", {0x7C00}) + Entry(3, 2, "B.BMP", {0x03E0, 0, 0, 0, 0, 0x001F}));
  const int slot = elDraw::LoadPack("A.BMP", 2);
  ASSERT_NE(slot, 0);
  EXPECT_EQ(elDraw::SwapPack("b.bmp", slot, 2), slot);
  EXPECT_STREQ(elDraw::SpriteTable[slot].name, "B.BMP");
  EXPECT_EQ(elDraw::SpriteTable[slot].width, 3);
  EXPECT_EQ(elDraw::SpriteTable[slot].height, 2);

  plat::LoseAllSurfaces();
  elDraw::Restore();
  EXPECT_EQ(Pixel(SpriteSurface(slot), 0, 0), 0x07C0u);
  EXPECT_EQ(Pixel(SpriteSurface(slot), 2, 1), 0x001Fu);
  EXPECT_EQ(elDraw::SpriteTable[slot].packFlag, 1);
}

// On screens of more than 16 bits each 5-bit channel also goes to the top
// of its channel.
TEST_F(ConvertTest, LoadsOnA32BitScreen) {
  WriteFile(folder.RealPath("test.pak"), Entry(2, 1, "A.BMP", {0x7FFF, 0x0421}));
  const int slot = elDraw::LoadPack("A.BMP", 2);
  ASSERT_NE(slot, 0);
  EXPECT_EQ(Pixel(SpriteSurface(slot), 0, 0), 0xF8F8F8u);
  EXPECT_EQ(Pixel(SpriteSurface(slot), 1, 0), 0x080808u);
}

}  // namespace
