// The graph module on generated media: which files it accepts, what it links, and the frame the
// source sees after a load, a step and a flip.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <mutex>
#include <set>

#include "media/graph.h"
#include "media/px_superposer.h"
#include "tests/media/PlaybackHelpers.h"
#include "tests/support/FrameIndex.h"

using namespace playback;

namespace {

class GraphModuleTest : public ::testing::Test {
 protected:
  Tdm dm;
};

struct LoadCase {
  const char* file;
  uint8_t code;
};

TEST_F(GraphModuleTest, LoadResultFollowsTheVideoStreamsOfTheFile) {
  const LoadCase cases[] = {
      {"frames25.avi", RenderOk},        {"frames25_silent.avi", RenderOk}, {"frames25.mp4", RenderOk},
      {"frames30.mp4", RenderOk},        {"vcd.mpg", RenderOk},             {"svcd.mpg", RenderOk},
      {"clip.wmv", RenderOk},            {"audio_first.avi", RenderOk},
      {"sound_only.mp3", RenderFrameFilterFailed},  // no picture at all
      {"two_video.avi", RenderFrameFilterFailed},   // two pictures
      {"two_video.mkv", RenderFrameFilterFailed},
      {"not_video.avi", RenderMediaFailed},         // not media
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    EXPECT_EQ(load(dm, media(c.file)), c.code);
    if (c.code == RenderOk) EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 0);
  }
}

TEST_F(GraphModuleTest, MissingFileFolderAndTextCannotBeRendered) {
  QTemporaryDir dir;
  QFile empty(dir.path() + "/empty.avi");
  ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
  empty.close();
  for (const QString& path : {dir.path() + "/absent.avi", dir.path(), empty.fileName(), media("not_video.avi")}) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_FALSE(dm.fg().RenderFile(path));
    EXPECT_EQ(dm.fg().CountElements("source"), 0);  // nothing of it is left running
  }
}

TEST_F(GraphModuleTest, HasAudioTellsWhetherASoundStreamWasLinked) {
  const std::pair<const char*, bool> cases[] = {
      {"frames25.avi", true}, {"frames25_silent.avi", false}, {"audio_first.avi", true},
      {"frames30.mp4", true}, {"two_video.mkv", false},
  };
  for (const auto& [file, audio] : cases) {
    SCOPED_TRACE(file);
    HasAudio = !audio;
    load(dm, media(file));
    EXPECT_EQ(HasAudio.load(), audio);
  }
}

TEST_F(GraphModuleTest, OneFrameHoldingElementInThePipelineAfterAnyNumberOfLoads) {
  for (const char* file : {"frames25.avi", "two_video.avi", "frames30.mp4", "frames25.avi"}) {
    SCOPED_TRACE(file);
    load(dm, media(file));
    EXPECT_LE(dm.fg().CountElements("superposer"), 1);
  }
  EXPECT_EQ(dm.fg().CountElements("superposer"), 1);
  EXPECT_EQ(dm.fg().CountElements("color1"), 1);
  EXPECT_EQ(dm.fg().CountElements("color2"), 1);
  EXPECT_EQ(dm.fg().CountElements("videowindow1"), 1);  // names compare without case
}

TEST_F(GraphModuleTest, RefusedFileLeavesThePipelineReadyForTheNext) {
  ASSERT_EQ(load(dm, media("two_video.avi")), RenderFrameFilterFailed);
  ASSERT_EQ(load(dm, media("frames25_silent.avi")), RenderOk);
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 0);
}

TEST_F(GraphModuleTest, StepForwardShowsExactlyTheNextFrame) {
  ASSERT_EQ(load(dm, media("frames25.mp4")), RenderOk);  // one key frame: a seek would be slow
  MediaGraph& fg = dm.fg();
  for (int expected = 1; expected <= 3; ++expected) {
    ASSERT_TRUE(fg.StepForward());
    EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), expected);
    EXPECT_EQ(fg.GetCurrentPosition(), expected * 400'000);
  }
  fg.SetTimeFormat(TimeFormat::Frame);
  ASSERT_TRUE(seekAndWait(fg, 120));
  ASSERT_TRUE(fg.StepForward());
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 121);
  EXPECT_EQ(fg.GetCurrentPosition(), 121);

  fg.Run();
  EXPECT_FALSE(fg.StepForward());  // only a paused picture steps
}

TEST_F(GraphModuleTest, FlipIsSeenInTheHeldFrameFromTheNextFrame) {
  ASSERT_EQ(load(dm, media("frames25.avi")), RenderOk);
  FrameHolder& holder = dm.Superposer();
  holder.SetVerticalFlip(true);
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 0);  // the frame already held stays as it was
  ASSERT_TRUE(dm.fg().StepForward());
  EXPECT_EQ(ReadFlippedFrameIndex(heldFrame(dm)), 1);
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), -1);
  holder.SetVerticalFlip(false);
  ASSERT_TRUE(dm.fg().StepForward());
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 2);
}

TEST_F(GraphModuleTest, TruncatedFilePlaysWhatItHasAndEnds) {
  bool ended = false;
  dm.fg().OnComplete = [&] { ended = true; };
  dm.fg().OnError = [&](const QString&) { ended = true; };
  ASSERT_EQ(load(dm, media("truncated.avi")), RenderOk);
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 0);
  dm.fg().SetTimeFormat(TimeFormat::Frame);
  ASSERT_TRUE(seekAndWait(dm.fg(), 100));
  EXPECT_EQ(ReadFrameIndex(heldFrame(dm)), 100);
  dm.fg().SetUnclocked(true);
  dm.fg().Run();
  EXPECT_TRUE(WaitUntil([&] { return ended; }, FrameWaitMs));
  const int last = ReadFrameIndex(heldFrame(dm));
  EXPECT_GE(last, 100);
  EXPECT_LE(last, 103);
}

TEST_F(GraphModuleTest, CaptureResourceErrorRunsTheDeviceLostHandler) {
  int lost = 0;
  QString error;
  dm.fgGraphDeviceLost = [&] { ++lost; };
  dm.fg().OnError = [&](const QString& text) { error = text; };
  ASSERT_EQ(load(dm, media("frames25_silent.avi")), RenderOk);
  GstElement* pipeline = dm.Pipeline().Pipeline();

  GstElement* camera = gst_element_factory_make("videotestsrc", "camera");
  GError* gone = g_error_new_literal(GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_READ, "device gone");
  gst_element_post_message(pipeline, gst_message_new_error(GST_OBJECT(camera), gone, nullptr));
  ASSERT_TRUE(WaitUntil([&] { return lost == 1; }, FrameWaitMs));
  EXPECT_TRUE(error.isEmpty());

  GstElement* decoder = gst_bin_get_by_name(GST_BIN(pipeline), "source");
  GError* broken = g_error_new_literal(GST_STREAM_ERROR, GST_STREAM_ERROR_DECODE, "broken data");
  gst_element_post_message(pipeline, gst_message_new_error(GST_OBJECT(decoder), broken, nullptr));
  ASSERT_TRUE(WaitUntil([&] { return !error.isEmpty(); }, FrameWaitMs));
  EXPECT_EQ(error, "broken data");
  EXPECT_EQ(lost, 1);

  g_error_free(gone);
  g_error_free(broken);
  gst_object_unref(decoder);
  gst_object_unref(gst_object_ref_sink(camera));
}

TEST_F(GraphModuleTest, EventsOfAClearedMediumAreDropped) {
  bool complete = false;
  dm.fg().OnComplete = [&] { complete = true; };
  ASSERT_EQ(load(dm, media("frames25_silent.avi")), RenderOk);
  GstElement* pipeline = dm.Pipeline().Pipeline();
  gst_element_post_message(pipeline, gst_message_new_eos(GST_OBJECT(pipeline)));
  dm.fg().Clear();  // before the queued message is delivered
  settle(100);
  EXPECT_FALSE(complete);
}

// Counts the elements that ever joined the pipeline and are still alive.
// Elements join (decoders) and go on streaming threads too.
struct LiveElements {
  std::mutex lock;
  std::set<GObject*> alive;
  static void gone(gpointer data, GObject* object) {
    auto* self = static_cast<LiveElements*>(data);
    std::lock_guard guard(self->lock);
    self->alive.erase(object);
  }
  static void added(GstBin*, GstBin*, GstElement* element, gpointer data) {
    auto* self = static_cast<LiveElements*>(data);
    std::lock_guard guard(self->lock);
    if (self->alive.insert(G_OBJECT(element)).second) g_object_weak_ref(G_OBJECT(element), &LiveElements::gone, self);
  }
  int count() {
    std::lock_guard guard(lock);
    return int(alive.size());
  }
};

int threadCount() { return int(QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot).size()); }

long residentKb() {
  QFile statm("/proc/self/statm");
  if (!statm.open(QIODevice::ReadOnly)) return 0;
  return statm.readAll().split(' ').value(1).toLong() * 4;
}

TEST_F(GraphModuleTest, RepeatedLoadsLeaveNothingBehind) {
  GstElement* pipeline = dm.Pipeline().Pipeline();
  LiveElements live;
  g_signal_connect(pipeline, "deep-element-added", G_CALLBACK(&LiveElements::added), &live);
  const char* files[] = {"frames25.avi", "frames30.mp4", "two_video.avi"};

  int elementsAfterWarmUp = 0, threadsAfterWarmUp = 0;
  long memoryAfterWarmUp = 0;
  for (int i = 0; i < 21; ++i) {
    load(dm, media(files[i % 3]));
    if (i == 2) {
      elementsAfterWarmUp = dm.fg().CountElements("superposer") + live.count();
      threadsAfterWarmUp = threadCount();
      memoryAfterWarmUp = residentKb();
    }
  }
  EXPECT_EQ(dm.fg().CountElements("superposer") + live.count(), elementsAfterWarmUp);
  EXPECT_LE(threadCount(), threadsAfterWarmUp + 4);
  EXPECT_LT(residentKb() - memoryAfterWarmUp, 30 * 1024);

  dm.fg().Clear();
  settle(100);  // messages still queued for the window keep their sender until delivered
  g_signal_handlers_disconnect_by_data(pipeline, &live);
  // The frame-holding element lives as long as the graph module: all the others must be gone.
  std::lock_guard guard(live.lock);
  for (GObject* object : live.alive) g_object_weak_unref(object, &LiveElements::gone, &live);
  live.alive.erase(G_OBJECT(static_cast<Tpx_Superposer&>(dm.Superposer()).Element()));
  std::string names;
  for (GObject* object : live.alive)
    names += std::string(GST_OBJECT_NAME(object)) + "(" + std::to_string(object->ref_count) + ") ";
  EXPECT_TRUE(live.alive.empty()) << "still alive: " << names;
}

}  // namespace
