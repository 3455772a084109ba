// Our own polygon fill and wide pen against cairo drawing the same path
// with antialiasing off: random shapes inside the surface, across its
// edges, far off it and degenerate, on every depth, must cover exactly the
// same pixels, with the brush's values and the hatch.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "platform/image/surface.h"
#include "platform/vector/vector.h"
#include "platform/vector/vector_fill.h"
#include "platform/vector/vector_pen.h"

namespace {

constexpr int kW = 67, kH = 45;

// Which pixels cairo covers on a surface of kW x kH when `draw` paints in
// white with antialiasing off.
template <typename Draw>
std::vector<uint8_t> CairoCoverage(Draw draw) {
  std::vector<uint32_t> pixels(static_cast<size_t>(kW) * kH, 0);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(pixels.data()), CAIRO_FORMAT_RGB24, kW, kH, kW * 4);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, 1, 1, 1);
  draw(cr);
  cairo_surface_flush(surface);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  std::vector<uint8_t> covered(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) covered[i] = (pixels[i] & 0xFFFFFF) != 0;
  return covered;
}

// Random numbers in [0, range), the same every run.
struct Random {
  uint32_t seed;
  int operator()(int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  }
};

// Random points around a random centre near the surface, spread a few
// pixels, across the surface, or far beyond it; sometimes repeated, or level
// or upright with the first.
std::vector<plat::Point> RandomPoints(Random& next, int count) {
  static const int kSpreads[] = {4, 20, 70, 300, 5000, 2 * plat::kFillReach};
  const int spread = kSpreads[next(6)];
  const int cx = kW / 2 - 60 + next(120), cy = kH / 2 - 50 + next(100);
  std::vector<plat::Point> p(count);
  for (plat::Point& q : p) {
    q = {cx + next(spread + 1) - spread / 2, cy + next(spread + 1) - spread / 2};
    if (next(8) == 0) q = p[0];
    if (next(8) == 0) q.y = p[0].y;
    if (next(8) == 0) q.x = p[0].x;
  }
  return p;
}

std::string Describe(const std::vector<plat::Point>& p) {
  std::ostringstream out;
  for (const plat::Point& q : p) out << "(" << q.x << "," << q.y << ")";
  return out.str();
}

// A kW x kH surface of the depth under test, with a patterned ground.
class OwnShapesTest : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    s_.width = kW;
    s_.height = kH;
    s_.format = plat::FormatForDepth(GetParam());
    bpp_ = s_.format.bytesPerPixel;
    s_.pitch = kW * bpp_ + 6;
    memory_.resize(static_cast<size_t>(s_.pitch) * kH);
    s_.pixels = memory_.data();
    bits_ = s_.format.redMask | s_.format.greenMask | s_.format.blueMask;
  }
  uint32_t Ground(int x, int y) const { return static_cast<uint32_t>(x * 7919 + y * 104729) & bits_; }
  void PaintGround() {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) plat::StorePixelValue(At(x, y), bpp_, Ground(x, y));
  }
  uint8_t* At(int x, int y) { return s_.pixels + y * s_.pitch + x * bpp_; }
  // Every pixel is `inside(x, y)` where cairo covered it and the ground
  // elsewhere; the first difference fails with the shape.
  template <typename Inside>
  void ExpectPixels(const std::vector<uint8_t>& covered, Inside inside, const std::string& shape) {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        const uint32_t want = covered[y * kW + x] ? inside(x, y) : Ground(x, y);
        ASSERT_EQ(plat::LoadPixelValue(At(x, y), bpp_), want) << shape << " at " << x << "," << y;
      }
  }

  plat::Surface s_;
  std::vector<uint8_t> memory_;
  int bpp_ = 2;
  uint32_t bits_ = 0;
};

TEST_P(OwnShapesTest, PolygonFillsCoverWhatCairoFills) {
  Random next{2024u + static_cast<uint32_t>(GetParam())};
  for (int n = 0; n < 3000; ++n) {
    const std::vector<plat::Point> p = RandomPoints(next, 3 + next(7));
    if (plat::ReachesFar(p.data(), static_cast<int>(p.size()))) continue;
    plat::Brush brush;
    brush.style = n % 3 == 0 ? plat::Brush::Style::Solid : plat::Brush::Style::DiagonalCross;
    brush.value = 0x12345678u & bits_;
    brush.background = 0x0F0F0F0Fu & bits_;
    brush.opaqueGaps = n % 3 == 1;
    PaintGround();
    plat::FillEvenOdd(s_, p.data(), static_cast<int>(p.size()), brush);
    const std::vector<uint8_t> covered = CairoCoverage([&](cairo_t* cr) {
      cairo_move_to(cr, p[0].x, p[0].y);
      for (size_t i = 1; i < p.size(); ++i) cairo_line_to(cr, p[i].x, p[i].y);
      cairo_close_path(cr);
      cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
      cairo_fill(cr);
    });
    ExpectPixels(covered, [&](int x, int y) {
      if (brush.style == plat::Brush::Style::Solid || plat::OnDiagonalCross(x, y)) return brush.value;
      return brush.opaqueGaps ? brush.background : Ground(x, y);
    }, "polygon " + std::to_string(n) + " " + Describe(p));
    if (HasFatalFailure()) return;
  }
}

TEST_P(OwnShapesTest, WidePenCoversWhatCairoStrokes) {
  Random next{77u + static_cast<uint32_t>(GetParam())};
  for (int n = 0; n < 3000; ++n) {
    const std::vector<plat::Point> p = RandomPoints(next, 2);
    const int width = n % 8 == 0 ? 2 + next(plat::kMaxOwnPenWidth - 1) : 2 + next(10);
    const uint32_t value = 0x5A5A5A5Au & bits_;
    PaintGround();
    if (!plat::WideSegment(s_, p[0], p[1], width, value)) continue;
    const std::vector<uint8_t> covered = CairoCoverage([&](cairo_t* cr) {
      cairo_move_to(cr, p[0].x + 0.5, p[0].y + 0.5);
      cairo_line_to(cr, p[1].x + 0.5, p[1].y + 0.5);
      cairo_set_line_width(cr, width);
      cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
      cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
      cairo_stroke(cr);
    });
    ExpectPixels(covered, [&](int, int) { return value; },
                 "segment " + std::to_string(n) + " " + Describe(p) + " width " + std::to_string(width));
    if (HasFatalFailure()) return;
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, OwnShapesTest, ::testing::Values(15, 16, 24, 32));

}  // namespace
