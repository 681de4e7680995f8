#include "tests/support/FrameIndex.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

constexpr int CellCount = 10;
// Mean cell luma outside (DarkMax, LightMin) is read as a bit; between them the cell is a blend.
constexpr double DarkMax = 80;
constexpr double LightMin = 170;

// Mean luma of the rectangle [x0, x1) x [y0, y1) (rows as stored).
double meanLuma(const Bitmap& picture, int x0, int x1, int y0, int y1) {
  const int bytes = picture.BytesPerPixel();
  double sum = 0;
  for (int y = y0; y < y1; ++y) {
    const uint8_t* p = picture.Row(y) + x0 * bytes;
    for (int x = x0; x < x1; ++x, p += bytes) sum += 0.114 * p[0] + 0.587 * p[1] + 0.299 * p[2];
  }
  return sum / (double(x1 - x0) * (y1 - y0));
}

// Whole pixels inside [from, to), at least the middle one.
std::pair<int, int> innerSpan(double from, double to) {
  int first = int(std::ceil(from));
  int last = int(std::floor(to));
  if (last <= first) {
    first = int(std::floor((from + to) / 2));
    last = first + 1;
  }
  return {first, last};
}

int readBand(const Bitmap& picture, bool bandAtBottom) {
  const int width = picture.Width();
  const int height = picture.Height();
  if (picture.IsEmpty() || width < CellCount || height < 3) return -1;

  // Sample the middle half of each cell in both directions: codecs smear the cell edges.
  const double band = height / 3.0;
  auto [y0, y1] = innerSpan(band * 0.25, band * 0.75);
  if (bandAtBottom) {
    const int top = height - y1;
    y1 = height - y0;
    y0 = top;
  }
  const double cell = double(width) / CellCount;

  int index = 0;
  for (int i = 0; i < CellCount; ++i) {
    const auto [x0, x1] = innerSpan(cell * (i + 0.25), cell * (i + 0.75));
    const double luma = meanLuma(picture, x0, x1, y0, y1);
    if (luma > DarkMax && luma < LightMin) return -1;
    index = index * 2 + (luma >= LightMin ? 1 : 0);
  }
  return index;
}

}  // namespace

int ReadFrameIndex(const Bitmap& picture) { return readBand(picture, false); }

int ReadFlippedFrameIndex(const Bitmap& picture) { return readBand(picture, true); }
