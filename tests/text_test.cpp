// Text: the font stand-in of the platform layer and the elDraw text
// facility (formatted lines, the frame-rate line, the font list, the
// message-window layout, its reveal and its smoothed variant).
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "draw_fixture.h"
#include "platform/text/text_layout.h"
#include "platform/headless/headless.h"

namespace {

using drawtest::DrawFixture;

constexpr uint32_t kWhite = 0xFFFFFF;
constexpr uint32_t kDarkBlue = 0x800000;

// ---------------------------------------------------------------------------
// The platform's text calls

class GdiTextTest : public DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    surface_ = plat::CreateSurface(200, 100);
    ASSERT_NE(surface_, nullptr);
  }
  void TearDown() override {
    plat::ReleaseSurface(surface_);
    DrawFixture::TearDown();
  }
  static plat::Font* Make(const char* face, int height, uint8_t charSet = plat::kShiftJisCharset) {
    plat::FontDescription d;
    d.height = height;
    d.charSet = charSet;
    std::strncpy(d.faceName, face, sizeof d.faceName - 1);
    return plat::CreateFont(d);
  }
  int Lit(int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += Pixel(*surface_, x, y) != 0;
    return n;
  }
  plat::Surface* surface_ = nullptr;
};

TEST_F(GdiTextTest, FaceNamesResolveToTheJapaneseFacesOrFallBack) {
  plat::Font* gothic = Make("標準ゴシック", 12);
  plat::Font* mincho = Make("標準明朝", 12);
  plat::Font* unknown = Make("どこにもない書体", 12);
  plat::Font* named = Make("IPAMincho", 12, plat::kAnsiCharset);
  ASSERT_NE(gothic, nullptr);
  ASSERT_NE(mincho, nullptr);
  EXPECT_NE(std::string(plat::FontFaceName(gothic)).find("IPAGothic"), std::string::npos);
  EXPECT_NE(std::string(plat::FontFaceName(mincho)).find("IPAMincho"), std::string::npos);
  // An unknown face of the Shift-JIS set becomes the gothic.
  EXPECT_STREQ(plat::FontFaceName(unknown), plat::FontFaceName(gothic));
  EXPECT_STREQ(plat::FontFaceName(named), plat::FontFaceName(mincho));
  for (plat::Font* f : {gothic, mincho, unknown, named}) plat::DeleteFont(f);
}

TEST_F(GdiTextTest, ExtentIsTheSumOfAdvancesAndTheCellHeight) {
  plat::TextDC dc;
  ASSERT_TRUE(plat::GetTextDC(*surface_, dc));
  plat::Font* font = Make("標準ゴシック", 12);
  plat::SelectFont(dc, font);
  plat::TextSize size;
  ASSERT_TRUE(plat::GetTextExtentPoint32(dc, "PCのHP=18", -1, size));
  // Half-width characters are half of a full-width one in the gothic.
  EXPECT_EQ(size.cx, 7 * 6 + 12);
  EXPECT_EQ(size.cy, 12);
  plat::TextMetrics metrics;
  ASSERT_TRUE(plat::GetTextMetrics(dc, metrics));
  EXPECT_EQ(metrics.ascent + metrics.descent, 12);
  plat::DeleteFont(font);
}

TEST_F(GdiTextTest, OneColourOnlyAndNothingOnALostSurface) {
  plat::TextDC dc;
  ASSERT_TRUE(plat::GetTextDC(*surface_, dc));
  plat::Font* font = Make("標準ゴシック", 16);
  plat::SelectFont(dc, font);
  plat::SetTextColor(dc, 0x00FF00);
  plat::SetBkMode(dc, plat::BkMode::Transparent);
  ASSERT_TRUE(plat::TextOut(dc, -4, 2, "漢字あA", -1));  // cut at the left edge
  uint32_t ink = plat::ColourToPixel(surface_->format, 0x00FF00);
  int lit = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) {
      uint32_t v = Pixel(*surface_, x, y);
      if (v == 0) continue;
      EXPECT_EQ(v, ink) << x << "," << y;  // no grey edges
      ++lit;
    }
  EXPECT_GT(lit, 40);
  EXPECT_EQ(Lit(0, 18, 200, 100), 0);  // nothing below the 16-pixel cell

  surface_->lost = true;
  EXPECT_FALSE(plat::TextOut(dc, 100, 50, "漢字", -1));
  surface_->lost = false;
  EXPECT_EQ(Lit(90, 40, 200, 100), 0);
  plat::TextDC other;
  surface_->lost = true;
  EXPECT_FALSE(plat::GetTextDC(*surface_, other));
  surface_->lost = false;
  plat::DeleteFont(font);
}

TEST_F(GdiTextTest, DrawTextBreaksWordsAlignsAndMeasures) {
  plat::TextDC dc;
  ASSERT_TRUE(plat::GetTextDC(*surface_, dc));
  plat::Font* font = Make("標準ゴシック", 12);
  plat::SelectFont(dc, font);
  plat::SetBkMode(dc, plat::BkMode::Transparent);
  plat::SetTextColor(dc, kWhite);

  // "abc def" is 42 pixels: in 30 it breaks at the space, into two lines.
  plat::Rect r{0, 0, 30, 100};
  EXPECT_EQ(plat::DrawText(dc, "abc def", -1, r, plat::kDtWordBreak | plat::kDtCalcRect), 24);
  EXPECT_EQ(r.right, 18);
  EXPECT_EQ(r.bottom, 24);
  // Double-byte text breaks between any two characters; line feeds too.
  r = {0, 0, 40, 100};
  EXPECT_EQ(plat::DrawText(dc, "あいうえお\nか", -1, r, plat::kDtWordBreak | plat::kDtCalcRect), 36);
  EXPECT_EQ(r.right, 36);
  // A word wider than the box is broken between its letters.
  r = {0, 0, 20, 100};
  EXPECT_EQ(plat::DrawText(dc, "abcdefgh", -1, r, plat::kDtWordBreak | plat::kDtCalcRect), 36);
  // Without word break one line runs on and is cut to the rectangle.
  r = {0, 0, 20, 100};
  EXPECT_EQ(plat::DrawText(dc, "abcdefgh", -1, r, plat::kDtCalcRect), 12);
  EXPECT_EQ(r.right, 48);

  // Right alignment puts the line against the right edge; nothing leaves the rectangle.
  r = {100, 10, 160, 40};
  EXPECT_EQ(plat::DrawText(dc, "ab", -1, r, plat::kDtRight | plat::kDtNoPrefix), 12);
  EXPECT_EQ(Lit(0, 0, 146, 100), 0);
  EXPECT_GT(Lit(148, 10, 160, 22), 0);
  r = {0, 50, 40, 56};  // half a line high
  plat::DrawText(dc, "漢字漢字", -1, r, plat::kDtNoPrefix);
  EXPECT_EQ(Lit(0, 56, 200, 100), 0);
  EXPECT_GT(Lit(0, 50, 40, 56), 0);
  plat::DeleteFont(font);
}

TEST_F(GdiTextTest, OpaqueModeFillsTheCellsAndEscapementTurnsTheLine) {
  plat::TextDC dc;
  ASSERT_TRUE(plat::GetTextDC(*surface_, dc));
  plat::FontDescription d;
  d.height = 12;
  d.charSet = plat::kShiftJisCharset;
  plat::Font* font = plat::CreateFont(d);
  plat::SelectFont(dc, font);
  plat::SetBkColor(dc, kDarkBlue);
  plat::TextOut(dc, 10, 10, "  ", -1);  // two spaces: background only
  uint32_t blue = plat::ColourToPixel(surface_->format, kDarkBlue);
  EXPECT_EQ(Pixel(*surface_, 10, 10), blue);
  EXPECT_EQ(Pixel(*surface_, 21, 21), blue);
  EXPECT_EQ(Pixel(*surface_, 22, 10), 0u);
  EXPECT_EQ(Pixel(*surface_, 10, 22), 0u);
  plat::DeleteFont(font);

  // 90 degrees: the line runs upwards from its starting point.
  d.escapement = 900;
  font = plat::CreateFont(d);
  ASSERT_NE(font, nullptr);
  plat::SelectFont(dc, font);
  plat::SetBkMode(dc, plat::BkMode::Transparent);
  plat::SetTextColor(dc, kWhite);
  plat::TextOut(dc, 100, 90, "ABCDEFGH", -1);
  EXPECT_EQ(Lit(30, 0, 200, 30), 0);
  EXPECT_GT(Lit(100, 40, 114, 90), 20);
  EXPECT_EQ(Lit(115, 30, 200, 100), 0);
  plat::DeleteFont(font);
}

TEST_F(GdiTextTest, FontListAndUpperCase) {
  struct Seen {
    int count = 0;
    bool gothicIsJapanese = false;
  } seen;
  plat::EnumFonts(
      [](const plat::FontDescription& font, int, void* data) {
        Seen& s = *static_cast<Seen*>(data);
        ++s.count;
        if (std::strcmp(font.faceName, "IPAGothic") == 0) s.gothicIsJapanese = font.charSet == plat::kShiftJisCharset;
        return 1;
      },
      &seen);
  EXPECT_GT(seen.count, 0);
  EXPECT_TRUE(seen.gothicIsJapanese);
  // Stopping early stops the enumeration.
  int calls = 0;
  EXPECT_EQ(plat::EnumFonts([](const plat::FontDescription&, int, void* data) { return ++*static_cast<int*>(data) < 2 ? 1 : 0; },
                            &calls),
            0);
  EXPECT_EQ(calls, 2);

  // "ヂ" is 0x83 0x61: its second byte looks like "a" and must stay.
  char text[] = "abcヂz\\Q";
  ASSERT_EQ(static_cast<unsigned char>(text[4]), 0x61);
  plat::CharUpperBuff(text, static_cast<int>(std::strlen(text)));
  EXPECT_STREQ(text, "ABCヂZ\\Q");
}

// ---------------------------------------------------------------------------
// The library's text facility

class TextTest : public DrawFixture {
 protected:
  void TearDown() override {
    elDraw::EndText();
    DrawFixture::TearDown();
  }
  static uint32_t ToPixel(uint32_t colour) { return plat::ColourToPixel(Back().format, colour); }
  static int LitIn(plat::Surface& s, const elDraw::LayoutBox& b) {
    int n = 0;
    for (int y = b.top; y < b.bottom; ++y)
      for (int x = b.left; x < b.right; ++x) n += Pixel(s, x, y) != 0;
    return n;
  }
  // White 12-pixel gothic text state, as a message window would use.
  static void BeginWhite(int size = 12) {
    ASSERT_EQ(elDraw::BeginText(1, size, 0, 0, 0, 0), 1);
    elDraw::SetTextColors(kWhite, 0x000000, 1);
  }
  static const elDraw::LayoutBox& Box(int i) { return elDraw::textLayout.boxes[i]; }
};

#define EXPECT_BOX(box, l, t, r, b)   \
  do {                                \
    EXPECT_EQ((box).left, l);         \
    EXPECT_EQ((box).top, t);          \
    EXPECT_EQ((box).right, r);        \
    EXPECT_EQ((box).bottom, b);       \
  } while (0)

TEST_F(TextTest, PrintWritesWhiteOnDarkBlueAtThePoint) {
  elDraw::Print(100, 50, "PCのHP=%d", 120);
  EXPECT_STREQ(elDraw::printBuffer, "PCのHP=120");
  const int width = 8 * 6 + 12;  // eight half-width characters and "の"
  uint32_t white = ToPixel(kWhite), blue = ToPixel(kDarkBlue);
  int whites = 0;
  for (int y = 50; y < 62; ++y)
    for (int x = 100; x < 100 + width; ++x) {
      uint32_t v = BackPixel(x, y);
      ASSERT_TRUE(v == white || v == blue) << x << "," << y << ": " << v;
      whites += v == white;
    }
  EXPECT_GT(whites, 60);
  EXPECT_EQ(BackPixel(100, 50), blue);
  EXPECT_EQ(CountOutside(100, 50, 100 + width, 62), 0);
  // The text state is given back: the next Print works the same.
  elDraw::PrintAt(0, 0, "act=3");
  EXPECT_EQ(elDraw::textState.held, 0);
  EXPECT_EQ(BackPixel(0, 0), blue);
}

TEST_F(TextTest, PrintCutsTextLongerThanItsBuffer) {
  std::string ascii(300, 'a');
  elDraw::Print(0, 0, "%s", ascii.c_str());
  EXPECT_EQ(std::strlen(elDraw::printBuffer), 259u);
  // 150 double-byte characters: the one that would lose its second byte goes.
  std::string kana;
  for (int i = 0; i < 150; ++i) kana += "あ";
  elDraw::Print(0, 20, "%s", kana.c_str());
  EXPECT_EQ(std::strlen(elDraw::printBuffer), 258u);
  // Many prints make and delete many fonts: none are kept.
  for (int i = 0; i < 200; ++i) elDraw::Print(0, 40, "pi_x=%d", i);
  plat::Font* font = plat::CreateFont(*elDraw::fontDescription);
  EXPECT_NE(font, nullptr);
  plat::DeleteFont(font);
}

TEST_F(TextTest, TextBoxAlignsAndMeasures) {
  BeginWhite();
  EXPECT_EQ(elDraw::MeasureTextBox(0, 0, 60, 100, "あいうえおかきく"), 24);
  elDraw::TextBox(200, 100, 260, 200, "あ", 2);  // right
  EXPECT_EQ(CountOutside(248, 100, 260, 112), 0);
  EXPECT_GT(CountNonZero(), 0);
  elDraw::Clear();
  elDraw::TextBox(200, 100, 260, 200, "あ", 3);  // not an alignment
  EXPECT_EQ(CountNonZero(), 0);
  elDraw::EndText();
  // Without a text state nothing is drawn or measured.
  EXPECT_EQ(elDraw::MeasureTextBox(0, 0, 60, 100, "あいうえおかきく"), 0);
}

TEST_F(TextTest, AFullStopHangsAtTheLineEndAKanjiMovesOn) {
  BeginWhite();
  elDraw::LayoutTextHidden(0, 0, 100, 200, "あいうえおかきく。け", 0);
  ASSERT_EQ(elDraw::textLayout.count, 10);
  EXPECT_BOX(Box(8), 84, 0, 96, 12);
  EXPECT_BOX(Box(9), 96, 0, 108, 12);  // over the right edge
  EXPECT_BOX(Box(10), 0, 12, 12, 24);
  EXPECT_BOX(Box(0), 0, 0, 108, 24);
  EXPECT_GT(LitIn(SpriteSurface(2), Box(9)), 0);

  elDraw::LayoutTextHidden(0, 0, 100, 200, "あいうえおかきく漢け", 0);
  ASSERT_EQ(elDraw::textLayout.count, 10);
  EXPECT_BOX(Box(9), 0, 12, 12, 24);
  EXPECT_BOX(Box(10), 12, 12, 24, 24);
  EXPECT_BOX(Box(0), 0, 0, 96, 24);
  EXPECT_EQ(CountNonZero(), 0);  // hidden: nothing on the back screen yet
  // The layout holds the back screen's context again.
  EXPECT_EQ(elDraw::textState.held, 1);
  EXPECT_EQ(elDraw::textState.target, -1);
}

TEST_F(TextTest, ALineFeedRecordsNoBoxAndTheLayoutStopsAtTheBottom) {
  BeginWhite();
  elDraw::LayoutText(10, 20, 300, 200, "あ\nい", 4);  // 4 pixels between lines
  ASSERT_EQ(elDraw::textLayout.count, 2);
  EXPECT_BOX(Box(1), 10, 20, 22, 32);
  EXPECT_BOX(Box(2), 10, 36, 22, 48);
  EXPECT_EQ(CountOutside(10, 20, 22, 48), 0);
  EXPECT_GT(CountNonZero(), 0);

  // Shadow and both emboldenings widen every box by one pixel each way.
  elDraw::LayoutTextHidden(0, 0, 300, 200, "あ", elDraw::kLayoutShadow | elDraw::kLayoutBoldX | elDraw::kLayoutBoldY);
  EXPECT_BOX(Box(1), 0, 0, 14, 14);

  // A box of three lines holds two: a line that would reach the bottom is not begun.
  elDraw::LayoutTextHidden(0, 0, 300, 36, "あ\nい\nう", 0);
  EXPECT_EQ(elDraw::textLayout.count, 2);
}

TEST_F(TextTest, BlackTextIsDrawnAsDarkGrey) {
  ASSERT_EQ(elDraw::BeginText(1, 12, 0, 0, 0, 0), 1);
  elDraw::SetTextColors(0x000000, 0x0F0F0F, 1);
  elDraw::LayoutTextHidden(0, 0, 300, 100, "黒い字", elDraw::kLayoutShadow);
  uint32_t grey = ToPixel(0x101010);
  ASSERT_NE(grey, 0u);
  plat::Surface& font = SpriteSurface(2);
  int lit = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      uint32_t v = Pixel(font, x, y);
      if (v == 0) continue;
      EXPECT_EQ(v, grey);
      ++lit;
    }
  EXPECT_GT(lit, 30);
  // The remembered colours are the ones given.
  EXPECT_EQ(elDraw::textState.textColour, 0x000000u);
}

TEST_F(TextTest, TheFontListHoldsTwoHundredFonts) {
  // The set-up listed the installed fonts: the gothic covers Japanese.
  bool gothic = false;
  for (const auto& e : elDraw::fontList)
    if (std::strcmp(e.faceName, "IPAGothic") == 0) gothic = e.type == 1 && e.charSet == 128;
  EXPECT_TRUE(gothic);

  elDraw::ClearFontList();
  EXPECT_EQ(elDraw::fontList[0].type, -1);
  char name[16];
  for (int i = 0; i < 205; ++i) {
    std::snprintf(name, sizeof name, "Fake%03d", i);
    EXPECT_EQ(elDraw::AddFontToList(name, i % 2 == 0 ? 0 : 2), i < 200 ? 1 : 0) << i;
  }
  EXPECT_EQ(elDraw::fontListCount, 200);
  EXPECT_EQ(elDraw::fontList[198].type, 2);
  EXPECT_EQ(elDraw::fontList[199].type, 3);

  elDraw::BeginTextFace("Fake199", 12, 0, 0, 0, 0);
  EXPECT_EQ(elDraw::fontDescription->charSet, 2);
  EXPECT_STREQ(elDraw::fontDescription->faceName, "Fake199");
  elDraw::BeginTextFace("Fake201", 12, 0, 0, 0, 0);
  EXPECT_EQ(elDraw::fontDescription->charSet, 128);
  elDraw::EndText();
}

TEST_F(TextTest, BeginTextWritesTheDescription) {
  elDraw::BeginText(0, 20, 45, 1, 1, 1);
  const plat::FontDescription& d = *elDraw::fontDescription;
  EXPECT_EQ(d.height, 20);
  EXPECT_EQ(d.escapement, 450);
  EXPECT_EQ(d.weight, 700);
  EXPECT_EQ(d.italic, 1);
  EXPECT_EQ(d.underline, 1);
  EXPECT_STREQ(d.faceName, "標準明朝");
  elDraw::BeginText(7, 20, 0, 5, 0, 0);  // another index keeps the face
  EXPECT_EQ(d.weight, 0);
  EXPECT_STREQ(d.faceName, "標準明朝");
  elDraw::BeginSmoothText(1, 12);
  EXPECT_EQ(d.height, 24);
  EXPECT_EQ(d.weight, 400);
  EXPECT_EQ(elDraw::textState.target, 3);
  elDraw::EndSmoothText();
  EXPECT_EQ(elDraw::textState.held, 0);
}

TEST_F(TextTest, ShowFpsStartsAtZeroAndMeasuresEveryTwoSeconds) {
  elDraw::fpsState = elDraw::FpsState{};
  elDraw::ShowFps();
  EXPECT_STREQ(elDraw::printBuffer, "0.0 fps ( max 0.0 / min 999.9 )");
  for (int i = 0; i < 9; ++i) elDraw::ShowFps();
  plat::headless::AdvanceClock(2000);
  elDraw::ShowFps();
  EXPECT_STREQ(elDraw::printBuffer, "5.0 fps ( max 5.0 / min 5.0 )");
}

TEST_F(TextTest, RevealTextShowsOneMoreCharacterPerInterval) {
  BeginWhite();
  elDraw::LayoutTextHidden(100, 100, 400, 200, "あいう", 0);
  ASSERT_EQ(elDraw::textLayout.count, 3);
  elSystem::dt = 0.1f;
  std::vector<int> shown;
  int done = 0;
  for (int call = 0; call < 12 && !done; ++call) {
    elDraw::Clear();
    done = elDraw::RevealText(0.25f);
    shown.push_back(elDraw::textLayout.revealCount);
    // What is on the screen is what was shown before this call counted on.
    int before = call == 0 ? 0 : shown[call - 1];
    for (int i = 1; i <= 3; ++i) {
      if (i <= before) {
        EXPECT_GT(LitIn(Back(), Box(i)), 0) << call << " " << i;
      } else {
        EXPECT_EQ(LitIn(Back(), Box(i)), 0) << call << " " << i;
      }
    }
  }
  EXPECT_EQ(shown, (std::vector<int>{0, 0, 1, 1, 1, 2, 2, 2, 3}));
  EXPECT_EQ(done, 1);

  // An interval of 0 shows everything at once.
  elDraw::LayoutTextHidden(100, 100, 400, 200, "あいう", 0);
  EXPECT_EQ(elDraw::RevealText(0.0f), 1);
  EXPECT_EQ(elDraw::textLayout.revealCount, 3);
}

class SmoothTextTest : public TextTest, public ::testing::WithParamInterface<int> {
 protected:
  int Depth() const override { return GetParam(); }
};

TEST_P(SmoothTextTest, ASmoothedLayoutChangesOnlyPixelsInsideItsBoxes) {
  plat::Surface& back = Back();
  // A busy background, so that blending with it shows.
  Paint(back, [&](int x, int y) { return plat::ColourToPixel(back.format, ((x * 3) & 0xFF) | ((y & 0x7F) << 8) | 0x400000); });
  std::vector<uint32_t> before(800 * 600);
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) before[y * 800 + x] = BackPixel(x, y);

  ASSERT_EQ(elDraw::BeginSmoothText(1, 16), 1);
  elDraw::SetTextColors(kWhite, 0x000000, 1);
  elDraw::LayoutSmoothText(50, 40, 250, 300, "吾輩は猫である。名前はまだ無い。ABC", elDraw::kLayoutShadow | 2);
  elDraw::EndSmoothText();
  const int count = elDraw::textLayout.count;
  ASSERT_EQ(count, 19);
  EXPECT_GT(Box(0).bottom, 40 + 17);  // two lines

  uint32_t white = ToPixel(kWhite);
  int changed = 0, blended = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      uint32_t now = BackPixel(x, y);
      if (now == before[y * 800 + x]) continue;
      ++changed;
      blended += now != white;
      bool inside = false;
      for (int i = 1; i <= count && !inside; ++i)
        inside = x >= Box(i).left && x < Box(i).right && y >= Box(i).top && y < Box(i).bottom;
      EXPECT_TRUE(inside) << x << "," << y;
    }
  EXPECT_GT(changed, 200);
  EXPECT_GT(blended, 50);  // the edges mix text and background
}

INSTANTIATE_TEST_SUITE_P(Depths, SmoothTextTest, ::testing::Values(16, 24, 32));

}  // namespace
