// The system's MCI sequencer, as the win32 backend hands it the library's
// command strings. Internal to src/platform, built on Windows only.
#pragma once
#include <cstdint>

#include "platform/windows/win32_api.h"

namespace plat {

// The system's MCI, through the wide interface: `command` is CP932, and so
// is the answer (at most answerSize - 1 bytes and a terminator).
uint32_t SendMciString(const char* command, char* answer, unsigned answerSize, HWND notify);

}  // namespace plat
