// rand() and srand() on Windows and in the browser give the sequence of the
// GNU C library, whose rand() the Linux build uses: the game, the library's
// effects and the tests draw from the C runtime's generator, and a replay
// recorded on one system must play the same on the other. Defined here,
// these take the place of the runtime's own when the program is linked.
//
// The generator is the additive feedback one of random(): 31 words seeded
// by a multiplicative congruential step, the first 310 outputs dropped.
#include <cstdint>
#include <cstdlib>

namespace {

constexpr int kDegree = 31, kSeparation = 3;
int32_t state[kDegree];
int front = kSeparation, rear = 0;
bool seeded = false;

void Seed(unsigned int seed) {
  state[0] = static_cast<int32_t>(seed == 0 ? 1 : seed);
  for (int i = 1; i < kDegree; ++i) {
    // 16807 * previous mod (2^31 - 1), without overflow (Schrage's method).
    const int64_t hi = state[i - 1] / 127773, lo = state[i - 1] % 127773;
    int64_t word = 16807 * lo - 2836 * hi;
    if (word < 0) word += 2147483647;
    state[i] = static_cast<int32_t>(word);
  }
  front = kSeparation;
  rear = 0;
  seeded = true;
  for (int i = 0; i < 10 * kDegree; ++i) std::rand();
}

}  // namespace

extern "C" void srand(unsigned int seed) { Seed(seed); }

extern "C" int rand(void) {
  if (!seeded) Seed(1);
  const uint32_t value = static_cast<uint32_t>(state[front]) + static_cast<uint32_t>(state[rear]);
  state[front] = static_cast<int32_t>(value);
  if (++front >= kDegree) front = 0;
  if (++rear >= kDegree) rear = 0;
  return static_cast<int>(value >> 1);
}
