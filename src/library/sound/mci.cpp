// The sequencer device behind SendMci, where the system has no sequencer of
// its own (platform/system_mci.h). One device at a time, as the system's
// sequencer has; it plays through the platform's music synthesiser.
#include "sound/mci.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/audio/audio_source.h"
#include "platform/core/messages.h"
#include "platform/audio/music.h"
#include "platform/core/system_mci.h"
#include "sound/elsound.h"

namespace elSound {
namespace {

constexpr int kMaxTokens = 16;
constexpr int kAliasSize = 64;
// Larger files are not music this library would play; they are refused
// before they are read into memory.
constexpr long kMaxFileSize = 16L << 20;

struct Token {
  const char* text = nullptr;
  int length = 0;
};

struct Device {
  bool open = false;
  char alias[kAliasSize] = {};
  intptr_t id = 0;  // the second parameter of its notifications
};
Device device;
intptr_t lastId = 0;

// Splits at blanks; a word in double quotation marks may hold blanks. Bytes
// above 0x7F are kept as they are (file names are Shift-JIS).
int Tokenize(const char* command, Token* tokens, int& count) {
  count = 0;
  const char* p = command;
  while (true) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == '\0') return 0;
    if (count == kMaxTokens) return kMciExtraCharacters;
    Token& t = tokens[count++];
    if (*p == '"') {
      const char* close = std::strchr(p + 1, '"');
      if (!close) return kMciNoClosingQuote;
      t.text = p + 1;
      t.length = static_cast<int>(close - p - 1);
      p = close + 1;
    } else {
      t.text = p;
      while (*p != '\0' && *p != ' ' && *p != '\t') ++p;
      t.length = static_cast<int>(p - t.text);
    }
  }
}

// Keywords and aliases are matched without regard to letter case, in ASCII
// only.
char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Is(const Token& t, const char* word) {
  int n = static_cast<int>(std::strlen(word));
  if (t.length != n) return false;
  for (int i = 0; i < n; ++i) {
    if (Lower(t.text[i]) != Lower(word[i])) return false;
  }
  return true;
}

bool NamesDevice(const Token& t) {
  if (!device.open || !plat::MusicLoaded()) {
    device.open = false;  // the platform let the piece go (it was stopped)
    return false;
  }
  return Is(t, device.alias);
}

// The flags every command may carry, after its own words.
struct Flags {
  bool notify = false;
  bool wait = false;
};

// Reads "notify" and "wait" from tokens[from..]; anything else is unknown.
int ReadFlags(const Token* tokens, int from, int count, Flags& flags) {
  for (int i = from; i < count; ++i) {
    if (Is(tokens[i], "notify")) {
      flags.notify = true;
    } else if (Is(tokens[i], "wait")) {
      flags.wait = true;
    } else {
      return kMciUnrecognizedKeyword;
    }
  }
  return 0;
}

// A play that was waiting to notify is told that it will not complete.
void AbortPendingPlay() {
  if (plat::Window window = plat::DisarmMusicNotify()) {
    plat::PostMessage(window, MM_MCINOTIFY, kNotifyAborted, device.id);
  }
}

void NotifyDone(const Flags& flags, plat::Window callback) {
  if (flags.notify && callback) plat::PostMessage(callback, MM_MCINOTIFY, kNotifySuccessful, device.id);
}

int ReadWholeFile(const Token& element, std::vector<uint8_t>& bytes) {
  char path[kMciCommandSize];
  std::snprintf(path, sizeof path, "%.*s", element.length, element.text);
  FILE* file = plat::OpenFile(path, "rb");
  if (!file) return kMciFileNotFound;
  int result = 0;
  if (std::fseek(file, 0, SEEK_END) != 0) result = kMciFileNotFound;
  long size = result ? -1 : std::ftell(file);
  if (!result && (size < 0 || std::fseek(file, 0, SEEK_SET) != 0)) result = kMciFileNotFound;
  if (!result && size > kMaxFileSize) result = kMciInvalidFile;
  if (!result) {
    bytes.resize(static_cast<size_t>(size));
    if (std::fread(bytes.data(), 1, bytes.size(), file) != bytes.size()) result = kMciFileNotFound;
  }
  std::fclose(file);
  return result;
}

int Open(const Token* tokens, int count, plat::Window callback) {
  if (count < 2) return kMciMissingDeviceName;
  const Token& element = tokens[1];
  Token alias = element;
  Flags flags;
  for (int i = 2; i < count; ++i) {
    bool hasValue = i + 1 < count;
    if (Is(tokens[i], "type")) {
      if (!hasValue) return kMciMissingParameter;
      if (!Is(tokens[++i], "sequencer")) return kMciInvalidDeviceName;
    } else if (Is(tokens[i], "alias")) {
      if (!hasValue) return kMciMissingParameter;
      alias = tokens[++i];
    } else if (int error = ReadFlags(tokens, i, i + 1, flags)) {
      return error;
    }
  }
  if (alias.length == 0) return kMciMissingDeviceName;
  if (alias.length >= kAliasSize) return kMciParamOverflow;
  if (NamesDevice(alias)) return kMciDuplicateAlias;
  if (device.open) return kMciSequencerInUse;

  switch (plat::StartMusic()) {
    case plat::MusicStart::Ready: break;
    case plat::MusicStart::NoSoundFont: return kMciNoMidiPresent;
    case plat::MusicStart::Failed: return kMciCannotLoadDriver;
  }
  std::vector<uint8_t> bytes;
  if (int error = ReadWholeFile(element, bytes)) return error;
  MidiPiece piece;
  if (!ReadMidiFile(bytes.data(), bytes.size(), piece)) return kMciInvalidFile;
  if (!plat::LoadMusic(bytes.data() + piece.offset, piece.length, piece.lastTick)) return kMciInvalidFile;

  device.open = true;
  std::snprintf(device.alias, sizeof device.alias, "%.*s", alias.length, alias.text);
  device.id = ++lastId;
  NotifyDone(flags, callback);
  return 0;
}

// seek, play, stop, close and status: the device's name, then the command's
// own words, then the flags.
int OnDevice(const Token& verb, const Token* tokens, int count, char* answer, int answerSize,
             plat::Window callback) {
  if (count < 2) return kMciMissingDeviceName;
  if (!NamesDevice(tokens[1])) return kMciInvalidDeviceName;
  Flags flags;
  if (Is(verb, "status")) {
    if (count < 3) return kMciMissingParameter;
    if (!Is(tokens[2], "mode")) return kMciUnrecognizedKeyword;
    if (int error = ReadFlags(tokens, 3, count, flags)) return error;
    // Without an output there is no clock for the piece to play on.
    const char* mode = plat::AudioOutputRate() == 0 ? "not ready"
                       : plat::MusicPlaying()      ? "playing"
                                                   : "stopped";
    if (answer && answerSize > 0) std::snprintf(answer, static_cast<size_t>(answerSize), "%s", mode);
    if (flags.notify) {
      if (plat::Window window = plat::DisarmMusicNotify()) {
        plat::PostMessage(window, MM_MCINOTIFY, kNotifySuperseded, device.id);
      }
    }
    NotifyDone(flags, callback);
    return 0;
  }
  if (Is(verb, "seek")) {
    if (count < 4 || !Is(tokens[2], "to")) return kMciMissingParameter;
    if (!Is(tokens[3], "start")) return kMciOutOfRange;
    if (int error = ReadFlags(tokens, 4, count, flags)) return error;
    AbortPendingPlay();
    plat::RewindMusic();
    NotifyDone(flags, callback);
    return 0;
  }
  if (int error = ReadFlags(tokens, 2, count, flags)) return error;
  if (Is(verb, "play")) {
    // Waiting would hold the window's thread for the whole piece.
    if (flags.wait) return kMciUnsupportedFunction;
    AbortPendingPlay();
    plat::PlayMusic(flags.notify ? callback : 0, device.id);
    return 0;
  }
  AbortPendingPlay();
  if (Is(verb, "stop")) {
    plat::StopMusic();
  } else {
    plat::UnloadMusic();
    device.open = false;
  }
  NotifyDone(flags, callback);
  return 0;
}

}  // namespace

int SendMci(const char* command, char* answer, int answerSize, plat::Window callback) {
  if (answer && answerSize > 0) answer[0] = '\0';
  if (!command) return kMciMissingCommandString;
  // Where the system has its own sequencer, it plays the music.
  if (plat::SystemMciAvailable()) {
    return static_cast<int>(plat::SendSystemMci(
        command, answer, answerSize > 0 ? static_cast<unsigned>(answerSize) : 0, callback));
  }
  if (std::strlen(command) >= static_cast<size_t>(kMciCommandSize)) return kMciParamOverflow;
  Token tokens[kMaxTokens];
  int count = 0;
  if (int error = Tokenize(command, tokens, count)) return error;
  if (count == 0) return kMciMissingCommandString;
  const Token& verb = tokens[0];
  if (Is(verb, "open")) return Open(tokens, count, callback);
  if (Is(verb, "seek") || Is(verb, "play") || Is(verb, "stop") || Is(verb, "close") || Is(verb, "status")) {
    return OnDevice(verb, tokens, count, answer, answerSize, callback);
  }
  return kMciUnrecognizedCommand;
}

void ResetMci() {
  plat::DisarmMusicNotify();
  plat::UnloadMusic();
  device = Device{};
}

}  // namespace elSound
