// The game's icon for the desktop: the princess facing the player, cut from
// her own sheet (written just before), on a transparent ground, as PNG files
// of the sizes desktops look for (icons/NxN/zolbeck.png).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "art.h"
#include "canvas.h"

namespace gen {
namespace {

struct Rgba {
  uint8_t r = 0, g = 0, b = 0, a = 0;
};

// Reads back a 24-bit bottom-up BMP as Canvas::SaveBmp writes it.
bool ReadBmp24(const std::string& path, int& width, int& height, std::vector<Rgb>& pixels) {
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  uint8_t header[54];
  bool ok = std::fread(header, 1, sizeof header, f) == sizeof header && header[0] == 'B' &&
            header[1] == 'M' && header[28] == 24;
  auto get32 = [&](int at) {
    return static_cast<int32_t>(header[at] | header[at + 1] << 8 | header[at + 2] << 16 |
                                static_cast<uint32_t>(header[at + 3]) << 24);
  };
  if (ok) {
    width = get32(18);
    height = get32(22);
    ok = width > 0 && height > 0 && width <= 4096 && height <= 4096;
  }
  if (ok) {
    const size_t row = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
    std::vector<uint8_t> line(row);
    pixels.assign(static_cast<size_t>(width) * height, Rgb{});
    for (int y = height - 1; ok && y >= 0; --y) {
      ok = std::fread(line.data(), 1, row, f) == row;
      for (int x = 0; ok && x < width; ++x) {
        pixels[static_cast<size_t>(y) * width + x] = Rgb{line[x * 3 + 2], line[x * 3 + 1], line[x * 3]};
      }
    }
  }
  std::fclose(f);
  return ok;
}

uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  std::vector<uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  Put32(out, Crc32(body.data(), body.size()));
}

// An RGBA PNG whose pixels are stored without compression (deflate's stored
// blocks): small pictures, and no library needed.
bool SavePng(const std::string& path, int size, const std::vector<Rgba>& pixels) {
  std::vector<uint8_t> raw;
  for (int y = 0; y < size; ++y) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < size; ++x) {
      const Rgba& p = pixels[static_cast<size_t>(y) * size + x];
      raw.insert(raw.end(), {p.r, p.g, p.b, p.a});
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  for (size_t at = 0; at < raw.size() || at == 0;) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    const bool last = at + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.insert(z.end(), {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8),
                       static_cast<uint8_t>(~n), static_cast<uint8_t>(~n >> 8)});
    z.insert(z.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    at += n;
    if (last) break;
  }
  uint32_t a = 1, b = 0;
  for (uint8_t v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  Put32(z, b << 16 | a);

  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  Put32(ihdr, static_cast<uint32_t>(size));
  Put32(ihdr, static_cast<uint32_t>(size));
  ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});

  std::filesystem::path p(path);
  std::filesystem::create_directories(p.parent_path());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

bool MakeIcon(const std::string& gameFolder) {
  int width = 0, height = 0;
  std::vector<Rgb> sheet;
  if (!ReadBmp24(gameFolder + "/BMP/princess.bmp", width, height, sheet)) return false;
  // The cell of the first frame facing down, towards the player.
  constexpr int kCell = 96, kColumn = 0, kRow = 0;
  if (width < kCell * (kColumn + 1) || height < kCell * (kRow + 1)) return false;
  std::vector<Rgba> cell(kCell * kCell);
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      Rgb c = sheet[static_cast<size_t>(kRow * kCell + y) * width + kColumn * kCell + x];
      // The colour key of the game's pictures becomes transparent.
      cell[y * kCell + x] = c == kMagenta ? Rgba{} : Rgba{c.r, c.g, c.b, 255};
    }
  }
  // The square around her, a pixel of margin on each side.
  int left = kCell, top = kCell, right = -1, bottom = -1;
  for (int y = 0; y < kCell; ++y) {
    for (int x = 0; x < kCell; ++x) {
      if (cell[y * kCell + x].a == 0) continue;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return false;
  const int side = std::max(right - left, bottom - top) + 3;
  const int originX = (left + right + 1 - side) / 2, originY = (top + bottom + 1 - side) / 2;
  auto at = [&](int x, int y) {
    x += originX, y += originY;
    return x < 0 || y < 0 || x >= kCell || y >= kCell ? Rgba{} : cell[y * kCell + x];
  };
  for (int size : {48, 64, 128, 256}) {
    std::vector<Rgba> out(static_cast<size_t>(size) * size);
    if (size >= side) {
      // Whole multiples of her pixels, centred: the pixel art stays crisp.
      const int scale = size / side, margin = (size - side * scale) / 2;
      for (int y = 0; y < side * scale; ++y) {
        for (int x = 0; x < side * scale; ++x) {
          out[static_cast<size_t>(y + margin) * size + x + margin] = at(x / scale, y / scale);
        }
      }
    } else {
      // Smaller than drawn: each pixel averages the opaque ones it covers.
      for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
          int sum[3] = {0, 0, 0}, opaque = 0, all = 0;
          for (int sy = y * side / size; sy < (y + 1) * side / size; ++sy) {
            for (int sx = x * side / size; sx < (x + 1) * side / size; ++sx, ++all) {
              Rgba p = at(sx, sy);
              if (p.a == 0) continue;
              sum[0] += p.r, sum[1] += p.g, sum[2] += p.b, ++opaque;
            }
          }
          if (opaque == 0) continue;
          out[static_cast<size_t>(y) * size + x] =
              Rgba{static_cast<uint8_t>(sum[0] / opaque), static_cast<uint8_t>(sum[1] / opaque),
                   static_cast<uint8_t>(sum[2] / opaque), static_cast<uint8_t>(opaque * 255 / all)};
        }
      }
    }
    const std::string name = std::to_string(size) + "x" + std::to_string(size);
    if (!SavePng(gameFolder + "/icons/" + name + "/zolbeck.png", size, out)) return false;
  }
  return true;
}

}  // namespace gen
