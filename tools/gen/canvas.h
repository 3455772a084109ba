// A small drawing canvas for generating the game's pictures: 24-bit colour,
// simple shapes, and BMP output. Deterministic: no randomness except through
// the seeded generator below.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace gen {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
  bool operator!=(const Rgb& o) const { return !(*this == o); }
};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kMagenta{255, 0, 255};

// Mixes two colours, t from 0 (a) to 1 (b).
Rgb Mix(Rgb a, Rgb b, float t);
Rgb Darker(Rgb c, float amount);   // amount 0..1 towards black
Rgb Lighter(Rgb c, float amount);  // amount 0..1 towards white

class Canvas {
 public:
  Canvas(int width, int height, Rgb background = kBlack);
  int width() const { return width_; }
  int height() const { return height_; }
  Rgb Get(int x, int y) const;
  void Set(int x, int y, Rgb c);  // outside the canvas does nothing
  void Fill(Rgb c);
  void FillRect(int x, int y, int w, int h, Rgb c);
  void Rect(int x, int y, int w, int h, Rgb c);  // outline
  void Line(int x0, int y0, int x1, int y1, Rgb c);
  void FillEllipse(int cx, int cy, int rx, int ry, Rgb c);
  void Ellipse(int cx, int cy, int rx, int ry, Rgb c);  // outline
  void FillCircle(int cx, int cy, int r, Rgb c) { FillEllipse(cx, cy, r, r, c); }
  // Fills a polygon given as x0, y0, x1, y1, ... (even-odd rule).
  void FillPolygon(const std::vector<int>& xy, Rgb c);
  // Draws a one-pixel outline of colour `outline` around every pixel that is
  // not `background`, inside the rectangle (x, y, w, h).
  void Outline(int x, int y, int w, int h, Rgb background, Rgb outline);
  // Copies another canvas (or a part) onto this one; pixels equal to `key`
  // in the source are skipped.
  void Blit(const Canvas& from, int sx, int sy, int w, int h, int dx, int dy, const Rgb* key = nullptr);
  // Mirrors a rectangle left to right in place.
  void MirrorX(int x, int y, int w, int h);
  // Writes a 24-bit bottom-up BMP; creates missing folders. False on failure.
  bool SaveBmp(const std::string& path) const;

 private:
  int width_, height_;
  std::vector<Rgb> pixels_;
};

// A small deterministic generator (the pictures and the stage must come out
// the same on every build).
class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed ? seed : 1) {}
  uint32_t Next();
  int Range(int low, int high);  // inclusive
 private:
  uint32_t state_;
};

}  // namespace gen
