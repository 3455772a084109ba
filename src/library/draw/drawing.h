// Small helpers shared by the drawing files of elDraw (not part of the
// library's interface).
#pragma once
#include "draw/eldraw.h"

namespace elDraw::drawing {

// The surface of a sprite slot, or null for a slot number outside the table
// or a slot without a surface: drawing skips both.
inline plat::Surface* SlotSurface(int slot) {
  if (slot < 0 || slot >= kSpriteCount) return nullptr;
  return SpriteTable[slot].surface;
}

// The one blit answer that is acted on: lost surfaces are restored and
// reloaded. Every other failure is ignored and the frame goes on.
inline void AnswerBlit(plat::Result result) {
  if (result == plat::Result::SurfaceLost) Restore();
}

}  // namespace elDraw::drawing
