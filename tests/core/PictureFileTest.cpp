#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <random>

#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <jpeglib.h>

#include "main/PictureFile.h"
#include "media/Bitmap.h"

namespace {

// A smooth picture with a little noise, like a frame of video.
Bitmap testPicture(int width, int height, Bitmap::Format format = Bitmap::Format::BGR24,
                   int noiseAmplitude = 3) {
  std::mt19937 random(unsigned(width * 7919 + height));
  std::uniform_int_distribution<int> noise(-noiseAmplitude, noiseAmplitude);
  Bitmap picture(width, height, format);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = picture.MutableRow(y);
    for (int x = 0; x < width; ++x) {
      uint8_t* p = row + x * picture.BytesPerPixel();
      const int fx = width > 1 ? 255 * x / (width - 1) : 0;
      const int fy = height > 1 ? 255 * y / (height - 1) : 0;
      p[0] = uint8_t(std::clamp(fx + noise(random), 0, 255));
      p[1] = uint8_t(std::clamp((fx + fy) / 2 + noise(random), 0, 255));
      p[2] = uint8_t(std::clamp(255 - fy + noise(random), 0, 255));
      if (picture.BytesPerPixel() == 4) p[3] = 0x5A;
    }
  }
  return picture;
}

QByteArray readFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

uint32_t u32(const QByteArray& b, int at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = (v << 8) | uint8_t(b[at + i]);
  return v;
}
uint16_t u16(const QByteArray& b, int at) {
  return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

// A 24-bit uncompressed BMP read back strictly: every header field checked, then the pixels.
struct DecodedBmp {
  int width = 0, height = 0;
  std::vector<uint8_t> bgr;  // top-down, packed
};

DecodedBmp decodeBmp(const QByteArray& file) {
  DecodedBmp out;
  EXPECT_GE(file.size(), 54);
  if (file.size() < 54) return out;
  const int width = int(u32(file, 18)), height = int(u32(file, 22));
  const int rowSize = (width * 3 + 3) & ~3;
  EXPECT_EQ(file.left(2), QByteArray("BM"));
  EXPECT_EQ(u32(file, 2), uint32_t(file.size()));
  EXPECT_EQ(u32(file, 6), 0u);
  EXPECT_EQ(u32(file, 10), 54u);
  EXPECT_EQ(u32(file, 14), 40u);
  EXPECT_EQ(u16(file, 26), 1);
  EXPECT_EQ(u16(file, 28), 24);
  EXPECT_EQ(u32(file, 30), 0u);
  EXPECT_EQ(u32(file, 34), uint32_t(rowSize * height));
  EXPECT_EQ(u32(file, 38), uint32_t(BmpPixelsPerMeter));
  EXPECT_EQ(u32(file, 42), uint32_t(BmpPixelsPerMeter));
  EXPECT_EQ(u32(file, 46), 0u);
  EXPECT_EQ(u32(file, 50), 0u);
  EXPECT_EQ(file.size(), 54 + qsizetype(rowSize) * height);
  if (file.size() != 54 + qsizetype(rowSize) * height) return out;
  out.width = width;
  out.height = height;
  for (int y = 0; y < height; ++y) {
    const char* row = file.constData() + 54 + qsizetype(height - 1 - y) * rowSize;
    out.bgr.insert(out.bgr.end(), row, row + width * 3);
    for (int pad = width * 3; pad < rowSize; ++pad) EXPECT_EQ(row[pad], 0) << "padding";
  }
  return out;
}

std::vector<uint8_t> packedBgr(const Bitmap& picture) {
  std::vector<uint8_t> bytes;
  for (int y = 0; y < picture.Height(); ++y)
    for (int x = 0; x < picture.Width(); ++x) {
      const uint8_t* p = picture.Row(y) + x * picture.BytesPerPixel();
      bytes.insert(bytes.end(), p, p + 3);
    }
  return bytes;
}

struct JpegError {
  jpeg_error_mgr pub;
  jmp_buf jump;
};

// Decodes to packed BGR; empty on failure.
DecodedBmp decodeJpeg(const QByteArray& file) {
  DecodedBmp out;
  jpeg_decompress_struct cinfo;
  JpegError err;
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = [](j_common_ptr c) {
    std::longjmp(reinterpret_cast<JpegError*>(c->err)->jump, 1);
  };
  if (setjmp(err.jump)) {
    jpeg_destroy_decompress(&cinfo);
    return DecodedBmp{};
  }
  jpeg_create_decompress(&cinfo);
  jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(file.constData()), file.size());
  jpeg_read_header(&cinfo, TRUE);
  cinfo.out_color_space = JCS_EXT_BGR;
  jpeg_start_decompress(&cinfo);
  out.width = int(cinfo.output_width);
  out.height = int(cinfo.output_height);
  out.bgr.resize(size_t(out.width) * out.height * 3);
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW row = out.bgr.data() + size_t(cinfo.output_scanline) * out.width * 3;
    jpeg_read_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return out;
}

double psnr(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b) {
  double sum = 0;
  for (size_t i = 0; i < a.size(); ++i) sum += double(a[i] - b[i]) * double(a[i] - b[i]);
  const double mse = sum / double(a.size());
  return mse == 0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

class PictureFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_folder.isValid()); }

  QString pathOf(const QString& name) const { return m_folder.filePath(name); }
  QStringList filesInFolder() const {
    return QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot);
  }

  QTemporaryDir m_folder;
};

TEST_F(PictureFileTest, BmpDecodesBackPixelExactForEveryRowPadding) {
  for (int width : {1, 2, 3, 4, 5, 7, 33}) {
    for (auto format : {Bitmap::Format::BGR24, Bitmap::Format::BGRx32}) {
      const Bitmap picture = testPicture(width, 5, format, 60);
      const QString path = pathOf(QStringLiteral("w%1.bmp").arg(width));
      const PictureWriteResult result = WritePictureFile(picture, path, PictureFormat::BMP, 90);
      ASSERT_TRUE(result.ok) << result.errorText.toStdString();
      const DecodedBmp decoded = decodeBmp(readFile(path));
      EXPECT_EQ(decoded.width, width);
      EXPECT_EQ(decoded.height, 5);
      EXPECT_EQ(decoded.bgr, packedBgr(picture)) << "width " << width;
    }
  }
}

TEST_F(PictureFileTest, SharedFramesAreWrittenThroughTheirRowPitch) {
  const Bitmap packed = testPicture(5, 4, Bitmap::Format::BGR24, 60);
  const int stride = 40;
  auto block = std::make_shared<std::vector<uint8_t>>(size_t(stride) * 4, 0xEE);
  for (int y = 0; y < 4; ++y) std::memcpy(block->data() + y * stride, packed.Row(y), 15);
  const Bitmap shared = Bitmap::Share(5, 4, stride, Bitmap::Format::BGR24, block->data(), block);
  const QString path = pathOf("shared.bmp");
  ASSERT_TRUE(WritePictureFile(shared, path, PictureFormat::BMP, 0).ok);
  EXPECT_EQ(decodeBmp(readFile(path)).bgr, packedBgr(packed));

  std::vector<uint8_t> fromShared, fromPacked;
  ASSERT_TRUE(encodeJpeg(shared, 90, fromShared));
  ASSERT_TRUE(encodeJpeg(packed, 90, fromPacked));
  EXPECT_EQ(fromShared, fromPacked);
}

TEST_F(PictureFileTest, JpegDecodesCloseToThePictureAndShrinksAtLowQuality) {
  const Bitmap picture = testPicture(320, 240);
  const QString high = pathOf("q90.jpg"), low = pathOf("q10.jpg");
  ASSERT_TRUE(WritePictureFile(picture, high, PictureFormat::JPEG, 90).ok);
  ASSERT_TRUE(WritePictureFile(picture, low, PictureFormat::JPEG, 10).ok);

  const DecodedBmp decoded = decodeJpeg(readFile(high));
  ASSERT_EQ(decoded.width, 320);
  ASSERT_EQ(decoded.height, 240);
  // Measured 41.5 dB for this picture at quality 90 and 32 dB at quality 10; a wrong channel
  // order or row pitch falls far lower.
  EXPECT_GT(psnr(decoded.bgr, packedBgr(picture)), 36.0);
  EXPECT_LT(readFile(low).size(), readFile(high).size() / 2);

  // Four bytes per pixel encode exactly as the same pixels packed in three.
  const Bitmap padded = testPicture(321, 7, Bitmap::Format::BGRx32);
  Bitmap packed(321, 7);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 321; ++x)
      std::memcpy(packed.MutableRow(y) + 3 * x, padded.Row(y) + 4 * x, 3);
  std::vector<uint8_t> fromPadded, fromPacked;
  ASSERT_TRUE(encodeJpeg(padded, 90, fromPadded));
  ASSERT_TRUE(encodeJpeg(packed, 90, fromPacked));
  EXPECT_EQ(fromPadded, fromPacked);
}

TEST_F(PictureFileTest, JpegQualityIsKeptWithinOneToHundred) {
  const Bitmap picture = testPicture(64, 48);
  const auto encoded = [&](int quality) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(encodeJpeg(picture, quality, bytes));
    return bytes;
  };
  EXPECT_EQ(encoded(-5), encoded(1));
  EXPECT_EQ(encoded(0), encoded(1));
  EXPECT_EQ(encoded(255), encoded(100));
  EXPECT_NE(encoded(1), encoded(100));
}

TEST_F(PictureFileTest, OverwritingReplacesTheContentAndLeavesNoTemporaryFile) {
  const QString path = pathOf("picture.jpg");
  ASSERT_TRUE(WritePictureFile(testPicture(16, 16), path, PictureFormat::JPEG, 90).ok);
  const PictureWriteResult result =
      WritePictureFile(testPicture(8, 4), path, PictureFormat::BMP, 90);
  ASSERT_TRUE(result.ok);
  EXPECT_TRUE(result.errorText.isEmpty());
  EXPECT_EQ(decodeBmp(readFile(path)).width, 8);  // BMP data under a .jpg name, as asked
  EXPECT_EQ(filesInFolder(), QStringList{"picture.jpg"});
}

TEST_F(PictureFileTest, ANameAtTheLengthLimitIsWrittenThoughItsTemporaryNameWouldBeLonger) {
  const QString path = pathOf(QString(251, 'a') + ".bmp");  // 255 bytes, the most a name may have
  const PictureWriteResult result =
      WritePictureFile(testPicture(3, 3), path, PictureFormat::BMP, 0);
  ASSERT_TRUE(result.ok) << result.errorText.toStdString();
  EXPECT_EQ(decodeBmp(readFile(path)).width, 3);
  EXPECT_EQ(filesInFolder().size(), 1);
}

TEST_F(PictureFileTest, NewFilesGetTheUsualPermissionsAndReplacedFilesKeepTheirs) {
  const mode_t previous = ::umask(022);
  const QString fresh = pathOf("fresh.bmp"), kept = pathOf("kept.bmp");
  ASSERT_TRUE(WritePictureFile(testPicture(4, 4), fresh, PictureFormat::BMP, 0).ok);
  ASSERT_TRUE(WritePictureFile(testPicture(4, 4), kept, PictureFormat::BMP, 0).ok);
  ASSERT_EQ(::chmod(QFile::encodeName(kept).constData(), 0640), 0);
  ASSERT_TRUE(WritePictureFile(testPicture(6, 4), kept, PictureFormat::BMP, 0).ok);
  ::umask(previous);

  struct stat info;
  ASSERT_EQ(::stat(QFile::encodeName(fresh).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0644u);
  ASSERT_EQ(::stat(QFile::encodeName(kept).constData(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST_F(PictureFileTest, WritesThroughASymbolicLink) {
  ASSERT_TRUE(QDir(m_folder.path()).mkdir("real"));
  const QString target = pathOf("real/picture.bmp"), link = pathOf("link.bmp");
  ASSERT_TRUE(WritePictureFile(testPicture(4, 4), target, PictureFormat::BMP, 0).ok);
  ASSERT_TRUE(QFile::link(target, link));
  ASSERT_TRUE(WritePictureFile(testPicture(9, 4), link, PictureFormat::BMP, 0).ok);
  EXPECT_EQ(QFileInfo(link).symLinkTarget(), target);
  EXPECT_EQ(decodeBmp(readFile(target)).width, 9);
}

struct FailureCase {
  const char* what;
  const char* name;  // inside the test folder; "file" is a regular file there
  bool emptyPicture;
  const char* reason;
};

TEST_F(PictureFileTest, FailedWritesNameTheFileAndReasonAndCreateNothing) {
  {
    QFile file(pathOf("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  const FailureCase cases[] = {
      {"missing folder", "missing/picture.bmp", false, "No such file or directory"},
      {"folder is a regular file", "file/picture.bmp", false, "Not a directory"},
      {"path is a folder", ".", false, "Is a directory"},
      {"empty picture", "empty.bmp", true, "empty"},
  };
  for (const auto& c : cases) {
    for (auto format : {PictureFormat::BMP, PictureFormat::JPEG}) {
      const QString path = pathOf(c.name);
      const Bitmap picture = c.emptyPicture ? Bitmap() : testPicture(8, 8);
      const PictureWriteResult result = WritePictureFile(picture, path, format, 90);
      EXPECT_FALSE(result.ok) << c.what;
      EXPECT_FALSE(bool(result)) << c.what;
      EXPECT_TRUE(result.errorText.contains(path)) << result.errorText.toStdString();
      EXPECT_TRUE(result.errorText.contains(c.reason)) << result.errorText.toStdString();
    }
  }
  EXPECT_EQ(filesInFolder(), QStringList{"file"});
}

TEST_F(PictureFileTest, AWriteFailingHalfwayLeavesTheExistingFileAsItWas) {
  // A file size limit makes the write fail midway, as a full disk would.
  const QString path = pathOf("picture.bmp");
  ASSERT_TRUE(WritePictureFile(testPicture(10, 10), path, PictureFormat::BMP, 0).ok);
  const QByteArray before = readFile(path);

  struct rlimit previous;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = previous;
  small.rlim_cur = 4096;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const PictureWriteResult result =
      WritePictureFile(testPicture(200, 200), path, PictureFormat::BMP, 0);
  ::setrlimit(RLIMIT_FSIZE, &previous);
  ::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(result.ok);
  EXPECT_TRUE(result.errorText.contains(path)) << result.errorText.toStdString();
  EXPECT_TRUE(result.errorText.contains("File too large")) << result.errorText.toStdString();
  EXPECT_EQ(readFile(path), before);
  EXPECT_EQ(filesInFolder(), QStringList{"picture.bmp"});
}

TEST_F(PictureFileTest, EncodedJpegInMemoryIsACompleteFile) {
  std::vector<uint8_t> bytes;
  ASSERT_TRUE(encodeJpeg(testPicture(1, 1), 75, bytes));
  ASSERT_GE(bytes.size(), 4u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xD8);
  EXPECT_EQ(bytes[bytes.size() - 2], 0xFF);
  EXPECT_EQ(bytes.back(), 0xD9);

  QString error;
  EXPECT_FALSE(encodeJpeg(Bitmap(0, 10), 75, bytes, &error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(encodeJpeg(Bitmap(70000, 1), 75, bytes, &error));  // beyond the JPEG size limit
  EXPECT_TRUE(error.contains("JPEG")) << error.toStdString();
}

}  // namespace
