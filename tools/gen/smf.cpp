#include "smf.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace gen {
namespace {

void PutVariable(std::vector<uint8_t>& out, uint32_t value) {
  // Seven bits a byte, most significant first; every byte but the last has
  // its top bit set.
  uint8_t bytes[5];
  int n = 0;
  do {
    bytes[n++] = static_cast<uint8_t>(value & 0x7F);
    value >>= 7;
  } while (value != 0);
  while (n > 1) out.push_back(static_cast<uint8_t>(bytes[--n] | 0x80));
  out.push_back(bytes[0]);
}

void PutBig(std::vector<uint8_t>& out, uint32_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

void MidiTrack::Add(uint32_t tick, int order, std::vector<uint8_t> bytes) {
  events_.push_back(Event{tick, order, std::move(bytes)});
}

void MidiTrack::Tempo(uint32_t tick, int beatsPerMinute) {
  uint32_t microseconds = 60000000u / static_cast<uint32_t>(beatsPerMinute);
  Add(tick, 0, {0xFF, 0x51, 0x03, static_cast<uint8_t>(microseconds >> 16),
                static_cast<uint8_t>(microseconds >> 8), static_cast<uint8_t>(microseconds)});
}

void MidiTrack::Program(uint32_t tick, int channel, int program) {
  Add(tick, 0, {static_cast<uint8_t>(0xC0 | channel), static_cast<uint8_t>(program)});
}

void MidiTrack::Controller(uint32_t tick, int channel, int controller, int value) {
  Add(tick, 0, {static_cast<uint8_t>(0xB0 | channel), static_cast<uint8_t>(controller),
                static_cast<uint8_t>(value)});
}

void MidiTrack::Note(uint32_t tick, int channel, int key, int velocity, uint32_t length) {
  Add(tick, 2, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key),
                static_cast<uint8_t>(velocity)});
  // A note-on of velocity 0 is the running-status friendly note-off.
  Add(tick + length, 1, {static_cast<uint8_t>(0x90 | channel), static_cast<uint8_t>(key), 0});
}

std::vector<uint8_t> MidiTrack::Chunk() const {
  std::vector<Event> sorted = events_;
  std::stable_sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
    return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
  });
  std::vector<uint8_t> body;
  uint32_t now = 0;
  for (const Event& e : sorted) {
    PutVariable(body, e.tick - now);
    now = e.tick;
    body.insert(body.end(), e.bytes.begin(), e.bytes.end());
  }
  PutVariable(body, std::max(end_, now) - now);
  body.insert(body.end(), {0xFF, 0x2F, 0x00});

  std::vector<uint8_t> chunk = {'M', 'T', 'r', 'k'};
  PutBig(chunk, static_cast<uint32_t>(body.size()), 4);
  chunk.insert(chunk.end(), body.begin(), body.end());
  return chunk;
}

bool WriteMidiFile(const std::string& path, int type, int ticksPerBeat,
                   const std::vector<MidiTrack>& tracks) {
  std::vector<uint8_t> file = {'M', 'T', 'h', 'd', 0, 0, 0, 6};
  PutBig(file, static_cast<uint32_t>(type), 2);
  PutBig(file, static_cast<uint32_t>(tracks.size()), 2);
  PutBig(file, static_cast<uint32_t>(ticksPerBeat), 2);
  for (const MidiTrack& track : tracks) {
    std::vector<uint8_t> chunk = track.Chunk();
    file.insert(file.end(), chunk.begin(), chunk.end());
  }
  std::filesystem::path p(path);
  if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace gen
