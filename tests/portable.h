// What the tests need of the system, the same on Linux and on Windows:
// temporary folders, the environment, the test program's own folder, and
// running the game program as a child process (portable.cpp).
#pragma once
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace portable {

// UTF-8 text from a u8 literal (narrow literals are CP932 in the tests).
inline std::string U8(const char8_t* text) { return std::string(reinterpret_cast<const char*>(text)); }

// A new empty folder in the system's temporary folder; "" on failure.
std::string MakeTempFolder(const std::string& prefix);
void RemoveTree(const std::string& path);

void SetEnv(const char* name, const char* value);
void UnsetEnv(const char* name);
int ProcessId();
void SleepMs(int milliseconds);

// The folder holding the running test program, with a trailing separator.
std::string ProgramFolder();

// What `write` puts into a stream, as text.
std::string Capture(const std::function<void(FILE*)>& write);

// Runs `program` with `args` in `folder`, its output dropped and its errors
// written to `errorsPath`. The exit code, or -1 when it could not start, was
// killed by a signal or did not end within `timeoutMs` (it is killed then).
int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& folder, const std::string& errorsPath, int timeoutMs);

}  // namespace portable
