// The system's own MCI sequencer, where the running backend has one (the
// win32 backend): the library's MIDI command strings go there as they are,
// and its notifications come back to the main window as MM_MCINOTIFY.
// Elsewhere the library interprets the commands itself.
#pragma once
#include <cstdint>

#include "platform/platform.h"

namespace plat {

bool SystemMciAvailable();
// Sends a command (CP932) and returns the system's result (0 on success).
// The answer, when asked for, is CP932 and always terminated. A notify
// window receives the notification of a command that carries "notify".
uint32_t SendSystemMci(const char* command, char* answer, unsigned answerSize, Window notify);

}  // namespace plat
