#include "media/deinter.h"

#include <cstring>

namespace {

// Each step is a plain loop over raw row memory with restrict-qualified pointers and no branch in
// the per-pixel body. The rows are walked in blocks of a fixed number of pixels, which the compiler
// turns into vector code even at -O2 (it then needs no remainder loop); the pixels left over go
// through the same body one at a time. On x86-64 the row functions are also compiled for SSSE3 and
// picked at load time: gathering the channels of three-byte pixels takes byte shuffles that the
// baseline instruction set lacks (measured: about 3 times faster; AVX2 adds nothing measurable).
constexpr int BlockPixels = 16;

#ifndef PICTOREL_VECTOR_CLONES
#if defined(__x86_64__) && defined(__GNUC__) && defined(__has_attribute)
#if __has_attribute(target_clones)
#define PICTOREL_VECTOR_CLONES __attribute__((target_clones("ssse3", "default")))
#endif
#endif
#endif
#ifndef PICTOREL_VECTOR_CLONES
#define PICTOREL_VECTOR_CLONES
#endif

// Comb detection: the score is large and positive only where the row lies on the same side of
// both neighbours in the channels that count (green 6, red 3, blue 1).
template <int BytesPerPixel, int Count>
[[gnu::always_inline]] inline void detectSpan(const uint8_t* __restrict above,
                                              const uint8_t* __restrict row,
                                              const uint8_t* __restrict below,
                                              uint8_t* __restrict comb) {
  for (int x = 0; x < Count; ++x) {
    const int i = x * BytesPerPixel;
    const int b = (above[i] - row[i]) * (below[i] - row[i]);
    const int g = (above[i + 1] - row[i + 1]) * (below[i + 1] - row[i + 1]);
    const int r = (above[i + 2] - row[i + 2]) * (below[i + 2] - row[i + 2]);
    comb[x] = uint8_t(3 * r + 6 * g + b > Deinterlacer::CombThreshold);
  }
}

template <int BytesPerPixel>
[[gnu::always_inline]] inline void detectCombs(const uint8_t* above, const uint8_t* row,
                                               const uint8_t* below, uint8_t* comb, int width) {
  int x = 0;
  for (; x + BlockPixels <= width; x += BlockPixels) {
    const int i = x * BytesPerPixel;
    detectSpan<BytesPerPixel, BlockPixels>(above + i, row + i, below + i, comb + x);
  }
  for (; x < width; ++x) {
    const int i = x * BytesPerPixel;
    detectSpan<BytesPerPixel, 1>(above + i, row + i, below + i, comb + x);
  }
}

// Isolation filter: a combed pixel counts only when a horizontal neighbour is combed too, which
// leaves single noisy pixels alone. `comb` has a valid pixel on each side of the span.
template <int Count>
[[gnu::always_inline]] inline void keepSpan(const uint8_t* __restrict comb,
                                            uint8_t* __restrict keep) {
  for (int x = 0; x < Count; ++x) keep[x] = comb[x] & (comb[x - 1] | comb[x + 1]);
}

PICTOREL_VECTOR_CLONES
void keepGroupedCombs(const uint8_t* comb, uint8_t* keep, int width) {
  if (width < 2) {
    if (width == 1) keep[0] = 0;
    return;
  }
  keep[0] = comb[0] & comb[1];
  int x = 1;
  for (; x + BlockPixels <= width - 1; x += BlockPixels) keepSpan<BlockPixels>(comb + x, keep + x);
  for (; x < width - 1; ++x) keepSpan<1>(comb + x, keep + x);
  keep[width - 1] = comb[width - 1] & comb[width - 2];
}

// (a + b) >> 1, written so that it stays within bytes where vector instructions have it
[[gnu::always_inline]] inline uint8_t average(uint8_t a, uint8_t b) {
  return uint8_t(((a + b + 1) >> 1) - ((a ^ b) & 1));
}

// Repair: kept pixels take the truncated average of the source pixels above and below; the others
// keep the value already copied into the destination row.
template <int BytesPerPixel, int Count>
[[gnu::always_inline]] inline void repairSpan(const uint8_t* __restrict above,
                                              const uint8_t* __restrict below,
                                              const uint8_t* __restrict keep,
                                              uint8_t* __restrict row) {
  for (int x = 0; x < Count; ++x) {
    const int i = x * BytesPerPixel;
    const uint8_t take = uint8_t(-keep[x]);  // 0xFF where kept, 0 elsewhere
    const uint8_t b = average(above[i], below[i]);
    const uint8_t g = average(above[i + 1], below[i + 1]);
    const uint8_t r = average(above[i + 2], below[i + 2]);
    row[i] = uint8_t((b & take) | (row[i] & ~take));
    row[i + 1] = uint8_t((g & take) | (row[i + 1] & ~take));
    row[i + 2] = uint8_t((r & take) | (row[i + 2] & ~take));
  }
}

template <int BytesPerPixel>
[[gnu::always_inline]] inline void repairCombs(const uint8_t* above, const uint8_t* below,
                                               const uint8_t* keep, uint8_t* row, int width) {
  static_assert(BlockPixels == 2 * sizeof(uint64_t));
  int x = 0;
  for (; x + BlockPixels <= width; x += BlockPixels) {
    // Most of a picture has no comb: skip whole blocks without one.
    uint64_t first, second;
    std::memcpy(&first, keep + x, sizeof first);
    std::memcpy(&second, keep + x + sizeof first, sizeof second);
    if ((first | second) == 0) continue;
    const int i = x * BytesPerPixel;
    repairSpan<BytesPerPixel, BlockPixels>(above + i, below + i, keep + x, row + i);
  }
  for (; x < width; ++x) {
    const int i = x * BytesPerPixel;
    repairSpan<BytesPerPixel, 1>(above + i, below + i, keep + x, row + i);
  }
}

PICTOREL_VECTOR_CLONES
void detectCombs3(const uint8_t* above, const uint8_t* row, const uint8_t* below, uint8_t* comb,
                  int width) {
  detectCombs<3>(above, row, below, comb, width);
}
PICTOREL_VECTOR_CLONES
void detectCombs4(const uint8_t* above, const uint8_t* row, const uint8_t* below, uint8_t* comb,
                  int width) {
  detectCombs<4>(above, row, below, comb, width);
}
PICTOREL_VECTOR_CLONES
void repairCombs3(const uint8_t* above, const uint8_t* below, const uint8_t* keep, uint8_t* row,
                  int width) {
  repairCombs<3>(above, below, keep, row, width);
}
PICTOREL_VECTOR_CLONES
void repairCombs4(const uint8_t* above, const uint8_t* below, const uint8_t* keep, uint8_t* row,
                  int width) {
  repairCombs<4>(above, below, keep, row, width);
}

template <int BytesPerPixel>
void deinterlaceRows(const Bitmap& source, Bitmap& destination, uint8_t* combMask,
                     uint8_t* keepMask) {
  const int width = source.Width();
  const int height = source.Height();
  const size_t rowBytes = size_t(width) * BytesPerPixel;

  // Step 1: the destination starts as a copy of the source.
  for (int y = 0; y < height; ++y) std::memcpy(destination.MutableRow(y), source.Row(y), rowBytes);

  // Steps 2 to 4 touch the odd rows that have a row below them.
  for (int y = 1; y < height - 1; y += 2)
    (BytesPerPixel == 3 ? detectCombs3 : detectCombs4)(
        source.Row(y - 1), source.Row(y), source.Row(y + 1), combMask + size_t(y) * width, width);
  for (int y = 1; y < height - 1; y += 2)
    keepGroupedCombs(combMask + size_t(y) * width, keepMask + size_t(y) * width, width);
  for (int y = 1; y < height - 1; y += 2)
    (BytesPerPixel == 3 ? repairCombs3 : repairCombs4)(source.Row(y - 1), source.Row(y + 1),
                                                       keepMask + size_t(y) * width,
                                                       destination.MutableRow(y), width);
}

}  // namespace

void Deinterlacer::Run(const Bitmap& source, Bitmap& destination) {
  // A shared copy costs nothing and keeps the source pixels alive and unchanged when the
  // destination is the source itself: the first write to the destination detaches it.
  const Bitmap original = source;
  const int width = original.Width();
  const int height = original.Height();

  if (destination.Width() != width || destination.Height() != height ||
      destination.PixelFormat() != original.PixelFormat())
    destination = Bitmap(width, height, original.PixelFormat());
  if (width <= 0 || height <= 0) return;

  const size_t pixels = size_t(width) * size_t(height);
  m_combMask.resize(pixels);
  m_keepMask.resize(pixels);

  if (original.PixelFormat() == Bitmap::Format::BGR24)
    deinterlaceRows<3>(original, destination, m_combMask.data(), m_keepMask.data());
  else
    deinterlaceRows<4>(original, destination, m_combMask.data(), m_keepMask.data());
}

void Deinterlace(const Bitmap& source, Bitmap& destination) {
  thread_local Deinterlacer deinterlacer;
  deinterlacer.Run(source, destination);
}
