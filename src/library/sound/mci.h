// The command-string interpreter behind elSound::SendMci: the sequencer
// device that the library's MIDI music talks to. It understands
//   open ELEMENT [type sequencer] [alias NAME]
//   seek NAME to start      play NAME      stop NAME      close NAME
//   status NAME mode
// each with an optional "notify" (and "wait", which only play refuses), and
// answers with the error numbers of the system's own sequencer.
#pragma once
#include <cstddef>
#include <cstdint>

namespace elSound {

// Results of SendMci (0 is success).
constexpr int kMciUnrecognizedKeyword = 259;
constexpr int kMciUnrecognizedCommand = 261;
constexpr int kMciInvalidDeviceName = 263;   // no device open under that name
constexpr int kMciCannotLoadDriver = 266;    // the synthesiser would not start
constexpr int kMciMissingCommandString = 267;
constexpr int kMciParamOverflow = 268;       // the command or a name is too long
constexpr int kMciMissingParameter = 273;
constexpr int kMciUnsupportedFunction = 274;
constexpr int kMciFileNotFound = 275;        // missing or unreadable
constexpr int kMciOutOfRange = 282;
constexpr int kMciDuplicateAlias = 289;      // that alias is open already
constexpr int kMciMissingDeviceName = 292;
constexpr int kMciNoClosingQuote = 294;
constexpr int kMciInvalidFile = 296;         // not a Standard MIDI File
constexpr int kMciExtraCharacters = 305;
constexpr int kMciSequencerInUse = 337;      // another alias holds the sequencer
constexpr int kMciNoMidiPresent = 343;       // no sound font to play with

// Longest command the interpreter reads, terminator included.
constexpr int kMciCommandSize = 1024;

// Notification codes (first parameter of MM_MCINOTIFY).
constexpr uintptr_t kNotifySuccessful = 1;
constexpr uintptr_t kNotifySuperseded = 2;
constexpr uintptr_t kNotifyAborted = 4;

// Where the Standard MIDI File starts inside `data` (a bare file, or one
// wrapped in a RIFF "RMID" form), its size, and the tick on which its
// longest track ends.
struct MidiPiece {
  size_t offset = 0;
  size_t length = 0;
  uint32_t lastTick = 0;
};
// Reads the file whole; false when it is not a file of type 0 or 1 that the
// sequencer can play to its end (a track count that lies, a track cut
// short, data without a running status, SMPTE timing and the like).
bool ReadMidiFile(const uint8_t* data, size_t size, MidiPiece& piece);

// Closes the device without notifications (tests start from here).
void ResetMci();

}  // namespace elSound
