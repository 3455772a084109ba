// Key scripts (--keys FILE): read whole and parsed line by line.
#include "fuzz/fuzz_common.h"
#include "shell/runcontrol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    char folder[] = "/tmp/zolbeck-fuzz-XXXXXX";
    if (mkdtemp(folder) == nullptr) std::abort();
    return std::string(folder) + "/keys.txt";
  }();
  if (!fuzz::WriteRealFile(path, data, size)) std::abort();
  std::vector<shell::ScriptedKey> keys;
  std::string error;
  if (shell::ParseKeyScript(path.c_str(), keys, error)) shell::ScriptUsesPad(keys);
  return 0;
}
