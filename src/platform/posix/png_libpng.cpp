// Screenshots as PNG files (libpng), and the folder they go to: the user's
// pictures folder as the desktop names it.
#include <png.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/image/surface.h"

namespace plat {
namespace {

std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  const passwd* pw = getpwuid(getuid());
  return pw && pw->pw_dir ? pw->pw_dir : "/tmp";
}

// Creates the folder and its parents; true when it exists afterwards.
bool MakeFolders(const std::string& path) {
  for (size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
    std::string part = path.substr(0, slash);
    if (!part.empty()) mkdir(part.c_str(), 0755);
    if (slash == std::string::npos) break;
  }
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The desktop's folder list is a few lines.
constexpr size_t kUserDirsMaxBytes = 64 * 1024;

// libpng reports a failure by a long jump back into this function, which
// then answers false; nothing it changes after setjmp is read after the jump.
bool WriteRows(png_structp png, png_infop info, FILE* file, const uint32_t* pixels, uint8_t* row,
               int w, int h) {
  if (setjmp(png_jmpbuf(png)) != 0) return false;
  png_init_io(png, file);
  png_set_IHDR(png, info, static_cast<png_uint_32>(w), static_cast<png_uint_32>(h), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < h; ++y) {
    const uint32_t* in = pixels + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) {
      row[3 * x] = static_cast<uint8_t>(in[x] >> 16);
      row[3 * x + 1] = static_cast<uint8_t>(in[x] >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(in[x]);
    }
    png_write_row(png, row);
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

std::string PicturesFolder() {
  std::string home = HomeFolder();
  std::string folder;
  if (const char* env = std::getenv("XDG_PICTURES_DIR"); env && env[0] == '/') folder = env;
  if (folder.empty()) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string path = (config && config[0] == '/' ? std::string(config) : home + "/.config") +
                       "/user-dirs.dirs";
    // Read as every data file is: only a plain file, and one of a sane
    // size (a FIFO there would hold the game for ever, a link to a device
    // fill its memory). Anything else counts as no list at all.
    std::string text, reason;
    if (ReadSmallFile(path.c_str(), kUserDirsMaxBytes, text, reason))
      folder = PicturesFolderFromUserDirs(text, home);
  }
  if (folder.empty()) folder = home + "/Pictures";
  return MakeFolders(folder) ? folder : "";
}

bool SavePng(const Surface& surface, const char* path) {
  int w = surface.width, h = surface.height;
  if (w <= 0 || h <= 0) return false;
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * h);
  if (!ConvertToXrgb8888(surface, Rect{0, 0, w, h}, pixels.data(), w * 4)) return false;
  std::vector<uint8_t> row(static_cast<size_t>(w) * 3);

  FILE* file = std::fopen(path, "wb");
  if (!file) return false;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  bool ok = png && info && WriteRows(png, info, file, pixels.data(), row.data(), w, h);
  png_destroy_write_struct(&png, &info);
  if (std::fclose(file) != 0) ok = false;
  if (!ok) std::remove(path);
  return ok;
}

}  // namespace plat
