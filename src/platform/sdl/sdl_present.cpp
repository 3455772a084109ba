// The sdl backend's present: a renderer where a graphics processor draws,
// otherwise the window's own surface (see sdl_present.h).
#include "platform/sdl/sdl_present.h"

#include "platform/core/picture_fit.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace plat {
namespace {

// Mesa's and others' rasterisers that run on the processor; a GL renderer
// over one of them costs several milliseconds a frame for what a plain copy
// into the window does in a fraction of one.
bool SoftwareRasteriser(const char* name) {
  static const char* const kNames[] = {"llvmpipe", "softpipe", "Software Rasterizer", "swrast",
                                       "SWR", "lavapipe"};
  if (name == nullptr) return true;
  for (const char* n : kNames)
    if (std::strstr(name, n) != nullptr) return true;
  return false;
}

// The GL renderer string of the current context, or null.
const char* GlRendererName() {
  using GetString = const unsigned char* (*)(unsigned);
  constexpr unsigned kGlRenderer = 0x1F01;
  auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  return getString ? reinterpret_cast<const char*>(getString(kGlRenderer)) : nullptr;
}

bool Xrgb(const SDL_Surface* s) {
  return s->format->format == SDL_PIXELFORMAT_RGB888 || s->format->format == SDL_PIXELFORMAT_ARGB8888;
}

// Whether a graphics processor draws GL here. A machine without a graphics
// device node has none, and is known without starting GL at all (which in a
// software rasteriser costs a tenth of a second). Otherwise a context on a
// small hidden window of its own is asked, so that the game's window is not
// turned into a GL one and no renderer is built only to be thrown away.
bool GpuDrawsGl() {
  std::error_code error;
  if (!std::filesystem::exists("/dev/dri", error)) return false;
  SDL_Window* probe = SDL_CreateWindow("", 0, 0, 1, 1, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
  if (probe == nullptr) return false;
  SDL_GLContext context = SDL_GL_CreateContext(probe);
  bool gpu = context != nullptr && !SoftwareRasteriser(GlRendererName());
  if (context != nullptr) SDL_GL_DeleteContext(context);
  SDL_DestroyWindow(probe);
  return gpu;
}

// The window's own surface, kept in plain memory: SDL would otherwise back
// it with a renderer's texture, the very cost this way avoids.
SDL_Surface* PlainWindowSurface(SDL_Window* window) {
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  return SDL_GetWindowSurface(window);
}

// Writes row `y` of `picture` (w pixels) scale times over, each pixel
// scale pixels wide, into a 32-bit window surface.
void PutScaledRow(const uint32_t* picture, int w, int scale, uint8_t* out, int pitch) {
  for (int k = 0; k < scale; ++k, out += pitch) {
    auto* o = reinterpret_cast<uint32_t*>(out);
    for (int x = 0; x < w; ++x)
      for (int s = 0; s < scale; ++s) *o++ = picture[x];
  }
}

}  // namespace

bool WindowPresenter::Open(SDL_Window* window, int scale) {
  Close();
  window_ = window;
  scale_ = scale >= 1 ? scale : 1;
  int w = 0, h = 0;
  SDL_GetWindowSize(window, &w, &h);
  picture_.assign(static_cast<size_t>(w / scale_) * static_cast<size_t>(h / scale_), 0);
  // With ZOLBECK_PRESENT set (to a way, or to "auto" for the usual choice),
  // the way in use is named on standard error, for measurements.
  const char* asked = std::getenv("ZOLBECK_PRESENT");
  if (asked == nullptr) return Choose(nullptr);
  bool ok = Choose(std::strcmp(asked, "auto") == 0 ? nullptr : asked);
  std::fprintf(stderr, "present: %s\n", ok ? Name() : "none");
  return ok;
}

bool WindowPresenter::Choose(const char* asked) {
  if (asked != nullptr) {
    if (std::strcmp(asked, "surface") == 0) {
      SDL_Surface* surface = PlainWindowSurface(window_);
      return surface != nullptr && (scale_ == 1 || Xrgb(surface));
    }
    return UseRenderer(asked);
  }
  // A graphics processor's renderer when there is one; the window surface
  // when the only renderers run on the processor.
  if (GpuDrawsGl() && UseRenderer(nullptr)) {
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer_, &info);
    if ((info.flags & SDL_RENDERER_SOFTWARE) == 0) return true;
    SDL_DestroyRenderer(renderer_);
    renderer_ = nullptr;
  }
  // Some window systems give no surface, and a scaled window surface is
  // written only in the converter's own format; SDL's software renderer
  // does the rest.
  SDL_Surface* surface = PlainWindowSurface(window_);
  if (surface != nullptr && (scale_ == 1 || Xrgb(surface))) return true;
  return UseRenderer("software");
}

bool WindowPresenter::UseRenderer(const char* driver) {
  int index = -1;
  if (driver != nullptr) {
    for (int i = 0; i < SDL_GetNumRenderDrivers(); ++i) {
      SDL_RendererInfo info{};
      if (SDL_GetRenderDriverInfo(i, &info) == 0 && std::strcmp(info.name, driver) == 0) index = i;
    }
    if (index < 0) return false;
  }
  renderer_ = SDL_CreateRenderer(window_, index, driver ? 0 : SDL_RENDERER_ACCELERATED);
  return renderer_ != nullptr;
}

void WindowPresenter::Close() {
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  textureW_ = textureH_ = 0;
  if (renderer_) SDL_DestroyRenderer(renderer_);
  renderer_ = nullptr;
  hasPicture_ = false;
  window_ = nullptr;
}

const char* WindowPresenter::Name() const {
  if (!renderer_) return "surface";
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(renderer_, &info);
  return info.name;
}

void WindowPresenter::Lost() {
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  textureW_ = textureH_ = 0;
  hasPicture_ = false;
}

void WindowPresenter::Present(const Surface& source, const Rect& sourceRect) {
  if (!window_) return;
  if (sourceRect.right - sourceRect.left <= 0 || sourceRect.bottom - sourceRect.top <= 0) return;
  if (renderer_)
    PresentToRenderer(source, sourceRect);
  else
    PresentToSurface(source, sourceRect);
}

void WindowPresenter::Redraw() {
  if (!window_) return;
  if (renderer_) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    if (texture_ && hasPicture_) {
      SDL_Rect place = RendererPlace();
      SDL_RenderCopy(renderer_, texture_, &pictureRect_, &place);
    }
    SDL_RenderPresent(renderer_);
    return;
  }
  // The window surface still holds the last picture, unless the window has
  // changed size since (full screen and back): then it waits, black, for the
  // next one.
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (target == nullptr) return;
  if (!hasPicture_ || target->w != surfaceW_ || target->h != surfaceH_)
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
  SDL_UpdateWindowSurface(window_);
}

// The back screen is converted by the library's own converter straight into
// a streaming texture: bit-exact, and cheaper than letting the renderer
// convert a 16-bit texture. Integer scaling with the nearest pixel keeps the
// picture sharp.
void WindowPresenter::PresentToRenderer(const Surface& source, const Rect& sourceRect) {
  const int w = sourceRect.right - sourceRect.left, h = sourceRect.bottom - sourceRect.top;
  if (!texture_ || w > textureW_ || h > textureH_) {
    if (texture_) SDL_DestroyTexture(texture_);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
    if (!texture_) return;
    textureW_ = w;
    textureH_ = h;
  }
  pictureRect_ = SDL_Rect{0, 0, w, h};
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(texture_, &pictureRect_, &pixels, &pitch) != 0) return;
  bool converted = ConvertToXrgb8888(source, sourceRect, static_cast<uint32_t*>(pixels), pitch);
  SDL_UnlockTexture(texture_);
  if (!converted) return;
  hasPicture_ = true;
  SDL_Rect place = RendererPlace();
  // Full screen leaves a border around the picture that must stay black.
  if (place.x > 0 || place.y > 0) {
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
  }
  SDL_RenderCopy(renderer_, texture_, &pictureRect_, &place);
  SDL_RenderPresent(renderer_);
}

// The picture's place in the renderer's output: scaled by whole numbers and
// centred, as the window's mouse positions assume.
SDL_Rect WindowPresenter::RendererPlace() const {
  int outW = 0, outH = 0;
  SDL_GetRendererOutputSize(renderer_, &outW, &outH);
  PictureRect r = FitPicture(outW, outH, pictureRect_.w, pictureRect_.h);
  return SDL_Rect{r.x, r.y, r.w, r.h};
}

// Straight into the window's surface: one conversion pass, then the window
// system copies it to the screen (shared memory on X). A window surface in
// the converter's own format at scale 1 takes the conversion directly;
// otherwise the picture is converted aside, then scaled or converted again.
void WindowPresenter::PresentToSurface(const Surface& source, const Rect& sourceRect) {
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (target == nullptr) return;
  const int w = sourceRect.right - sourceRect.left, h = sourceRect.bottom - sourceRect.top;
  // Scaled by the largest whole number that fits and centred (full screen);
  // a window smaller than the picture shows its top-left part.
  const PictureRect place = FitPicture(target->w, target->h, w, h);
  const int scale = place.w >= w ? place.w / w : 1;
  const int left = place.w >= w ? place.x : 0, top = place.h >= h ? place.y : 0;
  const int shownW = std::min(w, target->w / scale), shownH = std::min(h, target->h / scale);
  if (shownW <= 0 || shownH <= 0) return;
  // A window of a new size starts black, so the border around the picture
  // stays black.
  if (target->w != surfaceW_ || target->h != surfaceH_) {
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    surfaceW_ = target->w;
    surfaceH_ = target->h;
  }
  const Rect shown{sourceRect.left, sourceRect.top, sourceRect.left + shownW, sourceRect.top + shownH};
  const Uint32 format = target->format->format;
  const bool xrgb = Xrgb(target);
  if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
  auto* pixels = static_cast<uint8_t*>(target->pixels) + static_cast<size_t>(top) * target->pitch +
                 static_cast<size_t>(left) * target->format->BytesPerPixel;
  bool converted;
  if (xrgb && scale == 1) {
    converted = ConvertToXrgb8888(source, shown, reinterpret_cast<uint32_t*>(pixels), target->pitch);
  } else {
    const size_t needed = static_cast<size_t>(shownW) * static_cast<size_t>(shownH);
    if (picture_.size() < needed) picture_.resize(needed);  // only when the picture outgrows the window
    converted = ConvertToXrgb8888(source, shown, picture_.data(), shownW * 4);
    if (converted && xrgb) {
      for (int y = 0; y < shownH; ++y)
        PutScaledRow(picture_.data() + static_cast<size_t>(y) * shownW, shownW, scale,
                     pixels + static_cast<size_t>(y) * scale * target->pitch, target->pitch);
    } else if (converted && scale == 1) {
      converted = SDL_ConvertPixels(shownW, shownH, SDL_PIXELFORMAT_RGB888, picture_.data(), shownW * 4,
                                    format, pixels, target->pitch) == 0;
    } else {
      converted = false;  // Open chose a renderer for these windows
    }
  }
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  if (!converted) return;
  hasPicture_ = true;
  SDL_UpdateWindowSurface(window_);
}

}  // namespace plat
