// The frame-holding element on its own, driven by a test harness: what it accepts, what it
// holds, and when the flip applies.
#include <gtest/gtest.h>

#if __has_include(<gst/check/gstharness.h>)
#include <gst/check/gstharness.h>
#include <gst/video/video.h>

#include <cstring>
#include <vector>

#include "media/Bitmap.h"
#include "media/px_superposer.h"
#include "sources/ProgramFlags.h"

namespace {

constexpr int Width = 5;   // 15 bytes of pixels: rows are padded to 16
constexpr int Height = 4;
constexpr int Stride = 16;

const char* const BgrCaps = "video/x-raw,format=BGR,width=5,height=4,framerate=25/1";

// Every byte of the picture differs, row and column included, so that a row out of place, a
// flip or a stride slip shows.
std::vector<uint8_t> pattern(int seed) {
  std::vector<uint8_t> bytes(Stride * Height, 0);
  for (int y = 0; y < Height; ++y)
    for (int x = 0; x < Width * 3; ++x) bytes[y * Stride + x] = uint8_t(seed * 64 + y * 16 + x);
  return bytes;
}

GstBuffer* frameBuffer(const std::vector<uint8_t>& bytes, int index) {
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes.size(), nullptr);
  gst_buffer_fill(buffer, 0, bytes.data(), bytes.size());
  GST_BUFFER_PTS(buffer) = index * 40 * GST_MSECOND;
  GST_BUFFER_DURATION(buffer) = 40 * GST_MSECOND;
  return buffer;
}

// The picture rows of `bytes`, bottom row first when `flipped`.
std::vector<uint8_t> rowsOf(const std::vector<uint8_t>& bytes, bool flipped) {
  std::vector<uint8_t> rows;
  for (int y = 0; y < Height; ++y) {
    const int source = flipped ? Height - 1 - y : y;
    rows.insert(rows.end(), bytes.begin() + source * Stride, bytes.begin() + source * Stride + Width * 3);
  }
  return rows;
}

std::vector<uint8_t> rowsOf(const Bitmap& picture) {
  std::vector<uint8_t> rows;
  for (int y = 0; y < picture.Height(); ++y)
    rows.insert(rows.end(), picture.Row(y), picture.Row(y) + picture.Width() * 3);
  return rows;
}

std::vector<uint8_t> rowsOf(GstBuffer* buffer) {
  GstMapInfo map;
  EXPECT_TRUE(gst_buffer_map(buffer, &map, GST_MAP_READ));
  std::vector<uint8_t> bytes(map.data, map.data + map.size);
  gst_buffer_unmap(buffer, &map);
  bytes.resize(Stride * Height);
  return rowsOf(bytes, false);
}

class SuperposerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    harness = gst_harness_new_with_element(superposer.Element(), "sink", "src");
    gst_harness_set_src_caps_str(harness, BgrCaps);
  }
  void TearDown() override { gst_harness_teardown(harness); }

  // Pushes one frame and returns the rows of what came out.
  std::vector<uint8_t> pass(const std::vector<uint8_t>& bytes, int index) {
    EXPECT_EQ(gst_harness_push(harness, frameBuffer(bytes, index)), GST_FLOW_OK);
    GstBuffer* out = gst_harness_pull(harness);
    if (!out) return {};
    std::vector<uint8_t> rows = rowsOf(out);
    gst_buffer_unref(out);
    return rows;
  }

  Bitmap held() {
    Bitmap picture;
    superposer.CopyHeldFrame(picture);
    return picture;
  }

  Tpx_Superposer superposer;
  GstHarness* harness = nullptr;
};

TEST(SuperposerCaps, AcceptsBgrOnlyAndRefusesAnotherFormatAtNegotiation) {
  Tpx_Superposer superposer;
  GstPad* sink = gst_element_get_static_pad(superposer.Element(), "sink");
  GstCaps* bgr = gst_caps_from_string(BgrCaps);
  GstCaps* i420 = gst_caps_from_string("video/x-raw,format=I420,width=4,height=4,framerate=25/1");
  GstCaps* rgb = gst_caps_from_string("video/x-raw,format=RGB,width=5,height=4,framerate=25/1");
  EXPECT_TRUE(gst_pad_query_accept_caps(sink, bgr));
  EXPECT_FALSE(gst_pad_query_accept_caps(sink, i420));
  EXPECT_FALSE(gst_pad_query_accept_caps(sink, rgb));
  gst_caps_unref(bgr);
  gst_caps_unref(i420);
  gst_caps_unref(rgb);
  gst_object_unref(sink);

  // Pushed anyway, the other format never reaches the held frame.
  GstHarness* harness = gst_harness_new_with_element(superposer.Element(), "sink", "src");
  gst_harness_set_src_caps_str(harness, "video/x-raw,format=I420,width=4,height=4,framerate=25/1");
  GstBuffer* buffer = gst_buffer_new_allocate(nullptr, 24, nullptr);
  EXPECT_EQ(gst_harness_push(harness, buffer), GST_FLOW_NOT_NEGOTIATED);
  Bitmap picture;
  superposer.CopyHeldFrame(picture);
  EXPECT_TRUE(picture.IsEmpty());
  gst_harness_teardown(harness);
}

TEST(SuperposerCaps, GrabBeforeAnyFrameIsEmpty) {
  Tpx_Superposer superposer;
  Bitmap picture(8, 8);  // whatever the destination held before
  superposer.CopyHeldFrame(picture);
  EXPECT_TRUE(picture.IsEmpty());
  EXPECT_FALSE(superposer.HeldStamp().valid);
}

TEST_F(SuperposerTest, PassedFrameIsHeldWholeAndRaisesBothFlags) {
  RenderFrameArrived = false;
  SeekFrameArrived = false;
  const auto bytes = pattern(1);
  EXPECT_EQ(pass(bytes, 3), rowsOf(bytes, false));
  EXPECT_TRUE(RenderFrameArrived);
  EXPECT_TRUE(SeekFrameArrived);

  const Bitmap picture = held();
  ASSERT_EQ(picture.Width(), Width);
  ASSERT_EQ(picture.Height(), Height);
  EXPECT_EQ(picture.PixelFormat(), Bitmap::Format::BGR24);
  EXPECT_EQ(picture.Stride() % 4, 0);
  EXPECT_EQ(rowsOf(picture), rowsOf(bytes, false));
  EXPECT_EQ(superposer.HeldStamp().streamTimeNs, 3 * 40 * GST_MSECOND);
}

TEST_F(SuperposerTest, GrabbedFrameStaysIntactWhenLaterFramesPass) {
  const auto first = pattern(1);
  pass(first, 0);
  const Bitmap grabbed = held();
  pass(pattern(2), 1);
  pass(pattern(3), 2);
  EXPECT_EQ(rowsOf(grabbed), rowsOf(first, false));
  EXPECT_EQ(rowsOf(held()), rowsOf(pattern(3), false));
}

TEST_F(SuperposerTest, FlipAppliesFromTheNextFrameToBothOutputAndHeldFrame) {
  const auto a = pattern(1), b = pattern(2), c = pattern(3);
  pass(a, 0);
  superposer.SetVerticalFlip(true);
  EXPECT_TRUE(superposer.VerticalFlip());
  EXPECT_EQ(rowsOf(held()), rowsOf(a, false));  // the frame already held is left as it was

  EXPECT_EQ(pass(b, 1), rowsOf(b, true));
  EXPECT_EQ(rowsOf(held()), rowsOf(b, true));

  superposer.SetVerticalFlip(false);
  EXPECT_EQ(pass(c, 2), rowsOf(c, false));
  EXPECT_EQ(rowsOf(held()), rowsOf(c, false));
}

}  // namespace

#else
TEST(SuperposerHarness, DISABLED_NeedsTheGStreamerCheckLibrary) {}
#endif
