// Recorded play. A demo keeps what reached the program from outside (keys,
// mouse, pads, the window's close box and focus, a stop by signal) with the
// frame pass each arrived before, and every reading of the clock the
// program's state follows; played back, the same readings and the same
// messages in the same places give the same run to the bit, whatever the
// machine's load was or is.
//
// The state's clock is GameClock(). Only pacing (the frame wait's sleep and
// spin, the busy wait's spin) reads the platform's clock directly: it decides
// when a pass runs, never what it does.
#pragma once
#include <cstdint>
#include <string>

#include "platform/platform.h"

namespace shell {

// The clock the program's state follows, in milliseconds: the platform's
// clock, written into the demo while recording, read back from it while
// replaying.
uint32_t GameClock();
// The last value GameClock gave, without reading the clock again.
uint32_t LastGameClock();

namespace demo {

constexpr const char* kFirstLine = "zolbeck demo 1";

// What a demo's header says about the run it was made of.
struct Header {
  std::string program;
  std::string version;
  std::string backend;
  int depth = 16;
  unsigned seed = 0;
  uint32_t clock = 0;  // the clock's value when the run began
  std::string trace;   // the recording's trace, beside the demo, or ""
};

bool Recording();
bool Replaying();

// Opens FILE for a recording; false with the system's reason.
bool OpenRecording(const std::string& path, std::string& reason);
// Writes the header once the platform runs (its backend and clock are
// known). `header.trace` names the recording's own trace, or is "".
void BeginRecording(const Header& header);
// Writes what arrived after the last pass and the end line, and closes the
// demo; false with the reason when it could not be written in full.
bool FinishRecording(std::string& reason);

// Reads and checks a demo; on error false with "FILE:LINE: why".
bool LoadReplay(const std::string& path, Header& header, std::string& error);
// The recording's trace beside the demo (absolute), or "" when it has none.
std::string ExpectedTrace(const std::string& demoPath, const Header& header);
// Starts the replay once the platform runs.
void BeginReplay(const Header& header);
// After the run: "" when the replay followed the demo to its end, else the
// first place where it did not.
std::string ReplayDifference();
// Ends the replay's state (tests).
void Reset();

// The message loop's part: before the coming frame pass, posts (or sends)
// the demo's messages due; true if it did anything, and the loop comes
// back once they are handled.
bool PostDue();
// Called at the end of every frame pass `index`.
void EndPass(uint64_t index);
// Whether the demo lacks its end line (the recording was cut short).
bool CutShort();
// Whether the replay has reached its last frame pass.
bool ReplayOver(uint64_t passes);
// The pads as the recording read them; while recording, notes the reading.
bool ReadPads(plat::PadState& state);
// A key message a key script posted, kept while recording.
void NoteScriptedKey(uint32_t kind, int virtualKey, uint32_t lparam);
// The run was asked to stop (a signal), kept while recording.
void NoteStop();

// Compares a replay's trace with the recording's, line for line: "" when
// they agree, else "replay differs at frame N: field F (recorded A,
// replayed B)" or the line that one of them lacks. With `prefix`, only the
// lines both have count (a demo cut short, beside a trace that may be
// longer, or shorter by what its last buffer held).
std::string CompareTraces(const std::string& recorded, const std::string& replayed, bool prefix);

}  // namespace demo
}  // namespace shell
