// What every fuzz target shares: the headless library started once per
// process as the program starts it, and the input written to a file of the
// program folder so that each reader opens it the way it opens its own.
#pragma once
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "draw/eldraw.h"
#include "platform/platform.h"
#include "shell/elsystem.h"

namespace fuzz {

// Starts the headless backend and the timer; with `screen`, also opens the
// 800 x 600 screen as the game does.
inline void StartLibrary(bool screen) {
  static bool started = false;
  if (started) return;
  started = true;
  plat::Options options;
  options.backend = "headless";
  options.depth = 16;
  std::string error;
  if (!plat::Start(options, error)) {
    std::fprintf(stderr, "fuzz: %s\n", error.c_str());
    std::abort();
  }
  elSystem::StartTimer();
  InitSystem();
  elSystem::clientWidth = 800;
  elSystem::clientHeight = 600;
  if (screen && elDraw::Screen(800, 600, 1) != 1) std::abort();
}

// A name of this process's own in the program folder ("fuzz1234.bin"), in
// the Windows form the loaders take, relative to the program folder.
inline std::string LocalName(const char* suffix) {
  return "fuzz" + std::to_string(::getpid()) + suffix;
}

// Writes `bytes` to a real path; false when the file cannot be written.
inline bool WriteRealFile(const std::string& path, const uint8_t* bytes, size_t size) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  const bool ok = std::fwrite(bytes, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}

// Writes the input to `name` in the program folder; the real path.
inline std::string WriteProgramFile(const std::string& name, const uint8_t* bytes, size_t size) {
  const std::string real = plat::ResolvePath((std::string(elSystem::GetProgramFolder(0)) + name).c_str());
  if (!WriteRealFile(real, bytes, size)) std::abort();
  return real;
}

// Splits the input at every zero byte, into at most `most` parts (the last
// keeps the rest).
inline std::vector<std::string> Split(const uint8_t* data, size_t size, size_t most) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0 && parts.size() < most) {
      parts.emplace_back();
    } else {
      parts.back() += static_cast<char>(data[i]);
    }
  }
  return parts;
}

}  // namespace fuzz
