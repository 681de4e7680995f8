// Scene scans of generated DV files (scripts/test-media/dv.sh), checked byte for byte against
// the scene file layout, which the expectations here build by hand.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "media/scenes.h"
#include "sources/ProgramFlags.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TestMedia.h"

namespace {

using namespace std::string_literals;
using Following = std::vector<std::pair<uint32_t, uint32_t>>;  // (start, length)

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

std::string u32(uint32_t v) {
  return bytes({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}

std::string pathField(const std::string& path) {
  return bytes({int(path.size() & 0xFF)}) + path.substr(0, path.size() & 0xFF);
}

std::string expectedHeader(const std::string& video, uint16_t count) {
  return bytes({0x63, 0x26, 0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x00, 0x0A,
                0x00}) +
         "SourceTape" + pathField(video) + std::string(8, '\0') +
         bytes({count & 0xFF, count >> 8}) + bytes({0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00}) +
         "ClipP" + std::string(3, '\0') + bytes({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}) + "Scene" +
         std::string(5, '\0');
}

std::string expectedFirstRecord(const std::string& video, uint32_t g) {
  return u32(g) + bytes({0, 0, 0, 0, 0x01, 0x80}) + pathField(video) + std::string(8, '\0') +
         u32(g);
}

std::string expectedFollowingRecord(uint32_t s, uint32_t l) {
  return bytes({0x03, 0x80, 0xF0, 0x00, 0x00, 0x00, 0x05, 0x80, 0x00}) + u32(s) + u32(l) +
         bytes({0, 0, 0, 0, 0x07, 0x00}) + u32(s) + u32(l) + u32(s);
}

std::string expectedSceneFile(const std::string& video, uint16_t count, uint32_t firstG,
                              const Following& following) {
  std::string out = expectedHeader(video, count) + expectedFirstRecord(video, firstG);
  for (auto [s, l] : following) out += expectedFollowingRecord(s, l);
  return out;
}

std::string readAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll().toStdString();
}

uint32_t readU32(const std::string& data, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(data[at + i]);
  return v;
}

// The frame after each recorded change, and the end, from a finished scene file: the first
// record's g, then each following record's start + length.
std::vector<uint32_t> recordedBoundaries(const std::string& file) {
  std::vector<uint32_t> out;
  const size_t n = uint8_t(file.at(24));
  size_t at = 33 + n + 32;
  if (file.size() < at + 11) return out;
  out.push_back(readU32(file, at));
  at += 23 + uint8_t(file.at(at + 10));
  for (; at + 35 <= file.size(); at += 35) out.push_back(readU32(file, at + 9) + readU32(file, at + 13));
  return out;
}

uint16_t countOf(const std::string& file) {
  const size_t at = 33 + uint8_t(file.at(24));
  return uint16_t(uint8_t(file.at(at)) | uint8_t(file.at(at + 1)) << 8);
}

TEST(SceneFilePath, ChangesTheExtensionOfTheFileName) {
  const std::pair<QString, QString> cases[] = {
      {"/v/clip.avi", "/v/clip.scn"},
      {"/v/clip.AVI", "/v/clip.scn"},
      {"/v/clip.avi.mpg", "/v/clip.avi.scn"},
      {"/v.d/clip", "/v.d/clip.scn"},  // a dot in a folder name is not an extension
      {"clip.avi", "clip.scn"},
  };
  for (const auto& [videoPath, scn] : cases) EXPECT_EQ(Tsm::sceneFilePath(videoPath), scn);
}

class ScenesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    tsm = std::make_unique<Tsm>(dialogs);
  }

  // The fixture, seen through a link in a folder of the test's own, so that the scene file is
  // written there. Empty (and the test fails) when the fixture was not generated.
  QString video(const QString& fixture, const QString& as = {}) {
    const QString source = TestMedia(fixture);
    if (!QFile::exists(source)) {
      ADD_FAILURE() << "missing fixture " << source.toStdString()
                    << " (cmake --build <build> --target test-media)";
      return {};
    }
    const QString link = dir.filePath(as.isEmpty() ? fixture : as);
    QFile::link(source, link);
    return link;
  }

  static std::string bytesOf(const QString& path) { return QFile::encodeName(path).toStdString(); }

  QTemporaryDir dir;
  ScriptedDialogs dialogs;
  std::unique_ptr<Tsm> tsm;
};

struct ScanCase {
  const char* name;     // the behaviour guarded
  const char* fixture;
  uint16_t count;
  uint32_t firstG;
  Following following;
};

void PrintTo(const ScanCase& c, std::ostream* os) { *os << c.name; }

class SceneScanTest : public ScenesTest, public testing::WithParamInterface<ScanCase> {};

TEST_P(SceneScanTest, WritesTheScenesOfTheTakes) {
  const ScanCase& c = GetParam();
  const QString path = video(c.fixture);
  ASSERT_FALSE(path.isEmpty());
  EXPECT_TRUE(tsm->WriteSceneFile(path, true));
  EXPECT_TRUE(StopRequested.load());
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(readAll(Tsm::sceneFilePath(path)),
            expectedSceneFile(bytesOf(path), c.count, c.firstG, c.following));
}

// Frame counts of the fixtures: takes of 15 frames unless said otherwise (see dv.sh). A change
// at frame f is recorded as f + 1; the last record ends at the frame count.
INSTANTIATE_TEST_SUITE_P(
    Fixtures, SceneScanTest,
    testing::Values(
        ScanCase{"OneTakeGivesOneFirstFormRecordUpToTheEnd", "dv_one_take.avi", 1, 100, {}},
        ScanCase{"ThreeTakesInType2Avi", "dv_type2.avi", 3, 61, {{61, 75}, {136, 49}}},
        ScanCase{"ThreeTakesInType1AviGiveTheSameScenes", "dv_type1.avi", 3, 61,
                 {{61, 75}, {136, 49}}},
        ScanCase{"StampsOneSecondApartStayOneScene", "dv_1s_apart.avi", 1, 30, {}},
        ScanCase{"StampsTwoSecondsApartStayOneScene", "dv_2s_apart.avi", 1, 30, {}},
        ScanCase{"StampsThreeSecondsApartStartAScene", "dv_3s_apart.avi", 2, 16, {{16, 14}}},
        ScanCase{"AChangeTwelveFramesIntoTheFileIsIgnored", "dv_first12.avi", 1, 32, {}},
        ScanCase{"AChangeThirteenFramesIntoTheFileCounts", "dv_first13.avi", 2, 14, {{14, 19}}},
        ScanCase{"AChangeTwelveFramesAfterASceneStartIsIgnored", "dv_after12.avi", 2, 16,
                 {{16, 27}}},
        ScanCase{"AChangeThirteenFramesAfterASceneStartCounts", "dv_after13.avi", 3, 16,
                 {{16, 14}, {30, 14}}},
        ScanCase{"FramesWithoutDatesGiveNoChange", "dv_nodate.avi", 1, 30, {}},
        ScanCase{"ADateThatDisappearsIsAChange", "dv_date_lost.avi", 2, 16, {{16, 14}}},
        ScanCase{"FramesWhoseDateIsNoDateAreSkipped", "dv_invalid_date.avi", 1, 45, {}}),
    [](const testing::TestParamInfo<ScanCase>& info) { return std::string(info.param.name); });

TEST_F(ScenesTest, ProgressGoesToTheUserInterfaceThreadAtEachSceneRecord) {
  for (const char* fixture : {"dv_type2.avi", "dv_type1.avi"}) {
    SCOPED_TRACE(fixture);
    std::vector<int64_t> progress;
    bool offThread = false;
    tsm->SceneProgress = [&](int64_t value) {
      progress.push_back(value);
      offThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
    };
    const QString path = video(fixture);
    ASSERT_TRUE(tsm->WriteSceneFile(path, false));
    // (start of the previous scene x 1000000) div 185 frames + 1.
    EXPECT_EQ(progress, (std::vector<int64_t>{1, 329730, 735136}));
    EXPECT_FALSE(offThread);
  }
}

TEST_F(ScenesTest, CancellingLeavesTheCountAtZeroWithTheRecordsWrittenSoFar) {
  tsm->SceneProgress = [](int64_t) { StopRequested.store(true); };
  const QString path = video("dv_type2.avi");
  EXPECT_TRUE(tsm->WriteSceneFile(path, false));
  const std::string file = readAll(Tsm::sceneFilePath(path));
  const std::string header = expectedHeader(bytesOf(path), 0);
  ASSERT_GE(file.size(), header.size());
  EXPECT_EQ(file.substr(0, header.size()), header);
  EXPECT_EQ(file.substr(header.size(), 4), u32(61));
}

TEST_F(ScenesTest, AnsweringNoLeavesTheExistingSceneFileByteForByte) {
  const QString path = video("dv_one_take.avi");
  const QString scn = Tsm::sceneFilePath(path);
  const std::string former = "former scenes\0\1\2"s;
  {
    QFile f(scn);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(former.data(), qint64(former.size()));
  }
  dialogs.answers = {DialogButton::No};
  EXPECT_FALSE(tsm->WriteSceneFile(path, true));
  EXPECT_EQ(readAll(scn), former);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, "Do you want to replace the existing file " + scn + "?");
  EXPECT_EQ(dialogs.shown[0].buttons,
            (std::vector<DialogButton>{DialogButton::Yes, DialogButton::No}));

  // Closing the box without choosing is No as well.
  EXPECT_FALSE(tsm->WriteSceneFile(path, true));
  EXPECT_EQ(readAll(scn), former);

  const std::string fresh = expectedSceneFile(bytesOf(path), 1, 100, {});
  dialogs.answers = {DialogButton::Yes};
  EXPECT_TRUE(tsm->WriteSceneFile(path, true));
  EXPECT_EQ(readAll(scn), fresh);

  // Without the question the file is replaced at once.
  dialogs.shown.clear();
  EXPECT_TRUE(tsm->WriteSceneFile(path, false));
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_EQ(readAll(scn), fresh);
}

TEST_F(ScenesTest, FilesThatAreNotAviFailAndLeaveAnEmptySceneFile) {
  const QString rawDv = video("dv_one_take.dv", "raw.dv");
  const QString text = dir.filePath("text.avi");
  {
    QFile f(text);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    for (int i = 0; i < 200; ++i) f.write("this is not a video\n");
  }
  const QString missing = dir.filePath("missing.avi");
  for (const QString& path : {rawDv, text, missing}) {
    SCOPED_TRACE(path.toStdString());
    EXPECT_FALSE(tsm->WriteSceneFile(path, false));
    const QString scn = Tsm::sceneFilePath(path);
    EXPECT_TRUE(QFile::exists(scn));
    EXPECT_EQ(QFileInfo(scn).size(), 0);
  }
  // A video whose name ends in .scn would be its own scene file: it is left alone.
  const QString named = dir.filePath("clip.scn");  // a copy: never risk the shared fixture
  ASSERT_TRUE(QFile::copy(TestMedia("dv_one_take.avi"), named));
  const qint64 size = QFileInfo(named).size();
  EXPECT_FALSE(tsm->WriteSceneFile(named, false));
  EXPECT_EQ(QFileInfo(named).size(), size);

  // The module is still usable afterwards.
  const QString good = video("dv_one_take.avi");
  EXPECT_TRUE(tsm->WriteSceneFile(good, false));
  EXPECT_EQ(readAll(Tsm::sceneFilePath(good)), expectedSceneFile(bytesOf(good), 1, 100, {}));
}

TEST_F(ScenesTest, ReachingTheSceneLimitEndsTheScanWithNoFurtherRecord) {
  tsm->setSceneLimit(2);
  const QString path = video("dv_type2.avi");
  EXPECT_TRUE(tsm->WriteSceneFile(path, false));
  EXPECT_TRUE(StopRequested.load());
  EXPECT_EQ(readAll(Tsm::sceneFilePath(path)),
            expectedSceneFile(bytesOf(path), 2, 61, {{61, 75}}));
}

TEST_F(ScenesTest, ASecondScanStartsFromAFreshState) {
  const QString takes = video("dv_type2.avi");
  const QString oneTake = video("dv_one_take.avi");
  ASSERT_TRUE(tsm->WriteSceneFile(takes, false));
  ASSERT_TRUE(tsm->WriteSceneFile(oneTake, false));
  EXPECT_EQ(readAll(Tsm::sceneFilePath(oneTake)),
            expectedSceneFile(bytesOf(oneTake), 1, 100, {}));
  ASSERT_TRUE(tsm->WriteSceneFile(takes, false));
  EXPECT_EQ(readAll(Tsm::sceneFilePath(takes)),
            expectedSceneFile(bytesOf(takes), 3, 61, {{61, 75}, {136, 49}}));
}

TEST_F(ScenesTest, ACutShortAviIsScannedAsFarAsItGoes) {
  const QString source = TestMedia("dv_type2.avi");
  ASSERT_TRUE(QFile::exists(source));
  const QString path = dir.filePath("cut.avi");
  qint64 frames = 0;  // whole frames left, at about 151700 bytes per frame with its audio
  {
    QFile in(source);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    // 60 %: in the second take, in the middle of a frame, and without the index at the end.
    out.write(in.read(in.size() * 6 / 10));
    frames = out.size() / 151700;
  }
  ASSERT_TRUE(tsm->WriteSceneFile(path, false));
  const std::string file = readAll(Tsm::sceneFilePath(path));
  EXPECT_EQ(countOf(file), 2);
  const std::vector<uint32_t> boundaries = recordedBoundaries(file);
  ASSERT_EQ(boundaries.size(), 2u);
  EXPECT_EQ(boundaries[0], 61u);
  EXPECT_NEAR(double(boundaries[1]), double(frames), 1.0);
}

TEST_F(ScenesTest, DestroyingTheModuleDuringAScanEndsItQuietly) {
  const QString path = video("dv_type2.avi");
  QTimer::singleShot(0, [&] { tsm.reset(); });
  Tsm* scanning = tsm.get();
  EXPECT_FALSE(scanning->WriteSceneFile(path, false));
  EXPECT_EQ(tsm, nullptr);
}

// dvgrab -autosplit=3 on a raw DV file: the frame where each of its files after the first
// begins, and the total number of frames. Reading a file this fast, dvgrab's reader now and then
// outruns its writer and loses frames or never ends, so a run that does not account for every
// frame of the input is tried again.
std::optional<std::pair<std::vector<uint32_t>, uint32_t>> dvgrabSplits(const QString& dvgrab,
                                                                       const QString& raw) {
  constexpr qint64 FrameBytes = 144000;
  const qint64 rawFrames = QFileInfo(raw).size() / FrameBytes;
  for (int attempt = 0; attempt < 5; ++attempt) {
    QTemporaryDir splitDir;
    QProcess process;
    process.setWorkingDirectory(splitDir.path());
    process.setStandardInputFile(raw);
    process.start(dvgrab, {"-stdin", "-autosplit=3", "-format", "raw", "part-"});
    if (!process.waitForFinished(10000)) {
      process.kill();
      process.waitForFinished();
      continue;
    }
    std::vector<uint32_t> starts;
    uint32_t frames = 0;
    for (const QFileInfo& part :
         QDir(splitDir.path()).entryInfoList({"part-*"}, QDir::Files, QDir::Name)) {
      if (frames > 0) starts.push_back(frames);
      frames += uint32_t(part.size() / FrameBytes);
    }
    if (process.exitCode() == 0 && frames == rawFrames) return std::pair{starts, frames};
  }
  return std::nullopt;
}

// dvgrab, the capture tool, splits raw DV into one file per recording when the recording time
// jumps by at least n seconds. With whole-second stamps, n = 3 is this program's "more than 2
// seconds": its files must begin where the scene file's changes are.
TEST_F(ScenesTest, ChangesAgreeWithDvgrabAutosplit) {
  const QString dvgrab = QStandardPaths::findExecutable(QStringLiteral("dvgrab"));
  if (dvgrab.isEmpty()) GTEST_SKIP() << "dvgrab is not installed";
  for (const char* name : {"dv_takes", "dv_1s_apart", "dv_2s_apart", "dv_3s_apart"}) {
    SCOPED_TRACE(name);
    const QString raw = TestMedia(QString(name) + ".dv");
    const QString avi = name == std::string("dv_takes") ? "dv_type2.avi" : QString(name) + ".avi";
    ASSERT_TRUE(QFile::exists(raw));
    const auto splits = dvgrabSplits(dvgrab, raw);
    ASSERT_TRUE(splits.has_value()) << "dvgrab never split the whole file";
    const auto& [dvgrabStarts, frames] = *splits;

    const QString path = video(avi, QString(name) + ".avi");
    ASSERT_TRUE(tsm->WriteSceneFile(path, false));
    std::vector<uint32_t> changes = recordedBoundaries(readAll(Tsm::sceneFilePath(path)));
    ASSERT_FALSE(changes.empty());
    EXPECT_EQ(changes.back(), frames);  // the last record ends where the video ends
    changes.pop_back();
    for (uint32_t& g : changes) g -= 1;  // recorded as the frame after the change
    EXPECT_EQ(changes, dvgrabStarts);
  }
}

}  // namespace
