// BMP pictures: the file is read whole, its headers are checked against its
// size, and only then is it handed to SDL's decoder, which covers the kinds
// the system's loader takes (palettes of 1, 4 and 8 bits, RLE4, RLE8, 16 bits
// as 555 or bit fields, 24 and 32 bits, bottom-up and top-down).
//
// The checks come first because a decoder trusts the header: a picture that
// claims a size of 60000 x 60000 would have it allocate gigabytes, and a
// pixel offset beyond the end would have it read nothing and succeed with
// garbage.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/surface.h"
#include "platform/surface_internal.h"

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

// 16-bit pictures are widened the way the old interface reads a 16-bit
// surface (shifted up, 31 -> 248), so that copying one onto a surface of its
// own format gives back exactly the values of the file. Frees `decoded`.
bool Widen16(SDL_Surface* decoded, Bitmap& bitmap) {
  const SDL_PixelFormat& f = *decoded->format;
  bool ok = SDL_LockSurface(decoded) == 0;
  if (ok) {
    bitmap.width = decoded->w;
    bitmap.height = decoded->h;
    bitmap.pixels.resize(static_cast<size_t>(decoded->w) * decoded->h);
    for (int y = 0; y < decoded->h; ++y) {
      const auto* row = static_cast<const uint8_t*>(decoded->pixels) + static_cast<size_t>(y) * decoded->pitch;
      uint32_t* out = bitmap.pixels.data() + static_cast<size_t>(y) * decoded->w;
      for (int x = 0; x < decoded->w; ++x) {
        const uint32_t v = row[2 * x] | row[2 * x + 1] << 8;
        const uint32_t r = ((v & f.Rmask) >> f.Rshift) << f.Rloss;
        const uint32_t g = ((v & f.Gmask) >> f.Gshift) << f.Gloss;
        const uint32_t b = ((v & f.Bmask) >> f.Bshift) << f.Bloss;
        out[x] = (r & 0xFF) << 16 | (g & 0xFF) << 8 | (b & 0xFF);
      }
    }
    SDL_UnlockSurface(decoded);
  }
  SDL_FreeSurface(decoded);
  return ok;
}

}  // namespace

bool LoadBitmap(const char* windowsPath, Bitmap& bitmap) {
  if (windowsPath == nullptr || !ReadWholeFile(windowsPath)) return false;
  if (!Plausible(fileBytes.data(), fileBytes.size())) return false;

  SDL_RWops* stream = SDL_RWFromConstMem(fileBytes.data(), static_cast<int>(fileBytes.size()));
  if (stream == nullptr) return false;
  SDL_Surface* decoded = SDL_LoadBMP_RW(stream, 1);
  if (decoded == nullptr) return false;
  if (decoded->format->BytesPerPixel == 2) return Widen16(decoded, bitmap);
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_RGB888, 0);
  SDL_FreeSurface(decoded);
  if (rgb == nullptr) return false;

  bool ok = SDL_LockSurface(rgb) == 0;
  if (ok) {
    bitmap.width = rgb->w;
    bitmap.height = rgb->h;
    bitmap.pixels.resize(static_cast<size_t>(rgb->w) * rgb->h);
    for (int y = 0; y < rgb->h; ++y) {
      const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(rgb->pixels) +
                                                          static_cast<size_t>(y) * rgb->pitch);
      uint32_t* out = bitmap.pixels.data() + static_cast<size_t>(y) * rgb->w;
      for (int x = 0; x < rgb->w; ++x) out[x] = row[x] & 0x00FFFFFF;
    }
    SDL_UnlockSurface(rgb);
  }
  SDL_FreeSurface(rgb);
  return ok;
}

}  // namespace plat
