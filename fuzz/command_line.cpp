// The command line: the input's zero bytes separate the arguments.
#include "fuzz/fuzz_common.h"
#include "shell/runcontrol.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> parts = fuzz::Split(data, size, 64);
  std::vector<const char*> argv{"zolbeck"};
  for (const std::string& part : parts) argv.push_back(part.c_str());
  shell::CommandLine line;
  std::string error;
  shell::ParseCommandLine(static_cast<int>(argv.size()), argv.data(), line, error);
  return 0;
}
