// The rules of the tile sheet's layout (terrain.h): the blob tiles' masks
// and which tiles block.
#include <algorithm>
#include <vector>

#include "terrain.h"

namespace gen::terrain {

namespace {

// The 47 canonical masks in increasing order, built once.
const std::vector<int>& CanonicalMasks() {
  static const std::vector<int> masks = [] {
    std::vector<int> list;
    for (int m = 0; m < 256; ++m) {
      int c = CanonicalMask(m);
      if (std::find(list.begin(), list.end(), c) == list.end()) list.push_back(c);
    }
    std::sort(list.begin(), list.end());
    return list;
  }();
  return masks;
}

}  // namespace

int CanonicalMask(int mask) {
  int m = mask & (kN | kE | kS | kW);
  if ((mask & kNE) && (mask & kN) && (mask & kE)) m |= kNE;
  if ((mask & kSE) && (mask & kS) && (mask & kE)) m |= kSE;
  if ((mask & kSW) && (mask & kS) && (mask & kW)) m |= kSW;
  if ((mask & kNW) && (mask & kN) && (mask & kW)) m |= kNW;
  return m;
}

int BlobIndex(int mask) {
  const std::vector<int>& masks = CanonicalMasks();
  auto at = std::lower_bound(masks.begin(), masks.end(), CanonicalMask(mask & 255));
  return static_cast<int>(at - masks.begin());
}

int BlobMask(int index) {
  const std::vector<int>& masks = CanonicalMasks();
  return index >= 0 && index < static_cast<int>(masks.size()) ? masks[index] : 255;
}

bool Solid(int tile) {
  int row = tile / kSheetColumns;
  return row == kWater / kSheetColumns || row == kWallTop / kSheetColumns ||
         (tile >= kPictures && tile < (kSheetRows)*kSheetColumns);
}

}  // namespace gen::terrain
