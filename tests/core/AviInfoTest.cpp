// The AVI header reader on crafted RIFF files and on the generated clips.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <cstring>
#include <random>

#include "sources/aviinfo.h"
#include "tests/support/TestMedia.h"

namespace {

// --- building RIFF files

QByteArray le32(uint32_t value) {
  QByteArray bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = char((value >> (8 * i)) & 0xff);
  return bytes;
}

// A chunk with its pad byte when the data is odd-sized. `size` overrides the declared size.
QByteArray chunk(const char* id, const QByteArray& data, int64_t size = -1) {
  QByteArray bytes = QByteArray(id, 4) + le32(uint32_t(size < 0 ? data.size() : size)) + data;
  if (data.size() % 2 != 0) bytes += '\0';
  return bytes;
}

QByteArray list(const char* type, const QByteArray& children) {
  return chunk("LIST", QByteArray(type, 4) + children);
}

QByteArray riff(const char* form, const QByteArray& children) {
  return chunk("RIFF", QByteArray(form, 4) + children);
}

// A stream header of `size` bytes (56 is the standard one), zero beyond type and handler.
QByteArray strh(const char* type, const char* handler, int size = 56) {
  QByteArray header = QByteArray(type, 4) + QByteArray(handler, 4);
  header.resize(std::max<qsizetype>(size, 8), '\0');
  return chunk("strh", header.left(size));
}

QByteArray strl(const char* type, const char* handler) {
  return list("strl", strh(type, handler) + chunk("strf", QByteArray(40, '\0')));
}

QByteArray hdrl(const QByteArray& streams) {
  return list("hdrl", chunk("avih", QByteArray(56, '\0')) + streams);
}

// A complete small AVI file: header list, movie data, index.
QByteArray avi(const QByteArray& streams) {
  return riff("AVI ", hdrl(streams) + list("movi", chunk("00dc", QByteArray(100, '\x55'))) +
                          chunk("idx1", QByteArray(16, '\0')));
}

class AviInfoTest : public testing::Test {
 protected:
  QString write(const QByteArray& bytes) {
    const QString path = m_dir.filePath(QString("clip%1.avi").arg(m_count++));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
  }

  QTemporaryDir m_dir;
  int m_count = 0;
};

struct CraftedCase {
  const char* what;
  QByteArray bytes;
  const char* handler;
  int streamCount;
  int videoStreamIndex;
};

TEST_F(AviInfoTest, CraftedFilesGiveTheFirstVideoStreamsHandler) {
  const QByteArray twoStreams = avi(strl("vids", "dvsd") + strl("auds", "\1\0\0\0"));
  const QByteArray oneStream = avi(strl("vids", "dvsd"));
  const CraftedCase cases[] = {
      {"empty file", QByteArray(), "####", 0, -1},
      {"under 8 bytes", QByteArray("RIFF\x10\0", 7), "####", 0, -1},
      {"text, not RIFF", QByteArray("this is not a video\n").repeated(20), "####", 0, -1},
      {"a first chunk other than RIFF ends the walk",
       chunk("JUNK", QByteArray(10, '\0')) + oneStream, "####", 0, -1},
      {"RIFF of another form", riff("WAVE", hdrl(strl("vids", "dvsd"))), "####", 0, -1},
      {"one video stream", oneStream, "dvsd", 1, 0},
      {"DV type 1: interleaved stream", avi(strl("iavs", "dvsd")), "dvsd", 1, 0},
      {"audio first, then video", avi(strl("auds", "\1\0\0\0") + strl("vids", "MJPG")), "MJPG",
       2, 1},
      {"two video streams: the first", avi(strl("vids", "FMP4") + strl("vids", "MJPG")), "FMP4",
       2, 0},
      {"audio only", avi(strl("auds", "\1\0\0\0")), "####", 1, -1},
      {"stream header of 8 bytes", avi(list("strl", strh("vids", "CDVC", 8))), "CDVC", 1, 0},
      {"stream header cut inside the handler",
       avi(list("strl", strh("vids", "MJPG", 6)) + strl("vids", "dvsd")), "MJ", 2, 0},
      {"stream header longer than 56 bytes",
       avi(list("strl", strh("auds", "\1\0\0\0", 64) + chunk("strf", QByteArray(18, '\0'))) +
           strl("vids", "dvsd")),
       "dvsd", 2, 1},
      {"odd-sized chunks and their pad bytes",
       riff("AVI ", chunk("JUNK", QByteArray(5, 'j')) +
                        hdrl(list("strl", chunk("strn", QByteArray("name\0", 5)) + strh("auds", "\0\0\0\0") +
                                              chunk("strf", QByteArray(19, '\0'))) +
                             chunk("JUNK", QByteArray(3, 'j')) + strl("vids", "dvsd")) +
                        list("movi", chunk("00dc", QByteArray(33, '\x55')))),
       "dvsd", 2, 1},
      {"the pad byte ending a RIFF chunk is skipped before the next",
       riff("AVI ", hdrl(strl("auds", "\1\0\0\0")) + chunk("JUNK", "x")) +
           riff("AVIX", hdrl(strl("vids", "dvsd"))),
       "dvsd", 2, 1},
      {"OpenDML extension walked, first header list decides",
       avi(strl("vids", "dvsd")) + riff("AVIX", hdrl(strl("vids", "MJPG")) +
                                                    list("movi", chunk("00dc", "x"))),
       "dvsd", 2, 0},
      {"a top-level chunk other than RIFF ends the walk",
       oneStream + chunk("JUNK", QByteArray(8, '\0')) + riff("AVIX", hdrl(strl("vids", "MJPG"))),
       "dvsd", 1, 0},
      {"truncated inside the second stream list", twoStreams.left(twoStreams.indexOf("auds") - 4),
       "dvsd", 2, 0},
      {"truncated inside the first stream header", oneStream.left(oneStream.indexOf("dvsd") + 2),
       "####", 1, -1},
      {"truncated inside the movie data", twoStreams.left(twoStreams.indexOf("00dc") + 20), "dvsd",
       2, 0},
      {"a chunk claiming far more than the file holds",
       avi(strl("vids", "dvsd") + chunk("JUNK", QByteArray(8, '\0'), 0xffffffff) +
           strl("vids", "MJPG")),
       "dvsd", 1, 0},
      // Counts inside lists are unsigned: once a chunk overruns its stream list, the list goes on
      // reading (and skipping) what follows until a read fails.
      {"a chunk overrunning its stream list swallows the rest",
       avi(list("strl", strh("auds", "\1\0\0\0") +
                            chunk("strf", QByteArray(40, '\0'),
                                  40 + strl("vids", "MJPG").size())) +
           strl("vids", "MJPG") + strl("vids", "dvsd")),
       "####", 1, -1},
      {"a list too short for its type", riff("AVI ", chunk("LIST", "hd", 2) + hdrl(strl("vids",
                                                                                  "dvsd"))),
       "####", 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const TFriendlyAviParam reader(write(c.bytes));
    EXPECT_EQ(reader.GetVideoHandler(), QString::fromLatin1(c.handler));
    EXPECT_EQ(int(reader.Streams.size()), c.streamCount);
    EXPECT_EQ(reader.VideoStreamIndex, c.videoStreamIndex);
    const TAvistream* video = reader.GetVideoStream();
    EXPECT_EQ(video != nullptr, c.videoStreamIndex >= 0);
    if (video != nullptr) {
      EXPECT_EQ(video, &reader.Streams[c.videoStreamIndex]);
      EXPECT_TRUE(video->IsVideo());
    }
  }
}

TEST_F(AviInfoTest, TheStreamRecordKeepsTheFirst56BytesOfTheHeader) {
  QByteArray header = QByteArray("vidsdvsd") + QByteArray(56, '\0');
  for (int i = 8; i < header.size(); ++i) header[i] = char(i);
  const TFriendlyAviParam reader(write(avi(list("strl", chunk("strh", header)))));
  ASSERT_EQ(reader.Streams.size(), 1u);
  EXPECT_EQ(std::memcmp(reader.Streams[0].Header.data(), header.constData(), 56), 0);
  EXPECT_EQ(reader.Streams[0].StreamType(), "vids");
  EXPECT_EQ(reader.Streams[0].Handler(), "dvsd");
}

TEST_F(AviInfoTest, DamagedHeadersNeverRaiseOnceTheFileIsOpen) {
  const QByteArray good = avi(strl("auds", "\1\0\0\0") + strl("vids", "dvsd")) +
                          riff("AVIX", list("movi", chunk("00dc", "x")));
  std::mt19937 random(20240611);
  for (int round = 0; round < 300; ++round) {
    QByteArray bytes = good;
    for (int hits = 1 + round % 4; hits > 0; --hits)
      bytes[random() % bytes.size()] = char(random());
    if (round % 3 == 0) bytes.truncate(random() % bytes.size());
    SCOPED_TRACE(round);
    EXPECT_NO_THROW({
      const TFriendlyAviParam reader(write(bytes));
      EXPECT_LE(reader.GetVideoHandler().size(), 4);
    });
  }
}

TEST_F(AviInfoTest, AFileThatCannotBeOpenedRaises) {
  EXPECT_THROW(TFriendlyAviParam(m_dir.filePath("missing.avi")), AviOpenError);
  EXPECT_THROW(TFriendlyAviParam(m_dir.path()), AviOpenError);  // a folder
}

struct GeneratedCase {
  const char* name;
  const char* handler;
  int streamCount;
  int videoStreamIndex;
};

TEST(AviInfoGeneratedTest, GeneratedClipsGiveTheHandlerTheirWriterStored) {
  const GeneratedCase cases[] = {
      {"frames25.avi", "MJPG", 2, 0},  {"frames25_silent.avi", "MJPG", 1, 0},
      {"audio_first.avi", "MJPG", 2, 1}, {"two_video.avi", "FMP4", 2, 0},
      {"truncated.avi", "MJPG", 2, 0},  // the header survives the cut
      {"not_video.avi", "####", 0, -1}, {"frames25.mp4", "####", 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const QString path = TestMedia(c.name);
    ASSERT_TRUE(QFileInfo::exists(path)) << "build the test-media target first";
    const TFriendlyAviParam reader(path);
    EXPECT_EQ(reader.GetVideoHandler(), QString::fromLatin1(c.handler));
    EXPECT_EQ(int(reader.Streams.size()), c.streamCount);
    EXPECT_EQ(reader.VideoStreamIndex, c.videoStreamIndex);
  }
}

// DV AVI files carry the DV handler on an "iavs" stream (type 1) or a "vids" stream (type 2).
void expectDvHandler(const char* name, const char* streamType) {
  const QString path = TestMedia(name);
  if (!QFileInfo::exists(path)) GTEST_SKIP() << "fixture " << name << " not generated";
  const TFriendlyAviParam reader(path);
  EXPECT_EQ(reader.GetVideoHandler(), "dvsd");
  ASSERT_NE(reader.GetVideoStream(), nullptr);
  EXPECT_EQ(reader.GetVideoStream()->StreamType(), streamType);
}

TEST(AviInfoGeneratedTest, DvType1AviGivesTheDvHandlerOfItsInterleavedStream) {
  expectDvHandler("dv_type1.avi", "iavs");
}

TEST(AviInfoGeneratedTest, DvType2AviGivesTheDvHandlerOfItsVideoStream) {
  expectDvHandler("dv_type2.avi", "vids");
}

}  // namespace
