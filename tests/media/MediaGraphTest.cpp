// The playback pipeline on generated media: durations, positions in time and in frames, the
// state mapping, the volume, the video window and the events.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include "media/VideoWindow.h"
#include "tests/media/PlaybackHelpers.h"
#include "tests/support/FrameIndex.h"

using namespace playback;

namespace {

// Start of frame k in media time at num/den frames per second, as the clips' timestamps give it.
int64_t frameStart(int64_t k, int num, int den) { return k * 10'000'000 * den / num; }

class MediaGraphTest : public ::testing::Test {
 protected:
  Tdm dm;
  MediaGraph& fg = dm.fg();
};

struct DurationCase {
  const char* file;
  int64_t duration;
  int64_t frames;
};

TEST_F(MediaGraphTest, DurationIsKnownRightAfterTheStreamsAreLinked) {
  const DurationCase cases[] = {
      {"frames25.avi", 100'000'000, 250},
      {"frames30.mp4", 100'000'000, 300},
      {"frames25_silent.avi", 40'000'000, 100},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    fg.Clear();
    ASSERT_TRUE(fg.RenderFile(media(c.file)));
    ASSERT_EQ(dm.InsertFrameFilter(), RenderOk);
    fg.SetTimeFormat(TimeFormat::MediaTime);
    EXPECT_NEAR(double(fg.GetDuration()), double(c.duration), 200'000.0);  // within 20 ms
    fg.SetTimeFormat(TimeFormat::Frame);
    EXPECT_EQ(fg.GetDuration(), c.frames);
    fg.SetTimeFormat(TimeFormat::MediaTime);
  }
}

struct SeekCase {
  const char* file;
  int num;
  int den;
  int64_t target;  // media time asked for
  int64_t frame;   // frame that contains it
};

TEST_F(MediaGraphTest, SeekWhilePausedShowsTheFrameContainingTheTargetAtItsStart) {
  const SeekCase cases[] = {
      {"frames25.avi", 25, 1, 0, 0},
      {"frames25.avi", 25, 1, 3'999'000, 9},   // 100 us before frame 10
      {"frames25.avi", 25, 1, 4'000'000, 10},
      {"frames25.avi", 25, 1, 4'390'000, 10},  // 1 ms before frame 11
      {"frames25.avi", 25, 1, 99'700'000, 249},  // inside the last frame
      {"frames30.mp4", 30, 1, 333'333, 1},      // frame 1 as positions show it (rounded down)
      {"frames30.mp4", 30, 1, 333'330, 1},      // rounding below a start: still that frame
      {"frames30.mp4", 30, 1, 333'000, 0},
      {"frames30.mp4", 30, 1, 32'333'331, 97},  // 3 s + 7 whole-unit frame lengths
      {"frames30.mp4", 30, 1, 33'333'333, 100},
      {"frames30.mp4", 30, 1, 83'400'000, 250},  // the second key frame
      {"frames30.mp4", 30, 1, 83'300'000, 249},  // the frame just before it: decoded from frame 0
  };
  const char* loaded = "";
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.target));
    if (std::strcmp(loaded, c.file) != 0) {
      ASSERT_EQ(load(dm, media(c.file)), RenderOk);
      loaded = c.file;
    }
    ASSERT_TRUE(seekAndWait(fg, c.target));
    EXPECT_EQ(fg.GetCurrentPosition(), frameStart(c.frame, c.num, c.den));
    EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), c.frame);
  }
}

struct FrameCase {
  const char* file;
  int num;
  std::vector<int64_t> frames;
};

TEST_F(MediaGraphTest, FrameFormatPositionsAreTheStreamsOwnFrameIndexes) {
  const FrameCase cases[] = {
      {"frames25.avi", 25, {1, 2, 25, 124, 249, 0}},
      {"frames30.mp4", 30, {1, 29, 30, 31, 299, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_EQ(load(dm, media(c.file)), RenderOk);
    EXPECT_EQ(fg.GetStreamFrameDuration(), (10'000'000 + c.num - 1) / c.num);  // whole units, rounded up
    for (int64_t k : c.frames) {
      SCOPED_TRACE(k);
      fg.SetTimeFormat(TimeFormat::Frame);
      ASSERT_TRUE(seekAndWait(fg, k));
      EXPECT_EQ(fg.GetCurrentPosition(), k);
      EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), k);
      fg.SetTimeFormat(TimeFormat::MediaTime);
      EXPECT_EQ(fg.GetCurrentPosition(), frameStart(k, c.num, 1));
    }
  }
}

struct LateStartCase {
  const char* file;
  std::vector<int64_t> frames;
};

// Program streams start their clock before the first frame, ASF its video after its sound; MPEG
// program streams also land accurate seeks on the next key frame, which the pipeline corrects.
TEST_F(MediaGraphTest, ClipsWhoseTimestampsStartLateCountFromTheirFirstFrame) {
  const LateStartCase cases[] = {
      {"vcd.mpg", {3, 20, 64, 16, 124, 0}},
      {"svcd.mpg", {7, 100, 31}},
      {"clip.wmv", {1, 60, 124}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    ASSERT_EQ(load(dm, media(c.file)), RenderOk);
    EXPECT_EQ(fg.GetCurrentPosition(), 0);
    // 5 s; program streams estimate it from their clock references, within a tenth of a second.
    EXPECT_NEAR(double(fg.GetDuration()), 50'000'000.0, 1'000'000.0);
    for (int64_t k : c.frames) {
      SCOPED_TRACE(k);
      fg.SetTimeFormat(TimeFormat::Frame);
      ASSERT_TRUE(seekAndWait(fg, k));
      EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), k);
      EXPECT_EQ(fg.GetCurrentPosition(), k);
      fg.SetTimeFormat(TimeFormat::MediaTime);
    }
  }
}

TEST_F(MediaGraphTest, RunRightAfterALoadPrerollsOnTheFirstFrameEvenIfItCameEarly) {
  ASSERT_TRUE(fg.RenderFile(media("frames25.avi")));
  ASSERT_EQ(dm.InsertFrameFilter(), RenderOk);
  ASSERT_TRUE(WaitUntil([&] { return ReadFrameIndex(heldFrame(dm)) == 0; }, FrameWaitMs));
  settle(100);
  RenderFrameArrived = false;  // as a source does before it runs: the frame has already passed
  fg.Run();
  EXPECT_TRUE(WaitUntil([] { return RenderFrameArrived.load(); }, FrameWaitMs));
  fg.Pause();
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 0);
  EXPECT_EQ(fg.GetCurrentPosition(), 0);
}

TEST_F(MediaGraphTest, RunAfterALoadWithoutPausePlays) {
  ASSERT_TRUE(fg.RenderFile(media("frames25.avi")));
  ASSERT_EQ(dm.InsertFrameFilter(), RenderOk);
  fg.Run();
  EXPECT_EQ(fg.GetState(), GraphState::Running);
  EXPECT_TRUE(WaitUntil([&] { return ReadFrameIndex(heldFrame(dm)) > 5; }, FrameWaitMs));
}

TEST_F(MediaGraphTest, SeekPastTheEndShowsTheLastFrame) {
  ASSERT_EQ(load(dm, media("frames25.avi")), RenderOk);
  fg.SetTimeFormat(TimeFormat::Frame);
  ASSERT_TRUE(seekAndWait(fg, 4294967295LL));  // "after the last scene"
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 249);
  fg.SetTimeFormat(TimeFormat::MediaTime);
  ASSERT_TRUE(seekAndWait(fg, fg.GetDuration()));
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 249);
  EXPECT_FALSE(fg.StepForward());  // nothing after the last frame
}

TEST_F(MediaGraphTest, PausedPictureThatRunsOutOfVideoReportsTheEnd) {
  bool complete = false;
  fg.OnComplete = [&] { complete = true; };
  ASSERT_EQ(load(dm, media("frames25_silent.avi")), RenderOk);
  fg.SetTimeFormat(TimeFormat::Frame);
  ASSERT_TRUE(seekAndWait(fg, 99));
  // A step past the last frame brings no frame: whoever waits for one must hear of it.
  gst_element_send_event(dm.Pipeline().VideoSink(), gst_event_new_step(GST_FORMAT_BUFFERS, 1, 1.0, TRUE, FALSE));
  EXPECT_TRUE(WaitUntil([&] { return complete; }, FrameWaitMs));
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 99);
  EXPECT_FALSE(fg.StepForward());
}

TEST_F(MediaGraphTest, StatesMapToStoppedPausedRunningAndEmpty) {
  EXPECT_EQ(fg.GetState(), GraphState::NotInitialised);
  ASSERT_EQ(load(dm, media("frames25.avi")), RenderOk);
  EXPECT_EQ(fg.GetState(), GraphState::Paused);
  fg.Run();
  EXPECT_EQ(fg.GetState(), GraphState::Running);
  const int64_t before = fg.GetCurrentPosition();
  settle(300);
  EXPECT_GT(fg.GetCurrentPosition(), before);  // it really plays
  fg.Pause();
  EXPECT_EQ(fg.GetState(), GraphState::Paused);
  fg.Stop();
  EXPECT_EQ(fg.GetState(), GraphState::Stopped);
  fg.Run();
  EXPECT_EQ(fg.GetState(), GraphState::Running);
  fg.Clear();
  EXPECT_EQ(fg.GetState(), GraphState::NotInitialised);
  EXPECT_EQ(fg.CountElements("VideoWindow1"), 0);
}

TEST(VolumeCurve, AttenuationAtTheEndsAndMiddle) {
  EXPECT_EQ(VolumeToAttenuation(0), -10000);
  EXPECT_EQ(VolumeToAttenuation(5000), int(std::lround(std::log(5001.0) * 1085.73)) - 10000);
  EXPECT_EQ(VolumeToAttenuation(10000), 0);
  EXPECT_EQ(VolumeToAttenuation(-5), -10000);
  EXPECT_EQ(VolumeToAttenuation(20000), 0);
}

TEST_F(MediaGraphTest, VolumeIsAppliedAsLinearAmplitudeAndZeroMutes) {
  ASSERT_EQ(load(dm, media("frames25.avi")), RenderOk);
  GstElement* volume = gst_bin_get_by_name(GST_BIN(dm.Pipeline().Pipeline()), "volume");
  ASSERT_NE(volume, nullptr);
  for (int v : {0, 1, 5000, 10000, 12000}) {
    SCOPED_TRACE(v);
    fg.SetVolume(v);
    EXPECT_EQ(fg.GetVolume(), std::min(v, 10000));
    gdouble amplitude = -1;
    gboolean mute = TRUE;
    g_object_get(volume, "volume", &amplitude, "mute", &mute, nullptr);
    const double expected = std::pow(10.0, VolumeToAttenuation(v) / 2000.0);
    EXPECT_NEAR(amplitude, expected, expected * 1e-6);  // the element keeps single precision
    EXPECT_EQ(bool(mute), v == 0);
  }
  gst_object_unref(volume);
}

TEST_F(MediaGraphTest, UnclockedPlaybackRunsFasterThanRealTime) {
  bool complete = false;
  fg.OnComplete = [&] { complete = true; };
  ASSERT_EQ(load(dm, media("frames25_silent.avi")), RenderOk);  // 4 s of video
  fg.SetUnclocked(true);
  fg.Run();
  EXPECT_TRUE(WaitUntil([&] { return complete; }, 3000));
}

// Records what the pipeline hands to the video surface.
class RecordingWindow : public VideoWindow {
 public:
  void ShowFrame(const Bitmap& frame) override {
    std::lock_guard lock(m_lock);
    m_frames.push_back(frame);
  }
  void SetVideoVisible(bool visible) override {
    std::lock_guard lock(m_lock);
    m_visible.push_back(visible);
  }
  std::vector<Bitmap> frames() const {
    std::lock_guard lock(m_lock);
    return m_frames;
  }
  std::vector<bool> visibility() const {
    std::lock_guard lock(m_lock);
    return m_visible;
  }

 private:
  mutable std::mutex m_lock;
  std::vector<Bitmap> m_frames;
  std::vector<bool> m_visible;
};

TEST_F(MediaGraphTest, VideoWindowShowsTheHeldFrameUntilDetached) {
  RecordingWindow window;
  fg.AttachVideoWindow(&window);
  EXPECT_EQ(fg.AttachedVideoWindow(), &window);
  ASSERT_EQ(load(dm, media("frames25.avi")), RenderOk);
  ASSERT_TRUE(WaitUntil([&] { return !window.frames().empty(); }, FrameWaitMs));
  const Bitmap first = window.frames().back();
  EXPECT_EQ(first.PixelFormat(), Bitmap::Format::BGRx32);
  EXPECT_EQ(first.Width(), 320);
  EXPECT_EQ(ReadFrameIndex(first), 0);

  // A paused seek brings its frame to the window too.
  ASSERT_TRUE(seekAndWait(fg, frameStart(42, 25, 1)));
  ASSERT_TRUE(WaitUntil([&] { return ReadFrameIndex(window.frames().back()) == 42; }, FrameWaitMs));

  fg.DetachVideoWindow();
  EXPECT_EQ(fg.AttachedVideoWindow(), nullptr);
  ASSERT_FALSE(window.visibility().empty());
  EXPECT_FALSE(window.visibility().back());
  const size_t shown = window.frames().size();
  ASSERT_TRUE(seekAndWait(fg, frameStart(80, 25, 1)));
  fg.Run();
  settle(200);
  EXPECT_EQ(window.frames().size(), shown);
}

}  // namespace
