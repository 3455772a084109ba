// BMP pictures: the file is read whole, its headers are checked against its
// size, and only then is it decoded, covering the kinds the system's loader
// takes (palettes of 1, 4 and 8 bits, RLE4, RLE8, 16 bits as 555 or bit
// fields, 24 and 32 bits, bottom-up and top-down). The decoder is our own, so
// that a picture gives the same pixels on every system.
//
// The checks come first because a decoder trusts the header: a picture that
// claims a size of 60000 x 60000 would have it allocate gigabytes, and a
// pixel offset beyond the end would have it read nothing and succeed with
// garbage.
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/image/surface.h"
#include "platform/image/surface_internal.h"

namespace plat {
namespace {

// Far larger than any picture of the game.
constexpr int64_t kMaxPixels = int64_t{64} << 20;
constexpr long kMaxFileBytes = 512L << 20;

// The file being decoded; kept between loads so that reloading a picture
// does not allocate once it has seen the largest one.
std::vector<uint8_t> fileBytes;

uint32_t U16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t U32(const uint8_t* p) {
  return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// True when the headers describe a picture that the file can hold.
bool Plausible(const uint8_t* f, size_t size) {
  constexpr size_t kFileHeader = 14;
  if (size < kFileHeader + 12 || f[0] != 'B' || f[1] != 'M') return false;
  const uint32_t pixelOffset = U32(f + 10);
  const uint32_t headerSize = U32(f + 14);
  const uint8_t* h = f + kFileHeader;
  int64_t width, height;
  uint32_t bits, compression = 0, coloursUsed = 0, paletteEntry = 4;
  if (headerSize == 12) {  // the old core header
    if (size < kFileHeader + 12) return false;
    width = static_cast<int16_t>(U16(h + 4));
    height = static_cast<int16_t>(U16(h + 6));
    bits = U16(h + 10);
    paletteEntry = 3;
  } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
             headerSize == 124) {
    if (size < kFileHeader + headerSize) return false;
    width = static_cast<int32_t>(U32(h + 4));
    height = static_cast<int32_t>(U32(h + 8));
    bits = U16(h + 14);
    compression = U32(h + 16);
    coloursUsed = U32(h + 32);
  } else {
    return false;
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width * height > kMaxPixels) return false;
  // No surface can be wider or taller than this, so neither can a picture.
  if (width > surfaceinternal::kMaxSide || height > surfaceinternal::kMaxSide) return false;

  // Bit counts and the compressions that go with them.
  switch (compression) {
    case 0:  // plain
      if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
      break;
    case 1:  // RLE8
      if (bits != 8 || topDown) return false;
      break;
    case 2:  // RLE4
      if (bits != 4 || topDown) return false;
      break;
    case 3:  // bit fields
      if (bits != 16 && bits != 32) return false;
      break;
    default:
      return false;
  }

  // What sits between the headers and the pixels must fit in the file.
  uint64_t tables = kFileHeader + headerSize;
  if (compression == 3 && headerSize == 40) tables += 12;  // the three masks
  if (bits <= 8) {
    const uint32_t most = 1u << bits;
    if (coloursUsed > most) return false;
    tables += static_cast<uint64_t>(coloursUsed == 0 ? most : coloursUsed) * paletteEntry;
  }
  if (tables > pixelOffset || pixelOffset >= size) return false;

  const uint64_t dataBytes = size - pixelOffset;
  if (compression == 0 || compression == 3) {
    const uint64_t rowBytes = (static_cast<uint64_t>(width) * bits + 31) / 32 * 4;
    if (rowBytes * static_cast<uint64_t>(height) > dataBytes) return false;
  } else {
    // A run-length code of two bytes paints at most 255 pixels, so the data
    // of a picture holds at most 255 pixels a byte even with every run as
    // long as it can be. A picture that declares more would be mostly
    // undefined, and a file of a kilobyte could make us allocate gigabytes.
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > dataBytes * 255) return false;
  }
  return true;
}

bool ReadWholeFile(const char* windowsPath) {
  FILE* file = OpenFile(windowsPath, "rb");
  if (file == nullptr) return false;
  bool ok = std::fseek(file, 0, SEEK_END) == 0;
  const long size = ok ? std::ftell(file) : -1;
  ok = ok && size > 0 && size <= kMaxFileBytes && std::fseek(file, 0, SEEK_SET) == 0;
  if (ok) {
    fileBytes.resize(static_cast<size_t>(size));
    ok = std::fread(fileBytes.data(), 1, fileBytes.size(), file) == fileBytes.size();
  }
  std::fclose(file);
  return ok;
}

// Where a channel sits in a pixel and how far it is shifted up to 8 bits.
struct Channel {
  uint32_t mask = 0;
  int shift = 0, loss = 0;
};
Channel ChannelOf(uint32_t mask) {
  Channel c;
  c.mask = mask;
  if (mask == 0) return c;
  while (!(mask & 1)) mask >>= 1, ++c.shift;
  int bits = 0;
  while (mask & 1) mask >>= 1, ++bits;
  c.loss = bits < 8 ? 8 - bits : 0;
  return c;
}
// 16-bit values are widened the way the old interface reads a 16-bit
// surface (shifted up, 31 -> 248), so that copying a picture onto a surface
// of its own format gives back exactly the values of the file; wider
// channels keep their top 8 bits.
uint32_t Widen(uint32_t v, const Channel& c) {
  uint32_t x = (v & c.mask) >> c.shift;
  int bits = 0;
  for (uint32_t m = c.mask >> c.shift; m & 1; m >>= 1) ++bits;
  if (bits > 8) x >>= bits - 8;
  return (x << c.loss) & 0xFF;
}

// The pixel layouts a loader of this kind knows, by bits and masks (red,
// green, blue, alpha); any other mask set is refused. The layout used may
// differ from the masks asked for: the first two rows of each size stand
// for a file that names no red mask, or the one odd 16-bit set that is read
// as 5-6-5.
struct Layout {
  int bits;
  uint32_t r, g, b, a;
};
constexpr Layout kLayouts[] = {
    {16, 0x7C00, 0x03E0, 0x001F, 0},      {16, 0x001F, 0x03E0, 0x7C00, 0},
    {16, 0x0F00, 0x00F0, 0x000F, 0xF000}, {16, 0xF000, 0x0F00, 0x00F0, 0x000F},
    {16, 0x000F, 0x00F0, 0x0F00, 0xF000}, {16, 0x00F0, 0x0F00, 0xF000, 0x000F},
    {16, 0x7C00, 0x03E0, 0x001F, 0x8000}, {16, 0xF800, 0x07C0, 0x003E, 0x0001},
    {16, 0x001F, 0x03E0, 0x7C00, 0x8000}, {16, 0x003E, 0x07C0, 0xF800, 0x0001},
    {16, 0xF800, 0x07E0, 0x001F, 0},      {16, 0x001F, 0x07E0, 0xF800, 0},
    {32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0}, {32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0},
    {32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0}, {32, 0x0000FF00, 0x00FF0000, 0xFF000000, 0},
    {32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000},
    {32, 0xFF000000, 0x00FF0000, 0x0000FF00, 0x000000FF},
    {32, 0x000000FF, 0x0000FF00, 0x00FF0000, 0xFF000000},
    {32, 0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF},
    {32, 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
};

bool ChooseLayout(int bits, uint32_t r, uint32_t g, uint32_t b, uint32_t a, Channel out[3]) {
  if (r == 0) {  // no red mask: the size's plain layout
    r = bits == 16 ? 0xF800 : 0x00FF0000;
    g = bits == 16 ? 0x07E0 : 0x0000FF00;
    b = bits == 16 ? 0x001F : 0x000000FF;
  } else if (bits == 16 && r == 0x003F && g == 0x07C0 && b == 0xF800 && a == 0) {
    r = 0xF800, g = 0x07E0, b = 0x001F;
  } else {
    bool known = false;
    for (const Layout& l : kLayouts)
      known |= l.bits == bits && l.r == r && l.g == g && l.b == b && l.a == a;
    if (!known) return false;
  }
  out[0] = ChannelOf(r);
  out[1] = ChannelOf(g);
  out[2] = ChannelOf(b);
  return true;
}

// Run-length data into one index byte a pixel, rows of `pitch` bytes,
// bottom row first. A run that goes past the end of its row carries on in
// the row below it in memory; pixels that would land outside the picture are
// dropped. Data that ends before the end-of-picture code is a broken file.
bool ReadRunLengths(const uint8_t* p, const uint8_t* end, bool rle8, int pitch, int height,
                    std::vector<uint8_t>& indices) {
  const int64_t total = static_cast<int64_t>(pitch) * height;
  int64_t row = total - pitch, ofs = 0;
  auto put = [&](uint8_t v) {
    const int64_t at = row + ofs++;
    if (at >= 0 && at < total) indices[static_cast<size_t>(at)] = v;
  };
  for (;;) {
    if (p >= end) return false;
    uint8_t count = *p++;
    if (count != 0) {
      if (p >= end) return false;
      const uint8_t pixel = *p++;
      for (int n = 0; n < count; ++n) put(rle8 ? pixel : (n & 1) ? pixel & 0x0F : pixel >> 4);
      continue;
    }
    if (p >= end) return false;
    const uint8_t code = *p++;
    if (code == 0) {  // end of line
      ofs = 0;
      row -= pitch;
    } else if (code == 1) {  // end of picture
      return true;
    } else if (code == 2) {  // move right and up
      if (end - p < 2) return false;
      ofs += p[0];
      row -= static_cast<int64_t>(p[1]) * pitch;
      p += 2;
    } else {  // literal pixels, padded to an even number of bytes
      const int bytes = rle8 ? code : (code + 1) / 2;
      if (end - p < bytes) return false;
      for (int n = 0; n < code; ++n) put(rle8 ? p[n] : (n & 1) ? p[n / 2] & 0x0F : p[n / 2] >> 4);
      p += bytes;
      if (bytes & 1) {
        if (p >= end) return false;
        ++p;
      }
    }
  }
}

// Decodes a file that Plausible has let through.
bool Decode(const uint8_t* f, size_t size, Bitmap& bitmap) {
  const uint32_t pixelOffset = U32(f + 10);
  const uint32_t headerSize = U32(f + 14);
  const uint8_t* h = f + 14;
  int64_t width, height;
  uint32_t bits, compression = 0, coloursUsed = 0;
  if (headerSize == 12) {  // sizes unsigned here, as the loader reads them
    width = U16(h + 4);
    height = U16(h + 6);
    bits = U16(h + 10);
  } else {
    width = static_cast<int32_t>(U32(h + 4));
    height = static_cast<int32_t>(U32(h + 8));
    bits = U16(h + 14);
    compression = U32(h + 16);
    coloursUsed = U32(h + 32);
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width * height > kMaxPixels) return false;
  if (width > surfaceinternal::kMaxSide || height > surfaceinternal::kMaxSide) return false;
  const int w = static_cast<int>(width), hgt = static_cast<int>(height);

  // The palette: as many entries as the header says, else a full 256 (the
  // indices are widened to bytes first); entries the file does not hold stay
  // white, indices past the palette read black.
  uint32_t palette[256];
  int paletteSize = 0;
  if (bits <= 8) {
    paletteSize = coloursUsed == 0 ? 256 : static_cast<int>(coloursUsed);
    const size_t entry = headerSize == 12 ? 3 : 4;
    for (int i = 0; i < paletteSize; ++i) {
      const size_t at = 14 + headerSize + static_cast<size_t>(i) * entry;
      palette[i] = at + 3 <= size ? f[at + 2] << 16 | f[at + 1] << 8 | f[at] : 0xFFFFFF;
    }
  }
  Channel channels[3];
  if (bits == 16 || bits == 32) {
    if (compression == 3) {
      const uint32_t alpha = headerSize >= 56 ? U32(f + 66) : 0;
      if (!ChooseLayout(static_cast<int>(bits), U32(f + 54), U32(f + 58), U32(f + 62), alpha, channels))
        return false;
    } else if (bits == 16) {
      ChooseLayout(16, 0x7C00, 0x03E0, 0x001F, 0, channels);
    } else {
      ChooseLayout(32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000, channels);
    }
  }

  bitmap.width = w;
  bitmap.height = hgt;
  bitmap.pixels.assign(static_cast<size_t>(w) * hgt, 0);
  const uint8_t* data = f + pixelOffset;
  const uint8_t* end = f + size;
  auto colourOf = [&](uint32_t index) { return static_cast<int>(index) < paletteSize ? palette[index] : 0u; };

  if (compression == 1 || compression == 2) {
    const int pitch = (w + 3) & ~3;
    std::vector<uint8_t> indices(static_cast<size_t>(pitch) * hgt, 0);
    if (!ReadRunLengths(data, end, compression == 1, pitch, hgt, indices)) return false;
    for (int y = 0; y < hgt; ++y)
      for (int x = 0; x < w; ++x)
        bitmap.pixels[static_cast<size_t>(y) * w + x] = colourOf(indices[static_cast<size_t>(y) * pitch + x]);
    return true;
  }

  const size_t stride = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
  if (stride * static_cast<size_t>(hgt) > static_cast<size_t>(end - data)) return false;
  for (int r = 0; r < hgt; ++r) {
    const uint8_t* row = data + stride * static_cast<size_t>(r);
    uint32_t* out = bitmap.pixels.data() + static_cast<size_t>(topDown ? r : hgt - 1 - r) * w;
    for (int x = 0; x < w; ++x) {
      uint32_t v;
      if (bits <= 8) {
        const uint32_t index = (row[x * bits / 8] >> (8 - bits - (x * bits) % 8)) & ((1u << bits) - 1);
        // A plain picture that points past its palette is broken.
        if (static_cast<int>(index) >= paletteSize) return false;
        out[x] = palette[index];
        continue;
      }
      if (bits == 24) {
        out[x] = row[3 * x + 2] << 16 | row[3 * x + 1] << 8 | row[3 * x];
        continue;
      }
      v = bits == 16 ? U16(row + 2 * x) : U32(row + 4 * x);
      out[x] = Widen(v, channels[0]) << 16 | Widen(v, channels[1]) << 8 | Widen(v, channels[2]);
    }
  }
  return true;
}

}  // namespace

namespace surfaceinternal {
bool BmpPlausible(const uint8_t* file, size_t size) { return Plausible(file, size); }
bool DecodeBmp(const uint8_t* file, size_t size, Bitmap& bitmap) { return Decode(file, size, bitmap); }
}  // namespace surfaceinternal

bool LoadBitmap(const char* windowsPath, Bitmap& bitmap) {
  if (windowsPath == nullptr || !ReadWholeFile(windowsPath)) return false;
  if (!Plausible(fileBytes.data(), fileBytes.size())) return false;
  Bitmap decoded;
  if (!Decode(fileBytes.data(), fileBytes.size(), decoded)) return false;
  bitmap = std::move(decoded);
  return true;
}

}  // namespace plat
