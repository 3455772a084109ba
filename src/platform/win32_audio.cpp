// The win32 backend's sound device: the system's wave-out device, fed from
// the mixer by a thread of its own. Four blocks of about 10 ms each are
// queued, so the device plays 30 to 40 ms ahead of the program; the thread
// wakes as each block finishes and mixes the next into it. Everything the
// thread touches is sized when the device opens: it never allocates, and
// only the mixer's music posts messages from it.
#include <atomic>
#include <cstring>

#include "platform/mixer.h"
#include "platform/win32_backend.h"

namespace plat {
namespace {

constexpr int kBlocks = 4;
constexpr int kMaxRate = 100000;  // the highest output rate the mixer accepts
constexpr int kMaxBlockFrames = kMaxRate / 100;

HWAVEOUT device = nullptr;
HANDLE blockDone = nullptr;  // set by the system as each block finishes
HANDLE feeder = nullptr;
std::atomic<bool> stopping{false};
int blockFrames = 0;
WAVEHDR headers[kBlocks];
int16_t blocks[kBlocks][2 * kMaxBlockFrames];

void Fill(int index) {
  MixOutput(blocks[index], blockFrames);
  headers[index].dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
  waveOutWrite(device, &headers[index], sizeof headers[index]);
}

// Refills the blocks in the order they were queued, as each comes back.
DWORD WINAPI Feed(void*) {
  int next = 0;
  while (!stopping.load()) {
    WaitForSingleObject(blockDone, 100);
    while (!stopping.load() && (headers[next].dwFlags & WHDR_DONE)) {
      Fill(next);
      next = (next + 1) % kBlocks;
    }
  }
  return 0;
}

}  // namespace

bool WaveOutOpen(int rate) {
  WaveOutClose();
  if (rate <= 0 || rate > kMaxRate) return false;
  WAVEFORMATEX format{};
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 2;
  format.nSamplesPerSec = static_cast<DWORD>(rate);
  format.wBitsPerSample = 16;
  format.nBlockAlign = 4;
  format.nAvgBytesPerSec = format.nSamplesPerSec * 4;
  blockDone = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (!blockDone) return false;
  if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(blockDone), 0,
                  CALLBACK_EVENT) != MMSYSERR_NOERROR) {
    device = nullptr;
    CloseHandle(blockDone);
    blockDone = nullptr;
    return false;
  }
  blockFrames = rate / 100 > 0 ? rate / 100 : 1;
  for (int i = 0; i < kBlocks; ++i) {
    headers[i] = WAVEHDR{};
    headers[i].lpData = reinterpret_cast<LPSTR>(blocks[i]);
    headers[i].dwBufferLength = static_cast<DWORD>(blockFrames) * 4;
    waveOutPrepareHeader(device, &headers[i], sizeof headers[i]);
  }
  for (int i = 0; i < kBlocks; ++i) Fill(i);
  stopping.store(false);
  feeder = CreateThread(nullptr, 0, Feed, nullptr, 0, nullptr);
  if (!feeder) {
    WaveOutClose();
    return false;
  }
  // The mixer waits for nobody: its thread runs ahead of the program's.
  SetThreadPriority(feeder, THREAD_PRIORITY_TIME_CRITICAL);
  return true;
}

void WaveOutClose() {
  if (feeder) {
    stopping.store(true);
    SetEvent(blockDone);
    WaitForSingleObject(feeder, INFINITE);
    CloseHandle(feeder);
    feeder = nullptr;
  }
  if (device) {
    waveOutReset(device);  // every block comes back marked done
    for (WAVEHDR& header : headers) {
      if (header.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device, &header, sizeof header);
    }
    waveOutClose(device);
    device = nullptr;
  }
  if (blockDone) CloseHandle(blockDone);
  blockDone = nullptr;
}

}  // namespace plat
