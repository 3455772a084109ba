// elSound: the sound device, sound objects, streaming and MIDI music.
#pragma once
#include "platform/platform.h"

namespace elSound {

// The sound device.
void InitSound();
void ReleaseSound();
// Clears the table of sound objects.
void ClearSoundTable();

// MIDI music through the sequencer, one piece at a time under the alias
// "midi". The main window's MM_MCINOTIFY handling calls OnMidiNotify.
extern int midiOpen;  // 1 while the alias "midi" is open
extern int midiLoop;  // non-zero: a piece that ends starts again
int ResetMidi();
// Opens `fileName` (relative to the program folder) and plays it from the
// start, closing a piece that plays first; the result of the play command.
int PlayMidi(const char* fileName, int loop);
void CloseMidi();
void OnMidiNotify();
// The piece plays to its end and is then closed.
void EndMidiLoop();
// Stops and closes whatever midiOpen says, and leaves it as it is.
int StopAndCloseMidi();
// Sends a command string to the sequencer; the answer, cut to fit, goes to
// `answer`. A command with "notify" reports to `callback` through
// MM_MCINOTIFY. Returns 0 on success, else an error number (sound/mci.h).
int SendMci(const char* command, char* answer, int answerSize, plat::Window callback = 0);

}  // namespace elSound
