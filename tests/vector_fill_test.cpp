// Our own polygon fill against cairo filling the same path with
// antialiasing off in alternate mode: random polygons inside the surface,
// across its edges, far off it and degenerate, on every depth, must cover
// exactly the same pixels, with the brush's values and the hatch.
#include <cairo.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include "platform/surface.h"
#include "platform/vector.h"
#include "platform/vector_fill.h"

namespace {

constexpr int kW = 67, kH = 45;

// Which pixels cairo covers when it fills the polygon on a surface of kW x kH.
std::vector<uint8_t> CairoCoverage(const std::vector<plat::Point>& p) {
  std::vector<uint32_t> pixels(static_cast<size_t>(kW) * kH, 0);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(pixels.data()), CAIRO_FORMAT_RGB24, kW, kH, kW * 4);
  cairo_t* cr = cairo_create(surface);
  cairo_move_to(cr, p[0].x, p[0].y);
  for (size_t i = 1; i < p.size(); ++i) cairo_line_to(cr, p[i].x, p[i].y);
  cairo_close_path(cr);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
  cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_fill(cr);
  cairo_surface_flush(surface);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
  std::vector<uint8_t> covered(pixels.size());
  for (size_t i = 0; i < pixels.size(); ++i) covered[i] = (pixels[i] & 0xFFFFFF) != 0;
  return covered;
}

// A random polygon of 3 to 9 corners: small or large, inside, across the
// edges or far off, sometimes with repeated or level corners.
std::vector<plat::Point> RandomPolygon(uint32_t& seed) {
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  };
  static const int kSpreads[] = {4, 20, 70, 300, 5000, 2 * plat::kFillReach};
  const int spread = kSpreads[next(6)];
  const int cx = kW / 2 - 60 + next(120), cy = kH / 2 - 50 + next(100);
  std::vector<plat::Point> p(3 + next(7));
  for (plat::Point& q : p) {
    q = {cx + next(spread + 1) - spread / 2, cy + next(spread + 1) - spread / 2};
    if (next(8) == 0) q = p[0];                 // a repeated corner
    if (next(8) == 0) q.y = p[0].y;             // a level edge
  }
  return p;
}

std::string Describe(const std::vector<plat::Point>& p) {
  std::ostringstream out;
  for (const plat::Point& q : p) out << "(" << q.x << "," << q.y << ")";
  return out.str();
}

class FillTest : public ::testing::TestWithParam<int> {};

TEST_P(FillTest, CoversTheSamePixelsAsCairo) {
  const plat::PixelFormat format = plat::FormatForDepth(GetParam());
  const int bpp = format.bytesPerPixel;
  plat::Surface s;
  s.width = kW;
  s.height = kH;
  s.pitch = kW * bpp + 6;
  s.format = format;
  std::vector<uint8_t> memory(static_cast<size_t>(s.pitch) * kH);
  s.pixels = memory.data();
  const uint32_t bits = format.redMask | format.greenMask | format.blueMask;
  const auto ground = [&](int x, int y) { return static_cast<uint32_t>(x * 7919 + y * 104729) & bits; };

  uint32_t seed = 2024u + static_cast<uint32_t>(GetParam());
  for (int n = 0; n < 3000; ++n) {
    const std::vector<plat::Point> p = RandomPolygon(seed);
    if (plat::ReachesFar(p.data(), static_cast<int>(p.size()))) continue;
    plat::Brush brush;
    brush.style = n % 3 == 0 ? plat::Brush::Style::Solid : plat::Brush::Style::DiagonalCross;
    brush.value = 0x12345678u & bits;
    brush.background = 0x0F0F0F0Fu & bits;
    brush.opaqueGaps = n % 3 == 1;
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x)
        plat::StorePixelValue(s.pixels + y * s.pitch + x * bpp, bpp, ground(x, y));
    plat::FillEvenOdd(s, p.data(), static_cast<int>(p.size()), brush);
    const std::vector<uint8_t> covered = CairoCoverage(p);
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        uint32_t want = ground(x, y);
        if (covered[y * kW + x]) {
          if (brush.style == plat::Brush::Style::Solid || plat::OnDiagonalCross(x, y)) want = brush.value;
          else if (brush.opaqueGaps) want = brush.background;
        }
        ASSERT_EQ(plat::LoadPixelValue(s.pixels + y * s.pitch + x * bpp, bpp), want)
            << "polygon " << n << " " << Describe(p) << " at " << x << "," << y;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, FillTest, ::testing::Values(15, 16, 24, 32));

}  // namespace
