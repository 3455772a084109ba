// A frame's worth of primitives on an 800 x 600 RGB565 back screen (100
// lines of width 1, 100 of width 5, 50 filled rectangles, 20 hatched
// polygons, 20 Bezier curves), through the library and through cairo
// directly on the same kind of buffer. Goal: the library's frame within
// 1 ms. And a 256 x 256 picture taken from the end of a pack of 100
// entries against the same picture loaded from its BMP file.
//
// Compare Ours/PrimitiveFrame with Cairo/PrimitiveFrame, and
// Ours/LoadPack with Ours/LoadObject.
#include <benchmark/benchmark.h>
#include <cairo.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "draw/eldraw.h"
#include "headless_screen.h"
#include "platform/platform.h"
#include "shell/elsystem.h"

namespace {

struct Shapes {
  struct Line {
    int x1, y1, x2, y2, width;
    uint32_t colour;
  };
  struct Box {
    int left, top, right, bottom;
    uint32_t fill, pen;
  };
  std::vector<Line> lines;
  std::vector<Box> boxes;
  std::vector<std::vector<elDraw::Point>> polygons, curves;
};

// The same shapes every run.
Shapes MakeShapes() {
  uint32_t seed = 7;
  auto next = [&seed](int range) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 8) % static_cast<uint32_t>(range));
  };
  Shapes s;
  for (int i = 0; i < 200; ++i)
    s.lines.push_back({next(800), next(600), next(800), next(600), i < 100 ? 1 : 5,
                       static_cast<uint32_t>(next(0xFFFFFF))});
  for (int i = 0; i < 50; ++i) {
    const int x = next(700), y = next(500);
    s.boxes.push_back({x, y, x + 10 + next(120), y + 10 + next(90), static_cast<uint32_t>(next(0xFFFFFF)),
                       static_cast<uint32_t>(next(0xFFFFFF))});
  }
  for (int i = 0; i < 20; ++i) {
    const int cx = 60 + next(680), cy = 60 + next(480);
    std::vector<elDraw::Point> p;
    for (int k = 0; k < 6; ++k) p.push_back({cx - 60 + next(120), cy - 60 + next(120)});
    s.polygons.push_back(p);
    std::vector<elDraw::Point> c;
    for (int k = 0; k < 4; ++k) c.push_back({next(800), next(600)});
    s.curves.push_back(c);
  }
  return s;
}

void Ours_PrimitiveFrame(benchmark::State& state) {
  HeadlessScreen screen;
  if (!screen.ok()) return state.SkipWithError("no headless screen");
  const Shapes s = MakeShapes();
  for (auto _ : state) {
    for (const auto& l : s.lines) elDraw::Line(l.x1, l.y1, l.x2, l.y2, l.colour, l.width);
    for (const auto& b : s.boxes) elDraw::Rectangle(b.left, b.top, b.right, b.bottom, b.fill, b.pen, 1);
    for (size_t i = 0; i < s.polygons.size(); ++i)
      elDraw::Polygon(s.polygons[i].data(), 6, 0x00FFFF, 0x400040, 1, 1 + i % 2);
    for (size_t i = 0; i < s.curves.size(); ++i)
      elDraw::Bezier(s.curves[i].data(), 4, 0xFFFFFF, i % 2 ? 3 : 1);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(Ours_PrimitiveFrame)->Unit(benchmark::kMicrosecond);

void SetColour(cairo_t* cr, uint32_t c) {
  cairo_set_source_rgb(cr, (c & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, ((c >> 16) & 0xFF) / 255.0);
}

void Cairo_PrimitiveFrame(benchmark::State& state) {
  std::vector<uint16_t> pixels(800 * 600);
  cairo_surface_t* surface = cairo_image_surface_create_for_data(
      reinterpret_cast<unsigned char*>(pixels.data()), CAIRO_FORMAT_RGB16_565, 800, 600, 1600);
  cairo_t* cr = cairo_create(surface);
  cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
  uint32_t hatch[64];
  for (int i = 0; i < 64; ++i) hatch[i] = ((i % 8 - i / 8) & 7) == 0 ? 0xFFFFFF00u : 0;
  cairo_surface_t* cell = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(hatch),
                                                              CAIRO_FORMAT_ARGB32, 8, 8, 32);
  cairo_pattern_t* pattern = cairo_pattern_create_for_surface(cell);
  cairo_pattern_set_extend(pattern, CAIRO_EXTEND_REPEAT);
  const Shapes s = MakeShapes();
  for (auto _ : state) {
    for (const auto& l : s.lines) {
      cairo_move_to(cr, l.x1 + 0.5, l.y1 + 0.5);
      cairo_line_to(cr, l.x2 + 0.5, l.y2 + 0.5);
      cairo_set_line_width(cr, l.width);
      SetColour(cr, l.colour);
      cairo_stroke(cr);
    }
    cairo_set_line_width(cr, 1);
    for (const auto& b : s.boxes) {
      cairo_rectangle(cr, b.left, b.top, b.right - b.left, b.bottom - b.top);
      SetColour(cr, b.fill);
      cairo_fill(cr);
      cairo_rectangle(cr, b.left + 0.5, b.top + 0.5, b.right - b.left - 1, b.bottom - b.top - 1);
      SetColour(cr, b.pen);
      cairo_stroke(cr);
    }
    cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
    for (const auto& p : s.polygons) {
      cairo_move_to(cr, p[0].x, p[0].y);
      for (const auto& q : p) cairo_line_to(cr, q.x, q.y);
      cairo_close_path(cr);
      cairo_set_source(cr, pattern);
      cairo_fill_preserve(cr);
      SetColour(cr, 0x00FFFF);
      cairo_stroke(cr);
    }
    for (size_t i = 0; i < s.curves.size(); ++i) {
      const auto& c = s.curves[i];
      cairo_move_to(cr, c[0].x + 0.5, c[0].y + 0.5);
      cairo_curve_to(cr, c[1].x + 0.5, c[1].y + 0.5, c[2].x + 0.5, c[2].y + 0.5, c[3].x + 0.5, c[3].y + 0.5);
      cairo_set_line_width(cr, i % 2 ? 3 : 1);
      SetColour(cr, 0xFFFFFF);
      cairo_stroke(cr);
    }
    cairo_surface_flush(surface);
    benchmark::ClobberMemory();
  }
  cairo_pattern_destroy(pattern);
  cairo_surface_destroy(cell);
  cairo_destroy(cr);
  cairo_surface_destroy(surface);
}
BENCHMARK(Cairo_PrimitiveFrame)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------

// A folder in the program folder holding "big.bmp" (256 x 256, 24 bits) and
// "pack.dat": 99 pictures of 64 x 64, then the same big picture.
class PackFolder {
 public:
  PackFolder() {
    name_ = "benchpack" + std::to_string(getpid());
    real_ = plat::ResolvePath(elSystem::GetProgramFolder(0)) + "/" + name_;
    std::filesystem::create_directories(real_);
    const int side = 256, rowSize = side * 3;
    std::vector<uint8_t> bmp(54 + rowSize * side);
    auto put32 = [&](int at, uint32_t v) {
      for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, side);
    put32(22, side);
    bmp[26] = 1;
    bmp[28] = 24;
    for (size_t i = 54; i < bmp.size(); ++i) bmp[i] = static_cast<uint8_t>(i * 7);
    std::ofstream(real_ + "/big.bmp", std::ios::binary)
        .write(reinterpret_cast<const char*>(bmp.data()), static_cast<std::streamsize>(bmp.size()));

    std::ofstream pack(real_ + "/pack.dat", std::ios::binary);
    auto entry = [&pack](int w, int h, const std::string& name) {
      const char size[4] = {static_cast<char>(w), static_cast<char>(w >> 8), static_cast<char>(h),
                            static_cast<char>(h >> 8)};
      pack.write(size, 4);
      pack.write(name.c_str(), static_cast<std::streamsize>(name.size() + 1));
      std::vector<char> pixels(2 * static_cast<size_t>(w) * h);
      for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<char>(i * 13 & 0x7F);
      pack.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    };
    for (int i = 0; i < 99; ++i) entry(64, 64, "PIC" + std::to_string(i) + ".BMP");
    entry(256, 256, "BIG.BMP");
  }
  ~PackFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(real_, ignored);
  }
  std::string Name(const std::string& file) const { return name_ + "\\" + file; }

 private:
  std::string name_, real_;
};

void Ours_LoadPack(benchmark::State& state) {
  HeadlessScreen screen;
  if (!screen.ok()) return state.SkipWithError("no headless screen");
  PackFolder folder;
  elDraw::SetPackFile(folder.Name("pack.dat").c_str());
  for (auto _ : state) {
    const int slot = elDraw::LoadPack("big.bmp", 2);
    if (slot == 0) return state.SkipWithError("no pack entry");
    elDraw::ReleaseObject(slot);
  }
}
BENCHMARK(Ours_LoadPack)->Unit(benchmark::kMicrosecond);

void Ours_LoadObject(benchmark::State& state) {
  HeadlessScreen screen;
  if (!screen.ok()) return state.SkipWithError("no headless screen");
  PackFolder folder;
  const std::string name = folder.Name("big.bmp");
  for (auto _ : state) {
    const int slot = elDraw::LoadObject(name.c_str(), 2);
    if (slot == 0) return state.SkipWithError("no picture");
    elDraw::ReleaseObject(slot);
  }
}
BENCHMARK(Ours_LoadObject)->Unit(benchmark::kMicrosecond);

}  // namespace
