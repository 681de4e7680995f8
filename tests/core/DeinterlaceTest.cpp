#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "media/Bitmap.h"
#include "media/deinter.h"

namespace {

struct Bgr {
  uint8_t b, g, r;
  bool operator==(const Bgr&) const = default;
};

const Bgr Black{0, 0, 0};
const Bgr White{255, 255, 255};
const Bgr Grey{128, 128, 128};

using Painter = std::function<Bgr(int x, int y)>;

Bitmap paint(int width, int height, const Painter& painter,
             Bitmap::Format format = Bitmap::Format::BGR24) {
  Bitmap picture(width, height, format);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = picture.MutableRow(y);
    for (int x = 0; x < width; ++x) {
      const Bgr c = painter(x, y);
      uint8_t* p = row + x * picture.BytesPerPixel();
      p[0] = c.b;
      p[1] = c.g;
      p[2] = c.r;
    }
  }
  return picture;
}

Bgr pixel(const Bitmap& picture, int x, int y) {
  const uint8_t* p = picture.Row(y) + x * picture.BytesPerPixel();
  return {p[0], p[1], p[2]};
}

// The visible bytes of every row, without the padding.
std::vector<uint8_t> pixelBytes(const Bitmap& picture) {
  std::vector<uint8_t> bytes;
  const size_t rowBytes = size_t(picture.Width()) * picture.BytesPerPixel();
  for (int y = 0; y < picture.Height(); ++y)
    bytes.insert(bytes.end(), picture.Row(y), picture.Row(y) + rowBytes);
  return bytes;
}

Bitmap deinterlaced(const Bitmap& source) {
  Bitmap destination;
  Deinterlace(source, destination);
  return destination;
}

Bgr average(Bgr a, Bgr b) {
  return {uint8_t((a.b + b.b) >> 1), uint8_t((a.g + b.g) >> 1), uint8_t((a.r + b.r) >> 1)};
}

// One line high stripes: even rows black, odd rows white.
Bgr stripes(int, int y) { return y % 2 ? White : Black; }

struct UnchangedCase {
  const char* what;
  int width, height;
  Painter painter;
};

TEST(DeinterlaceTest, PicturesWithoutRepairableCombsComeOutIdentical) {
  const UnchangedCase cases[] = {
      {"one row of stripes", 9, 1, stripes},
      {"two rows of stripes", 9, 2, stripes},
      {"one column of stripes", 1, 12, stripes},
      {"smooth vertical gradient", 13, 10,
       [](int x, int y) {
         return Bgr{uint8_t(20 * y), uint8_t(10 + 20 * y), uint8_t(3 * x + 20 * y)};
       }},
      {"single combed pixel between calm neighbours", 7, 5,
       [](int x, int y) { return x == 3 && y == 1 ? White : Grey; }},
      {"combed pixels two apart on a row", 7, 5,
       [](int x, int y) { return (x == 1 || x == 3) && y == 3 ? White : Grey; }},
      {"single combed pixel at the left edge", 6, 3,
       [](int x, int y) { return x == 0 && y == 1 ? White : Black; }},
      {"single combed pixel at the right edge", 6, 3,
       [](int x, int y) { return x == 5 && y == 1 ? White : Black; }},
      {"combed pair on the last row (no row below)", 6, 4,
       [](int x, int y) { return (x == 2 || x == 3) && y == 3 ? White : Black; }},
      {"combed pair on an even row", 6, 5,
       [](int x, int y) { return (x == 2 || x == 3) && y == 2 ? White : Black; }},
  };
  for (const auto& c : cases) {
    const Bitmap source = paint(c.width, c.height, c.painter);
    const Bitmap result = deinterlaced(source);
    ASSERT_EQ(result.Width(), c.width) << c.what;
    ASSERT_EQ(result.Height(), c.height) << c.what;
    EXPECT_EQ(pixelBytes(result), pixelBytes(source)) << c.what;
  }
}

struct StripesCase {
  int width, height;
  Bitmap::Format format;
};

TEST(DeinterlaceTest, StripesTurnBlackExceptAnOddLastRow) {
  const StripesCase cases[] = {
      {8, 6, Bitmap::Format::BGR24},  {8, 7, Bitmap::Format::BGR24},
      {2, 3, Bitmap::Format::BGR24},  {5, 4, Bitmap::Format::BGR24},
      {17, 9, Bitmap::Format::BGR24}, {6, 6, Bitmap::Format::BGRx32},
      {7, 5, Bitmap::Format::BGRx32}, {40, 8, Bitmap::Format::BGRx32},
  };
  for (const auto& c : cases) {
    const Bitmap result = deinterlaced(paint(c.width, c.height, stripes, c.format));
    ASSERT_EQ(result.PixelFormat(), c.format);
    for (int y = 0; y < c.height; ++y) {
      const Bgr expected = y % 2 == 1 && y == c.height - 1 ? White : Black;
      for (int x = 0; x < c.width; ++x)
        ASSERT_EQ(pixel(result, x, y), expected)
            << c.width << "x" << c.height << " at " << x << "," << y;
    }
  }
}

TEST(DeinterlaceTest, AdjacentCombedPixelsTakeTheTruncatedAverageOfTheSourceAboveAndBelow) {
  // Row 1, x = 0 and 1 (left edge) and x = 4 and 5 form combs; everything else is calm.
  const Bgr above{11, 40, 201}, below{20, 61, 250}, tooth{200, 250, 10};
  const auto painter = [&](int x, int y) {
    if (y == 0) return above;
    if (y == 2) return below;
    return x == 0 || x == 1 || x == 4 || x == 5 ? tooth : average(above, below);
  };
  const Bitmap source = paint(6, 3, painter);
  const Bitmap result = deinterlaced(source);
  const Bgr repaired{15, 50, 225};
  EXPECT_EQ(average(above, below), repaired);
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(pixel(result, x, 0), above);
    EXPECT_EQ(pixel(result, x, 1), repaired) << x;
    EXPECT_EQ(pixel(result, x, 2), below);
  }
}

// Differences of the neighbours above and below from the centre pixel, per channel; the score is
// 3 x (red products) + 6 x (green products) + (blue products).
struct ScoreCase {
  const char* what;
  std::array<int, 2> red, green, blue;  // {above - centre, below - centre}
  bool combed;
};

uint8_t centreFor(std::array<int, 2> d) { return d[0] >= 0 && d[1] >= 0 ? 0 : 128; }

TEST(DeinterlaceTest, OnlyScoresAboveThreeThousandCountAsCombed) {
  const ScoreCase cases[] = {
      {"red 3 x 1000 = 3000", {25, 40}, {0, 0}, {0, 0}, false},
      {"red 3 x 1001 = 3003", {7, 143}, {0, 0}, {0, 0}, true},
      {"green 6 x 500 = 3000", {0, 0}, {20, 25}, {0, 0}, false},
      {"green 6 x 501 = 3006", {0, 0}, {3, 167}, {0, 0}, true},
      {"blue 3000", {0, 0}, {0, 0}, {50, 60}, false},
      {"blue 3002", {0, 0}, {0, 0}, {38, 79}, true},
      {"red 3000 + blue 1 = 3001", {25, 40}, {0, 0}, {1, 1}, true},
      {"green 3000 + blue 1 = 3001", {0, 0}, {20, 25}, {-1, -1}, true},
      {"blue 3600 - green 600 = 3000", {0, 0}, {10, -10}, {60, 60}, false},
      {"blue 3610 - green 600 = 3010", {0, 0}, {10, -10}, {38, 95}, true},
      {"all below the centre: 3 x 400 + 6 x 300 + 1 = 3001",
       {-20, -20},
       {-15, -20},
       {-1, -1},
       true},
  };
  for (const auto& c : cases) {
    const Bgr centre{centreFor(c.blue), centreFor(c.green), centreFor(c.red)};
    const auto shifted = [&](int i) {
      return Bgr{uint8_t(centre.b + c.blue[i]), uint8_t(centre.g + c.green[i]),
                 uint8_t(centre.r + c.red[i])};
    };
    // The pattern sits in two neighbouring pixels so that a combed pixel is also kept.
    const Bitmap source = paint(4, 3, [&](int x, int y) {
      if (x == 0 || x == 3) return Grey;
      return y == 0 ? shifted(0) : y == 2 ? shifted(1) : centre;
    });
    const Bitmap result = deinterlaced(source);
    const Bgr expected = c.combed ? average(shifted(0), shifted(1)) : centre;
    EXPECT_EQ(pixel(result, 1, 1), expected) << c.what;
    EXPECT_EQ(pixel(result, 2, 1), expected) << c.what;
  }
}

// Interlaced test content: a noisy gradient whose odd rows carry a moving block shifted sideways.
Bitmap interlacedNoise(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_int_distribution<int> noise(-40, 40);
  const auto clampByte = [](int v) { return uint8_t(std::clamp(v, 0, 255)); };
  return paint(width, height, [&](int x, int y) {
    const int shift = y % 2 ? 3 : 0;
    const bool block = (x + shift) % 8 < 4 && (y / 2) % 3 != 0;
    const int base = block ? 220 : 30 + 2 * y;
    return Bgr{clampByte(base + noise(random)), clampByte(base + noise(random)),
               clampByte(base / 2 + noise(random))};
  });
}

// The steps read plainly, one pixel at a time, to hold the fast loops to.
Bitmap referenceDeinterlace(const Bitmap& s) {
  const int w = s.Width(), h = s.Height();
  Bitmap d = paint(w, h, [&](int x, int y) { return pixel(s, x, y); });
  std::vector<int> comb(size_t(w) * h), keep(size_t(w) * h);
  for (int y = 1; y < h - 1; y += 2)
    for (int x = 0; x < w; ++x) {
      const Bgr u = pixel(s, x, y - 1), c = pixel(s, x, y), l = pixel(s, x, y + 1);
      const int score =
          3 * (u.r - c.r) * (l.r - c.r) + 6 * (u.g - c.g) * (l.g - c.g) + (u.b - c.b) * (l.b - c.b);
      comb[y * w + x] = score > 3000;
    }
  for (int y = 1; y < h - 1; y += 2)
    for (int x = 0; x < w; ++x) {
      const int left = x > 0 ? comb[y * w + x - 1] : 0;
      const int right = x < w - 1 ? comb[y * w + x + 1] : 0;
      keep[y * w + x] = comb[y * w + x] == 1 && left + right > 0;
    }
  for (int y = 1; y < h - 1; y += 2)
    for (int x = 0; x < w; ++x)
      if (keep[y * w + x]) {
        const Bgr a = average(pixel(s, x, y - 1), pixel(s, x, y + 1));
        uint8_t* p = d.MutableRow(y) + 3 * x;
        p[0] = a.b;
        p[1] = a.g;
        p[2] = a.r;
      }
  return d;
}

TEST(DeinterlaceTest, NoisyInterlacedPicturesOfAnyWidthMatchAPixelByPixelReading) {
  for (int width : {1, 2, 3, 5, 15, 16, 17, 31, 33, 64, 101}) {
    for (int height : {3, 4, 9, 20}) {
      const Bitmap source = interlacedNoise(width, height, unsigned(width * 100 + height));
      EXPECT_EQ(pixelBytes(deinterlaced(source)), pixelBytes(referenceDeinterlace(source)))
          << width << "x" << height;
    }
  }
}

TEST(DeinterlaceTest, LeavesTheSourceUnchangedEvenWhenItIsAlsoTheDestination) {
  const Bitmap source = interlacedNoise(40, 30, 7);
  const std::vector<uint8_t> before = pixelBytes(source);
  const Bitmap expected = referenceDeinterlace(source);

  Bitmap separate;
  Deinterlace(source, separate);
  EXPECT_EQ(pixelBytes(source), before);
  ASSERT_NE(pixelBytes(separate), before) << "the content should have combs to repair";

  Bitmap inPlace = source;  // shares the pixels of `source` until written
  Deinterlace(inPlace, inPlace);
  EXPECT_EQ(pixelBytes(inPlace), pixelBytes(expected));
  EXPECT_EQ(pixelBytes(source), before);

  Bitmap alone = interlacedNoise(40, 30, 7);  // its pixels are not shared with anything
  Deinterlace(alone, alone);
  EXPECT_EQ(pixelBytes(alone), pixelBytes(expected));
}

TEST(DeinterlaceTest, ReusedMasksGiveTheSameResultsAsFreshOnes) {
  Deinterlacer reused;
  Bitmap destination;
  reused.Run(paint(64, 48, stripes), destination);  // every odd row combed
  for (auto [width, height] : {std::pair{7, 5}, std::pair{30, 9}, std::pair{3, 40}}) {
    const Bitmap calm = paint(width, height, [](int x, int y) {
      return Bgr{uint8_t(x), 9, uint8_t(y)};
    });
    reused.Run(calm, destination);
    EXPECT_EQ(pixelBytes(destination), pixelBytes(calm)) << width << "x" << height;

    const Bitmap noisy = interlacedNoise(width, height, 3);
    reused.Run(noisy, destination);
    Bitmap fresh;
    Deinterlacer().Run(noisy, fresh);
    EXPECT_EQ(pixelBytes(destination), pixelBytes(fresh)) << width << "x" << height;
  }
}

TEST(DeinterlaceTest, DestinationTakesTheSizeAndFormatOfTheSourceEvenWhenEmpty) {
  Bitmap destination(50, 50);
  Deinterlace(Bitmap(720, 0), destination);
  EXPECT_EQ(destination.Width(), 720);
  EXPECT_EQ(destination.Height(), 0);

  Deinterlace(Bitmap(), destination);
  EXPECT_TRUE(destination.IsEmpty());

  Deinterlace(paint(5, 4, stripes, Bitmap::Format::BGRx32), destination);
  EXPECT_EQ(destination.Width(), 5);
  EXPECT_EQ(destination.Height(), 4);
  EXPECT_EQ(destination.PixelFormat(), Bitmap::Format::BGRx32);
}

TEST(DeinterlaceTest, ReadsSourcesWithAForeignRowPitch) {
  // A frame shared from the media layer may have rows wider than the pixels need.
  const Bitmap packed = interlacedNoise(10, 8, 11);
  const int stride = 64;
  auto block = std::make_shared<std::vector<uint8_t>>(size_t(stride) * 8, 0xAB);
  for (int y = 0; y < 8; ++y) std::memcpy(block->data() + y * stride, packed.Row(y), 30);
  const Bitmap shared = Bitmap::Share(10, 8, stride, Bitmap::Format::BGR24, block->data(), block);
  EXPECT_EQ(pixelBytes(deinterlaced(shared)), pixelBytes(referenceDeinterlace(packed)));
}

}  // namespace
