// How the sdl backend puts the back screen into its window. Internal to
// src/platform.
//
// Two ways: through a renderer with a streaming texture, which is cheap where
// a graphics processor draws it, or by writing straight into the window's own
// surface, which is cheapest where nothing but the processor draws (a GL
// renderer then runs in a software rasteriser, several times dearer). The
// renderer is kept when it is a graphics processor's; the environment
// variable ZOLBECK_PRESENT picks one way by name for measurements:
// "surface", or an SDL render driver ("opengl", "opengles2", "software"), or
// "auto" for the usual choice.
#pragma once
#include <SDL.h>

#include <cstdint>
#include <vector>

#include "platform/platform.h"
#include "platform/image/surface.h"

namespace plat {

class WindowPresenter {
 public:
  // Chooses the way for `window`, whose client area shows each picture
  // pixel as scale x scale pixels. False when none works.
  bool Open(SDL_Window* window, int scale);
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
  SDL_Rect RendererPlace() const;

  SDL_Window* window_ = nullptr;
  int scale_ = 1;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  int textureW_ = 0, textureH_ = 0;
  SDL_Rect pictureRect_{};
  bool hasPicture_ = false;
  int surfaceW_ = 0, surfaceH_ = 0;  // the window surface's size at the last present
  // The converted picture, for window surfaces that are scaled or not in
  // the converter's format; sized once when the window opens.
  std::vector<uint32_t> picture_;
};

}  // namespace plat
