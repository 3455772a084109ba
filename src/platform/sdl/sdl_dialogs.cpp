// The sdl backend's message boxes: SDL's own, with the old system's buttons
// and icons.
#include <cstdio>

#include "platform/sdl/sdl_parts.h"

namespace plat::sdlparts {

Answer MessageBox(SDL_Window* window, const std::string& textUtf8, const std::string& captionUtf8,
                  Buttons buttons, Icon icon) {
  constexpr int kOk = 0, kYes = 1, kNo = 2;
  SDL_MessageBoxButtonData ok{SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT |
                                  SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT,
                              kOk, "OK"};
  SDL_MessageBoxButtonData yesNo[2] = {
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, kYes, "Yes"},
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, kNo, "No"}};
  Answer fallback = buttons == Buttons::YesNo ? Answer::Yes : Answer::Ok;

  Uint32 flags = SDL_MESSAGEBOX_BUTTONS_LEFT_TO_RIGHT;
  switch (icon) {
    case Icon::Warning: flags |= SDL_MESSAGEBOX_WARNING; break;
    case Icon::Error: flags |= SDL_MESSAGEBOX_ERROR; break;
    case Icon::Question:
    case Icon::Information: flags |= SDL_MESSAGEBOX_INFORMATION; break;
    case Icon::None: break;
  }
  SDL_MessageBoxData data{};
  data.flags = flags;
  data.window = window;
  data.title = captionUtf8.c_str();
  data.message = textUtf8.c_str();
  if (buttons == Buttons::YesNo) {
    data.numbuttons = 2;
    data.buttons = yesNo;
  } else {
    data.numbuttons = 1;
    data.buttons = &ok;
  }
  int pressed = -1;
  if (SDL_ShowMessageBox(&data, &pressed) != 0) {
    std::fprintf(stderr, "%s: %s\n", captionUtf8.c_str(), textUtf8.c_str());
    return fallback;
  }
  // Closing the box without a button counts as its Escape button.
  switch (pressed) {
    case kOk: return Answer::Ok;
    case kYes: return Answer::Yes;
    case kNo: return Answer::No;
    default: return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
  }
}

}  // namespace plat::sdlparts
