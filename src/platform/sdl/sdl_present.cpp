// The sdl backend's present: a renderer where a graphics processor draws,
// otherwise the window's own surface (see sdl_present.h).
#include "platform/sdl/sdl_present.h"

#include "platform/core/hints.h"
#include "platform/core/picture_fit.h"
#include "platform/image/picture_scale.h"

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

// Red and blue the other way round (0x00BBGGRR), as a page's canvas takes
// its pixels.
bool Xbgr(const SDL_Surface* s) {
#ifdef __EMSCRIPTEN__
  return s->format->format == SDL_PIXELFORMAT_BGR888;
#else
  (void)s;
  return false;
#endif
}

// A window surface the surface way writes: the converter's own format, or
// the page's, which the picture reaches through a copy that swaps red and
// blue.
bool Writable(const SDL_Surface* s) { return Xrgb(s) || Xbgr(s); }

// Copies w x h pixels of 0x00RRGGBB into 0x00BBGGRR.
void CopySwapped(const uint32_t* from, int fromPitch, uint32_t* to, int toPitch, int w, int h) {
  for (int y = 0; y < h; ++y) {
    const uint32_t* a = reinterpret_cast<const uint32_t*>(reinterpret_cast<const uint8_t*>(from) +
                                                          static_cast<size_t>(y) * fromPitch);
    uint32_t* b = reinterpret_cast<uint32_t*>(reinterpret_cast<uint8_t*>(to) + static_cast<size_t>(y) * toPitch);
    for (int x = 0; x < w; ++x) {
      const uint32_t v = a[x];
      b[x] = (v & 0x0000FF00u) | ((v >> 16) & 0xFFu) | ((v & 0xFFu) << 16);
    }
  }
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

}  // namespace

bool WindowPresenter::Open(SDL_Window* window, int w, int h, bool wholeScale) {
  Close();
  window_ = window;
  wholeScale_ = wholeScale;
  // With ZOLBECK_PRESENT set (to a way, or to "auto" for the usual choice),
  // the way in use is named on standard error, for measurements.
  const char* asked = std::getenv("ZOLBECK_PRESENT");
  bool ok = Choose(asked != nullptr && std::strcmp(asked, "auto") != 0 ? asked : nullptr);
  if (ok && !renderer_) {
    // The surface way's buffers, for outputs up to the desktop's size (or
    // the window's, if larger).
    int outW = 0, outH = 0;
    SDL_GetWindowSize(window, &outW, &outH);
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) == 0) {
      outW = std::max(outW, desktop.w);
      outH = std::max(outH, desktop.h);
    }
    ok = picture_.Reserve(w, h, outW, outH);
  }
  if (asked != nullptr) std::fprintf(stderr, "present: %s\n", ok ? Name() : "none");
  return ok;
}

bool WindowPresenter::Choose(const char* asked) {
  if (asked != nullptr) {
    if (std::strcmp(asked, "surface") == 0) {
      SDL_Surface* surface = PlainWindowSurface(window_);
      return surface != nullptr && Writable(surface);
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
  // Some window systems give no surface, and a window surface is written
  // only in the converter's own format; SDL's software renderer does the
  // rest.
  SDL_Surface* surface = PlainWindowSurface(window_);
  if (surface != nullptr && Writable(surface)) return true;
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

void WindowPresenter::DestroyTextures() {
  if (texture_) SDL_DestroyTexture(texture_);
  texture_ = nullptr;
  textureW_ = textureH_ = 0;
  if (enlarged_) SDL_DestroyTexture(enlarged_);
  enlarged_ = nullptr;
  enlargedW_ = enlargedH_ = 0;
}

void WindowPresenter::Close() {
  DestroyTextures();
  if (renderer_) SDL_DestroyRenderer(renderer_);
  renderer_ = nullptr;
  hasPicture_ = false;
  window_ = nullptr;
  picture_.Release();
  std::vector<uint32_t>().swap(ordered_);
  surfaceW_ = surfaceH_ = 0;
}

const char* WindowPresenter::Name() const {
  if (!renderer_) return "surface";
  SDL_RendererInfo info{};
  SDL_GetRendererInfo(renderer_, &info);
  return info.name;
}

void WindowPresenter::Lost() {
  DestroyTextures();
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
    DrawRendererPicture();
    return;
  }
  // The window surface still holds the last picture, unless the window has
  // changed size since (full screen and back): then it waits, black, for the
  // next one.
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (target == nullptr) return;
  if (!hasPicture_ || target->w != surfaceW_ || target->h != surfaceH_) {
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    picture_.Forget();
  }
  SDL_UpdateWindowSurface(window_);
}

// The back screen is converted by the library's own converter straight into
// a streaming texture: bit-exact, and cheaper than letting the renderer
// convert a 16-bit texture. The hints are laid over the converted picture.
void WindowPresenter::PresentToRenderer(const Surface& source, const Rect& sourceRect) {
  const int w = sourceRect.right - sourceRect.left, h = sourceRect.bottom - sourceRect.top;
  if (!texture_ || w > textureW_ || h > textureH_) {
    if (texture_) SDL_DestroyTexture(texture_);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, w, h);
    if (!texture_) return;
    SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest);
    textureW_ = w;
    textureH_ = h;
  }
  pictureRect_ = SDL_Rect{0, 0, w, h};
  void* pixels = nullptr;
  int pitch = 0;
  if (SDL_LockTexture(texture_, &pictureRect_, &pixels, &pitch) != 0) return;
  bool converted = ConvertToXrgb8888(source, sourceRect, static_cast<uint32_t*>(pixels), pitch);
  if (converted) DrawHints(static_cast<uint32_t*>(pixels), pitch, w, h);
  SDL_UnlockTexture(texture_);
  if (!converted) return;
  hasPicture_ = true;
  DrawRendererPicture();
}

// The picture in its place on black: a whole-number fit straight from the
// picture's texture, nearest pixel; any other through the texture that
// holds it enlarged by whole numbers, drawn with linear filtering (see
// picture_scale.h). A renderer without target textures draws the picture
// nearest pixel.
void WindowPresenter::DrawRendererPicture() {
  SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
  SDL_RenderClear(renderer_);
  if (texture_ && hasPicture_) {
    const SDL_Rect place = RendererPlace();
    const int w = pictureRect_.w, h = pictureRect_.h;
    const int kx = WholeScaleFor(w, place.w), ky = WholeScaleFor(h, place.h);
    SDL_Texture* enlarged = place.w == w * kx && place.h == h * ky ? nullptr : Enlarged(w * kx, h * ky);
    if (enlarged != nullptr) {
      const SDL_Rect all{0, 0, w * kx, h * ky};
      SDL_RenderCopy(renderer_, enlarged, &all, &place);
    } else {
      SDL_RenderCopy(renderer_, texture_, &pictureRect_, &place);
    }
  }
  SDL_RenderPresent(renderer_);
}

// The picture enlarged into a target texture of w x h, nearest pixel; null
// when the renderer cannot draw into textures.
SDL_Texture* WindowPresenter::Enlarged(int w, int h) {
  if (!enlarged_ || w > enlargedW_ || h > enlargedH_) {
    if (enlarged_) SDL_DestroyTexture(enlarged_);
    enlarged_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_TARGET, w, h);
    enlargedW_ = enlarged_ ? w : 0;
    enlargedH_ = enlarged_ ? h : 0;
    if (!enlarged_) return nullptr;
    SDL_SetTextureScaleMode(enlarged_, SDL_ScaleModeLinear);
  }
  const SDL_Rect all{0, 0, w, h};
  if (SDL_SetRenderTarget(renderer_, enlarged_) != 0) return nullptr;
  SDL_RenderCopy(renderer_, texture_, &pictureRect_, &all);
  SDL_SetRenderTarget(renderer_, nullptr);
  return enlarged_;
}

// The picture's place in the renderer's output, as the window's mouse
// positions assume.
SDL_Rect WindowPresenter::RendererPlace() const {
  int outW = 0, outH = 0;
  SDL_GetRendererOutputSize(renderer_, &outW, &outH);
  PictureRect r = FitPicture(outW, outH, pictureRect_.w, pictureRect_.h, wholeScale_);
  return SDL_Rect{r.x, r.y, r.w, r.h};
}

// Straight into the window's surface (in the converter's own format): only
// what changed since the last frame is converted and scaled into the
// picture's place, and only those rectangles go to the window system
// (shared memory on X).
void WindowPresenter::PresentToSurface(const Surface& source, const Rect& sourceRect) {
  SDL_Surface* target = SDL_GetWindowSurface(window_);
  if (target == nullptr || !Writable(target)) return;
  const int w = sourceRect.right - sourceRect.left, h = sourceRect.bottom - sourceRect.top;
  const PictureRect place = FitPicture(target->w, target->h, w, h, wholeScale_);
  if (place.w <= 0 || place.h <= 0) return;
  const bool swapped = Xbgr(target);
  // A window of a new size starts black, so the border around the picture
  // stays black, and shows the whole picture again.
  bool whole = false;
  if (target->w != surfaceW_ || target->h != surfaceH_) {
    SDL_FillRect(target, nullptr, SDL_MapRGB(target->format, 0, 0, 0));
    surfaceW_ = target->w;
    surfaceH_ = target->h;
    picture_.Forget();
    whole = true;
    // The picture in the converter's format, kept for the swapping copy
    // (sized with the window, not per frame).
    if (swapped) ordered_.assign(static_cast<size_t>(place.w) * place.h, 0);
  }
  if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
  auto* into = reinterpret_cast<uint32_t*>(static_cast<uint8_t*>(target->pixels) +
                                           static_cast<size_t>(place.y) * target->pitch) + place.x;
  uint32_t* out = swapped ? ordered_.data() : into;
  const int outPitch = swapped ? place.w * 4 : target->pitch;
  constexpr int kMaxRects = 16;
  Rect changed[kMaxRects];
  const int count = picture_.Present(source, sourceRect, out, outPitch, place.w, place.h, changed, kMaxRects);
  if (swapped && count > 0) {
    for (int i = 0; i < count; ++i) {
      const Rect& r = changed[i];
      const size_t at = static_cast<size_t>(r.top) * place.w + r.left;
      CopySwapped(out + at, outPitch, into + static_cast<size_t>(r.top) * (target->pitch / 4) + r.left,
                  target->pitch, r.right - r.left, r.bottom - r.top);
    }
  }
  if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
  if (count < 0) return;
  hasPicture_ = true;
  if (whole) {
    SDL_UpdateWindowSurface(window_);
    return;
  }
  SDL_Rect rects[kMaxRects];
  for (int i = 0; i < count; ++i) {
    const Rect& r = changed[i];
    rects[i] = SDL_Rect{place.x + r.left, place.y + r.top, r.right - r.left, r.bottom - r.top};
  }
  if (count > 0) SDL_UpdateWindowSurfaceRects(window_, rects, count);
}

}  // namespace plat
