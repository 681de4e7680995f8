// Reads the frame index the generated clips paint into every frame (see
// scripts/test-media/video.sh): the top third of the picture holds ten cells of equal width,
// cell i (0 = leftmost) white when bit (9 - i) of the index is set, black otherwise.
#pragma once

#include "media/Bitmap.h"

// The index painted in the top band, or -1 when a cell is neither clearly white nor clearly
// black (a blend of two frames, a picture that is not from a frame-indexed clip) or the picture
// is too small to hold the band. Works at any size, BGR24 or BGRx32.
int ReadFrameIndex(const Bitmap& picture);

// The same for a picture whose rows are stored bottom-up (the band at the bottom).
int ReadFlippedFrameIndex(const Bitmap& picture);
