// The frame-index reader the media tests rely on, on pictures painted here.
#include <gtest/gtest.h>

#include <cstring>

#include "media/Bitmap.h"
#include "tests/support/FrameIndex.h"

namespace {

void fill(Bitmap& picture, int x0, int x1, int y0, int y1, uint8_t b, uint8_t g, uint8_t r) {
  const int bytes = picture.BytesPerPixel();
  for (int y = y0; y < y1; ++y) {
    uint8_t* p = picture.MutableRow(y) + x0 * bytes;
    for (int x = x0; x < x1; ++x, p += bytes) {
      p[0] = b;
      p[1] = g;
      p[2] = r;
    }
  }
}

// Paints `index` the way the generated clips do (limited-range white and black cells over the
// top third), with a busy pattern below. `flipped` stores the rows bottom-up.
Bitmap paintIndex(int index, int width, int height, Bitmap::Format format, bool flipped = false) {
  Bitmap picture(width, height, format);
  const int band = height / 3;
  for (int y = band; y < height; ++y) {
    uint8_t* p = picture.MutableRow(flipped ? height - 1 - y : y);
    for (int x = 0; x < width * picture.BytesPerPixel(); ++x) p[x] = uint8_t(x * 7 + y * 13);
  }
  for (int i = 0; i < 10; ++i) {
    const uint8_t level = (index >> (9 - i)) & 1 ? 235 : 16;
    const int y0 = flipped ? height - band : 0;
    fill(picture, i * width / 10, (i + 1) * width / 10, y0, y0 + band, level, level, level);
  }
  return picture;
}

struct SizeCase {
  int width;
  int height;
  Bitmap::Format format;
};

TEST(FrameIndexTest, ReadsThePaintedIndexAtAnySizeAndFormat) {
  const SizeCase sizes[] = {
      {320, 240, Bitmap::Format::BGR24}, {320, 240, Bitmap::Format::BGRx32},
      {352, 288, Bitmap::Format::BGR24}, {480, 576, Bitmap::Format::BGRx32},
      {1920, 1080, Bitmap::Format::BGR24}, {33, 25, Bitmap::Format::BGR24},  // odd, tiny
      {161, 121, Bitmap::Format::BGRx32},
  };
  for (const auto& size : sizes) {
    for (int index : {0, 1, 2, 100, 249, 299, 512, 1023}) {
      SCOPED_TRACE(testing::Message() << size.width << "x" << size.height << " index " << index);
      EXPECT_EQ(ReadFrameIndex(paintIndex(index, size.width, size.height, size.format)), index);
      const Bitmap flipped = paintIndex(index, size.width, size.height, size.format, true);
      EXPECT_EQ(ReadFlippedFrameIndex(flipped), index);
    }
  }
}

TEST(FrameIndexTest, ReadingTheWrongOrientationDoesNotPassForTheIndex) {
  // The other end of the picture is the busy pattern: not a readable band.
  EXPECT_EQ(ReadFrameIndex(paintIndex(100, 320, 240, Bitmap::Format::BGR24, true)), -1);
  EXPECT_EQ(ReadFlippedFrameIndex(paintIndex(100, 320, 240, Bitmap::Format::BGR24)), -1);
}

TEST(FrameIndexTest, CodecNoiseAndColourCastStillRead) {
  // Cells at 60 and 190 with a tint: still clearly black and white.
  Bitmap picture = paintIndex(0b1010011001, 320, 240, Bitmap::Format::BGR24);
  for (int i = 0; i < 10; ++i) {
    const bool set = (0b1010011001 >> (9 - i)) & 1;
    fill(picture, i * 32 + 4, i * 32 + 28, 10, 70, set ? 170 : 40, set ? 195 : 60,
         set ? 200 : 80);
  }
  EXPECT_EQ(ReadFrameIndex(picture), 0b1010011001);
}

TEST(FrameIndexTest, ABlendOfTwoFramesIsNotReadAsEither) {
  // Frames 1 and 2 blended half and half: the two last cells are mid grey.
  const Bitmap one = paintIndex(1, 320, 240, Bitmap::Format::BGR24);
  const Bitmap two = paintIndex(2, 320, 240, Bitmap::Format::BGR24);
  Bitmap blend(320, 240, Bitmap::Format::BGR24);
  for (int y = 0; y < 240; ++y)
    for (int x = 0; x < 320 * 3; ++x)
      blend.MutableRow(y)[x] = uint8_t((one.Row(y)[x] + two.Row(y)[x]) / 2);
  EXPECT_EQ(ReadFrameIndex(blend), -1);
}

TEST(FrameIndexTest, PicturesWithoutABandGiveMinusOne) {
  EXPECT_EQ(ReadFrameIndex(Bitmap()), -1);
  EXPECT_EQ(ReadFrameIndex(Bitmap(5, 5)), -1);  // narrower than the ten cells
  Bitmap grey(320, 240);
  fill(grey, 0, 320, 0, 240, 128, 128, 128);
  EXPECT_EQ(ReadFrameIndex(grey), -1);
  EXPECT_EQ(ReadFlippedFrameIndex(grey), -1);
}

TEST(FrameIndexTest, PaddedRowsOfSharedPixelsAreHonoured) {
  // A wider stride than the width needs, as decoders hand out.
  const Bitmap painted = paintIndex(777, 318, 240, Bitmap::Format::BGR24);
  constexpr int stride = 1024;
  auto pixels = std::make_shared<std::vector<uint8_t>>(stride * 240, 0x80);
  for (int y = 0; y < 240; ++y) std::memcpy(pixels->data() + y * stride, painted.Row(y), 318 * 3);
  const Bitmap shared =
      Bitmap::Share(318, 240, stride, Bitmap::Format::BGR24, pixels->data(), pixels);
  EXPECT_EQ(ReadFrameIndex(shared), 777);
}

}  // namespace
