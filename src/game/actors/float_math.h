// Sine, cosine and arc tangent of a float for the game's movement, taken
// from the double-precision functions and rounded once to float. The
// systems' own float functions now and then differ in the last bit (glibc's
// are not always correctly rounded, Windows' are), while the double ones
// rounded to float agree, so a replay gives the same trace on both.
#pragma once
#include <cmath>

namespace fmath {

inline float Sin(float x) { return static_cast<float>(std::sin(static_cast<double>(x))); }
inline float Cos(float x) { return static_cast<float>(std::cos(static_cast<double>(x))); }
inline float Atan(float x) { return static_cast<float>(std::atan(static_cast<double>(x))); }

}  // namespace fmath
