// MIDI music through the system sequencer. Without a sequencer every command
// fails harmlessly, as it does for an alias that is not open.
#include "sound/elsound.h"

namespace elSound {

int midiOpen = 0;
int midiLoop = 1;

int ResetMidi() {
  midiOpen = 0;
  midiLoop = 1;
  return 1;
}

void OnMidiNotify() {}

int SendMci(const char*, char* answer, int answerSize) {
  if (answer && answerSize > 0) answer[0] = '\0';
  return 1;
}

}  // namespace elSound
