// The window's scaling of the picture: the fast scaler against the plain
// reference on random pictures (whole, and again after random changes),
// nearest pixel at whole-number fits, pixel edges that blend into one output
// pixel at most, the present's own changed spans and hints, and the hints
// laid over the first seconds until a key.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "platform/core/hints.h"
#include "platform/core/messages.h"
#include "platform/image/picture_scale.h"
#include "platform/image/present_picture.h"
#include "platform/image/surface.h"
#include "platform/platform.h"

namespace {

using plat::Rect;

std::vector<uint32_t> RandomPicture(std::mt19937& random, int w, int h) {
  std::vector<uint32_t> picture(static_cast<size_t>(w) * h);
  for (uint32_t& p : picture) p = random() & 0xFFFFFF;
  return picture;
}

std::vector<uint32_t> Reference(const std::vector<uint32_t>& picture, int w, int h, int outW, int outH) {
  std::vector<uint32_t> out(static_cast<size_t>(outW) * outH);
  plat::ScalePictureReference(picture.data(), w, h, w * 4, out.data(), outW, outH, outW * 4);
  return out;
}

bool Inside(const Rect* rects, int count, int x, int y) {
  for (int i = 0; i < count; ++i)
    if (x >= rects[i].left && x < rects[i].right && y >= rects[i].top && y < rects[i].bottom) return true;
  return false;
}

// Every geometry the window meets: full screens, whole scales, shrinking,
// the same size, and small odd sizes where every edge case is close.
TEST(PictureScale, FastScalerMatchesTheReferenceAndNamesWhatChanged) {
  struct Case {
    int w, h, outW, outH;
  } const cases[] = {
      {800, 600, 1440, 1080}, {800, 600, 1280, 960}, {800, 600, 1600, 1200}, {800, 600, 1024, 768},
      {800, 600, 640, 480},   {800, 600, 800, 600},  {37, 23, 101, 61},     {5, 3, 7, 4},
      {16, 9, 48, 27},        {13, 7, 50, 21},       {9, 9, 4, 5},          {1, 1, 3, 2},
  };
  std::mt19937 random(12345);
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h) + " into " + std::to_string(c.outW) + "x" +
                 std::to_string(c.outH));
    plat::PictureScaler scaler;
    ASSERT_TRUE(scaler.Reserve(c.w, c.h, c.outW + 3, c.outH + 3));
    ASSERT_TRUE(scaler.Plan(c.w, c.h, c.outW, c.outH));
    std::vector<uint32_t> picture = RandomPicture(random, c.w, c.h);
    const int outPitch = (c.outW + 5) * 4;  // rows wider than the output, as a window's are
    std::vector<uint32_t> out(static_cast<size_t>(c.outW + 5) * c.outH, 0xDEADBEEF);
    Rect rects[3];
    int count = scaler.Scale(picture.data(), c.w * 4, out.data(), outPitch, rects, 3);
    ASSERT_EQ(count, 1);
    EXPECT_TRUE(rects[0].left == 0 && rects[0].top == 0 && rects[0].right == c.outW && rects[0].bottom == c.outH);
    for (int round = 0; round < 4; ++round) {
      const std::vector<uint32_t> expected = Reference(picture, c.w, c.h, c.outW, c.outH);
      std::vector<uint32_t> before(out);
      int wrong = 0;
      for (int y = 0; y < c.outH; ++y)
        for (int x = 0; x < c.outW; ++x)
          if (out[static_cast<size_t>(y) * (c.outW + 5) + x] != expected[static_cast<size_t>(y) * c.outW + x])
            ++wrong;
      EXPECT_EQ(wrong, 0) << "round " << round;
      // A few random spans change; only they are marked, and the output
      // pixels that change all lie in the rectangles named.
      const int changes = 1 + static_cast<int>(random() % 6);
      for (int i = 0; i < changes; ++i) {
        const int y = static_cast<int>(random() % c.h);
        const int x0 = static_cast<int>(random() % c.w);
        const int x1 = x0 + 1 + static_cast<int>(random() % (c.w - x0));
        for (int x = x0; x < x1; ++x) picture[static_cast<size_t>(y) * c.w + x] = random() & 0xFFFFFF;
        scaler.MarkRow(y, x0, x1);
      }
      count = scaler.Scale(picture.data(), c.w * 4, out.data(), outPitch, rects, 3);
      ASSERT_GE(count, 1);
      for (int y = 0; y < c.outH; ++y)
        for (int x = 0; x < c.outW; ++x)
          if (out[static_cast<size_t>(y) * (c.outW + 5) + x] != before[static_cast<size_t>(y) * (c.outW + 5) + x]) {
            ASSERT_TRUE(Inside(rects, count, x, y)) << "output pixel " << x << "," << y << " changed outside";
          }
    }
    // Nothing is written beyond the output's width.
    for (int y = 0; y < c.outH; ++y)
      for (int x = c.outW; x < c.outW + 5; ++x) ASSERT_EQ(out[static_cast<size_t>(y) * (c.outW + 5) + x], 0xDEADBEEFu);
    EXPECT_FALSE(scaler.Plan(c.w, c.h, c.outW + 4, c.outH)) << "larger than reserved";
  }
}

// A whole-number fit is the nearest pixel; otherwise, where the picture
// holds runs of at least two pixels, a boundary blends into one output
// pixel at most: never two blended pixels side by side.
TEST(PictureScale, WholeFitsAreNearestAndEdgesBlendIntoOnePixel) {
  std::mt19937 random(99);
  for (int k : {1, 2, 3, 4}) {
    const std::vector<uint32_t> picture = RandomPicture(random, 40, 30);
    const std::vector<uint32_t> out = Reference(picture, 40, 30, 40 * k, 30 * k);
    for (int y = 0; y < 30 * k; ++y)
      for (int x = 0; x < 40 * k; ++x)
        ASSERT_EQ(out[static_cast<size_t>(y) * 40 * k + x], picture[static_cast<size_t>(y / k) * 40 + x / k]) << k;
  }
  constexpr uint32_t kDark = 0x000000, kLight = 0xFFFFFF;
  for (int outW : {801, 1000, 1280, 1440, 1599, 2000, 2880}) {
    std::vector<uint32_t> row;
    uint32_t colour = kDark;
    while (row.size() < 800) {
      row.insert(row.end(), 2 + random() % 4, colour);
      colour ^= kLight;
    }
    row.resize(800);
    const std::vector<uint32_t> out = Reference(row, 800, 1, outW, 1);
    for (int x = 1; x < outW; ++x) {
      const bool blended = out[x] != kDark && out[x] != kLight;
      const bool before = out[x - 1] != kDark && out[x - 1] != kLight;
      ASSERT_FALSE(blended && before) << "two blended pixels at " << x << " of " << outW;
    }
  }
}

class Hints : public ::testing::Test {
 protected:
  void SetUp() override {
    plat::Options options;
    options.backend = "headless";
    options.hints = kLines;
    std::string error;
    ASSERT_TRUE(plat::Start(options, error)) << error;
  }
  void TearDown() override { plat::Stop(); }

  Rect Draw() { return plat::DrawHints(picture.data(), 800 * 4, 800, 600); }

  static constexpr const char* kLines[] = {"C / A    swing", "Escape   quit", nullptr};
  std::vector<uint32_t> picture = std::vector<uint32_t>(800 * 600, 0x808080);
};

// The box darkens the picture under it and holds light text; nothing else
// of the picture changes. It shows for its time from the first picture.
TEST_F(Hints, ShowForTheirTimeOverThePictureOnly) {
  const Rect box = Draw();
  ASSERT_LT(box.left, box.right);
  ASSERT_LT(box.top, box.bottom);
  int dark = 0, ink = 0, outside = 0;
  for (int y = 0; y < 600; ++y)
    for (int x = 0; x < 800; ++x) {
      const uint32_t p = picture[static_cast<size_t>(y) * 800 + x];
      const bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
      if (!in && p != 0x808080) ++outside;
      if (in && p == 0x202020) ++dark;
      if (in && p == 0xFFFFFF) ++ink;
    }
  EXPECT_EQ(outside, 0);
  EXPECT_GT(dark, ink);
  EXPECT_GT(ink, 100);
  plat::Sleep(plat::kHintsMs - 100);
  EXPECT_LT(Draw().left, Draw().right);
  plat::Sleep(200);
  const Rect gone = Draw();
  EXPECT_GE(gone.left, gone.right);
}

// The present converts and scales only what changed, yet its output is
// always the whole back screen scaled, with the hints over it while they
// show and the picture under them back once they are gone.
TEST_F(Hints, PresentShowsTheBackScreenScaledWithTheHintsOverIt) {
  constexpr int kOutW = 1440, kOutH = 1080;
  plat::Surface* back = plat::CreateSurface(800, 600);
  ASSERT_NE(back, nullptr);
  const Rect all{0, 0, 800, 600};
  std::mt19937 random(5);
  for (int i = 0; i < 200; ++i) {
    const int x = static_cast<int>(random() % 790), y = static_cast<int>(random() % 590);
    plat::BltFill(*back, Rect{x, y, x + 1 + static_cast<int>(random() % 200), y + 1 + static_cast<int>(random() % 100)}, random());
  }
  plat::PresentPicture present;
  ASSERT_TRUE(present.Reserve(800, 600, kOutW, kOutH));
  std::vector<uint32_t> out(static_cast<size_t>(kOutW) * kOutH);
  Rect rects[8];
  auto expect = [&](bool hinted, const char* when) {
    std::vector<uint32_t> converted(800 * 600);
    ASSERT_TRUE(plat::ConvertToXrgb8888(*back, all, converted.data(), 800 * 4));
    if (hinted) {
      ASSERT_LT(plat::DrawHints(converted.data(), 800 * 4, 800, 600).left, 800);
    }
    EXPECT_TRUE(out == Reference(converted, 800, 600, kOutW, kOutH)) << when;
  };
  ASSERT_EQ(present.Present(*back, all, out.data(), kOutW * 4, kOutW, kOutH, rects, 8), 1);
  expect(true, "the first frame");
  for (int round = 0; round < 3; ++round) {
    const int x = static_cast<int>(random() % 700), y = static_cast<int>(random() % 500);
    plat::BltFill(*back, Rect{x, y, x + 1 + static_cast<int>(random() % 100), y + 1 + static_cast<int>(random() % 100)}, random());
    ASSERT_GE(present.Present(*back, all, out.data(), kOutW * 4, kOutW, kOutH, rects, 8), 1);
    expect(true, "after a change");
  }
  plat::Sleep(plat::kHintsMs);
  EXPECT_GE(present.Present(*back, all, out.data(), kOutW * 4, kOutW, kOutH, rects, 8), 1);
  expect(false, "once the hints are gone");
  EXPECT_EQ(present.Present(*back, all, out.data(), kOutW * 4, kOutW, kOutH, rects, 8), 0) << "nothing changed";
  plat::ReleaseSurface(back);
}

// The first key taken off the queue ends them.
TEST_F(Hints, EndAtTheFirstKey) {
  EXPECT_LT(Draw().left, Draw().right);
  plat::PostMessage(plat::MainWindow(), WM_KEYDOWN, 'C', 0);
  plat::Message m;
  while (plat::PeekMessage(m)) {
  }
  const Rect gone = Draw();
  EXPECT_GE(gone.left, gone.right);
}

}  // namespace
