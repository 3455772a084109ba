// The tests' system services (portable.h) on Linux and on Windows. The
// Windows headers stay in this file: their message macros would clash with
// the platform layer's own names.
#include "portable.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <system_error>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <process.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
extern char** environ;
#endif

namespace portable {

namespace fs = std::filesystem;

// A new empty folder in the system's temporary folder; "" on failure.
std::string MakeTempFolder(const std::string& prefix) {
  std::random_device seed;
  std::mt19937 random(seed());
  std::error_code ec;
  const fs::path base = fs::temp_directory_path(ec);
  if (ec) return "";
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path path = base / (prefix + std::to_string(random() % 1000000000));
    if (fs::create_directory(path, ec)) return path.string();
  }
  return "";
}

void RemoveTree(const std::string& path) {
  std::error_code ignored;
  if (!path.empty()) fs::remove_all(path, ignored);
}

void SetEnv(const char* name, const char* value) {
#if defined(_WIN32)
  _putenv_s(name, value);
#else
  setenv(name, value, 1);
#endif
}

void UnsetEnv(const char* name) {
#if defined(_WIN32)
  _putenv_s(name, "");
#else
  unsetenv(name);
#endif
}

int ProcessId() {
#if defined(_WIN32)
  return _getpid();
#else
  return getpid();
#endif
}

void SleepMs(int milliseconds) {
#if defined(_WIN32)
  Sleep(static_cast<DWORD>(milliseconds));
#else
  usleep(static_cast<useconds_t>(milliseconds) * 1000);
#endif
}

// The folder holding the running test program, with a trailing separator.
std::string ProgramFolder() {
#if defined(_WIN32)
  char buffer[4096];
  DWORD length = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  std::string path(buffer, length);
  return path.substr(0, path.find_last_of("\\/") + 1);
#else
  char buffer[4096];
  ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (length <= 0) return "";
  std::string path(buffer, static_cast<size_t>(length));
  return path.substr(0, path.rfind('/') + 1);
#endif
}

// What `write` puts into a stream, as text.
std::string Capture(const std::function<void(FILE*)>& write) {
  const std::string folder = MakeTempFolder("zolbeck-capture-");
  const std::string path = (fs::path(folder) / "out.txt").string();
  std::string text;
  if (FILE* out = std::fopen(path.c_str(), "wb")) {
    write(out);
    std::fclose(out);
    std::ifstream in(path, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    text = all.str();
  }
  RemoveTree(folder);
  return text;
}

// Runs `program` with `args` in `folder`, its output dropped and its errors
// written to `errorsPath`. The exit code, or -1 when it could not start, was
// killed by a signal or did not end within `timeoutMs` (it is killed then).
int RunProgram(const std::string& program, const std::vector<std::string>& args,
                      const std::string& folder, const std::string& errorsPath, int timeoutMs) {
#if defined(_WIN32)
  std::string line = "\"" + program + "\"";
  for (const std::string& a : args) line += " \"" + a + "\"";
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE errors = CreateFileA(errorsPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE nothing = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = nothing;
  startup.hStdError = errors;
  PROCESS_INFORMATION process{};
  std::vector<char> commandLine(line.begin(), line.end());
  commandLine.push_back('\0');
  const BOOL started = CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      folder.c_str(), &startup, &process);
  if (errors != INVALID_HANDLE_VALUE) CloseHandle(errors);
  if (nothing != INVALID_HANDLE_VALUE) CloseHandle(nothing);
  if (!started) return -1;
  int code = -1;
  if (WaitForSingleObject(process.hProcess, static_cast<DWORD>(timeoutMs)) == WAIT_OBJECT_0) {
    DWORD exitCode = 0;
    if (GetExitCodeProcess(process.hProcess, &exitCode)) code = static_cast<int>(exitCode);
  } else {
    TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, INFINITE);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
#else
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, errorsPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  int started = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return -1;
  int status = 0;
  for (int waited = 0; waited < timeoutMs; waited += 10) {
    if (waitpid(pid, &status, WNOHANG) == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    usleep(10 * 1000);
  }
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  return -1;
#endif
}

}  // namespace portable
