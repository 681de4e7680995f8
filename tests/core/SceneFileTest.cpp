#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <string>

#include "media/SceneFile.h"

namespace {

std::string bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out.push_back(static_cast<char>(v));
  return out;
}

std::string u32(uint32_t v) {
  return bytes({int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF), int(v >> 24)});
}

std::string readAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll().toStdString();
}

class SceneFileWriterTest : public testing::Test {
 protected:
  QTemporaryDir dir;
  QString scn = dir.filePath("clip.scn");
  std::string scnPath = QFile::encodeName(scn).toStdString();
};

// The whole file for a video path, written as a scan does: header, first record at the first
// change, a following record at each later change, the count patched at the end.
TEST_F(SceneFileWriterTest, WritesTheLayoutByteForByte) {
  const std::string video = "/v/clip.avi";  // 11 bytes
  TSceneFileWriter w;
  ASSERT_TRUE(w.Create(scnPath));
  w.WriteHeader(video);
  w.WriteFirstRecord(61);
  w.WriteFollowingRecord(61, 75);
  w.WriteFollowingRecord(136, 49);
  w.PatchCount(3);
  ASSERT_TRUE(w.Close());

  std::string want;
  want += bytes({0x63, 0x26, 0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x00, 0x0A,
                 0x00});
  want += "SourceTape";
  want += bytes({11}) + video + std::string(8, '\0');
  want += bytes({3, 0});
  want += bytes({0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00}) + "ClipP" + std::string(3, '\0');
  want += bytes({0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00}) + "Scene" + std::string(5, '\0');
  want += u32(61) + bytes({0, 0, 0, 0, 0x01, 0x80}) + bytes({11}) + video +
          std::string(8, '\0') + u32(61);
  for (auto [s, l] : {std::pair{61u, 75u}, std::pair{136u, 49u}}) {
    want += bytes({0x03, 0x80, 0xF0, 0x00, 0x00, 0x00, 0x05, 0x80, 0x00}) + u32(s) + u32(l) +
            bytes({0, 0, 0, 0, 0x07, 0x00}) + u32(s) + u32(l) + u32(s);
  }
  EXPECT_EQ(readAll(scn), want);
}

TEST_F(SceneFileWriterTest, ATenCharacterPathPutsTheCountAtOffset43) {
  const std::string video = "/a/b/c.avi";
  ASSERT_EQ(video.size(), 10u);
  EXPECT_EQ(scenefile::CountOffset(video), 43u);
  TSceneFileWriter w;
  ASSERT_TRUE(w.Create(scnPath));
  w.WriteHeader(video);
  w.WriteFirstRecord(100);
  w.PatchCount(0x0102);
  ASSERT_TRUE(w.Close());
  const std::string file = readAll(scn);
  ASSERT_EQ(file.size(), 43u + 32u + 23u + 10u);
  EXPECT_EQ(file.substr(24, 11), bytes({10}) + video);
  EXPECT_EQ(file.substr(35, 8), std::string(8, '\0'));
  EXPECT_EQ(file.substr(43, 2), bytes({0x02, 0x01}));
  // The patch went back to the end: the first record follows the header untouched.
  EXPECT_EQ(file.substr(75, 4), u32(100));
}

TEST_F(SceneFileWriterTest, ALongPathKeepsOnlyTheBytesItsLengthByteAnnounces) {
  // 300 bytes: the length byte holds 300 mod 256 = 44, and 44 bytes follow, so a reader that
  // goes by the length byte finds the count and the records where they are.
  const std::string video = "/" + std::string(295, 'x') + ".avi";
  ASSERT_EQ(video.size(), 300u);
  TSceneFileWriter w;
  ASSERT_TRUE(w.Create(scnPath));
  w.WriteHeader(video);
  w.WriteFirstRecord(14);
  w.PatchCount(1);
  ASSERT_TRUE(w.Close());
  const std::string file = readAll(scn);
  EXPECT_EQ(uint8_t(file[24]), 44);
  EXPECT_EQ(file.substr(25, 44), video.substr(0, 44));
  EXPECT_EQ(file.substr(77, 2), bytes({1, 0}));
  const size_t record = 77 + 32;
  EXPECT_EQ(file.substr(record, 4), u32(14));
  EXPECT_EQ(uint8_t(file[record + 10]), 44);
  EXPECT_EQ(file.substr(record + 19 + 44, 4), u32(14));
  EXPECT_EQ(file.size(), record + 23 + 44);
}

TEST_F(SceneFileWriterTest, CreatingReplacesAnyFormerFileWithAnEmptyOne) {
  {
    QFile old(scn);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("former contents");
  }
  TSceneFileWriter w;
  ASSERT_TRUE(w.Create(scnPath));
  ASSERT_TRUE(w.Close());
  EXPECT_TRUE(QFile::exists(scn));
  EXPECT_EQ(readAll(scn), "");
}

TEST_F(SceneFileWriterTest, AFileThatCannotBeCreatedIsReported) {
  TSceneFileWriter w;
  EXPECT_FALSE(w.Create(QFile::encodeName(dir.filePath("missing/clip.scn")).toStdString()));
  EXPECT_FALSE(w.WriteHeader("/v/clip.avi"));
  EXPECT_FALSE(w.PatchCount(1));
}

}  // namespace
