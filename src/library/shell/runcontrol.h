// Run control from the command line: the frame limit, scripted keys, the
// seed and the per-frame trace. The message loop consults it; with nothing
// asked for, it changes nothing.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <zolbeck/program.h>

#include "platform/platform.h"

namespace shell {

struct ScriptedKey {
  uint64_t frame = 0;  // the frame pass before which the key message is posted
  int virtualKey = 0;  // 0 for an event of the virtual pad
  bool down = false;
  uint32_t padButton = 0;  // a plat::PadButton, or 0
  int padAxis = -1;        // 0 stick x, 1 stick y, or -1
  int padValue = 0;        // the stick's new position
};

struct RunControl {
  int64_t frameLimit = -1;  // end after this many frame passes; -1 = no limit
  std::vector<ScriptedKey> keys;
  size_t nextKey = 0;
  bool haveSeed = false;
  unsigned seed = 0;
  FILE* trace = nullptr;
  int traceError = 0;  // errno of the first trace line that could not be written
  std::string screenshot;
  int scale = 1;             // the window scale asked for (--scale)
  uint64_t framePasses = 0;  // frame passes run so far
  bool failed = false;       // a screenshot could not be written, or a quit followed an error box
  // Later subsystems add their state to each trace line through this hook;
  // it writes `,"name":value` pairs.
  void (*traceFields)(FILE*) = nullptr;
};
extern RunControl run;

// Everything the command line can ask for.
struct CommandLine {
  std::string backend = plat::kWindowBackend;
  int64_t frames = -1;
  std::string keysFile;
  bool haveSeed = false;
  unsigned seed = 0;
  std::string traceFile;
  bool realtime = false;
  int depth = 16;
  int scale = 1;
  bool fullscreen = false;
  bool integerScale = false;
  bool noHints = false;
  std::string screenshot;
  std::string audioDump;
  std::string recordFile;
  std::string replayFile;
};

// The library's own options for --help, ended by an empty entry.
extern const OptionHelp kLibraryOptions[];
// Writes the --help text: the usage line, the program's options, then the
// library's.
void PrintHelp(FILE* out, const ProgramInfo& program);

// Parses argv[1..]; on error returns false with a one-line message.
bool ParseCommandLine(int argc, const char* const* argv, CommandLine& out, std::string& error);

// A whole number from `low` to `high` written in `base`, all of `text`.
bool ParseInteger(const std::string& text, int64_t low, int64_t high, int64_t& value, int base = 10);
// Takes a text a line at a time: '\n' ends a line, the last may lack it.
class TextLines {
 public:
  explicit TextLines(const std::string& text) : text_(text) {}
  // The next line, without its '\n'; false after the last.
  bool Next(std::string& line);
  // The number of the line Next gave last, from 1.
  int number() const { return number_; }

 private:
  const std::string& text_;
  size_t at_ = 0;
  int number_ = 0;
};
// The folder part of a path with its last separator ('/' or '\\'), or "".
std::string FolderOf(const std::string& path);

// Reads a key script: one event a line, "FRAME KEY ACTION", '#' starts a
// comment. On error returns false with a message naming the file and line.
bool ParseKeyScript(const char* path, std::vector<ScriptedKey>& out, std::string& error);
// The virtual-key code of a key name of the script, or -1.
int KeyCodeFromName(const std::string& name);
// The script's name of a virtual-key code (the inverse of KeyCodeFromName)
// in `out`; false for a code no name stands for.
bool KeyName(int virtualKey, char* out, size_t size);
// Whether the script steers the virtual pad.
bool ScriptUsesPad(const std::vector<ScriptedKey>& keys);

// A key message's parameter: a repeat count of 1, the key's state before
// (a key going up was down), Alt held.
uint32_t KeyBits(bool up, bool repeat, bool alt);
// The key message the keyboard would send for a key going down or up, as
// the key table stands.
void KeyMessage(int virtualKey, bool down, uint32_t& kind, uint32_t& lparam);
// Posts one key message as the keyboard would send it; false when the
// queue is full.
bool PostKey(int virtualKey, bool down);

// Asks the run to end as Escape would, before its next frame pass; safe in
// a signal handler.
void RequestStop();
// Whether a stop was asked for since the last call.
bool TakeStopRequest();
// SIGINT and SIGTERM end the run cleanly from now on.
void CatchStopSignals();

// Posts the scripted key messages due before the coming frame pass, at
// most kScriptedKeyBatch at a time; true if any were posted (the loop then
// handles them, and comes back for the rest, before the pass runs).
bool PostScriptedKeys();
constexpr size_t kScriptedKeyBatch = 1024;
// Called after every frame pass; writes the trace line when the pass ran a
// frame, and ends the program when the frame limit is reached.
void AfterFramePass(bool ranFrame);
// Closes the trace; false, with the system's reason, when a line or the
// close could not be written.
bool CloseTrace(std::string& reason);
// Resets the run control (tests).
void ResetRunControl();

}  // namespace shell
