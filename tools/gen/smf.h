// A small Standard MIDI File writer: tracks collect timed events in any
// order; Write sorts them and puts out delta times.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace gen {

class MidiTrack {
 public:
  void Tempo(uint32_t tick, int beatsPerMinute);
  void Program(uint32_t tick, int channel, int program);
  void Controller(uint32_t tick, int channel, int controller, int value);
  // A note from `tick` for `length` ticks.
  void Note(uint32_t tick, int channel, int key, int velocity, uint32_t length);
  // The end-of-track event; without one the track ends after its last event.
  void End(uint32_t tick) { end_ = tick; }

  // The track chunk ("MTrk", length, events).
  std::vector<uint8_t> Chunk() const;

 private:
  struct Event {
    uint32_t tick;
    int order;  // at one tick: tempo and settings, then note-offs, then note-ons
    std::vector<uint8_t> bytes;
  };
  void Add(uint32_t tick, int order, std::vector<uint8_t> bytes);
  std::vector<Event> events_;
  uint32_t end_ = 0;
};

// Writes a file of type 0 (exactly one track) or 1; false when it cannot be
// written.
bool WriteMidiFile(const std::string& path, int type, int ticksPerBeat,
                   const std::vector<MidiTrack>& tracks);

}  // namespace gen
