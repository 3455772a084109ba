// Running the real program headless in a folder of its own, for the replay
// tests: a temporary game folder with the stage files, the program spawned
// there with its arguments, and its trace read back.
#pragma once
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

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
  TempFolder() {
    char name[] = "/tmp/zolbeck-replay-XXXXXX";
    if (mkdtemp(name) != nullptr) path_ = name;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
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
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, (folder + "/stderr.txt").c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(ZOLBECK_EXE));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int started = posix_spawn(&pid, ZOLBECK_EXE, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return -1;
  int status = 0;
  for (int i = 0; i < 6000; ++i) {
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    usleep(10 * 1000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
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
    usleep(100 * 1000);
  }
  return exitCode;
}

}  // namespace replayrun
