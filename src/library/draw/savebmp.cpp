// Screen capture: the top-left part of the back screen as a 24-bit BMP.
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/eldraw.h"
#include "platform/platform.h"
#include "shell/elsystem.h"

namespace elDraw {

namespace {

constexpr int kHeaderSize = 58;  // 14 + 40 header bytes and four zero bytes
constexpr int32_t kPixelsPerMetre = 2834;

void Put16(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
}

void Put32(uint8_t* at, uint32_t value) {
  Put16(at, value);
  Put16(at + 2, value >> 16);
}

// How the capture reads the back screen's pixels.
enum class Route { None, Rgb5Table, Shift32 };

// Decided by the back screen's bytes per pixel, not by the depth number the
// desktop reports: a 555 desktop says 15 bits, and its 2-byte pixels go
// through the 5-bit table just as 565 ones do.
Route RouteFor(const plat::Surface& back) {
  switch (back.format.bytesPerPixel) {
    case 2:
      return Route::Rgb5Table;
    case 4:
      return Route::Shift32;
    default:
      return Route::None;
  }
}

// Writes the capture through `open`, which gets the file name. Returns 0
// only when the back screen cannot be locked; a file that cannot be opened
// or written is skipped (and reported through `written`).
int Capture(const char* path, FILE* (*open)(const char*), int width, int height, bool* written) {
  if (written) *written = false;
  plat::Surface* back = screen.backScreen;
  if (back == nullptr) return 0;
  // The capture reads the back screen directly, so the area is kept within
  // it rather than read past its edges.
  if (width < 0) width = 0;
  if (height < 0) height = 0;
  if (width > back->width) width = back->width;
  if (height > back->height) height = back->height;

  plat::LockInfo lock;
  if (plat::Lock(*back, lock) != plat::Result::Ok) return 0;
  Route route = RouteFor(*back);
  FILE* file = route == Route::None ? nullptr : open(path);
  if (file != nullptr) {
    bool good = true;
    uint32_t rowSize = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
    uint32_t imageSize = rowSize * static_cast<uint32_t>(height);
    uint8_t header[kHeaderSize] = {};
    header[0] = 'B';
    header[1] = 'M';
    Put32(header + 2, kHeaderSize + imageSize);
    Put32(header + 10, kHeaderSize);
    Put32(header + 14, 40);
    Put32(header + 18, static_cast<uint32_t>(width));
    Put32(header + 22, static_cast<uint32_t>(height));
    Put16(header + 26, 1);
    Put16(header + 28, 24);
    Put32(header + 30, 0);
    Put32(header + 34, imageSize);
    Put32(header + 38, kPixelsPerMetre);
    Put32(header + 42, kPixelsPerMetre);
    // Colours used, important colours and the four padding bytes stay 0.
    good = std::fwrite(header, 1, sizeof header, file) == sizeof header;

    // One row buffer of the widest screen row; the padding stays zero.
    static uint8_t row[4 * 8192 + 4];
    if (rowSize > sizeof row) rowSize = 0;  // wider than any screen: header only
    const PixelFormatInfo& format = screen.format;
    for (int y = height - 1; y >= 0 && rowSize != 0; --y) {
      const uint8_t* line = lock.pixels + static_cast<std::ptrdiff_t>(y) * lock.pitch;
      std::memset(row, 0, rowSize);
      uint8_t* out = row;
      for (int x = 0; x < width; ++x, out += 3) {
        if (route == Route::Rgb5Table) {
          uint16_t pixel;
          std::memcpy(&pixel, line + 2 * x, 2);
          const Rgb5& rgb = PixelToRgb5Table[pixel];
          out[0] = static_cast<uint8_t>(rgb.blue << 3);
          out[1] = static_cast<uint8_t>(rgb.green << 3);
          out[2] = static_cast<uint8_t>(rgb.red << 3);
        } else {
          uint32_t pixel;
          std::memcpy(&pixel, line + 4 * x, 4);
          out[0] = static_cast<uint8_t>(pixel >> format.shift[2]);
          out[1] = static_cast<uint8_t>(pixel >> format.shift[1]);
          out[2] = static_cast<uint8_t>(pixel >> format.shift[0]);
        }
      }
      good = std::fwrite(row, 1, rowSize, file) == rowSize && good;
    }
    good = std::fclose(file) == 0 && good;
    if (written) *written = good;
  }
  plat::Unlock(*back);
  return 1;
}

FILE* OpenInProgramFolder(const char* windowsPath) { return plat::OpenFile(windowsPath, "wb"); }
FILE* OpenRealPath(const char* path) { return plat::OpenRealFile(path, "wb"); }

}  // namespace

int SaveBmp(const char* name, int width, int height) {
  std::string path = std::string(elSystem::GetProgramFolder(0)) + name;
  return Capture(path.c_str(), OpenInProgramFolder, width, height, nullptr);
}

// Unlike SaveBmp, a file that cannot be written is a failure (0) here, so
// that the command line can say so.
int SaveBmpToPath(const char* path, int width, int height) {
  bool written = false;
  int result = Capture(path, OpenRealPath, width, height, &written);
  return result == 1 && written ? 1 : 0;
}

}  // namespace elDraw
