// Software drawing surfaces: formats, the surface registry, loss and
// restoration, locks and the present count. The blits are in blit.cpp, the
// old graphics interface's calls in gdi_pixels.cpp, the conversion to
// 0x00RRGGBB in pixel_convert.cpp and the BMP decoding in bmp_decode.cpp.
#include <cstddef>
#include <cstring>
#include <new>

#include "platform/backend.h"
#include "platform/image/surface.h"
#include "platform/image/surface_internal.h"

namespace plat {
namespace {

using surfaceinternal::kMaxSide;
using surfaceinternal::kMaxSurfaces;

constexpr int kMaxSpares = 64;
// Rows start on 16-byte boundaries, so that whole-row vector work never
// straddles two rows' worth of cache lines more than it must.
constexpr int kRowAlign = 16;
constexpr size_t kBufferAlign = 64;

Surface pool[kMaxSurfaces];
bool live[kMaxSurfaces];
uint32_t presents = 0;

// Buffers of released surfaces, kept for later surfaces that fit.
struct Spare {
  uint8_t* pixels = nullptr;
  size_t capacity = 0;
};
Spare spares[kMaxSpares];
int spareCount = 0;

uint8_t* AllocateBuffer(size_t capacity) {
  return static_cast<uint8_t*>(::operator new(capacity, std::align_val_t{kBufferAlign}, std::nothrow));
}
void FreeBuffer(uint8_t* pixels) {
  if (pixels != nullptr) ::operator delete(pixels, std::align_val_t{kBufferAlign});
}

// Takes the smallest spare buffer that holds `capacity` bytes, or allocates.
uint8_t* TakeBuffer(size_t capacity, size_t& gotCapacity) {
  int best = -1;
  for (int i = 0; i < spareCount; ++i)
    if (spares[i].capacity >= capacity && (best < 0 || spares[i].capacity < spares[best].capacity))
      best = i;
  if (best >= 0) {
    uint8_t* pixels = spares[best].pixels;
    gotCapacity = spares[best].capacity;
    spares[best] = spares[--spareCount];
    return pixels;
  }
  gotCapacity = capacity;
  return AllocateBuffer(capacity);
}

// Keeps a buffer for reuse. A full pool gives up its smallest buffer (or
// this one, when it is the smallest), so the large ones stay.
void KeepBuffer(uint8_t* pixels, size_t capacity) {
  if (pixels == nullptr) return;
  if (spareCount < kMaxSpares) {
    spares[spareCount++] = {pixels, capacity};
    return;
  }
  int smallest = 0;
  for (int i = 1; i < spareCount; ++i)
    if (spares[i].capacity < spares[smallest].capacity) smallest = i;
  if (spares[smallest].capacity >= capacity) {
    FreeBuffer(pixels);
    return;
  }
  FreeBuffer(spares[smallest].pixels);
  spares[smallest] = {pixels, capacity};
}

}  // namespace

// Gives the kept buffers back when the platform stops, so that a later start
// begins with none.
void FreeSpareBuffers() {
  for (int i = 0; i < spareCount; ++i) FreeBuffer(spares[i].pixels);
  spareCount = 0;
}

namespace {

int SlotOf(const Surface* surface) {
  if (surface < pool || surface >= pool + kMaxSurfaces) return -1;
  return static_cast<int>(surface - pool);
}

Surface* NewSlot() {
  for (int i = 0; i < kMaxSurfaces; ++i)
    if (!live[i]) {
      live[i] = true;
      pool[i] = Surface{};
      return &pool[i];
    }
  return nullptr;
}

}  // namespace

// --- Internal, shared with the blits ------------------------------------------

namespace surfaceinternal {

int IndexOf(const Surface* surface) {
  const int i = SlotOf(surface);
  return i >= 0 && live[i] ? i : -1;
}

void CountPresent() { ++presents; }

}  // namespace surfaceinternal

// --- Formats ------------------------------------------------------------------

PixelFormat FormatForDepth(int depth) {
  PixelFormat f;
  switch (depth) {
    case 15:
      f.bitsPerPixel = 16;
      f.bytesPerPixel = 2;
      f.redMask = 0x7C00;
      f.greenMask = 0x03E0;
      f.blueMask = 0x001F;
      break;
    case 24:
    case 32:
      f.bitsPerPixel = depth;
      f.bytesPerPixel = depth / 8;
      f.redMask = 0xFF0000;
      f.greenMask = 0x00FF00;
      f.blueMask = 0x0000FF;
      break;
    default:  // 16, and anything the desktop cannot have
      break;
  }
  return f;
}

PixelFormat DesktopFormat() {
  Backend* backend = ActiveBackend();
  return FormatForDepth(backend ? backend->DesktopDepth() : 16);
}

// --- Surfaces -------------------------------------------------------------------

Surface* CreateSurface(int width, int height) {
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide) return nullptr;
  const PixelFormat format = DesktopFormat();
  const int pitch = (width * format.bytesPerPixel + kRowAlign - 1) / kRowAlign * kRowAlign;
  const size_t bytes = static_cast<size_t>(pitch) * static_cast<size_t>(height);
  Surface* s = NewSlot();
  if (s == nullptr) return nullptr;
  size_t capacity = 0;
  uint8_t* pixels = TakeBuffer(bytes, capacity);
  if (pixels == nullptr) {
    live[SlotOf(s)] = false;
    return nullptr;
  }
  std::memset(pixels, 0, bytes);
  s->width = width;
  s->height = height;
  s->pitch = pitch;
  s->format = format;
  s->pixels = pixels;
  s->capacity = capacity;
  surfaceinternal::Touch(*s);
  return s;
}

Surface* CreatePrimarySurface() {
  Surface* s = NewSlot();
  if (s == nullptr) return nullptr;
  s->format = DesktopFormat();
  s->primary = true;
  return s;
}

void ReleaseSurface(Surface* surface) {
  const int i = surfaceinternal::IndexOf(surface);
  if (i < 0) return;
  surfaceinternal::Touch(*surface);
  KeepBuffer(surface->pixels, surface->capacity);
  pool[i] = Surface{};
  live[i] = false;
}

bool IsLost(const Surface& surface) { return surface.lost; }

Result Restore(Surface& surface) {
  if (!surface.lost) return Result::Ok;
  surface.lost = false;
  if (surface.pixels != nullptr) {
    std::memset(surface.pixels, 0, static_cast<size_t>(surface.pitch) * surface.height);
    surfaceinternal::Touch(surface);
  }
  return Result::Ok;
}

void LoseAllSurfaces() {
  for (int i = 0; i < kMaxSurfaces; ++i)
    if (live[i]) pool[i].lost = true;
}

void SetColorKey(Surface& surface, bool enable, uint32_t low, uint32_t high) {
  surface.hasKey = enable;
  surface.keyLow = enable ? low : 0;
  surface.keyHigh = enable ? high : 0;
}

Result Lock(Surface& surface, LockInfo& info) {
  if (surface.lost) return Result::SurfaceLost;
  if (surface.pixels == nullptr) return Result::Failed;
  info.pixels = surface.pixels;
  info.pitch = surface.pitch;
  surfaceinternal::Touch(surface);
  return Result::Ok;
}

void Unlock(Surface& surface) { surfaceinternal::Touch(surface); }

// The backend paces its presents itself; there is no beam to wait for.
void WaitForVerticalBlank() {}
// The window is always the system's own surface here.
void FlipToGdiSurface() {}

uint32_t PresentCount() { return presents; }

}  // namespace plat
