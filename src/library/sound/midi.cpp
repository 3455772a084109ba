// MIDI music: one piece at a time under the alias "midi", driven only by
// command strings. The end of a piece comes back as a notification to the
// main window, which either plays it again from the start or closes it.
#include <cstdio>

#include "shell/elsystem.h"
#include "sound/elsound.h"
#include "sound/mci.h"

namespace elSound {

int midiOpen = 0;
int midiLoop = 1;

int ResetMidi() {
  midiOpen = 0;
  midiLoop = 1;
  return 1;
}

namespace {

// What the error numbers a piece most often fails to open with mean.
const char* MciMeaning(int code) {
  switch (code) {
    case kMciFileNotFound: return ": the file is missing or unreadable";
    case kMciInvalidFile: return ": not a Standard MIDI File";
    case kMciNoMidiPresent: return ": no MIDI device (no sound font found)";
    case kMciCannotLoadDriver: return ": the synthesiser would not start";
    case kMciParamOverflow: return ": the name is too long";
    case kMciSequencerInUse: return ": the sequencer is in use";
    default: return "";
  }
}

}  // namespace

int PlayMidi(const char* fileName, int loop) {
  // The program folder is at most 255 characters and the command is read up
  // to kMciCommandSize, so a long name fits whole where the old 260-character
  // buffer would have cut it. A command that still does not fit is not sent
  // at all: a cut one would name some other file.
  char command[kMciCommandSize];
  int length = std::snprintf(command, sizeof command, "open \"%s%s\" type sequencer alias midi",
                             elSystem::GetProgramFolder(0), fileName ? fileName : "");
  bool fits = length >= 0 && length < static_cast<int>(sizeof command);
  if (midiOpen) CloseMidi();
  int opened = fits ? SendMci(command, nullptr, 0) : kMciParamOverflow;
  // Music shows no box when it cannot play; the terminal still hears of it.
  if (opened != 0) {
    char message[96];
    std::snprintf(message, sizeof message, "MCI error %d%s", opened, MciMeaning(opened));
    elSystem::ReportFailure("elSound::PlayMidi", fileName, message);
  }
  SendMci("seek midi to start", nullptr, 0);
  int result = SendMci("play midi notify", nullptr, 0, elSystem::mainWindow);
  // Set whatever the open answered: a later CloseMidi then sends its two
  // commands to an alias that is not open, which the device refuses harmlessly.
  midiOpen = 1;
  midiLoop = loop;
  return result;
}

void CloseMidi() {
  if (!midiOpen) return;
  SendMci("stop midi", nullptr, 0);
  SendMci("close midi", nullptr, 0);
  midiOpen = 0;
}

void OnMidiNotify() {
  if (midiLoop) {
    SendMci("seek midi to start", nullptr, 0);
    SendMci("play midi notify", nullptr, 0, elSystem::mainWindow);
  } else {
    CloseMidi();
  }
}

void EndMidiLoop() { midiLoop = 0; }

int StopAndCloseMidi() {
  SendMci("stop midi", nullptr, 0);
  return SendMci("close midi", nullptr, 0);
}

}  // namespace elSound
