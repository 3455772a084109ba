// How the sdl backend puts the back screen into its window. Internal to
// src/platform.
//
// Two ways: through a renderer with a streaming texture, which is cheap where
// a graphics processor draws it, or by writing straight into the window's own
// surface, which is cheapest where nothing but the processor draws (a GL
// renderer then runs in a software rasteriser, several times dearer). Both
// scale as picture_scale.h says: the renderer enlarges the picture by whole
// numbers into a texture of its own (nearest pixel) and draws that with
// linear filtering into the picture's place; the surface way uses our own
// scaler (present_picture.h). The
// renderer is kept when it is a graphics processor's; the environment
// variable ZOLBECK_PRESENT picks one way by name for measurements:
// "surface", or an SDL render driver ("opengl", "opengles2", "software"), or
// "auto" for the usual choice.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/image/present_picture.h"
#include "platform/image/surface.h"

namespace plat {

class WindowPresenter {
 public:
  // Chooses the way for `window`, which shows a picture of w x h as large
  // as fits (only by whole numbers with `wholeScale`). False when none
  // works.
  bool Open(SDL_Window* window, int w, int h, bool wholeScale);
  void Close();
  // Shows a rectangle of the back screen.
  void Present(const Surface& source, const Rect& sourceRect);
  // Shows the last picture again (after an expose), or black before the
  // first one.
  void Redraw();
  // The display lost what it held (the renderer's textures).
  void Lost();
  // The name of the way in use ("surface", or the render driver's name).
  const char* Name() const;

 private:
  bool Choose(const char* asked);
  bool UseRenderer(const char* driver);
  void PresentToSurface(const Surface& source, const Rect& sourceRect);
  void PresentToRenderer(const Surface& source, const Rect& sourceRect);
  void DrawRendererPicture();
  SDL_Texture* Enlarged(int w, int h);
  SDL_Rect RendererPlace() const;
  void DestroyTextures();

  SDL_Window* window_ = nullptr;
  bool wholeScale_ = false;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;   // the converted picture
  int textureW_ = 0, textureH_ = 0;
  SDL_Texture* enlarged_ = nullptr;  // the picture enlarged by whole numbers
  int enlargedW_ = 0, enlargedH_ = 0;
  SDL_Rect pictureRect_{};
  bool hasPicture_ = false;
  int surfaceW_ = 0, surfaceH_ = 0;  // the window surface's size at the last present
  PresentPicture picture_;  // the surface way's converted and scaled picture
  // The scaled picture in the converter's format, for a window surface
  // that takes red and blue the other way round (a page's canvas).
  std::vector<uint32_t> ordered_;
};

}  // namespace plat
