#include "shell/screenshot.h"

#include <cstdio>

#include "draw/eldraw.h"
#include "platform/image/surface.h"

namespace shell {

std::string ScreenshotName(const std::string& program, const plat::LocalTime& t, int attempt) {
  char stamp[48];
  std::snprintf(stamp, sizeof stamp, "-%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  std::string name = program + stamp;
  if (attempt > 1) {
    name += '-';
    name += std::to_string(attempt);
  }
  return name + ".png";
}

std::string SaveScreenshot() {
  const plat::Surface* back = elDraw::screen.backScreen;
  std::string folder = plat::PicturesFolder();
  if (!back || folder.empty()) {
    std::fprintf(stderr, "screenshot: %s\n", back ? "no pictures folder" : "no screen");
    return "";
  }
  // The program's own name, without its folder and without the ".exe" a
  // Windows program file has.
  std::string program = plat::ModuleFileName();
  program = plat::Cp932ToUtf8(program.substr(program.find_last_of('\\') + 1));
  if (program.size() > 4 && (program.ends_with(".exe") || program.ends_with(".EXE")))
    program.resize(program.size() - 4);
  plat::LocalTime now = plat::GetLocalTime();
  // Two shots within a second get numbered names rather than one replacing
  // the other.
  for (int attempt = 1; attempt < 100; ++attempt) {
    std::string path = folder + "/" + ScreenshotName(program, now, attempt);
    if (FILE* existing = plat::OpenRealFile(path.c_str(), "rb")) {
      std::fclose(existing);
      continue;
    }
    if (!plat::SavePng(*back, path.c_str())) break;
    std::printf("screenshot: %s\n", path.c_str());
    std::fflush(stdout);
    return path;
  }
  std::fprintf(stderr, "screenshot: could not be written into %s\n", folder.c_str());
  return "";
}

}  // namespace shell
