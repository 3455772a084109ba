// elSound: the sound device, sound objects, streaming and MIDI music.
#pragma once

namespace elSound {

// The sound device.
void InitSound();
void ReleaseSound();
// Clears the table of sound objects.
void ClearSoundTable();

// MIDI through the system sequencer.
extern int midiOpen;  // 1 while the alias "midi" is open
extern int midiLoop;
int ResetMidi();
void OnMidiNotify();
// Sends a command string to the sequencer; the answer, cut to fit, goes to
// `answer`. Returns 0 on success.
int SendMci(const char* command, char* answer, int answerSize);

}  // namespace elSound
