// The data-root file: one line read from the user's settings folder.
#include <cstdlib>
#include <filesystem>

#include "fuzz/fuzz_common.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    char name[] = "/tmp/zolbeck-fuzz-XXXXXX";
    if (mkdtemp(name) == nullptr) std::abort();
    // The settings folder of this process only.
    setenv("XDG_CONFIG_HOME", name, 1);
    return std::string(name);
  }();
  fuzz::StartLibrary(false);
  const std::string real = plat::ResolvePath((plat::WindowsDirectory() + "\\root.txt").c_str());
  std::filesystem::create_directories(std::filesystem::path(real).parent_path());
  if (!fuzz::WriteRealFile(real, data, size)) std::abort();
  elSystem::LoadDataRoot("root.txt");
  return 0;
}
