#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "sources/FlagWait.h"
#include "sources/GrabFile.h"
#include "sources/ProgramFlags.h"
#include "tests/support/FakeGraph.h"

namespace {

constexpr int64_t Second = UnitsPerSecond;
constexpr int64_t Frame = 400'000;

// A loaded file source over the fake graph, paused at `position` in a clip of `duration`.
struct LoadedFile {
  explicit LoadedFile(int64_t duration, QString path = "/videos/clip.mpg") {
    dm.graph.duration = duration;
    source = std::make_unique<TgrabFile>(path, dm);
    EXPECT_EQ(source->Render(nullptr), RenderOk);
  }
  FakeGraphModule dm;
  std::unique_ptr<TgrabFile> source;
};

TEST(GrabFileTest, RenderPausesOnTheFirstFrameWithTheVolumeSet) {
  FakeGraphModule dm;
  dm.graph.duration = 10 * Second;
  TgrabFile source("/videos/clip.mpg", dm);
  EXPECT_EQ(source.Volume, 0);
  source.SetVolume(5000);
  ASSERT_EQ(source.Render(nullptr), RenderOk);
  EXPECT_EQ(dm.graph.renderedPath, "/videos/clip.mpg");
  EXPECT_EQ(dm.graph.state, GraphState::Paused);
  EXPECT_EQ(dm.graph.volume, 5000);
  EXPECT_EQ(source.Duration, 10 * Second);
  EXPECT_TRUE(RenderFrameArrived);
}

TEST(GrabFileTest, RenderReportsTheCodeOfTheStepThatFailed) {
  struct Case {
    const char* what;
    bool renders;
    uint8_t insertCode;
    bool frameComes;
    uint8_t expected;
  };
  const Case cases[] = {
      {"media cannot be rendered", false, 0, true, RenderMediaFailed},
      {"frame filter not inserted", true, RenderFrameFilterFailed, true, RenderFrameFilterFailed},
      {"unexpected failure while inserting", true, RenderUnexpectedFailure, true,
       RenderUnexpectedFailure},
      {"the stream ends before any frame", true, 0, false, RenderMediaFailed},
  };
  for (const auto& c : cases) {
    FakeGraphModule dm;
    dm.graph.renderSucceeds = c.renders;
    dm.insertCode = c.insertCode;
    dm.graph.frameOnRun = c.frameComes;
    TgrabFile source("/videos/clip.mpg", dm);
    if (!c.frameComes) {
      QTimer::singleShot(0, [&dm] { dm.graph.OnComplete(); });
    }
    EXPECT_EQ(source.Render(nullptr), c.expected) << c.what;
  }
}

TEST(GrabFileTest, SourceDestroyedDuringTheFirstFrameWaitIsNotTouchedAgain) {
  FakeGraphModule dm;
  dm.graph.frameOnRun = false;
  auto source = std::make_unique<TgrabFile>("/videos/clip.mpg", dm);
  // What closing the window does inside the wait: destroy the source, then release the waits.
  QTimer::singleShot(0, [&] {
    source.reset();
    RaiseFlag(RenderFrameArrived);
  });
  TgrabFile* raw = source.get();
  EXPECT_EQ(raw->Render(nullptr), RenderUnexpectedFailure);
  EXPECT_EQ(source, nullptr);
  EXPECT_EQ(dm.graph.window, nullptr);
}

struct StepCase {
  const char* what;
  int64_t from;
  void (TgrabFile::*step)();
  int64_t expected;
};

TEST(GrabFileTest, StepsMoveByTheirAmountAndClampToTheClip) {
  const int64_t duration = 100 * Second;
  const StepCase cases[] = {
      {"frame forward", 10 * Second, &TgrabFile::AvanceLow, 10 * Second + Frame},
      {"frame forward at the last frame stops at the end", duration - Frame / 2,
       &TgrabFile::AvanceLow, duration},
      {"second forward", 10 * Second, &TgrabFile::AvanceMedium, 11 * Second},
      {"second forward near the end", duration - Second / 2, &TgrabFile::AvanceMedium, duration},
      {"minute forward 20 s before the end", duration - 20 * Second, &TgrabFile::AvanceHigh,
       duration},
      {"to the end", 0, &TgrabFile::AvanceEnd, duration},
      {"frame back", 10 * Second, &TgrabFile::ReculeLow, 10 * Second - Frame},
      {"frame back at zero", 0, &TgrabFile::ReculeLow, 0},
      {"second back at 0.5 s", Second / 2, &TgrabFile::ReculeMedium, 0},
      {"minute back", 90 * Second, &TgrabFile::ReculeHigh, 30 * Second},
      {"minute back near the start", 30 * Second, &TgrabFile::ReculeHigh, 0},
      {"to the start", 50 * Second, &TgrabFile::ReculeHome, 0},
  };
  for (const auto& c : cases) {
    LoadedFile file(duration);
    file.dm.graph.position = c.from;
    (file.source.get()->*c.step)();
    EXPECT_EQ(file.dm.graph.position, c.expected) << c.what;
    EXPECT_EQ(file.dm.graph.state, GraphState::Paused) << c.what << ": play state unchanged";
  }
}

TEST(GrabFileTest, FrameForwardWhilePausedIsAStepNotASeek) {
  LoadedFile file(10 * Second);
  file.dm.graph.position = 2 * Second;
  file.dm.graph.seeks.clear();
  file.source->AvanceLow();
  EXPECT_EQ(file.dm.graph.steps, 1);
  EXPECT_TRUE(file.dm.graph.seeks.empty());
  EXPECT_EQ(file.dm.graph.position, 2 * Second + Frame);
}

TEST(GrabFileTest, StepsCountTheStreamsOwnFrames) {
  FakeGraphModule dm;
  dm.graph.duration = 10 * Second;
  dm.graph.streamFrameDuration = 333'667;  // 29.97 frames per second
  TgrabFile source("/videos/ntsc.mpg", dm);
  ASSERT_EQ(source.Render(nullptr), RenderOk);
  EXPECT_EQ(source.FrameDuration, 333'667);
  dm.graph.position = 3 * 333'667;
  source.ReculeLow();
  EXPECT_EQ(dm.graph.position, 2 * 333'667);
}

TEST(GrabFileTest, SetPositionWithWaitPausesWaitsAndResumesPlaying) {
  LoadedFile file(100 * Second);
  file.source->Play();
  TGrabFilePosition position(file.source.get(), 0);
  position.SetText("0:00:42:05");
  file.source->SetPosition(position, true);
  EXPECT_TRUE(SeekFrameArrived);
  EXPECT_EQ(file.dm.graph.position, 42 * Second + 5 * Frame);
  EXPECT_EQ(file.dm.graph.state, GraphState::Running);

  file.source->Pause();
  position.SetText("0:00:10:00");
  file.source->SetPosition(position, false);
  EXPECT_EQ(file.dm.graph.position, 10 * Second);
  EXPECT_EQ(file.dm.graph.state, GraphState::Paused);
}

TEST(GrabFileTest, PositionObjectShowsTimeAndDurationAsTimecodes) {
  FakeGraphModule dm;
  dm.graph.duration = 75 * Second + 3 * Frame;
  TgrabFile source("/videos/clip.mpg", dm);
  TGrabFilePosition position(&source, 0);
  source.GetDuration(position);
  EXPECT_EQ(position.GetText(), "0:00:00:00") << "no duration before Render";
  ASSERT_EQ(source.Render(nullptr), RenderOk);
  source.GetDuration(position);
  EXPECT_EQ(position.GetText(), "0:01:15:03");
  dm.graph.position = 30 * Second;
  source.GetPosition(position);
  EXPECT_EQ(position.GetText(), "0:00:30:00");
  EXPECT_EQ(position.Duration, source.Duration);
  EXPECT_EQ(position.GetProgress(), 1'000'000 * 30 * Second / source.Duration);
  position.SetProgress(500'000);
  EXPECT_EQ(position.Time, source.Duration / 2);
}

TEST(GrabFileTest, GrabFrameRefreshesThePositionThenCopiesTheHeldFrame) {
  LoadedFile file(10 * Second);
  TGrabFilePosition position(file.source.get(), 0);
  file.source->SetGrabPosition(&position);
  file.dm.holder.held = Bitmap(64, 48);
  file.dm.graph.position = 4 * Second;
  Bitmap grabbed;
  file.source->GrabFrame(grabbed);
  EXPECT_EQ(grabbed.Width(), 64);
  EXPECT_EQ(position.Time, 4 * Second);
}

// --- Scene navigation over hand-made scene files.

void appendU32(QByteArray& b, uint32_t v) {
  for (int i = 0; i < 4; ++i) b.append(char(v >> (8 * i)));
}

// The .scn layout: header with the video path and the count, the first record, then one
// 35-byte record per later scene start (`truncateLastBy` cuts bytes off the end).
QByteArray sceneFileBytes(const QByteArray& videoPath, uint16_t count,
                          const std::vector<uint32_t>& starts, int truncateLastBy = 0) {
  QByteArray b = QByteArray::fromHex("632601000400000" "0FFFF03000A00");
  b += "SourceTape";
  b.append(char(videoPath.size()));
  b += videoPath;
  b += QByteArray(8, 0);
  b.append(char(count & 0xFF));
  b.append(char(count >> 8));
  b += QByteArray::fromHex("FFFF01000400");
  b += "ClipP";
  b += QByteArray(3, 0);
  b += QByteArray::fromHex("FFFF01000500");
  b += "Scene";
  b += QByteArray(5, 0);
  if (!starts.empty()) {
    appendU32(b, starts[0]);
    b += QByteArray::fromHex("000000000180");
    b.append(char(videoPath.size()));
    b += videoPath;
    b += QByteArray(8, 0);
    appendU32(b, starts[0]);
  }
  for (size_t i = 1; i < starts.size(); ++i) {
    b += QByteArray::fromHex("0380F000000005800" "0");
    appendU32(b, starts[i]);
    appendU32(b, 25);
    b += QByteArray::fromHex("000000000700");
    appendU32(b, starts[i]);
    appendU32(b, 25);
    appendU32(b, starts[i]);
  }
  b.chop(truncateLastBy);
  return b;
}

struct SceneCase {
  const char* what;
  QByteArray file;
  bool next;
  uint32_t fromFrame;
  uint32_t expectedFrame;
};

TEST(GrabFileTest, SceneNavigationFollowsTheSceneFile) {
  // Changes detected at frames 99 and 249 in a 300-frame video: count 3, starts 100, 100, 250.
  const QByteArray twoChanges = sceneFileBytes("/v/take.avi", 3, {100, 100, 250});
  const QByteArray cancelled = sceneFileBytes("/v/take.avi", 0, {100});
  const QByteArray headerOnly = sceneFileBytes("/v/take.avi", 0, {});
  const QByteArray cutRecord = sceneFileBytes("/v/take.avi", 3, {100, 100, 250}, 1);
  const SceneCase cases[] = {
      {"previous from 300", twoChanges, false, 300, 250},
      {"previous from 250", twoChanges, false, 250, 100},
      {"previous from 100", twoChanges, false, 100, 0},
      {"previous from 40", twoChanges, false, 40, 0},
      {"next from 0", twoChanges, true, 0, 100},
      {"next from 99", twoChanges, true, 99, 100},
      {"next from 100", twoChanges, true, 100, 250},
      {"next from 249", twoChanges, true, 249, 250},
      {"next from 250", twoChanges, true, 250, 0xFFFFFFFF},
      {"next from 400", twoChanges, true, 400, 0xFFFFFFFF},
      {"cancelled scan: previous", cancelled, false, 500, 0},
      {"cancelled scan: next below the first", cancelled, true, 50, 100},
      {"cancelled scan: next past the first", cancelled, true, 100, 0xFFFFFFFF},
      {"header only: previous", headerOnly, false, 70, 0},
      {"header only: next", headerOnly, true, 70, 0xFFFFFFFF},
      {"last record cut short counts as absent", cutRecord, true, 100, 0xFFFFFFFF},
  };
  QTemporaryDir dir;
  for (const auto& c : cases) {
    const QString video = dir.filePath("take.avi");
    QFile scn(dir.filePath("take.scn"));
    ASSERT_TRUE(scn.open(QIODevice::WriteOnly | QIODevice::Truncate));
    scn.write(c.file);
    scn.close();

    LoadedFile file(20 * Second, video);
    file.dm.graph.position = int64_t(c.fromFrame) * Frame;
    file.dm.graph.seeks.clear();
    EXPECT_TRUE(c.next ? file.source->AvanceTrack() : file.source->ReculeTrack()) << c.what;
    ASSERT_EQ(file.dm.graph.seeks.size(), 1u) << c.what;
    EXPECT_EQ(uint32_t(file.dm.graph.seeks[0]), c.expectedFrame) << c.what;
    EXPECT_EQ(file.dm.graph.format, TimeFormat::MediaTime) << c.what << ": format restored";
  }
}

TEST(GrabFileTest, SceneNavigationWithoutAUsableSceneFileDoesNothing) {
  QTemporaryDir dir;
  const QString video = dir.filePath("clip.avi");
  struct Case {
    const char* what;
    std::optional<QByteArray> bytes;
  };
  const Case cases[] = {
      {"no scene file", std::nullopt},
      {"shorter than its header", sceneFileBytes("/v/clip.avi", 1, {}).left(40)},
      {"empty", QByteArray()},
  };
  for (const auto& c : cases) {
    QFile::remove(dir.filePath("clip.scn"));
    if (c.bytes) {
      QFile scn(dir.filePath("clip.scn"));
      ASSERT_TRUE(scn.open(QIODevice::WriteOnly));
      scn.write(*c.bytes);
    }
    LoadedFile file(20 * Second, video);
    file.dm.graph.position = 5 * Second;
    file.dm.graph.seeks.clear();
    EXPECT_FALSE(file.source->AvanceTrack()) << c.what;
    EXPECT_FALSE(file.source->ReculeTrack()) << c.what;
    EXPECT_TRUE(file.dm.graph.seeks.empty()) << c.what;
    EXPECT_EQ(file.dm.graph.position, 5 * Second) << c.what;
  }
}

// A minimal AVI header: RIFF AVI, a header list with one stream list whose handler is given.
QByteArray aviWithVideoHandler(const QByteArray& type, const QByteArray& handler) {
  QByteArray strl = "strlstrh";
  appendU32(strl, 56);
  strl += type + handler + QByteArray(48, 0);
  QByteArray hdrl = "hdrl" + QByteArray("LIST");
  appendU32(hdrl, uint32_t(strl.size()));
  hdrl += strl;
  QByteArray body = "AVI " + QByteArray("LIST");
  appendU32(body, uint32_t(hdrl.size()));
  body += hdrl;
  QByteArray riff = "RIFF";
  appendU32(riff, uint32_t(body.size()));
  return riff + body;
}

TEST(GrabFileTest, SceneDetectionIsOfferedForDvAviFilesOnly) {
  QTemporaryDir dir;
  struct Case {
    const char* name;
    QByteArray bytes;
    const char* codec;
    bool scenes;
  };
  const Case cases[] = {
      {"dv.avi", aviWithVideoHandler("vids", "dvsd"), "dvsd", true},
      {"DV2.AVI", aviWithVideoHandler("iavs", "dvsd"), "dvsd", true},
      {"dsvd.avi", aviWithVideoHandler("vids", "dsvd"), "dsvd", true},
      {"mjpeg.avi", aviWithVideoHandler("vids", "MJPG"), "MJPG", false},
      {"dv.avi.mpg", aviWithVideoHandler("vids", "dvsd"), "", false},
      {"text.avi", QByteArray("not a video at all"), "####", false},
  };
  for (const auto& c : cases) {
    QFile f(dir.filePath(c.name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(c.bytes);
    f.close();
    FakeGraphModule dm;
    TgrabFile source(f.fileName(), dm);
    EXPECT_EQ(source.VideoCodec, c.codec) << c.name;
    EXPECT_EQ(source.CanDetectScenes, c.scenes) << c.name;
    EXPECT_EQ(source.Description, f.fileName());
  }
  FakeGraphModule dm;
  TgrabFile missing(dir.filePath("missing.avi"), dm);
  EXPECT_EQ(missing.VideoCodec, "");
  EXPECT_FALSE(missing.CanDetectScenes);
}

}  // namespace
