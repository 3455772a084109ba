// The screen set-up over the headless backend: pixel formats, lookup tables,
// internal sprites, the error box, release and the windowed depth check.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "draw/eldraw.h"
#include "draw_fixture.h"
#include "platform/headless/headless.h"
#include "platform/platform.h"
#include "platform/image/surface.h"
#include "shell/elsystem.h"
#include "portable.h"

namespace {

using ::testing::StartsWith;

class DrawScreenTest : public ::testing::Test {
 protected:
  void StartDesktop(int depth) {
    ASSERT_TRUE(drawtest::StartWindowedDesktop(depth));
    started_ = true;
  }

  void StopDesktop() {
    if (!started_) return;
    if (elSystem::cursorClipped) elSystem::ReleaseCursorClip();
    elSystem::clipCursorMode = 0;
    elDraw::Release();
    elSystem::StopTimer();
    plat::Stop();
    started_ = false;
  }

  void TearDown() override { StopDesktop(); }

  bool started_ = false;
};

void ExpectFormat(const elDraw::PixelFormatInfo& f, std::array<int, 3> shift,
                  std::array<uint32_t, 3> maxValue, std::array<int, 3> place5, uint32_t halfMask,
                  uint32_t fullMask) {
  for (int ch = 0; ch < 3; ++ch) {
    SCOPED_TRACE(ch);
    EXPECT_EQ(f.shift[ch], shift[ch]);
    EXPECT_EQ(f.maxValue[ch], maxValue[ch]);
    EXPECT_EQ(f.place5[ch], place5[ch]);
    EXPECT_EQ(f.mask[ch], maxValue[ch] << shift[ch]);
  }
  EXPECT_EQ(f.halfMask, halfMask);
  EXPECT_EQ(f.halfMaskPair, halfMask << 16 | halfMask);
  EXPECT_EQ(f.fullMask, fullMask);
}

// ---------------------------------------------------------------------------
// Set-up

TEST_F(DrawScreenTest, OpensWindowedScreenWithSurfacesAndInternalSprites) {
  StartDesktop(16);
  elSystem::clientLeft = 100;
  elSystem::clientTop = 50;
  elDraw::SpriteTable[300].name[0] = 'x';  // left over: the set-up empties the table
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);

  const elDraw::ScreenState& s = elDraw::screen;
  EXPECT_TRUE(s.directDraw);
  EXPECT_EQ(s.errorFlag, 0);
  EXPECT_EQ(s.hardware3D, 0);
  EXPECT_EQ(s.canStretch, 1);
  EXPECT_TRUE(s.clipper);
  EXPECT_EQ(s.depth, 16);
  ASSERT_NE(s.frontScreen, nullptr);
  EXPECT_TRUE(s.frontScreen->primary);
  ASSERT_NE(s.backScreen, nullptr);
  EXPECT_EQ(s.backScreen->width, 800);
  EXPECT_EQ(s.backScreen->height, 600);
  EXPECT_EQ(s.clipRect.left, 0);
  EXPECT_EQ(s.clipRect.top, 0);
  EXPECT_EQ(s.clipRect.right, 800);
  EXPECT_EQ(s.clipRect.bottom, 600);
  EXPECT_EQ(s.presentSource.right, 800);
  EXPECT_EQ(s.presentSource.bottom, 600);
  EXPECT_EQ(elSystem::clientRect.left, 100);
  EXPECT_EQ(elSystem::clientRect.top, 50);
  EXPECT_EQ(elSystem::clientRect.right, 900);
  EXPECT_EQ(elSystem::clientRect.bottom, 650);

  const char* names[4] = {"内部用１", "内部用２", "内部用３", "内部用４"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    const elDraw::SpriteSlot& slot = elDraw::SpriteTable[i];
    ASSERT_NE(slot.surface, nullptr);
    EXPECT_STREQ(slot.name, names[i]);
    EXPECT_EQ(slot.width, 800);
    EXPECT_EQ(slot.height, 600);
    EXPECT_EQ(slot.surface->width, 800);
    EXPECT_EQ(slot.surface->height, 600);
    EXPECT_EQ(slot.packFlag, 0);
    EXPECT_EQ(slot.memoryKind, 2);
    EXPECT_EQ(slot.keySetting, 0);
    EXPECT_TRUE(slot.surface->hasKey);
    EXPECT_EQ(slot.surface->keyLow, 0u);
    EXPECT_EQ(slot.surface->keyHigh, 0u);
  }
  for (int i = 4; i < elDraw::kSpriteCount; ++i) {
    const elDraw::SpriteSlot& slot = elDraw::SpriteTable[i];
    ASSERT_EQ(slot.surface, nullptr) << i;
    ASSERT_EQ(slot.name[0], '\0') << i;
  }
}

TEST_F(DrawScreenTest, WidthMinusOneTakesTheClientSize) {
  StartDesktop(16);
  elSystem::clientWidth = 640;
  elSystem::clientHeight = 480;
  ASSERT_EQ(elDraw::Screen(-1, 123, 1), 1);
  EXPECT_EQ(elDraw::screen.width, 640);
  EXPECT_EQ(elDraw::screen.height, 480);
  EXPECT_EQ(elDraw::screen.backScreen->width, 640);
  EXPECT_EQ(elDraw::screen.backScreen->height, 480);
  EXPECT_EQ(elDraw::screen.clipRect.right, 640);
  EXPECT_EQ(elDraw::screen.clipRect.bottom, 480);
  EXPECT_EQ(elDraw::screen.presentSource.right, 640);
  EXPECT_EQ(elDraw::screen.presentSource.bottom, 480);
  EXPECT_EQ(elDraw::SpriteTable[0].width, 640);
  EXPECT_EQ(elDraw::SpriteTable[3].surface->height, 480);
}

TEST_F(DrawScreenTest, StartsTheOtherServices) {
  StartDesktop(16);
  elSystem::clientLeft = 30;
  elSystem::clientTop = 40;
  elSystem::clipCursorMode = 1;
  elSystem::waitDeadline[3] = 1234;
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  EXPECT_EQ(elSystem::waitDeadline[3], elSystem::kWaitStopped);
  plat::Rect clip;
  ASSERT_TRUE(plat::headless::CursorClipped(clip));
  EXPECT_EQ(clip.left, 30);
  EXPECT_EQ(clip.top, 40);
  EXPECT_EQ(clip.right, 830);
  EXPECT_EQ(clip.bottom, 640);
}

TEST_F(DrawScreenTest, FullScreenTriesTheFallbackDepths) {
  StartDesktop(16);
  elSystem::fullScreen = 1;

  elDraw::SetDepth(8, 0, 0);
  uint32_t boxes = plat::headless::BoxCount();
  EXPECT_EQ(elDraw::Screen(800, 600, 1), 0);
  EXPECT_EQ(plat::headless::BoxCount(), boxes + 1);
  EXPECT_EQ(plat::headless::LastBoxCaption(), "エラー発生");
  EXPECT_EQ(plat::headless::LastBoxText(), "elDraw::Screen : 解像度が変更できません");
  EXPECT_EQ(elDraw::IsError(), 1);
  elDraw::Release();

  elDraw::SetDepth(8, 32, 0);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  EXPECT_EQ(elDraw::IsError(), 0);  // cleared by the set-up
  EXPECT_EQ(elDraw::screen.depth, 32);
  EXPECT_FALSE(elDraw::screen.clipper);
  elDraw::Release();

  elDraw::SetDepth(8, 12, 24);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  EXPECT_EQ(elDraw::screen.depth, 24);
  elDraw::Release();

  elDraw::SetDepth(16, 0, 0);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  EXPECT_EQ(elDraw::screen.depth, 16);
}

// ---------------------------------------------------------------------------
// Pixel formats

TEST_F(DrawScreenTest, MeasuresRgb565) {
  StartDesktop(16);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  ExpectFormat(elDraw::screen.format, {11, 5, 0}, {31, 63, 31}, {11, 6, 0}, 0x7BEF, 0xFFFF);
  EXPECT_EQ(elDraw::screen.format.halfMaskPair, 0x7BEF7BEFu);
}

TEST_F(DrawScreenTest, MeasuresRgb555) {
  StartDesktop(15);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  // Reported as 16 bits, as both two-byte formats are; measured as 555.
  EXPECT_EQ(elDraw::screen.depth, 16);
  EXPECT_EQ(elSystem::GetScreenBitsPerPixel(), 16);
  ExpectFormat(elDraw::screen.format, {10, 5, 0}, {31, 31, 31}, {10, 5, 0}, 0x3DEF, 0x7FFF);
}

TEST_F(DrawScreenTest, MeasuresThirtyTwoBits) {
  StartDesktop(32);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  ExpectFormat(elDraw::screen.format, {16, 8, 0}, {255, 255, 255}, {16, 8, 0}, 0x7F7F7F,
               0xFFFFFF);
}

// ---------------------------------------------------------------------------
// Lookup tables

void ExpectSineTable() {
  EXPECT_EQ(elDraw::SineTable[0], 0);
  EXPECT_EQ(elDraw::SineTable[30], 179);  // 0.49999999999999994 x 360, truncated
  EXPECT_EQ(elDraw::SineTable[45], 254);
  EXPECT_EQ(elDraw::SineTable[90], 360);
  EXPECT_EQ(elDraw::SineTable[180], 0);
  EXPECT_EQ(elDraw::SineTable[225], -254);  // truncated toward zero, not down
  EXPECT_EQ(elDraw::SineTable[270], -360);
  EXPECT_EQ(elDraw::SineTable[449], 359);
}

TEST_F(DrawScreenTest, BuildsEveryTableOnA565Desktop) {
  StartDesktop(16);
  std::srand(77);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  ExpectSineTable();

  auto rgb = [](int index) {
    const elDraw::Rgb5& e = elDraw::PixelToRgb5Table[index];
    return std::array<int, 3>{e.red, e.green, e.blue};
  };
  EXPECT_EQ(rgb(0), (std::array<int, 3>{0, 0, 0}));
  EXPECT_EQ(rgb(0xFFFF), (std::array<int, 3>{31, 31, 31}));
  EXPECT_EQ(rgb(0xF800), (std::array<int, 3>{31, 0, 0}));
  EXPECT_EQ(rgb(1 << 5), (std::array<int, 3>{0, 0, 0}));  // the 6-bit green is halved
  EXPECT_EQ(rgb((3 << 5) | 7), (std::array<int, 3>{0, 1, 7}));
  EXPECT_EQ(rgb((12 << 11) | (41 << 5) | 30), (std::array<int, 3>{12, 20, 30}));

  // [ch][a][x][y]: max(0, x - a) + max(0, y + a - 31), placed.
  EXPECT_EQ(elDraw::CrossFadeTable[0][0][10][5], 10 << 11);
  EXPECT_EQ(elDraw::CrossFadeTable[1][16][20][20], 9 << 6);
  EXPECT_EQ(elDraw::CrossFadeTable[2][31][4][20], 20);
  EXPECT_EQ(elDraw::CrossFadeTable[2][31][31][31], 31);
  // min(31, max(0, x - a) + y), placed.
  EXPECT_EQ(elDraw::FadeAddTable[0][5][20][20], 31 << 11);
  EXPECT_EQ(elDraw::FadeAddTable[1][10][12][3], 5 << 6);
  EXPECT_EQ(elDraw::FadeAddTable[2][31][0][7], 7);
  // max(0, x - y), placed.
  EXPECT_EQ(elDraw::SubtractTable[0][20][5], 15 << 11);
  EXPECT_EQ(elDraw::SubtractTable[1][5][20], 0);
  EXPECT_EQ(elDraw::SubtractTable[2][31][1], 30);
  EXPECT_EQ(elDraw::SubtractTable[1][31][0], 31 << 6);

  EXPECT_EQ(elDraw::GreyTable[0], 0);
  EXPECT_EQ(elDraw::GreyTable[5], 1);
  EXPECT_EQ(elDraw::GreyTable[6], 2);
  EXPECT_EQ(elDraw::GreyTable[93], 31);

  // The runtime's generator, taken modulo 3, in order.
  std::srand(77);
  for (int i = 0; i < 10000; ++i) {
    ASSERT_EQ(elDraw::DitherNoiseTable[i], std::rand() % 3) << i;
  }
}

TEST_F(DrawScreenTest, PlacesTableValuesByThe555Format) {
  StartDesktop(15);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  const elDraw::Rgb5& white = elDraw::PixelToRgb5Table[0x7FFF];
  EXPECT_EQ(white.red, 31);
  EXPECT_EQ(white.green, 31);
  EXPECT_EQ(white.blue, 31);
  const elDraw::Rgb5& mixed = elDraw::PixelToRgb5Table[(12 << 10) | (20 << 5) | 30];
  EXPECT_EQ(mixed.red, 12);
  EXPECT_EQ(mixed.green, 20);
  EXPECT_EQ(mixed.blue, 30);
  EXPECT_EQ(elDraw::PixelToRgb5Table[0x8000].red, 0);  // beyond the 15 bits: unused
  EXPECT_EQ(elDraw::CrossFadeTable[1][0][10][0], 10 << 5);
  EXPECT_EQ(elDraw::SubtractTable[0][20][5], 15 << 10);
  EXPECT_EQ(elDraw::FadeAddTable[1][10][12][3], 5 << 5);
}

TEST_F(DrawScreenTest, ThirtyTwoBitDesktopLeavesTheColourTablesZero) {
  // A 16-bit set-up first, so that zero means cleared and not untouched.
  StartDesktop(16);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  ASSERT_EQ(elDraw::GreyTable[93], 31);
  StopDesktop();

  StartDesktop(32);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  ExpectSineTable();
  EXPECT_EQ(elDraw::PixelToRgb5Table[0xFFFF].red, 0);
  EXPECT_EQ(elDraw::CrossFadeTable[0][0][10][5], 0);
  EXPECT_EQ(elDraw::FadeAddTable[0][5][20][20], 0);
  EXPECT_EQ(elDraw::SubtractTable[0][20][5], 0);
  EXPECT_EQ(elDraw::GreyTable[93], 0);
  int noise = 0;
  for (uint8_t n : elDraw::DitherNoiseTable) noise += n;
  EXPECT_EQ(noise, 0);
}

// ---------------------------------------------------------------------------
// Error box, release

TEST_F(DrawScreenTest, ErrorShowsOneBoxAndSetsTheFlag) {
  StartDesktop(16);
  uint32_t boxes = plat::headless::BoxCount();
  uint32_t beeps = plat::headless::BeepCount();
  EXPECT_EQ(elDraw::Error("elDraw::LoadObject", "BMPファイルを読み込めません", 12345), 0);
  EXPECT_EQ(plat::headless::BoxCount(), boxes + 1);
  EXPECT_EQ(plat::headless::BeepCount(), beeps + 1);
  EXPECT_EQ(plat::headless::LastBoxCaption(), "エラー発生");
  EXPECT_EQ(plat::headless::LastBoxText(), "elDraw::LoadObject : BMPファイルを読み込めません");
  EXPECT_EQ(elDraw::IsError(), 1);

  // One buffer of 260 bytes, terminator included.
  std::string longMessage(400, 'a');
  elDraw::Error("caption", longMessage.c_str());
  EXPECT_EQ(plat::headless::LastBoxText().size(), 259u);
}

TEST_F(DrawScreenTest, QuitOnErrorQuitsOnlyAfterAnError) {
  StartDesktop(16);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  EXPECT_EQ(elDraw::QuitOnError(), 0);
  EXPECT_EQ(elSystem::quitState, 0);
  EXPECT_TRUE(elDraw::screen.directDraw);

  elDraw::Error("caption", "message");
  EXPECT_EQ(elDraw::QuitOnError(), 1);
  EXPECT_EQ(elSystem::quitState, 2);
  EXPECT_FALSE(elDraw::screen.directDraw);  // QuitProgram released the screen
}

TEST_F(DrawScreenTest, ReleaseEmptiesEverySlot) {
  StartDesktop(16);
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  int a = elDraw::CreateObject(16, 16, 2);
  int b = elDraw::CreateObject(8, 8, 2);
  ASSERT_EQ(a, 4);
  ASSERT_EQ(b, 5);
  elDraw::Release();
  EXPECT_FALSE(elDraw::screen.directDraw);
  EXPECT_EQ(elDraw::screen.frontScreen, nullptr);
  EXPECT_EQ(elDraw::screen.backScreen, nullptr);
  EXPECT_FALSE(elDraw::screen.clipper);
  for (int i : {0, 1, 2, 3, a, b}) {
    SCOPED_TRACE(i);
    EXPECT_EQ(elDraw::SpriteTable[i].surface, nullptr);
    EXPECT_EQ(elDraw::SpriteTable[i].name[0], '\0');
    EXPECT_EQ(elDraw::SpriteTable[i].width, 0);
  }
  elDraw::Release();  // a second release finds nothing to do

  // And the screen opens again afterwards.
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  EXPECT_EQ(elDraw::CreateObject(4, 4, 2), 4);
}

// ---------------------------------------------------------------------------
// Windowed depth check

class CheckWindowDepthTest : public DrawScreenTest {
 protected:
  // A settings file in the program folder, removed afterwards.
  void SetUp() override {
    std::random_device random;
    settingsName_ = "dt" + std::to_string(random() % 1000000) + ".txt";
    settingsPath_ = std::filesystem::path(portable::ProgramFolder()) / settingsName_;
  }
  void TearDown() override {
    std::filesystem::remove(settingsPath_);
    DrawScreenTest::TearDown();
  }

  std::string settingsName_;
  std::filesystem::path settingsPath_;
};

constexpr const char* kDepthWarning24 =
    "　ウィンドウ状態で実行しようとしていますが、画面が65536色以下に設定されています。\n"
    "正しく動作させるには、1670万色以上に設定するか、フルスクリーンで実行させて下さい。";

TEST_F(CheckWindowDepthTest, PassesWithoutAWordWhenThereIsNothingToWarnOf) {
  StartDesktop(15);
  uint32_t boxes = plat::headless::BoxCount();
  elDraw::SetDepth(15, 0, 0);  // no level for 15 bits
  EXPECT_EQ(elDraw::CheckWindowDepth(""), 1);
  elDraw::SetDepth(16, 0, 0);  // a 555 desktop counts as 16 bits
  EXPECT_EQ(elDraw::CheckWindowDepth(""), 1);
  elDraw::SetDepth(12, 0, 0);
  EXPECT_EQ(elDraw::CheckWindowDepth(""), 1);
  elDraw::SetDepth(8, 0, 0);  // the desktop has more than enough
  EXPECT_EQ(elDraw::CheckWindowDepth(""), 1);
  elDraw::SetDepth(32, 0, 0);
  elSystem::fullScreen = 1;  // full screen sets its own depth
  EXPECT_EQ(elDraw::CheckWindowDepth(""), 1);
  EXPECT_EQ(plat::headless::BoxCount(), boxes);
  EXPECT_EQ(elSystem::quitState, 0);
  StopDesktop();

  StartDesktop(32);
  elDraw::SetDepth(32, 0, 0);
  EXPECT_EQ(elDraw::CheckWindowDepth(""), 1);
  EXPECT_EQ(elSystem::quitState, 0);
}

TEST_F(CheckWindowDepthTest, WithoutAFileWarnsAndQuits) {
  StartDesktop(16);
  elDraw::SetDepth(24, 0, 0);
  uint32_t boxes = plat::headless::BoxCount();
  EXPECT_EQ(elDraw::CheckWindowDepth(""), 0);
  EXPECT_EQ(plat::headless::BoxCount(), boxes + 1);
  EXPECT_THAT(plat::headless::LastBoxText(), StartsWith(kDepthWarning24));
  EXPECT_EQ(elSystem::quitState, 2);
  EXPECT_EQ(elSystem::fullScreen, 0);
}

TEST_F(CheckWindowDepthTest, StarAsksToSwitchAndWritesNothing) {
  StartDesktop(16);
  elDraw::SetDepth(24, 0, 0);
  uint32_t boxes = plat::headless::BoxCount();
  plat::headless::AnswerNextBox(plat::Answer::Yes);
  EXPECT_EQ(elDraw::CheckWindowDepth("*"), 1);
  EXPECT_EQ(plat::headless::BoxCount(), boxes + 2);
  EXPECT_THAT(plat::headless::LastBoxText(), StartsWith("フルスクリーンに切り換えますか？"));
  EXPECT_EQ(elSystem::fullScreen, 1);
  EXPECT_EQ(elSystem::quitState, 0);
  EXPECT_FALSE(std::filesystem::exists(settingsPath_));
}

TEST_F(CheckWindowDepthTest, SettingsFileRemembersAYes) {
  StartDesktop(16);
  elDraw::SetDepth(24, 0, 0);
  plat::headless::AnswerNextBox(plat::Answer::Yes);
  EXPECT_EQ(elDraw::CheckWindowDepth(settingsName_.c_str()), 1);
  EXPECT_THAT(plat::headless::LastBoxText(), StartsWith("フルスクリーンに設定し直しますか？"));
  EXPECT_EQ(elSystem::fullScreen, 1);
  std::ifstream file(settingsPath_);
  int value = 0;
  ASSERT_TRUE(file >> value);
  EXPECT_EQ(value, 1);
}

TEST_F(CheckWindowDepthTest, NoEndsTheProgram) {
  StartDesktop(16);
  elDraw::SetDepth(24, 0, 0);
  plat::headless::AnswerNextBox(plat::Answer::No);
  EXPECT_EQ(elDraw::CheckWindowDepth(settingsName_.c_str()), 0);
  EXPECT_EQ(elSystem::quitState, 2);
  EXPECT_EQ(elSystem::fullScreen, 0);
  EXPECT_FALSE(std::filesystem::exists(settingsPath_));
}

}  // namespace
