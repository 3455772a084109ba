// Fonts: the font list and the font description block. Text drawing comes
// with the text facility.
#include "draw/eldraw.h"

namespace elDraw {

void ListFonts() {}
void FreeFontDescription() {}

}  // namespace elDraw
