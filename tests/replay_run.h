// Running the real program headless in a folder of its own, for the replay
// tests: a temporary game folder with the stage files, the program spawned
// there with its arguments, and its trace read back.
#pragma once
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "portable.h"

namespace replayrun {

namespace fs = std::filesystem;

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class TempFolder {
 public:
  TempFolder() : path_(portable::MakeTempFolder("zolbeck-replay-")) {}
  ~TempFolder() { portable::RemoveTree(path_); }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The game folder for the run: the stage files are opened by bare name in
// the current folder, so they are copied from beside the program into the
// temp folder the program runs in. The pictures are found beside the
// program itself.
inline bool CopyStageFiles(const std::string& to, std::string& error) {
  fs::path from = fs::path(ZOLBECK_EXE).parent_path();
  for (const char* name : {"stagedata.txt", "map01_data.txt", "map01_teki.txt", "map01_zk.txt"}) {
    std::error_code ec;
    fs::copy_file(from / name, fs::path(to) / name, ec);
    if (ec) {
      error = (from / name).string() + ": " + ec.message();
      return false;
    }
  }
  return true;
}

// Runs the program in `folder`; its exit code, or -1 when it could not start,
// ended by a signal or did not end within a minute (it is killed then).
inline int RunIn(const std::string& folder, const std::vector<std::string>& args) {
  return portable::RunProgram(ZOLBECK_EXE, args, folder, folder + "/stderr.txt", 60000);
}

// Runs the program and reads the trace it wrote. Another copy of the program
// holding the instance lock makes this one give way at once with an empty
// trace: it is tried again a little later. The exit code of the last try.
inline int RunReplay(const std::string& folder, const std::vector<std::string>& args,
                     const std::string& tracePath, std::string& trace) {
  int exitCode = -1;
  for (int attempt = 0; attempt < 50; ++attempt) {
    exitCode = RunIn(folder, args);
    trace = ReadFile(tracePath);
    if (!trace.empty() || exitCode != 0) break;
    portable::SleepMs(100);
  }
  return exitCode;
}

}  // namespace replayrun
