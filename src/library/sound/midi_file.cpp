// Reading a Standard MIDI File whole before it goes to the synthesiser, so
// that a file the sequencer cannot play to its end is refused at open, as
// the system's sequencer refuses it, and so that the tick of the piece's end
// is known once, when it is opened.
#include <cstring>

#include "sound/mci.h"

namespace elSound {
namespace {

// The synthesiser's player holds at most this many tracks; a file with more
// would lose some of them silently.
constexpr uint32_t kMostTracks = 127;
// The player counts ticks in a signed 32-bit number.
constexpr uint64_t kLastTickLimit = 0x7FFFFFFF;

uint32_t Big32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint32_t Little32(const uint8_t* p) {
  return (uint32_t{p[3]} << 24) | (uint32_t{p[2]} << 16) | (uint32_t{p[1]} << 8) | p[0];
}

// A variable-length number of at most four bytes (28 bits).
bool ReadNumber(const uint8_t*& p, const uint8_t* end, uint32_t& value) {
  value = 0;
  for (int i = 0; i < 4 && p < end; ++i) {
    uint8_t b = *p++;
    value = (value << 7) | (b & 0x7Fu);
    if ((b & 0x80) == 0) return true;
  }
  return false;
}

// Meta events whose data the player reads has a fixed length.
bool MetaLengthFits(uint8_t type, uint32_t length) {
  switch (type) {
    case 0x2F: return length == 0;  // end of track
    case 0x51: return length == 3;  // tempo
    case 0x54: return length == 5;  // SMPTE offset
    case 0x58: return length == 4;  // time signature
    case 0x59: return length == 2;  // key signature
    default: return true;
  }
}

// Reads the events of one track chunk and adds up its delta times to the
// end-of-track event (or to its last event: the rest of a chunk after the
// end-of-track event is not read). False for an event cut off by the end of
// the chunk, data bytes without a running status, or an event the player
// does not take (an escaped "F7" block, system common and real-time bytes).
bool ReadTrack(const uint8_t* p, const uint8_t* end, uint64_t& ticks) {
  ticks = 0;
  uint8_t running = 0;  // each track starts without a running status
  while (p < end) {
    uint32_t delta = 0;
    if (!ReadNumber(p, end, delta) || p == end) return false;
    ticks += delta;
    uint8_t status = *p;
    if (status & 0x80) {
      ++p;
    } else if (running) {
      status = running;
    } else {
      return false;
    }
    if (status < 0xF0) {
      running = status;
      // Program change and channel pressure carry one data byte, the rest two.
      size_t data = (status & 0xE0) == 0xC0 ? 1 : 2;
      if (static_cast<size_t>(end - p) < data) return false;
      p += data;
      continue;
    }
    // Meta events and system exclusive blocks cancel the running status.
    running = 0;
    uint8_t type = 0;
    if (status == 0xFF) {
      if (p == end) return false;
      type = *p++;
    } else if (status != 0xF0) {
      return false;
    }
    uint32_t length = 0;
    if (!ReadNumber(p, end, length) || length > static_cast<size_t>(end - p)) return false;
    if (status == 0xFF && !MetaLengthFits(type, length)) return false;
    p += length;
    if (status == 0xFF && type == 0x2F) break;
  }
  return true;
}

// The header chunk and every track it announces, each read to its end.
bool ReadBareMidi(const uint8_t* data, size_t size, uint32_t& lastTick) {
  if (size < 14 || std::memcmp(data, "MThd", 4) != 0 || Big32(data + 4) != 6) return false;
  uint32_t type = (uint32_t{data[8]} << 8) | data[9];
  uint32_t tracks = (uint32_t{data[10]} << 8) | data[11];
  uint32_t division = (uint32_t{data[12]} << 8) | data[13];
  // A negative division is SMPTE timing, which the player cannot follow.
  if (type > 1 || tracks == 0 || tracks > kMostTracks || division == 0 || (division & 0x8000)) {
    return false;
  }
  uint64_t longest = 0;
  size_t at = 14;
  for (uint32_t i = 0; i < tracks; ++i) {
    if (size - at < 8 || std::memcmp(data + at, "MTrk", 4) != 0) return false;
    uint32_t length = Big32(data + at + 4);
    if (length > size - at - 8) return false;
    uint64_t ticks = 0;
    if (!ReadTrack(data + at + 8, data + at + 8 + length, ticks) || ticks > kLastTickLimit) return false;
    if (ticks > longest) longest = ticks;
    at += 8 + size_t{length};
  }
  lastTick = static_cast<uint32_t>(longest);
  return true;
}

}  // namespace

bool ReadMidiFile(const uint8_t* data, size_t size, MidiPiece& piece) {
  piece = MidiPiece{};
  if (ReadBareMidi(data, size, piece.lastTick)) {
    piece.length = size;
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
      if (!ReadBareMidi(data + at + 8, chunk, piece.lastTick)) return false;
      piece.offset = at + 8;
      piece.length = chunk;
      return true;
    }
    at += 8 + size_t{chunk} + (chunk & 1);  // chunks are padded to even sizes
    if (at > size) return false;
  }
  return false;
}

}  // namespace elSound
