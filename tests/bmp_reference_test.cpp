// Our BMP decoder against SDL's, the decoder the Linux build used before it
// had its own: the seed pictures of the BMP fuzz target and thousands of
// damaged copies of them must give the same answer and the same pixels.
// SDL is a Linux library only, so the comparison runs on Linux; Windows
// runs the same decoder.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/image/surface.h"
#include "platform/image/surface_internal.h"

#if !defined(_WIN32)
#include <SDL.h>

namespace {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// What SDL makes of the file, as 0x00RRGGBB rows; 16-bit pictures widened
// by shifting, as our loader promises. False when SDL refuses it.
bool SdlDecode(const std::vector<uint8_t>& bytes, plat::Bitmap& out) {
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  SDL_Surface* decoded = stream ? SDL_LoadBMP_RW(stream, 1) : nullptr;
  if (decoded == nullptr) return false;
  out.width = decoded->w;
  out.height = decoded->h;
  out.pixels.assign(static_cast<size_t>(decoded->w) * decoded->h, 0);
  if (decoded->format->BytesPerPixel == 2) {
    const SDL_PixelFormat& f = *decoded->format;
    for (int y = 0; y < decoded->h; ++y) {
      const auto* row = static_cast<const uint8_t*>(decoded->pixels) + static_cast<size_t>(y) * decoded->pitch;
      for (int x = 0; x < decoded->w; ++x) {
        const uint32_t v = row[2 * x] | row[2 * x + 1] << 8;
        const uint32_t r = (((v & f.Rmask) >> f.Rshift) << f.Rloss) & 0xFF;
        const uint32_t g = (((v & f.Gmask) >> f.Gshift) << f.Gloss) & 0xFF;
        const uint32_t b = (((v & f.Bmask) >> f.Bshift) << f.Bloss) & 0xFF;
        out.pixels[static_cast<size_t>(y) * decoded->w + x] = r << 16 | g << 8 | b;
      }
    }
    SDL_FreeSurface(decoded);
    return true;
  }
  SDL_Surface* rgb = SDL_ConvertSurfaceFormat(decoded, SDL_PIXELFORMAT_RGB888, 0);
  SDL_FreeSurface(decoded);
  if (rgb == nullptr) return false;
  for (int y = 0; y < rgb->h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(rgb->pixels) +
                                                        static_cast<size_t>(y) * rgb->pitch);
    for (int x = 0; x < rgb->w; ++x) out.pixels[static_cast<size_t>(y) * rgb->w + x] = row[x] & 0xFFFFFF;
  }
  SDL_FreeSurface(rgb);
  return true;
}

TEST(BmpReference, SameAnswerAndPixelsAsSdl) {
  namespace fs = std::filesystem;
  std::vector<std::vector<uint8_t>> seeds;
  for (const auto& entry : fs::directory_iterator(fs::path(ZOLBECK_SOURCE_DIR) / "fuzz/corpus/bmp"))
    seeds.push_back(ReadBytes(entry.path()));
  ASSERT_GE(seeds.size(), 8u);
  std::mt19937 random(20);
  int compared = 0;
  for (int round = 0; round < 6000; ++round) {
    std::vector<uint8_t> bytes = seeds[static_cast<size_t>(round) % seeds.size()];
    // Round 0 of each seed as it is; then one to four bytes set at random,
    // mostly in the headers, and now and then the file cut short.
    if (round >= static_cast<int>(seeds.size())) {
      const int changes = 1 + static_cast<int>(random() % 4);
      for (int c = 0; c < changes; ++c) {
        const size_t limit = random() % 3 ? std::min<size_t>(bytes.size(), 80) : bytes.size();
        bytes[random() % limit] = static_cast<uint8_t>(random());
      }
      if (random() % 10 == 0) bytes.resize(bytes.size() - random() % (bytes.size() / 2));
    }
    // Files the header checks refuse never reach a decoder.
    if (!plat::surfaceinternal::BmpPlausible(bytes.data(), bytes.size())) continue;
    ++compared;
    plat::Bitmap ours, sdl;
    const bool ourAnswer = plat::surfaceinternal::DecodeBmp(bytes.data(), bytes.size(), ours);
    ASSERT_EQ(ourAnswer, SdlDecode(bytes, sdl)) << "round " << round;
    if (!ourAnswer) continue;
    ASSERT_EQ(ours.width, sdl.width) << "round " << round;
    ASSERT_EQ(ours.height, sdl.height) << "round " << round;
    ASSERT_TRUE(ours.pixels == sdl.pixels) << "round " << round << ": pixels differ";
  }
  EXPECT_GT(compared, 1000);
}

}  // namespace
#endif
