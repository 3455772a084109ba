// Screenshots as PNG files on Windows, written by a small writer of our own:
// the pixel rows go into stored (uncompressed) deflate blocks, which every
// PNG reader takes. A screenshot of 800 x 600 is about 1.4 MB.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/image/surface.h"

namespace plat {
namespace {

uint32_t crcTable[256];

void BuildCrcTable() {
  for (uint32_t n = 0; n < 256; ++n) {
    uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    crcTable[n] = c;
  }
}

void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// A chunk: length, type, data, and the CRC of type and data.
void PutChunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutU32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = start; i < out.size(); ++i) crc = crcTable[(crc ^ out[i]) & 0xFF] ^ (crc >> 8);
  PutU32(out, crc ^ 0xFFFFFFFFu);
}

// The zlib stream of `raw` in stored blocks of at most 65535 bytes.
std::vector<uint8_t> StoredZlib(const std::vector<uint8_t>& raw) {
  std::vector<uint8_t> out = {0x78, 0x01};
  size_t at = 0;
  do {
    const size_t n = std::min<size_t>(raw.size() - at, 65535);
    out.push_back(at + n == raw.size() ? 1 : 0);  // last block or not, stored
    out.push_back(static_cast<uint8_t>(n));
    out.push_back(static_cast<uint8_t>(n >> 8));
    out.push_back(static_cast<uint8_t>(~n));
    out.push_back(static_cast<uint8_t>(~n >> 8));
    out.insert(out.end(), raw.begin() + static_cast<long>(at), raw.begin() + static_cast<long>(at + n));
    at += n;
  } while (at < raw.size());
  uint32_t a = 1, b = 0;  // Adler-32
  for (uint8_t byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  PutU32(out, b << 16 | a);
  return out;
}

}  // namespace

bool SavePng(const Surface& surface, const char* path) {
  const int w = surface.width, h = surface.height;
  if (w <= 0 || h <= 0 || path == nullptr) return false;
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  if (!ConvertToXrgb8888(surface, Rect{0, 0, w, h}, pixels.data(), w * 4)) return false;
  if (crcTable[1] == 0) BuildCrcTable();

  // Each row: filter type 0, then red, green, blue.
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(h) * (1 + 3 * static_cast<size_t>(w)));
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    const uint32_t* in = pixels.data() + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      raw.push_back(static_cast<uint8_t>(in[x] >> 16));
      raw.push_back(static_cast<uint8_t>(in[x] >> 8));
      raw.push_back(static_cast<uint8_t>(in[x]));
    }
  }
  std::vector<uint8_t> header;
  PutU32(header, static_cast<uint32_t>(w));
  PutU32(header, static_cast<uint32_t>(h));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, no interlace

  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", StoredZlib(raw));
  PutChunk(file, "IEND", {});

  FILE* out = OpenRealFile(path, "wb");
  if (out == nullptr) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), out) == file.size();
  if (std::fclose(out) != 0) ok = false;
  if (!ok) RemoveFile(Utf8ToCp932(path).c_str());
  return ok;
}

}  // namespace plat
