// Recognising a Standard MIDI File before it goes to the synthesiser, so that
// a file of another kind is refused at open, as the system's sequencer does.
#include <cstring>

#include "sound/mci.h"

namespace elSound {
namespace {

uint32_t Big32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint32_t Little32(const uint8_t* p) {
  return (uint32_t{p[3]} << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

// The header chunk and at least one whole track chunk after it.
bool IsBareMidi(const uint8_t* data, size_t size) {
  if (size < 14 || std::memcmp(data, "MThd", 4) != 0) return false;
  uint32_t headerLength = Big32(data + 4);
  if (headerLength < 6 || headerLength > size - 8) return false;
  int type = (data[8] << 8) | data[9];
  int tracks = (data[10] << 8) | data[11];
  int division = (data[12] << 8) | data[13];
  if (type > 1 || tracks == 0 || division == 0) return false;
  size_t track = 8 + size_t{headerLength};
  if (size - track < 8 || std::memcmp(data + track, "MTrk", 4) != 0) return false;
  return Big32(data + track + 4) <= size - track - 8;
}

}  // namespace

bool FindMidiData(const uint8_t* data, size_t size, size_t& offset, size_t& length) {
  if (IsBareMidi(data, size)) {
    offset = 0;
    length = size;
    return true;
  }
  // RIFF "RMID": the file sits in the "data" chunk.
  if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "RMID", 4) != 0) {
    return false;
  }
  size_t at = 12;
  while (size - at >= 8) {
    uint32_t chunk = Little32(data + at + 4);
    if (chunk > size - at - 8) return false;
    if (std::memcmp(data + at, "data", 4) == 0) {
      if (!IsBareMidi(data + at + 8, chunk)) return false;
      offset = at + 8;
      length = chunk;
      return true;
    }
    at += 8 + size_t{chunk} + (chunk & 1);  // chunks are padded to even sizes
    if (at > size) return false;
  }
  return false;
}

}  // namespace elSound
