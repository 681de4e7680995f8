// The generated clips carry a readable frame index after a real decode: the media tests that
// check which frame arrived depend on it. Decoded here by the ffmpeg tool that made them.
#include <gtest/gtest.h>

#include <cstring>

#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include "media/Bitmap.h"
#include "tests/support/FrameIndex.h"
#include "tests/support/TestMedia.h"

namespace {

struct ClipCase {
  const char* name;
  int width;
  int height;
  int frameCount;
};

// Decodes the listed frames of the first video stream to BGR24 pictures.
std::vector<Bitmap> decodeFrames(const QString& path, const ClipCase& clip,
                                 const std::vector<int>& frames) {
  QStringList select;
  for (int n : frames) select << QString("eq(n\\,%1)").arg(n);
  QProcess ffmpeg;
  ffmpeg.start("ffmpeg", {"-hide_banner", "-loglevel", "error", "-nostdin", "-i", path, "-map",
                          "0:v:0", "-vf", "select='" + select.join('+') + "'", "-fps_mode",
                          "passthrough", "-f", "rawvideo", "-pix_fmt", "bgr24", "-"});
  if (!ffmpeg.waitForFinished(60'000) || ffmpeg.exitCode() != 0) {
    ADD_FAILURE() << "ffmpeg failed on " << clip.name << ": "
                  << ffmpeg.readAllStandardError().toStdString();
    return {};
  }
  const QByteArray raw = ffmpeg.readAllStandardOutput();
  const int rowBytes = clip.width * 3;
  const qsizetype frameBytes = qsizetype(rowBytes) * clip.height;
  std::vector<Bitmap> pictures;
  for (qsizetype at = 0; at + frameBytes <= raw.size(); at += frameBytes) {
    Bitmap picture(clip.width, clip.height, Bitmap::Format::BGR24);
    for (int y = 0; y < clip.height; ++y)
      std::memcpy(picture.MutableRow(y), raw.constData() + at + qsizetype(y) * rowBytes, rowBytes);
    pictures.push_back(std::move(picture));
  }
  return pictures;
}

TEST(FixtureFrameIndexTest, EveryClipReadsBackItsFrameIndexAfterDecoding) {
  const ClipCase clips[] = {
      {"frames25.avi", 320, 240, 250}, {"frames25_silent.avi", 320, 240, 100},
      {"frames25.mp4", 320, 240, 250}, {"frames30.mp4", 320, 240, 300},
      {"vcd.mpg", 352, 288, 125},      {"svcd.mpg", 480, 576, 125},
      {"clip.wmv", 320, 240, 125},     {"audio_first.avi", 320, 240, 50},
      {"two_video.avi", 320, 240, 50}, {"two_video.mkv", 320, 240, 50},
  };
  for (const auto& clip : clips) {
    SCOPED_TRACE(clip.name);
    const QString path = TestMedia(clip.name);
    if (!QFileInfo::exists(path)) {
      ADD_FAILURE() << "missing fixture " << path.toStdString() << " (build target test-media)";
      continue;
    }
    std::vector<int> frames = {0, 1, 2, clip.frameCount - 1};
    if (clip.frameCount > 101) frames.insert(frames.begin() + 3, 100);
    const auto pictures = decodeFrames(path, clip, frames);
    ASSERT_EQ(pictures.size(), frames.size());
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(ReadFrameIndex(pictures[i]), frames[i]);
  }
}

}  // namespace
