#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace gen {

Rgb Mix(Rgb a, Rgb b, float t) {
  auto m = [t](uint8_t x, uint8_t y) {
    return static_cast<uint8_t>(std::lround(x + (y - x) * t));
  };
  return Rgb{m(a.r, b.r), m(a.g, b.g), m(a.b, b.b)};
}
Rgb Darker(Rgb c, float amount) { return Mix(c, Rgb{0, 0, 0}, amount); }
Rgb Lighter(Rgb c, float amount) { return Mix(c, Rgb{255, 255, 255}, amount); }

Canvas::Canvas(int width, int height, Rgb background)
    : width_(width), height_(height), pixels_(static_cast<size_t>(width) * height, background) {}

Rgb Canvas::Get(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return kBlack;
  return pixels_[static_cast<size_t>(y) * width_ + x];
}

void Canvas::Set(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<size_t>(y) * width_ + x] = c;
}

void Canvas::Fill(Rgb c) { std::fill(pixels_.begin(), pixels_.end(), c); }

void Canvas::FillRect(int x, int y, int w, int h, Rgb c) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) Set(i, j, c);
}

void Canvas::Rect(int x, int y, int w, int h, Rgb c) {
  if (w <= 0 || h <= 0) return;
  for (int i = x; i < x + w; ++i) {
    Set(i, y, c);
    Set(i, y + h - 1, c);
  }
  for (int j = y; j < y + h; ++j) {
    Set(x, j, c);
    Set(x + w - 1, j, c);
  }
}

void Canvas::Line(int x0, int y0, int x1, int y1, Rgb c) {
  int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
  int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    Set(x0, y0, c);
    if (x0 == x1 && y0 == y1) break;
    int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x0 += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y0 += sy;
    }
  }
}

void Canvas::FillEllipse(int cx, int cy, int rx, int ry, Rgb c) {
  if (rx < 0 || ry < 0) return;
  for (int y = -ry; y <= ry; ++y) {
    for (int x = -rx; x <= rx; ++x) {
      float fx = rx ? static_cast<float>(x) / (rx + 0.5f) : 0.0f;
      float fy = ry ? static_cast<float>(y) / (ry + 0.5f) : 0.0f;
      if (fx * fx + fy * fy <= 1.0f) Set(cx + x, cy + y, c);
    }
  }
}

void Canvas::Ellipse(int cx, int cy, int rx, int ry, Rgb c) {
  for (int y = -ry; y <= ry; ++y) {
    for (int x = -rx; x <= rx; ++x) {
      auto inside = [&](int px, int py) {
        float fx = rx ? static_cast<float>(px) / (rx + 0.5f) : 0.0f;
        float fy = ry ? static_cast<float>(py) / (ry + 0.5f) : 0.0f;
        return fx * fx + fy * fy <= 1.0f;
      };
      if (inside(x, y) && (!inside(x + 1, y) || !inside(x - 1, y) || !inside(x, y + 1) || !inside(x, y - 1)))
        Set(cx + x, cy + y, c);
    }
  }
}

void Canvas::FillPolygon(const std::vector<int>& xy, Rgb c) {
  size_t n = xy.size() / 2;
  if (n < 3) return;
  int minY = xy[1], maxY = xy[1];
  for (size_t i = 0; i < n; ++i) {
    minY = std::min(minY, xy[2 * i + 1]);
    maxY = std::max(maxY, xy[2 * i + 1]);
  }
  for (int y = minY; y <= maxY; ++y) {
    float fy = y + 0.5f;
    std::vector<float> xs;
    for (size_t i = 0; i < n; ++i) {
      float x0 = xy[2 * i], y0 = xy[2 * i + 1];
      float x1 = xy[2 * ((i + 1) % n)], y1 = xy[2 * ((i + 1) % n) + 1];
      if ((y0 <= fy && y1 > fy) || (y1 <= fy && y0 > fy)) xs.push_back(x0 + (fy - y0) * (x1 - x0) / (y1 - y0));
    }
    std::sort(xs.begin(), xs.end());
    for (size_t k = 0; k + 1 < xs.size(); k += 2) {
      for (int x = static_cast<int>(std::ceil(xs[k] - 0.5f)); x < static_cast<int>(std::ceil(xs[k + 1] - 0.5f)); ++x)
        Set(x, y, c);
    }
  }
}

void Canvas::Outline(int x, int y, int w, int h, Rgb background, Rgb outline) {
  std::vector<Rgb> copy = pixels_;
  auto at = [&](int px, int py) {
    if (px < x || py < y || px >= x + w || py >= y + h) return background;
    return copy[static_cast<size_t>(py) * width_ + px];
  };
  for (int j = y; j < y + h; ++j) {
    for (int i = x; i < x + w; ++i) {
      if (at(i, j) != background) continue;
      if (at(i - 1, j) != background && at(i - 1, j) != outline) Set(i, j, outline);
      else if (at(i + 1, j) != background && at(i + 1, j) != outline) Set(i, j, outline);
      else if (at(i, j - 1) != background && at(i, j - 1) != outline) Set(i, j, outline);
      else if (at(i, j + 1) != background && at(i, j + 1) != outline) Set(i, j, outline);
    }
  }
}

void Canvas::Blit(const Canvas& from, int sx, int sy, int w, int h, int dx, int dy, const Rgb* key) {
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      Rgb c = from.Get(sx + i, sy + j);
      if (key && c == *key) continue;
      Set(dx + i, dy + j, c);
    }
  }
}

void Canvas::MirrorX(int x, int y, int w, int h) {
  for (int j = y; j < y + h; ++j) {
    for (int i = 0; i < w / 2; ++i) {
      Rgb a = Get(x + i, j), b = Get(x + w - 1 - i, j);
      Set(x + i, j, b);
      Set(x + w - 1 - i, j, a);
    }
  }
}

bool Canvas::SaveBmp(const std::string& path) const {
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  int row = (width_ * 3 + 3) & ~3;
  uint32_t imageSize = static_cast<uint32_t>(row) * height_;
  uint8_t header[54] = {'B', 'M'};
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) header[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put32(2, 54 + imageSize);
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width_));
  put32(22, static_cast<uint32_t>(height_));
  header[26] = 1;
  header[28] = 24;
  put32(34, imageSize);
  put32(38, 2834);
  put32(42, 2834);
  std::fwrite(header, 1, sizeof header, f);
  std::vector<uint8_t> line(static_cast<size_t>(row), 0);
  for (int y = height_ - 1; y >= 0; --y) {
    for (int x = 0; x < width_; ++x) {
      Rgb c = pixels_[static_cast<size_t>(y) * width_ + x];
      line[x * 3] = c.b;
      line[x * 3 + 1] = c.g;
      line[x * 3 + 2] = c.r;
    }
    std::fwrite(line.data(), 1, line.size(), f);
  }
  return std::fclose(f) == 0;
}

uint32_t Random::Next() {
  // xorshift32
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return state_;
}

int Random::Range(int low, int high) {
  return low + static_cast<int>(Next() % static_cast<uint32_t>(high - low + 1));
}

}  // namespace gen
