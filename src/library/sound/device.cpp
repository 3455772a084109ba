// The sound device: opening and releasing it, the output format, the system
// sounds and the beep, and the rebuilding of every object in place.
#include <cstdio>
#include <cstring>
#include <string>

#include "draw/eldraw.h"
#include "shell/elsystem.h"
#include "sound/sound_internal.h"

namespace elSound {

int soundAvailable = 0;
int reloadingObjects = 0;
SoundSlot SoundTable[kSlotCount];

namespace {

// The output format: 44.1 kHz 16-bit stereo until SelectFormat changes it.
// A device opened again (after a system sound) keeps the one chosen.
plat::PcmFormat primaryFormat;

// Refills every slot in use, in index order, reusing its slot and settings.
void RebuildSlots() {
  reloadingObjects = 1;
  for (int i = 0; i < kSlotCount; ++i) {
    SoundSlot& s = SoundTable[i];
    if (!s.inUse) continue;
    loadingSlot = i;
    if (s.stream.dataSize != 0) {
      std::snprintf(packPath, sizeof packPath, "%s", s.stream.filePath);
      LoadStream(s.name, static_cast<int>(s.stream.loopPoint - s.stream.dataStart));
    } else {
      // A slot loaded with a negative mix count stays without echo.
      int n = s.echoCounter < 0 && s.bufferCount > 1 ? -s.bufferCount : s.bufferCount;
      if (s.fromPack) {
        LoadPack(s.name, n);
      } else {
        LoadObject(s.name, n);
      }
    }
  }
  reloadingObjects = 0;
}

struct SystemSoundName {
  const char* name;
  plat::Chime chime;
};
constexpr SystemSoundName kSystemSounds[] = {
    {"SystemDefault", plat::Chime::Default},         {"SystemAsterisk", plat::Chime::Asterisk},
    {"SystemExclamation", plat::Chime::Exclamation}, {"SystemHand", plat::Chime::Hand},
    {"SystemQuestion", plat::Chime::Question},       {"SystemStart", plat::Chime::Start},
    {"SystemExit", plat::Chime::Exit},
};

// Plays a WAVE file named as given, or beside the program; false when there
// is none that plays. The samples go from the file straight into the
// buffer that plays them.
bool PlayWaveFile(const char* name) {
  WaveInfo wave;
  std::string beside = std::string(elSystem::GetProgramFolder(0)) + name;
  FILE* file = OpenWaveFile(name, wave);
  if (!file) file = OpenWaveFile(beside.c_str(), wave);
  if (!file) return false;
  plat::PcmFormat format;
  int code = 0;
  bool plays = FormatFromRecord(wave.format, format, code) && wave.dataSize > 0;
  if (plays) {
    SampleSource samples{file, wave.dataOffset, wave.dataSize, static_cast<uint8_t>(format.bits == 8 ? 0x80 : 0)};
    auto fill = [](void* user, uint8_t* into, uint32_t bytes) {
      ReadSamples(*static_cast<const SampleSource*>(user), into, bytes);
    };
    plat::PlayPcm(format, wave.dataSize, fill, &samples, true);
  }
  std::fclose(file);
  return plays;
}

}  // namespace

int InitSound() {
  // Buffers still held from before are given back: the new device starts
  // with an empty table of references.
  for (SoundSlot& s : SoundTable) DropBuffers(s);
  plat::CloseAudio();
  const bool opened = plat::OpenAudio(primaryFormat);
  // A player who asked for sound is told once why there is none; the
  // program runs on silent. A stand-in that only feeds the audio dump is
  // no device either, though the program plays on it as on one.
  static bool told = false;
  if ((!opened || plat::AudioHeardNowhere()) && !told) {
    told = true;
    std::fprintf(stderr, "%s: no sound device could be opened: the program runs silent\n",
                 elSystem::programName);
  }
  if (!opened) {
    soundAvailable = 0;
    return 0;
  }
  reloadingObjects = 0;
  soundAvailable = 1;
  return 1;
}

void ReleaseSound() {
  if (!soundAvailable) return;
  for (SoundSlot& s : SoundTable) {
    if (s.inUse) DropBuffers(s);
  }
  plat::CloseAudio();
}

void ClearSoundTable() {
  for (SoundSlot& s : SoundTable) {
    DropBuffers(s);
    s = SoundSlot{};
  }
  loadingSlot = 0;
}

void ReloadAll() {
  InitSound();
  if (!soundAvailable) return;
  RebuildSlots();
}

int SelectFormat(int channels, int rateCode, int bits) {
  if (!soundAvailable) return 1;
  for (SoundSlot& s : SoundTable) {
    if (s.inUse) DropBuffers(s);
  }
  int rate = rateCode;
  switch (rateCode) {
    case 8: rate = 8000; break;
    case 11: rate = 11025; break;
    case 22: rate = 22050; break;
    case 44: rate = 44100; break;
    default: break;
  }
  plat::PcmFormat format{channels, rate, bits};
  int code = plat::SetAudioFormat(format);
  if (code != 0) {
    char asked[64];
    std::snprintf(asked, sizeof asked, "%d channels, %d Hz, %d bits", channels, rate, bits);
    return elDraw::ErrorAbout("elSound::SelectFormat", asked, "再生フォーマットを変更できません", code);
  }
  primaryFormat = format;
  RebuildSlots();
  return 1;
}

void PlaySystemSound(const char* name) {
  // No test of soundAvailable: the system sound does not need our device (a
  // temporary one plays it), and the rebuild after it opens the device
  // again, so a device that could not be opened at start is tried once more.
  ReleaseSound();
  const plat::Chime* chime = nullptr;
  for (const SystemSoundName& s : kSystemSounds) {
    if (std::strcmp(name, s.name) == 0) chime = &s.chime;
  }
  // A name that is neither a system sound nor a playable file sounds the
  // default one, as the system does.
  if (chime) {
    plat::PlayChime(*chime, true);
  } else if (!PlayWaveFile(name)) {
    plat::PlayChime(plat::Chime::Default, true);
  }
  ReloadAll();
}

int Beep() {
  plat::MessageBeep(-1);
  return 1;
}

}  // namespace elSound
