// Repairs the comb artefacts of a grabbed interlaced frame: even rows are kept, and on the odd
// rows only the pixels that form a comb with their neighbours above and below (and have a combed
// horizontal neighbour) are replaced by the average of the pixels above and below. Static areas
// keep their full vertical resolution.
#pragma once

#include <cstdint>
#include <vector>

#include "media/Bitmap.h"

// Holds the two scratch masks (one byte per pixel) so that repeated calls only resize them.
class Deinterlacer {
 public:
  // `destination` becomes a copy of `source` (size, format, pixels) with the combed pixels of the
  // odd rows replaced; `source` is not changed, and may be the same object as `destination`.
  void Run(const Bitmap& source, Bitmap& destination);

  // The threshold above which a weighted comb score marks a pixel as combed.
  static constexpr int CombThreshold = 3000;

 private:
  std::vector<uint8_t> m_combMask;
  std::vector<uint8_t> m_keepMask;
};

// Deinterlaces with the calling thread's own masks, which live until the thread ends.
void Deinterlace(const Bitmap& source, Bitmap& destination);
