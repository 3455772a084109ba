// Primitives on the back screen: where their pixels go, on every depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <vector>

#include "draw_fixture.h"
#include "golden.h"
#include "platform/image/surface.h"
#include "platform/vector/vector.h"

namespace {

using drawtest::DrawFixture;
using elDraw::Point;

constexpr uint32_t kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000, kYellow = 0x00FFFF;
constexpr uint32_t kWhite = 0xFFFFFF, kGrey = 0x606060, kPurple = 0x800080;

// Every primitive once, in six tiles of 64 x 64 on a grey ground.
void DrawScene() {
  elDraw::FillColor(0, 0, 384, 64, 0);
  elDraw::Rectangle(0, 0, 384, 64, kGrey, kGrey, 1);
  // Tile 0: one-pixel lines in sixteen directions and a wide one.
  for (int i = 0; i < 16; ++i) {
    static const int dx[16] = {24, 24, 24, 12, 0, -12, -24, -24, -24, -24, -24, -12, 0, 12, 24, 24};
    static const int dy[16] = {0, 12, 24, 24, 24, 24, 24, 12, 0, -12, -24, -24, -24, -24, -24, -12};
    elDraw::Line(32, 32, 32 + dx[i], 32 + dy[i], i % 2 ? kWhite : kYellow, 1);
  }
  elDraw::Line(4, 60, 60, 50, kRed, 5);
  // Tile 1: a rectangle with a one-pixel pen and one with a wide pen.
  elDraw::Rectangle(68, 4, 124, 28, kBlue, kRed, 1);
  elDraw::Rectangle(72, 36, 120, 58, kGreen, kYellow, 5);
  // Tile 2: a five-pointed star, hatched on a background colour; its
  // middle stays empty in alternate mode.
  const Point star[5] = {{160, 4}, {178, 58}, {132, 24}, {188, 24}, {142, 58}};
  elDraw::Polygon(star, 5, kWhite, kPurple, 1, 1);
  // Tile 3: a hatch over a transparent background, and an outline only.
  const Point quad[4] = {{196, 6}, {250, 10}, {236, 40}, {200, 30}};
  elDraw::Polygon(quad, 4, kYellow, kPurple, 1, 2);
  const Point tri[3] = {{200, 60}, {220, 44}, {252, 58}};
  elDraw::Polygon(tri, 3, kRed, kPurple, 3, 0);
  // Tile 4: Bezier curves, two joined thin ones and a wide one.
  const Point curve[7] = {{260, 30}, {270, 0}, {290, 0}, {300, 30}, {310, 60}, {318, 60}, {318, 30}};
  elDraw::Bezier(curve, 7, kWhite, 1);
  const Point wide[4] = {{262, 58}, {280, 36}, {300, 62}, {316, 44}};
  elDraw::Bezier(wide, 4, kGreen, 4);
  // Tile 5: single pixels, and an inverted block across them.
  for (int i = 0; i < 8; ++i) elDraw::SetPixel(330 + 6 * i, 10, i % 2 ? kRed : kWhite);
  elDraw::Rectangle(330, 20, 370, 50, kBlue, kWhite, 1);
  elDraw::InvertArea(340, 6, 360, 40);
}

// ---------------------------------------------------------------------------

class PrimitivesTest : public DrawFixture {};

TEST_F(PrimitivesTest, GoldenScene) {
#if defined(_WIN32)
  GTEST_SKIP() << "the golden picture holds cairo's wide outlines and curves; GDI draws those on Windows";
#endif
  DrawScene();
  golden::Expect("primitives", Back(), plat::Rect{0, 0, 384, 64});
}

// The same scene gives the same picture on every depth: each pixel is
// exactly the value its colour becomes on that screen (or that value
// inverted), in the same places as on the 16-bit screen.
class PrimitivesDepthTest : public DrawFixture, public ::testing::WithParamInterface<int> {
 protected:
  int Depth() const override { return GetParam(); }
};

std::vector<int> SceneClasses(plat::Surface& s) {
  const uint32_t palette[] = {0, kRed, kGreen, kBlue, kYellow, kWhite, kGrey, kPurple};
  const uint32_t bits = s.format.redMask | s.format.greenMask | s.format.blueMask;
  std::map<uint32_t, int> classOf;
  for (int i = 0; i < 8; ++i) {
    classOf.emplace(plat::ColourToPixel(s.format, palette[i]), i);
    classOf.emplace(plat::ColourToPixel(s.format, palette[i]) ^ bits, 8 + i);
  }
  std::vector<int> classes;
  for (uint32_t v : drawtest::SurfacePixels(s)) {
    auto it = classOf.find(v);
    classes.push_back(it == classOf.end() ? -1 : it->second);
  }
  return classes;
}

TEST_P(PrimitivesDepthTest, SamePixelsAsOnTheSixteenBitScreen) {
  DrawScene();
  const std::vector<int> here = SceneClasses(Back());
  TearDown();
  ASSERT_TRUE(drawtest::StartWindowedDesktop(16));
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  DrawScene();
  const std::vector<int> reference = SceneClasses(Back());
  int differing = 0;
  for (size_t i = 0; i < here.size(); ++i) differing += here[i] != reference[i] || here[i] < 0;
  EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(Depths, PrimitivesDepthTest, ::testing::Values(15, 24, 32));

// ---------------------------------------------------------------------------

// Which pixels a shape sets, against a plain description of them.
struct ShapeCase {
  const char* what;
  void (*draw)();
  bool (*expected)(int x, int y);  // the pixel carries the drawing colour
};

const ShapeCase kShapes[] = {
    {"a line leaves out its last point",
     [] { elDraw::Line(10, 5, 20, 5, kWhite, 1); },
     [](int x, int y) { return y == 5 && x >= 10 && x < 20; }},
    {"a diagonal sets one pixel a column",
     [] { elDraw::Line(0, 0, 8, 8, kWhite, 1); },
     [](int x, int y) { return x == y && x < 8; }},
    {"a line of no length draws nothing",
     [] { elDraw::Line(7, 7, 7, 7, kWhite, 1); },
     [](int, int) { return false; }},
    {"a wide pen is centred on the line with round ends",
     [] { elDraw::Line(10, 10, 20, 10, kWhite, 5); },
     [](int x, int y) {
       const int cx = x < 10 ? 10 : x > 20 ? 20 : x;
       return (x - cx) * (x - cx) + (y - 10) * (y - 10) <= 6;
     }},
    {"a rectangle's right and bottom edges lie outside it",
     [] { elDraw::Rectangle(10, 10, 20, 15, kWhite, kWhite, 1); },
     [](int x, int y) { return x >= 10 && x < 20 && y >= 10 && y < 15; }},
    {"the pen runs along the outermost pixels",
     [] { elDraw::Rectangle(10, 10, 20, 15, 0, kWhite, 1); },
     [](int x, int y) {
       return x >= 10 && x < 20 && y >= 10 && y < 15 && (x == 10 || x == 19 || y == 10 || y == 14);
     }},
    {"a polygon in mode 0 is its outline only",
     [] {
       const Point p[4] = {{10, 10}, {20, 10}, {20, 20}, {10, 20}};
       elDraw::Polygon(p, 4, kWhite, kRed, 1, 0);
     },
     [](int x, int y) {
       return x >= 10 && x <= 20 && y >= 10 && y <= 20 && (x == 10 || x == 20 || y == 10 || y == 20);
     }},
    {"a hatch on a transparent background leaves the gaps alone",
     [] {
       const Point p[4] = {{10, 10}, {30, 10}, {30, 30}, {10, 30}};
       elDraw::Polygon(p, 4, kWhite, kRed, 1, 2);
     },
     [](int x, int y) {
       const bool inside = x >= 10 && x <= 30 && y >= 10 && y <= 30;
       const bool edge = x == 10 || x == 30 || y == 10 || y == 30;
       return inside && (edge || plat::OnDiagonalCross(x, y));
     }},
    {"a Bezier needs 1 + 3n points",
     [] {
       const Point p[5] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {5, 5}};
       elDraw::Bezier(p, 5, kWhite, 1);
       elDraw::Bezier(p, 3, kWhite, 3);
     },
     [](int, int) { return false; }},
};

TEST_F(PrimitivesTest, ShapesSetExactlyTheirPixels) {
  const uint32_t white = plat::ColourToPixel(Back().format, kWhite);
  for (const ShapeCase& c : kShapes) {
    elDraw::Clear();
    c.draw();
    int wrong = 0;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x) wrong += (BackPixel(x, y) == white) != c.expected(x, y);
    EXPECT_EQ(wrong, 0) << c.what;
    EXPECT_EQ(CountOutside(0, 0, 40, 40), 0) << c.what;
  }
}

TEST_F(PrimitivesTest, GetPixelGivesRedInTheLowByte) {
  TearDown();
  ASSERT_TRUE(drawtest::StartWindowedDesktop(32));
  ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
  EXPECT_EQ(elDraw::SetPixel(3, 4, 0x00332211), 1);
  int r = 0, g = 0, b = 0;
  elDraw::GetPixel(3, 4, &r, &g, &b);
  EXPECT_EQ(r, 0x11);
  EXPECT_EQ(g, 0x22);
  EXPECT_EQ(b, 0x33);
  // Outside the screen the answer has every bit set.
  elDraw::GetPixel(800, 0, &r, &g, &b);
  EXPECT_EQ(r + g + b, 3 * 255);
}

TEST_F(PrimitivesTest, CutToTheScreenNotToTheClipRectangle) {
  elDraw::SetClip(100, 100, 200, 200);
  EXPECT_EQ(elDraw::Line(-1000000, 5, 1000000, 5, kWhite, 1), 1);
  EXPECT_EQ(elDraw::Line(-5000000, -5000000, 5000000, 5000000, kWhite, 7), 1);
  EXPECT_NE(BackPixel(0, 5), 0u);
  EXPECT_NE(BackPixel(599, 599), 0u);
  // A triangle reaching billions of pixels away keeps its edges' slopes: the
  // upper edge crosses x = 400 just below y = 150.
  elDraw::Clear();
  const Point far[3] = {{-2000000000, 0}, {2000000000, 300}, {0, 2000000000}};
  EXPECT_EQ(elDraw::Polygon(far, 3, kWhite, 0, 1, 1), 1);
  EXPECT_EQ(BackPixel(400, 149), 0u);
  EXPECT_NE(BackPixel(400, 160), 0u);  // on the hatch
  EXPECT_EQ(elDraw::Rectangle(-10, -10, 900, 700, kWhite, kRed, 9), 1);
  EXPECT_EQ(elDraw::InvertArea(-50, -50, 5000, 5000), 1);
}

TEST_F(PrimitivesTest, ALostScreenDrawsNothing) {
  plat::LoseAllSurfaces();
  const Point p[4] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  EXPECT_EQ(elDraw::Line(0, 0, 10, 10, kWhite, 1), 0);
  EXPECT_EQ(elDraw::Rectangle(0, 0, 10, 10, kWhite, kWhite, 1), 0);
  EXPECT_EQ(elDraw::Polygon(p, 4, kWhite, 0, 1, 1), 0);
  EXPECT_EQ(elDraw::Bezier(p, 4, kWhite, 1), 0);
  EXPECT_EQ(elDraw::SetPixel(1, 1, kWhite), 0);
  EXPECT_EQ(elDraw::InvertArea(0, 0, 10, 10), 0);
  plat::Restore(Back());
  EXPECT_EQ(CountNonZero(), 0);
}

}  // namespace

// The one-pixel pen against the plain rule, step by step with a division and
// a bounds test for each pixel: lines that cross the edges, and end points
// far away, must set exactly the same pixels.
TEST(ThinPen, MatchesThePlainRuleAcrossTheEdges) {
  constexpr int kW = 61, kH = 47;
  plat::Surface* s = plat::CreateSurface(kW, kH);
  ASSERT_NE(s, nullptr);
  ASSERT_EQ(s->format.bytesPerPixel, 2);
  std::vector<uint8_t> expected(static_cast<size_t>(s->pitch) * kH);
  uint32_t seed = 12345;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range)) - range / 2;
  };
  for (int n = 0; n < 3000; ++n) {
    const int far = n % 10 == 0 ? 2000000000 : (n % 3 == 0 ? 400 : 90);
    const plat::Point ends[2] = {{next(far) + kW / 2, next(far) + kH / 2},
                                 {next(far) + kW / 2, next(far) + kH / 2}};
    std::memset(s->pixels, 0, expected.size());
    std::memset(expected.data(), 0, expected.size());
    ASSERT_TRUE(plat::DrawPolyline(*s, ends, 2, false, 0xFFFF, 1));
    const int64_t dx = int64_t{ends[1].x} - ends[0].x, dy = int64_t{ends[1].y} - ends[0].y;
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const int64_t steps = xMajor ? std::llabs(dx) : std::llabs(dy), minor = xMajor ? std::llabs(dy) : std::llabs(dx);
    // Only the steps whose major coordinate is on the surface can land on it.
    const int64_t start = xMajor ? ends[0].x : ends[0].y, sign = (xMajor ? dx : dy) < 0 ? -1 : 1;
    const int64_t limit = xMajor ? kW : kH;
    const int64_t iLo = std::max<int64_t>(0, sign > 0 ? -start : start - (limit - 1));
    const int64_t iHi = std::min<int64_t>(steps - 1, sign > 0 ? limit - 1 - start : start);
    for (int64_t i = iLo; i <= iHi; ++i) {
      const int64_t major = start + sign * i;
      const int64_t off = static_cast<int64_t>((__int128{2} * i * minor + steps - 1) / (2 * steps));
      const int64_t side = (xMajor ? ends[0].y : ends[0].x) + ((xMajor ? dy : dx) < 0 ? -off : off);
      const int64_t x = xMajor ? major : side, y = xMajor ? side : major;
      if (x >= 0 && y >= 0 && x < kW && y < kH) expected[static_cast<size_t>(y) * s->pitch + 2 * x] = 0xFF;
    }
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        ASSERT_EQ(s->pixels[static_cast<size_t>(y) * s->pitch + 2 * x], expected[static_cast<size_t>(y) * s->pitch + 2 * x])
            << "line " << n << " (" << ends[0].x << "," << ends[0].y << ")-(" << ends[1].x << "," << ends[1].y
            << ") at " << x << "," << y;
  }
  plat::ReleaseSurface(s);
}

// What our own pens leave to the system's library still draws there: a pen
// wider than our own, several segments, an end far away. With round ends and
// joins a wide path covers the points within half its width of a segment;
// a pixel well inside is set, one well outside is not. Shapes wholly off
// the surface draw nothing.
TEST(VectorFront, WidePathsLeftToTheSystemCoverTheirPen) {
  constexpr int kW = 200, kH = 120;
  struct Case {
    const char* what;
    std::vector<plat::Point> points;
    bool closed;
    int width;
  };
  const Case cases[] = {
      {"one segment, pen wider than our own", {{40, 60}, {160, 60}}, false, 90},
      {"open, three segments", {{20, 20}, {180, 30}, {100, 100}, {10, 90}}, false, 9},
      {"closed", {{30, 30}, {170, 30}, {170, 90}, {30, 90}}, true, 12},
      {"one end far away", {{100, 60}, {2000000, 1000000}}, false, 7},
      {"off the surface", {{-300, -300}, {-200, -250}, {-250, -100}}, true, 20},
  };
  plat::Surface* s = plat::CreateSurface(kW, kH);
  ASSERT_NE(s, nullptr);
  const int bytes = s->format.bytesPerPixel;
  for (const Case& c : cases) {
    std::memset(s->pixels, 0, static_cast<size_t>(s->pitch) * kH);
    const int n = static_cast<int>(c.points.size());
    ASSERT_TRUE(plat::DrawPolyline(*s, c.points.data(), n, c.closed, 0xFFFF, c.width)) << c.what;
    int wrong = 0;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        double nearest = 1e18;
        for (int i = 0; i < (c.closed ? n : n - 1); ++i) {
          const plat::Point& a = c.points[i];
          const plat::Point& b = c.points[(i + 1) % n];
          const double dx = static_cast<double>(b.x) - a.x, dy = static_cast<double>(b.y) - a.y;
          const double t = std::clamp(((x - a.x) * dx + (y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
          nearest = std::min(nearest, std::hypot(a.x + t * dx - x, a.y + t * dy - y));
        }
        const bool set = plat::LoadPixelValue(s->pixels + static_cast<size_t>(y) * s->pitch + x * bytes, bytes) != 0;
        wrong += (nearest < c.width / 2.0 - 1 && !set) || (nearest > c.width / 2.0 + 1 && set);
      }
    EXPECT_EQ(wrong, 0) << c.what;
  }
  plat::ReleaseSurface(s);
}
