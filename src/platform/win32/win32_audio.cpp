// The win32 backend's sound device: one looping DirectSound buffer fed from
// the mixer by a thread of its own. The buffer is a ring of four blocks of
// about 10 ms; the system signals an event as playback crosses into each
// block, and the thread refills every block the play cursor has left, so
// the device plays 30 to 40 ms ahead of the program. A short time-out wakes
// the thread as well, should a signal never come. Everything the thread
// touches is sized when the device opens: it never allocates, and only the
// mixer's music posts messages from it.
#include <atomic>
#include <cstring>

#include "platform/audio/mixer.h"
#include "platform/win32/win32_backend.h"

// After <windows.h> (through win32_backend.h), which it needs.
#include <dsound.h>

namespace plat {
namespace {

constexpr int kBlocks = 4;
constexpr int kMaxRate = 100000;  // the highest output rate the mixer accepts
constexpr int kMaxBlockFrames = kMaxRate / 100;
constexpr DWORD kFrameBytes = 4;  // 16-bit stereo
constexpr DWORD kSafetyMs = 5;    // the longest the thread sleeps without a signal
constexpr DWORD kRingFlags =
    DSBCAPS_GETCURRENTPOSITION2 | DSBCAPS_GLOBALFOCUS | DSBCAPS_CTRLPOSITIONNOTIFY;

IDirectSound8* sound = nullptr;
IDirectSoundBuffer* primary = nullptr;
IDirectSoundBuffer* ring = nullptr;
// One event per block boundary, then the one that stops the thread.
HANDLE wake[kBlocks + 1] = {};
HANDLE feeder = nullptr;
std::atomic<bool> stopping{false};
int blockFrames = 0;
DWORD blockBytes = 0;
int16_t scratch[2 * kMaxBlockFrames];

template <class Interface>
void Release(Interface*& object) {
  if (object) object->Release();
  object = nullptr;
}

WAVEFORMATEX StereoFormat(int rate) {
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = static_cast<WORD>(kFrameBytes);
  format.nAvgBytesPerSec = format.nSamplesPerSec * kFrameBytes;
  return format;
}

// Priority lets the primary buffer take our format; a system that refuses
// it still plays us at the normal level, in its own format.
bool Cooperate(HWND window) {
  HWND owner = window ? window : GetDesktopWindow();
  return SUCCEEDED(sound->SetCooperativeLevel(owner, DSSCL_PRIORITY)) ||
         SUCCEEDED(sound->SetCooperativeLevel(owner, DSSCL_NORMAL));
}

// Copies the scratch block into the ring at `offset`, in the two parts of a
// region that wraps. A buffer whose memory the system took back is restored
// and started again; its old samples are gone, the new ones go in.
void WriteBlock(DWORD offset) {
  void* first = nullptr;
  void* second = nullptr;
  DWORD firstBytes = 0, secondBytes = 0;
  HRESULT result = ring->Lock(offset, blockBytes, &first, &firstBytes, &second, &secondBytes, 0);
  bool restored = false;
  if (result == DSERR_BUFFERLOST) {
    if (FAILED(ring->Restore())) return;
    restored = true;
    result = ring->Lock(offset, blockBytes, &first, &firstBytes, &second, &secondBytes, 0);
  }
  if (FAILED(result)) return;
  std::memcpy(first, scratch, firstBytes);
  if (second) std::memcpy(second, reinterpret_cast<uint8_t*>(scratch) + firstBytes, secondBytes);
  ring->Unlock(first, firstBytes, second, secondBytes);
  if (restored) ring->Play(0, 0, DSBPLAY_LOOPING);
}

// The mixer runs on whether or not the block reaches the device, so its
// buffers keep time with the clock.
void Fill(int block) {
  MixOutput(scratch, blockFrames);
  WriteBlock(static_cast<DWORD>(block) * blockBytes);
}

DWORD WINAPI Feed(void*) {
  int next = 0;  // the oldest block not refilled since playback left it
  for (;;) {
    WaitForMultipleObjects(kBlocks + 1, wake, FALSE, kSafetyMs);
    if (stopping.load()) break;
    DWORD play = 0, write = 0;
    if (FAILED(ring->GetCurrentPosition(&play, &write))) continue;
    const int playing = static_cast<int>(play / blockBytes) % kBlocks;
    for (; next != playing; next = (next + 1) % kBlocks) Fill(next);
  }
  return 0;
}

bool CreateRing(int rate) {
  WAVEFORMATEX format = StereoFormat(rate);
  DSBUFFERDESC description{};
  description.dwSize = sizeof description;
  description.dwFlags = DSBCAPS_PRIMARYBUFFER;
  if (SUCCEEDED(sound->CreateSoundBuffer(&description, &primary, nullptr))) {
    primary->SetFormat(&format);  // refused at the normal level: the system mixes to its own
  } else {
    primary = nullptr;
  }
  description = DSBUFFERDESC{};
  description.dwSize = sizeof description;
  description.dwFlags = kRingFlags;
  description.dwBufferBytes = blockBytes * kBlocks;
  description.lpwfxFormat = &format;
  if (FAILED(sound->CreateSoundBuffer(&description, &ring, nullptr))) {
    ring = nullptr;
    return false;
  }
  for (HANDLE& event : wake) {
    event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!event) return false;
  }
  // Without the signals the time-out alone feeds the ring.
  IDirectSoundNotify* notify = nullptr;
  if (SUCCEEDED(ring->QueryInterface(IID_IDirectSoundNotify, reinterpret_cast<void**>(&notify)))) {
    DSBPOSITIONNOTIFY marks[kBlocks];
    for (int i = 0; i < kBlocks; ++i) {
      marks[i] = DSBPOSITIONNOTIFY{static_cast<DWORD>(i) * blockBytes, wake[i]};
    }
    notify->SetNotificationPositions(kBlocks, marks);
    notify->Release();
  }
  return true;
}

}  // namespace

bool DirectSoundOpen(HWND window, int rate) {
  DirectSoundClose();
  if (rate <= 0 || rate > kMaxRate) return false;
  if (FAILED(DirectSoundCreate8(nullptr, &sound, nullptr))) {
    sound = nullptr;  // no device, or none the system can open
    return false;
  }
  blockFrames = rate / 100 > 0 ? rate / 100 : 1;
  blockBytes = static_cast<DWORD>(blockFrames) * kFrameBytes;
  if (!Cooperate(window) || !CreateRing(rate)) {
    DirectSoundClose();
    return false;
  }
  for (int i = 0; i < kBlocks; ++i) Fill(i);
  stopping.store(false);
  if (FAILED(ring->Play(0, 0, DSBPLAY_LOOPING)) ||
      !(feeder = CreateThread(nullptr, 0, Feed, nullptr, 0, nullptr))) {
    DirectSoundClose();
    return false;
  }
  // The mixer waits for nobody: its thread runs ahead of the program's.
  SetThreadPriority(feeder, THREAD_PRIORITY_TIME_CRITICAL);
  return true;
}

void DirectSoundFollowWindow(HWND window) {
  if (sound) Cooperate(window);
}

void DirectSoundClose() {
  if (feeder) {
    stopping.store(true);
    SetEvent(wake[kBlocks]);
    WaitForSingleObject(feeder, INFINITE);
    CloseHandle(feeder);
    feeder = nullptr;
  }
  if (ring) ring->Stop();
  Release(ring);
  Release(primary);
  Release(sound);
  for (HANDLE& event : wake) {
    if (event) CloseHandle(event);
    event = nullptr;
  }
}

}  // namespace plat
