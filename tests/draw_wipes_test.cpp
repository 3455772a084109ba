// Clip-rectangle wipes: the nine shapes opening and closing, their steps,
// and the hidden state.
#include <gtest/gtest.h>

#include <cstdlib>

#include "draw_fixture.h"
#include "golden.h"
#include "shell/elsystem.h"

namespace {

using drawtest::DrawFixture;
using elDraw::ClipRect;

bool Same(const ClipRect& a, const ClipRect& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class WipeTest : public DrawFixture {
 protected:
  void SetUp() override {
    DrawFixture::SetUp();
    elDraw::wipeState = 0;
    elSystem::dt = 0.016666668f;
  }
  void TearDown() override {
    elDraw::wipeState = 0;
    DrawFixture::TearDown();
  }
  static ClipRect& Clip() { return elDraw::screen.clipRect; }
};

// Every shape at a moment of its opening and of its closing: a white tile
// drawn through the moving window, nine columns, opening above closing.
TEST_F(WipeTest, GoldenHalfwayPictures) {
  const int tile = MakeSprite(40, 40, [](int x, int y) { return (x / 4 + y / 4) % 2 ? 0xFFFFu : 0x7BEFu; });
  elDraw::FillColor(0, 0, 396, 88, 0x4208);
  // Two pixels a step (trunc(1/60 x 60) + 1); steps to about half way.
  const int steps[10] = {0, 10, 10, 10, 10, 5, 5, 5, 15, 15};
  for (int closing = 0; closing < 2; ++closing) {
    for (int shape = 1; shape <= 9; ++shape) {
      const int x = 44 * (shape - 1) + 2, y = 44 * closing + 2;
      elDraw::SetClip(x, y, x + 40, y + 40);
      ASSERT_EQ(elDraw::ClipWipeStart(closing, shape, 60.0f, 8), 1);
      for (int i = 0; i < steps[shape]; ++i) elDraw::ClipWipeStep();
      elDraw::Draw(x, y, tile, 0, 0, 40, 40);
      elDraw::wipeState = 0;
    }
  }
  golden::Expect("wipes", Back(), plat::Rect{0, 0, 396, 88});
}

// Every shape, both ways, with speeds and bands of all sorts: an opening
// stays inside the saved window and ends on it; a closing ends hidden;
// the call that ends the wipe still answers 1 and the next one 0.
TEST_F(WipeTest, EveryShapeEndsWhereItShould) {
  const ClipRect saved{100, 50, 301, 250};
  const float speeds[] = {0.0f, 600.0f, 100000.0f, -50.0f};
  const int bands[] = {0, 7, 1000};
  for (int shape = 1; shape <= 9; ++shape) {
    for (int closing = 0; closing < 2; ++closing) {
      for (float speed : speeds) {
        for (int band : bands) {
          elDraw::screen.clipRect = saved;
          elDraw::wipeState = 0;
          ASSERT_EQ(elDraw::ClipWipeStart(closing, shape, speed, band), 1);
          int calls = 0;
          while (elDraw::wipeState > 0 && calls < 1000) {
            EXPECT_EQ(elDraw::ClipWipeStep(), 1);
            ++calls;
            if (!closing) {
              const ClipRect& c = Clip();
              ASSERT_TRUE(c.left >= saved.left && c.right <= saved.right && c.top >= saved.top &&
                          c.bottom <= saved.bottom)
                  << "shape " << shape << " band " << band;
            }
          }
          SCOPED_TRACE(testing::Message() << "shape " << shape << " closing " << closing << " speed "
                                          << speed << " band " << band);
          EXPECT_LT(calls, 1000);
          EXPECT_EQ(elDraw::wipeState, closing ? -1 : 0);
          if (closing) {
            EXPECT_TRUE(Clip().left >= Clip().right || Clip().top >= Clip().bottom);
          } else {
            EXPECT_TRUE(Same(Clip(), saved));
          }
          EXPECT_EQ(elDraw::ClipWipeStep(), 0);
        }
      }
    }
  }
}

TEST_F(WipeTest, StepsAreTruncatedFrameTimeTimesSpeedPlusOne) {
  ASSERT_EQ(elDraw::ClipWipeStart(0, 1, 600.0f, 0), 1);
  EXPECT_EQ(Clip().top, 600);
  elDraw::ClipWipeStep();
  EXPECT_EQ(Clip().top, 589);  // 10 + 1 pixels

  // Starting while a wipe runs changes nothing.
  const ClipRect before = Clip();
  EXPECT_EQ(elDraw::ClipWipeStart(1, 3, 10.0f, 0), 0);
  EXPECT_TRUE(Same(Clip(), before));
  EXPECT_EQ(elDraw::wipeState, 1);

  elDraw::wipeState = 0;
  elDraw::SetClip(0, 0, 800, 600);
  ASSERT_EQ(elDraw::ClipWipeStart(0, 2, 0.0f, 0), 1);
  elDraw::ClipWipeStep();
  EXPECT_EQ(Clip().bottom, 1);  // speed 0 still moves one pixel
}

TEST_F(WipeTest, AnOpeningAfterAClosingStartsFromTheRestoredRectangle) {
  elDraw::SetClip(100, 100, 300, 200);
  ASSERT_EQ(elDraw::ClipWipeStart(1, 1, 600.0f, 0), 1);
  while (elDraw::ClipWipeStep()) {
  }
  EXPECT_EQ(elDraw::wipeState, -1);
  ASSERT_EQ(elDraw::ClipWipeStart(0, 1, 600.0f, 0), 1);
  EXPECT_TRUE(Same(Clip(), ClipRect{100, 200, 300, 200}));
}

TEST_F(WipeTest, ShapeEightWithBandZeroShowsNothingUntilItWidens) {
  elDraw::SetClip(0, 0, 800, 600);
  ASSERT_EQ(elDraw::ClipWipeStart(0, 8, 600.0f, 0), 1);
  int narrowSteps = 0;
  while (Clip().top != 0 || Clip().bottom != 600) {
    EXPECT_EQ(Clip().left, 400);
    EXPECT_EQ(Clip().right, 400);
    elDraw::ClipWipeStep();
    ++narrowSteps;
  }
  EXPECT_EQ(narrowSteps, 28);  // 300 pixels each way, 11 a step
  elDraw::ClipWipeStep();
  EXPECT_TRUE(Same(Clip(), ClipRect{389, 0, 411, 600}));
}

TEST_F(WipeTest, ShapeZeroPicksOneOfTheNine) {
  // An opening of shape 0 starts from the window of the shape rand() picks.
  for (unsigned seed = 1; seed < 20; ++seed) {
    std::srand(seed);
    const int expected = std::rand() % 9 + 1;
    ClipRect start[2];
    for (int pick = 0; pick < 2; ++pick) {
      std::srand(seed);
      elDraw::SetClip(0, 0, 800, 600);
      elDraw::wipeState = 0;
      ASSERT_EQ(elDraw::ClipWipeStart(0, pick == 0 ? 0 : expected, 1.0f, 50), 1);
      start[pick] = Clip();
    }
    EXPECT_TRUE(Same(start[0], start[1])) << "seed " << seed;
  }
  elDraw::wipeState = 0;
  EXPECT_EQ(elDraw::ClipWipeStart(0, 10, 1.0f, 0), 0);
}

TEST_F(WipeTest, HidingEmptiesTheWindowUntilTheNextStart) {
  elDraw::SetClip(10, 20, 110, 220);
  elDraw::ClipWipeHide();
  EXPECT_EQ(elDraw::wipeState, -1);
  EXPECT_TRUE(Same(Clip(), ClipRect{10, 20, 10, 20}));
  EXPECT_EQ(elDraw::ClipWipeStep(), 0);
  // Hiding again keeps the real window, not the empty one.
  elDraw::ClipWipeHide();
  ASSERT_EQ(elDraw::ClipWipeStart(1, 4, 0.0f, 0), 1);
  EXPECT_TRUE(Same(Clip(), ClipRect{10, 20, 110, 220}));
  // So does hiding in the middle of a wipe.
  elDraw::ClipWipeStep();
  elDraw::ClipWipeHide();
  ASSERT_EQ(elDraw::ClipWipeStart(0, 4, 0.0f, 0), 1);
  EXPECT_TRUE(Same(elDraw::wipeSaved, ClipRect{10, 20, 110, 220}));
}

}  // namespace
