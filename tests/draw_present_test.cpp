// The present with its fade and scroll view, the recovery of lost surfaces,
// and the screen capture to a BMP file.
#include <cstdlib>

#include "draw_fixture.h"
#include "portable.h"

namespace {

using drawtest::DrawFixture;
using drawtest::Le16;
using drawtest::Le32;
using drawtest::ProgramSubfolder;
using drawtest::ReadFileBytes;
using drawtest::WriteBmp24;
using elDraw::screen;

class PresentTest : public DrawFixture {};

TEST_F(PresentTest, FadeCoversOnlyTheTopLeft640x480AndStepsToTheEnd) {
  // Ten 64 x 48 frames side by side; frame k is painted k + 1.
  int pattern = MakeSprite(640, 48, [](int x, int) { return static_cast<uint32_t>(x / 64 + 1); });
  elDraw::fadePattern = pattern;
  elDraw::FadeOut();
  uint32_t presents = plat::PresentCount();
  for (int level = 1; level <= 10; ++level) {
    ASSERT_EQ(elDraw::fadeLevel, level);
    elDraw::Clear();
    elDraw::Present();
    EXPECT_EQ(BackPixel(0, 0), static_cast<uint32_t>(level));
    EXPECT_EQ(BackPixel(639, 479), static_cast<uint32_t>(level));
    EXPECT_EQ(BackPixel(320, 240), static_cast<uint32_t>(level));
    EXPECT_EQ(CountOutside(0, 0, 640, 480), 0) << level;
  }
  EXPECT_EQ(elDraw::fadeLevel, 0);
  EXPECT_EQ(elDraw::fadeDirection, 0);
  EXPECT_EQ(plat::PresentCount(), presents + 10);
  elDraw::Clear();
  elDraw::Present();
  EXPECT_EQ(CountNonZero(), 0);

  elDraw::FadeIn();
  for (int level = 10; level >= 1; --level) {
    ASSERT_EQ(elDraw::fadeLevel, level);
    ASSERT_EQ(elDraw::fadeDirection, -1);
    elDraw::Present();
    EXPECT_EQ(BackPixel(100, 100), static_cast<uint32_t>(level));
  }
  EXPECT_EQ(elDraw::fadeLevel, 0);
  EXPECT_EQ(elDraw::fadeDirection, 0);
}

class ScrollViewTest : public DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    // The picture's rows tell their number; the tile is one flat value.
    picture = MakeSprite(800, 1000, [](int, int y) { return static_cast<uint32_t>(y + 1); });
    tile = MakeSprite(64, 48, [](int, int) { return 0xABCDu; });
    elDraw::scrollView.picture = picture;
    elDraw::scrollView.tile = tile;
    elSystem::dt = 1.0f;
  }
  int picture = 0, tile = 0;
};

TEST_F(ScrollViewTest, ShowsOnlyWithAPictureHeight) {
  elDraw::ToggleScrollView();
  EXPECT_EQ(elDraw::scrollViewShown, 0);
  elDraw::scrollView.pictureHeight = 1000;
  elDraw::ToggleScrollView();
  EXPECT_EQ(elDraw::scrollViewShown, 1);
  elDraw::ToggleScrollView();
  EXPECT_EQ(elDraw::scrollViewShown, 0);
}

TEST_F(ScrollViewTest, ArrowKeysScrollAndTheScrollStaysOnThePicture) {
  elDraw::scrollView.pictureHeight = 1000;
  elDraw::ToggleScrollView();
  elSystem::scrollViewKey = 40;  // down, 100 a second
  elDraw::Present();
  EXPECT_FLOAT_EQ(elDraw::scrollView.scroll, 100.0f);
  elDraw::Present();
  EXPECT_EQ(BackPixel(0, 0), 101u);  // drawn from the scroll before the move
  EXPECT_EQ(BackPixel(0, 599), 700u);
  for (int i = 0; i < 5; ++i) elDraw::Present();
  EXPECT_FLOAT_EQ(elDraw::scrollView.scroll, 400.0f);  // 1000 - 600
  elSystem::scrollViewKey = 38;                        // up, 100
  elDraw::Present();
  EXPECT_FLOAT_EQ(elDraw::scrollView.scroll, 300.0f);
  elSystem::scrollViewKey = 37;  // left, 300
  elDraw::Present();
  EXPECT_FLOAT_EQ(elDraw::scrollView.scroll, 0.0f);
  elDraw::Present();
  EXPECT_FLOAT_EQ(elDraw::scrollView.scroll, 0.0f);
  elSystem::scrollViewKey = 39;  // right, 300
  elDraw::Present();
  EXPECT_FLOAT_EQ(elDraw::scrollView.scroll, 300.0f);
  elSystem::scrollViewKey = 0;
  elDraw::Present();
  EXPECT_FLOAT_EQ(elDraw::scrollView.scroll, 300.0f);

  // A picture shorter than the window: the top bound is applied first, so
  // the bottom bound wins and the scroll ends above the picture.
  elDraw::scrollView.pictureHeight = 500;
  elDraw::Present();
  EXPECT_FLOAT_EQ(elDraw::scrollView.scroll, -100.0f);
}

TEST_F(ScrollViewTest, TilesDriftAndWrapWithinOneTile) {
  elDraw::scrollView.pictureHeight = 1000;
  elDraw::ToggleScrollView();
  for (int i = 0; i < 7; ++i) elDraw::Present();
  EXPECT_FLOAT_EQ(elDraw::scrollView.tileX, -6.0f);   // -70 + 64
  EXPECT_FLOAT_EQ(elDraw::scrollView.tileY, -22.0f);  // -70 + 48
}

TEST_F(ScrollViewTest, NothingIsDrawnOutsideASmallerWindow) {
  // Move the picture away so that the tiles show through the key.
  Paint(SpriteSurface(picture),
        [](int x, int y) { return x < 50 ? static_cast<uint32_t>(y + 1) : 0u; });
  elDraw::scrollView.pictureHeight = 1000;
  elDraw::ToggleScrollView();
  elDraw::SetClip(100, 100, 300, 200);
  elDraw::Present();
  EXPECT_EQ(CountOutside(100, 100, 300, 200), 0);
  EXPECT_EQ(BackPixel(100, 100), 1u);
  EXPECT_EQ(BackPixel(149, 199), 100u);
  EXPECT_EQ(BackPixel(150, 100), 0xABCDu);
  EXPECT_EQ(BackPixel(299, 199), 0xABCDu);
  elDraw::scrollView.scroll = 850.0f;
  elSystem::scrollViewKey = 40;
  elDraw::Present();
  EXPECT_FLOAT_EQ(elDraw::scrollView.scroll, 900.0f);  // 1000 - the window's 100 rows
}

class RestoreTest : public DrawFixture {};

TEST_F(RestoreTest, PresentAfterALossReloadsNamedSpritesAndKeepsEmptyOnesTheirSize) {
  ProgramSubfolder folder;
  auto colours = [](int x, int y) {
    return x == 0 && y == 0 ? 0xFF00FFu : (x * 40) << 16 | (y * 60);
  };
  WriteBmp24(folder.RealPath("a.bmp"), 6, 4, colours);
  WriteBmp24(folder.RealPath("b.bmp"), 5, 3, colours);
  int black = elDraw::LoadObject(folder.Name("a.bmp").c_str(), 2);
  elDraw::UseTopLeftColorKey();
  int topLeft = elDraw::LoadObject(folder.Name("b.bmp").c_str(), 2);
  elDraw::SetColorKey(0);
  int empty = MakeSprite(16, 8, [](int, int) { return 0x1234u; });
  ASSERT_GE(black, 4);
  ASSERT_GE(topLeft, 4);
  ASSERT_NE(SpriteSurface(black).pixels, nullptr);
  EXPECT_EQ(Pixel(SpriteSurface(black), 1, 0), plat::ColourToPixel(Back().format, 40));  // red 40
  std::vector<uint32_t> before;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) before.push_back(Pixel(SpriteSurface(black), x, y));
  }
  uint32_t topLeftKey = SpriteSurface(topLeft).keyLow;
  elDraw::SetColorKey(0x00FF0000);  // something else, to see the reload set it

  plat::LoseAllSurfaces();
  elDraw::Present();

  for (int slot : {black, topLeft, empty}) {
    ASSERT_NE(elDraw::SpriteTable[slot].surface, nullptr);
    EXPECT_FALSE(plat::IsLost(SpriteSurface(slot))) << slot;
  }
  EXPECT_FALSE(plat::IsLost(Back()));
  EXPECT_FALSE(plat::IsLost(*screen.frontScreen));
  for (int i = 0; i < 4; ++i) EXPECT_FALSE(plat::IsLost(SpriteSurface(i))) << i;
  size_t at = 0;
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Pixel(SpriteSurface(black), x, y), before[at++]);
  }
  EXPECT_EQ(SpriteSurface(black).keyLow, 0u);
  EXPECT_EQ(SpriteSurface(topLeft).keyLow, topLeftKey);
  EXPECT_EQ(elDraw::SpriteTable[topLeft].keySetting, -1);
  // The global setting holds the key of the last slot reloaded.
  EXPECT_EQ(elDraw::colorKeySetting.fromTopLeft, 0);
  EXPECT_EQ(elDraw::colorKeySetting.keyColour, -1);
  // The empty sprite comes back with its size and without its content.
  EXPECT_EQ(std::string(elDraw::SpriteTable[empty].name), "*");
  EXPECT_EQ(SpriteSurface(empty).width, 16);
  EXPECT_EQ(SpriteSurface(empty).height, 8);
  EXPECT_NE(Pixel(SpriteSurface(empty), 3, 3), 0x1234u);
}

TEST_F(RestoreTest, AnyDrawThatMeetsALossRestores) {
  int s = MakeSprite(8, 8, [](int, int) { return 9u; });
  plat::LoseAllSurfaces();
  elDraw::Draw(0, 0, s, 0, 0, 8, 8);
  EXPECT_FALSE(plat::IsLost(Back()));
  EXPECT_FALSE(plat::IsLost(SpriteSurface(s)));
  plat::LoseAllSurfaces();
  elDraw::Clear();
  EXPECT_FALSE(plat::IsLost(Back()));
  plat::LoseAllSurfaces();
  elDraw::GrabScreen(s, 0, 0, 8, 8);
  EXPECT_FALSE(plat::IsLost(SpriteSurface(s)));
}

TEST_F(RestoreTest, FadePatternAndScrollViewLoadWithABlackKey) {
  ProgramSubfolder folder;
  WriteBmp24(folder.RealPath("fade.bmp"), 640, 48,
             [](int x, int) { return x < 64 ? 0u : 0xFFFFFFu; });
  WriteBmp24(folder.RealPath("pic.bmp"), 8, 8, [](int, int) { return 0x808080u; });
  WriteBmp24(folder.RealPath("pic2.bmp"), 8, 12, [](int, int) { return 0x404040u; });
  WriteBmp24(folder.RealPath("tile.bmp"), 64, 48, [](int, int) { return 0xFFFFFFu; });
  elDraw::UseTopLeftColorKey();
  int pattern = elDraw::LoadFadePattern(folder.Name("fade.bmp").c_str());
  ASSERT_GE(pattern, 4);
  EXPECT_EQ(elDraw::fadePattern, pattern);
  EXPECT_EQ(elDraw::SpriteTable[pattern].keySetting, 0);

  elDraw::UseTopLeftColorKey();
  elDraw::LoadScrollView(folder.Name("pic.bmp").c_str(), folder.Name("tile.bmp").c_str(), 8);
  int picture = elDraw::scrollView.picture, tile = elDraw::scrollView.tile;
  EXPECT_GE(picture, 4);
  EXPECT_GE(tile, 4);
  EXPECT_EQ(elDraw::SpriteTable[tile].keySetting, 0);
  elDraw::scrollView.scroll = 5.0f;
  elDraw::LoadScrollView(folder.Name("pic2.bmp").c_str(), folder.Name("tile.bmp").c_str(), 12);
  EXPECT_EQ(elDraw::scrollView.picture, picture);
  EXPECT_EQ(elDraw::scrollView.tile, tile);
  EXPECT_EQ(elDraw::SpriteTable[picture].height, 12);
  EXPECT_EQ(elDraw::scrollView.pictureHeight, 12);
  EXPECT_FLOAT_EQ(elDraw::scrollView.scroll, 0.0f);
  elDraw::ResetScrollViewSprites();
  EXPECT_EQ(elDraw::scrollView.picture, 0);
  EXPECT_EQ(elDraw::scrollView.tile, 0);
}

// ---------------------------------------------------------------------------
// Screen capture

class SaveBmpTest : public DrawFixture {
 protected:
  // Checks the header of a W x H capture and returns the file's bytes.
  static std::vector<uint8_t> ReadCapture(const std::string& path, int width, int height) {
    std::vector<uint8_t> b = ReadFileBytes(path);
    uint32_t rowSize = (width * 3 + 3) & ~3;
    EXPECT_EQ(b.size(), 58 + rowSize * height);
    if (b.size() < 58) return b;
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(Le32(b, 2), b.size());
    EXPECT_EQ(Le32(b, 6), 0u);
    EXPECT_EQ(Le32(b, 10), 58u);
    EXPECT_EQ(Le32(b, 14), 40u);
    EXPECT_EQ(Le32(b, 18), static_cast<uint32_t>(width));
    EXPECT_EQ(Le32(b, 22), static_cast<uint32_t>(height));
    EXPECT_EQ(Le16(b, 26), 1u);
    EXPECT_EQ(Le16(b, 28), 24u);
    EXPECT_EQ(Le32(b, 30), 0u);
    EXPECT_EQ(Le32(b, 34), rowSize * height);
    EXPECT_EQ(Le32(b, 38), 2834u);
    EXPECT_EQ(Le32(b, 42), 2834u);
    EXPECT_EQ(Le32(b, 46), 0u);
    EXPECT_EQ(Le32(b, 50), 0u);
    EXPECT_EQ(Le32(b, 54), 0u);
    return b;
  }
};

TEST_F(SaveBmpTest, TenPixelsWideWritesPaddedRowsBottomUp) {
  ProgramSubfolder folder;
  SetPixel(Back(), 0, 2, 0xFFFF);  // bottom row of the capture: first in the file
  SetPixel(Back(), 9, 2, 0x0841);  // 1, 2, 1 in 5/6/5 bits: 8, 8, 8
  SetPixel(Back(), 0, 0, 0xF800);
  SetPixel(Back(), 1, 0, 0x07E0);
  SetPixel(Back(), 2, 0, 0x0020);   // the lowest green bit is lost in five bits
  SetPixel(Back(), 10, 0, 0xFFFF);  // outside the capture
  ASSERT_EQ(elDraw::SaveBmp(folder.Name("shot.bmp").c_str(), 10, 3), 1);
  std::vector<uint8_t> b = ReadCapture(folder.RealPath("shot.bmp"), 10, 3);
  ASSERT_EQ(b.size(), 58u + 32 * 3);
  const uint8_t* bottom = &b[58];
  const uint8_t* top = &b[58 + 64];
  EXPECT_EQ(bottom[0], 248);
  EXPECT_EQ(bottom[1], 248);
  EXPECT_EQ(bottom[2], 248);
  EXPECT_EQ(bottom[27], 8);
  EXPECT_EQ(bottom[28], 8);
  EXPECT_EQ(bottom[29], 8);
  for (int row = 0; row < 3; ++row) {
    EXPECT_EQ(b[58 + 32 * row + 30], 0);
    EXPECT_EQ(b[58 + 32 * row + 31], 0);
  }
  const uint8_t expectedTop[9] = {0, 0, 248, 0, 248, 0, 0, 0, 0};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(top[i], expectedTop[i]) << i;
  EXPECT_EQ(top[27], 0);
}

TEST_F(SaveBmpTest, CaptureToAPathWritesTheSameBytes) {
  ProgramSubfolder folder;
  Paint(Back(), [](int x, int y) { return static_cast<uint32_t>((x * 7 + y * 311) & 0xFFFF); });
  ASSERT_EQ(elDraw::SaveBmp(folder.Name("a.bmp").c_str(), 33, 17), 1);
  ASSERT_EQ(elDraw::SaveBmpToPath(folder.RealPath("b.bmp").c_str(), 33, 17), 1);
  std::vector<uint8_t> a = ReadCapture(folder.RealPath("a.bmp"), 33, 17);
  EXPECT_EQ(a, ReadFileBytes(folder.RealPath("b.bmp")));
  EXPECT_EQ(elDraw::SaveBmpToPath(folder.RealPath("missing/c.bmp").c_str(), 33, 17), 0);
  // A name that cannot be opened in the program folder writes nothing and
  // still succeeds.
  EXPECT_EQ(elDraw::SaveBmp(folder.Name("missing\\c.bmp").c_str(), 33, 17), 1);
}

TEST_F(SaveBmpTest, ALostBackScreenWritesNoFile) {
  ProgramSubfolder folder;
  plat::LoseAllSurfaces();
  EXPECT_EQ(elDraw::SaveBmp(folder.Name("lost.bmp").c_str(), 10, 10), 0);
  EXPECT_FALSE(std::filesystem::exists(folder.RealPath("lost.bmp")));
}

TEST_F(SaveBmpTest, AnAreaLargerThanTheScreenIsKeptToTheScreen) {
  ProgramSubfolder folder;
  ASSERT_EQ(elDraw::SaveBmp(folder.Name("big.bmp").c_str(), 900, 700), 1);
  ReadCapture(folder.RealPath("big.bmp"), 800, 600);
}

class SaveBmp555Test : public SaveBmpTest {
 protected:
  int Depth() const override { return 15; }
};

TEST_F(SaveBmp555Test, FiveBitChannelsGoThroughTheTable) {
  ProgramSubfolder folder;
  SetPixel(Back(), 0, 0, 0x7FFF);
  SetPixel(Back(), 1, 0, 0x7C00);
  SetPixel(Back(), 2, 0, 0x0021);  // green 1, blue 1
  ASSERT_EQ(elDraw::SaveBmp(folder.Name("s.bmp").c_str(), 3, 1), 1);
  std::vector<uint8_t> b = ReadCapture(folder.RealPath("s.bmp"), 3, 1);
  ASSERT_EQ(b.size(), 58u + 12);
  const uint8_t expected[9] = {248, 248, 248, 0, 0, 248, 8, 8, 0};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(b[58 + i], expected[i]) << i;
}

class SaveBmp32Test : public SaveBmpTest {
 protected:
  int Depth() const override { return 32; }
};

TEST_F(SaveBmp32Test, EachChannelIsTheLowByteAfterItsShift) {
  ProgramSubfolder folder;
  SetPixel(Back(), 0, 1, 0x00123456);
  SetPixel(Back(), 1, 1, 0xFFFFFFFF);
  SetPixel(Back(), 0, 0, 0x00FF0000);
  ASSERT_EQ(elDraw::SaveBmp(folder.Name("s.bmp").c_str(), 2, 2), 1);
  std::vector<uint8_t> b = ReadCapture(folder.RealPath("s.bmp"), 2, 2);
  ASSERT_EQ(b.size(), 58u + 16);
  const uint8_t bottom[6] = {0x56, 0x34, 0x12, 0xFF, 0xFF, 0xFF};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(b[58 + i], bottom[i]) << i;
  EXPECT_EQ(b[58 + 8 + 0], 0);
  EXPECT_EQ(b[58 + 8 + 2], 0xFF);
}

class SaveBmp24Test : public SaveBmpTest {
 protected:
  int Depth() const override { return 24; }
};

TEST_F(SaveBmp24Test, OtherDepthsWriteNoFile) {
  ProgramSubfolder folder;
  EXPECT_EQ(elDraw::SaveBmp(folder.Name("s.bmp").c_str(), 2, 2), 1);
  EXPECT_FALSE(std::filesystem::exists(folder.RealPath("s.bmp")));
}

// The --screenshot option saves the back screen after the last frame pass.
TEST(ScreenshotOptionTest, HeadlessRunWritesAFullScreenCapture) {
  const std::string folder = std::filesystem::temp_directory_path().string();
  std::string path = folder + "/zolbeck-shot-" + std::to_string(portable::ProcessId()) + ".bmp";
  // Another copy of the program (a parallel test) may hold the instance lock
  // for a moment; this one then gives way without a frame.
  for (int attempt = 0; attempt < 20 && !std::filesystem::exists(path); ++attempt) {
    portable::RunProgram(ZOLBECK_EXE, {"--headless", "--frames", "2", "--screenshot", path}, folder,
                         path + ".err", 60000);
    std::filesystem::remove(path + ".err");
    if (!std::filesystem::exists(path)) portable::SleepMs(200);
  }
  std::vector<uint8_t> b = ReadFileBytes(path);
  std::filesystem::remove(path);
  ASSERT_EQ(b.size(), 58u + 2400 * 600);
  EXPECT_EQ(Le32(b, 10), 58u);
  EXPECT_EQ(Le32(b, 18), 800u);
  EXPECT_EQ(Le32(b, 22), 600u);
  EXPECT_EQ(Le16(b, 28), 24u);
}

}  // namespace
