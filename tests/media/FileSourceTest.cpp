// The file source over the real pipeline: what the video window shows and a grab takes is exactly
// the frame the position names, after seeks and frame steps, forwards and backwards.
#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>
#include <QTimer>

#include "media/Bitmap.h"
#include "media/graph.h"
#include "sources/FlagWait.h"
#include "sources/GrabFile.h"
#include "sources/ProgramFlags.h"
#include "tests/support/FrameIndex.h"
#include "tests/support/TestMedia.h"

namespace {

constexpr int FrameWaitMs = 10000;

struct Clip {
  const char* name;
  int frames;
  int fps;
};

class FileSourceTest : public ::testing::TestWithParam<Clip> {
 protected:
  static void SetUpTestSuite() { dm = new Tdm; }
  static void TearDownTestSuite() {
    delete dm;
    dm = nullptr;
  }

  void load(const char* name) {
    source = std::make_unique<TgrabFile>(TestMedia(name), *dm);
    position = std::make_unique<TGrabFilePosition>(source.get(), 0);
    source->SetGrabPosition(position.get());
    ASSERT_EQ(source->Render(nullptr), RenderOk) << name;
  }

  // The frame index the grab shows and the frame the position names.
  std::pair<int, int64_t> grabbed() {
    Bitmap picture;
    source->GrabFrame(picture);
    const int64_t frameAtPosition =
        (position->Time + source->FrameDuration / 2) / source->FrameDuration;
    return {ReadFrameIndex(picture), frameAtPosition};
  }

  int64_t frameStart(int k) const { return int64_t(k) * UnitsPerSecond / GetParam().fps; }

  void seekWithWait(int k) {
    position->Time = frameStart(k);
    source->SetPosition(*position, true);
  }

  // A step does not wait; the test waits for the frame it brings.
  void stepAndWait(void (TgrabFile::*step)()) {
    SeekFrameArrived = false;
    (source.get()->*step)();
    WaitUntil([] { return SeekFrameArrived.load(); }, FrameWaitMs);
  }

  static Tdm* dm;
  std::unique_ptr<TgrabFile> source;
  std::unique_ptr<TGrabFilePosition> position;
};

Tdm* FileSourceTest::dm = nullptr;

TEST_P(FileSourceTest, RenderPausesOnTheFirstFrame) {
  load(GetParam().name);
  EXPECT_EQ(source->GetState(), 2);
  EXPECT_EQ(grabbed(), std::make_pair(0, int64_t(0)));
  const int fps = GetParam().fps;
  EXPECT_EQ(source->FrameDuration, (UnitsPerSecond + fps - 1) / fps) << "whole units, rounded up";
  EXPECT_NEAR(double(source->Duration), double(frameStart(GetParam().frames)), 1.0 * UnitsPerSecond / 100);
}

TEST_P(FileSourceTest, SeekWithWaitShowsExactlyTheFrameAsked) {
  load(GetParam().name);
  const int last = GetParam().frames - 1;
  for (int k : {1, 2, 37, 100, last, 149, 0, last - 1, 3, 61}) {
    seekWithWait(k);
    EXPECT_EQ(grabbed(), std::make_pair(k, int64_t(k))) << "frame " << k;
  }
}

TEST_P(FileSourceTest, FrameStepsForwardAndBackwardAreExact) {
  load(GetParam().name);
  const int last = GetParam().frames - 1;
  for (int k = 1; k <= 5; ++k) {
    stepAndWait(&TgrabFile::AvanceLow);
    ASSERT_EQ(grabbed(), std::make_pair(k, int64_t(k))) << "forward to " << k;
  }
  for (int k = 4; k >= 0; --k) {
    stepAndWait(&TgrabFile::ReculeLow);
    ASSERT_EQ(grabbed(), std::make_pair(k, int64_t(k))) << "back to " << k;
  }
  stepAndWait(&TgrabFile::ReculeLow);
  EXPECT_EQ(grabbed(), std::make_pair(0, int64_t(0))) << "back from the first frame stays there";

  seekWithWait(last - 2);
  stepAndWait(&TgrabFile::AvanceLow);
  stepAndWait(&TgrabFile::AvanceLow);
  EXPECT_EQ(grabbed().first, last) << "forward onto the last frame";
  stepAndWait(&TgrabFile::ReculeLow);
  EXPECT_EQ(grabbed(), std::make_pair(last - 1, int64_t(last - 1)));
}

TEST_P(FileSourceTest, TypedTimecodeLandsOnItsFrame) {
  load(GetParam().name);
  position->SetText("0:00:03:07");
  source->SetPosition(*position, true);
  const int expected = 3 * GetParam().fps + 7;
  EXPECT_EQ(grabbed(), std::make_pair(expected, int64_t(expected)));
  source->GetPosition(*position);
  EXPECT_EQ(position->GetText(), "0:00:03:07");
}

INSTANTIATE_TEST_SUITE_P(Clips, FileSourceTest,
                         ::testing::Values(Clip{"frames25.avi", 250, 25},
                                           Clip{"frames25.mp4", 250, 25},
                                           Clip{"frames30.mp4", 300, 30}),
                         [](const auto& info) {
                           std::string name = info.param.name;
                           for (auto& c : name)
                             if (!isalnum(uint8_t(c))) c = '_';
                           return name;
                         });

class FileSourceInputTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { dm = new Tdm; }
  static void TearDownTestSuite() {
    delete dm;
    dm = nullptr;
  }
  uint8_t render(const QString& path) {
    TgrabFile source(path, *dm);
    return source.Render(nullptr);
  }
  static Tdm* dm;
};

Tdm* FileSourceInputTest::dm = nullptr;

TEST_F(FileSourceInputTest, BadInputGivesItsCodeWithoutHanging) {
  QTemporaryDir dir;
  const std::pair<QString, uint8_t> cases[] = {
      {TestMedia("not_video.avi"), RenderMediaFailed},
      {dir.filePath("missing.avi"), RenderMediaFailed},
      {dir.path(), RenderMediaFailed},
      {TestMedia("sound_only.mp3"), RenderFrameFilterFailed},
      {TestMedia("two_video.avi"), RenderFrameFilterFailed},
      {TestMedia("frames25.avi"), RenderOk},
  };
  for (const auto& [path, code] : cases) EXPECT_EQ(render(path), code) << path.toStdString();
}

TEST_F(FileSourceInputTest, TruncatedFilePlaysWhatItHasOrFailsWithACode) {
  TgrabFile source(TestMedia("truncated.avi"), *dm);
  const uint8_t code = source.Render(nullptr);
  if (code != RenderOk) return;  // a code, not a crash or a hang, is all that is asked
  Bitmap picture;
  source.GrabFrame(picture);
  EXPECT_EQ(ReadFrameIndex(picture), 0);
  TGrabFilePosition position(&source, 40 * 400'000);
  source.SetPosition(position, true);
  source.GrabFrame(picture);
  EXPECT_EQ(ReadFrameIndex(picture), 40);
}

TEST_F(FileSourceInputTest, HasAudioFollowsTheRenderedFile) {
  ASSERT_EQ(render(TestMedia("frames25.avi")), RenderOk);
  EXPECT_TRUE(HasAudio);
  ASSERT_EQ(render(TestMedia("frames25_silent.avi")), RenderOk);
  EXPECT_FALSE(HasAudio);
}

TEST_F(FileSourceInputTest, ClosingDuringTheFirstFrameWaitLeavesNothingRunning) {
  auto source = std::make_unique<TgrabFile>(TestMedia("frames25.mp4"), *dm);
  TgrabFile* raw = source.get();
  // Destroy the source from inside its own wait, as closing the window does.
  QTimer::singleShot(0, [&] {
    source.reset();
    RaiseFlag(RenderFrameArrived);
  });
  EXPECT_EQ(raw->Render(nullptr), RenderUnexpectedFailure);
  EXPECT_EQ(source, nullptr);
  EXPECT_LE(int(dm->fg().GetState()), int(GraphState::Stopped));
  // The pipeline is usable again at once.
  TgrabFile next(TestMedia("frames25.avi"), *dm);
  EXPECT_EQ(next.Render(nullptr), RenderOk);
}

}  // namespace
