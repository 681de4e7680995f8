#include "main/PictureFile.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>

// libjpeg's headers need <cstdio> first.
#include <jpeglib.h>
#include <jerror.h>

namespace {

QString failureText(const QString& path, const QString& reason) {
  return QStringLiteral("Cannot write the file \"%1\": %2").arg(path, reason);
}

QString errnoText(int error) {
  return QString::fromStdString(std::generic_category().message(error));
}

PictureWriteResult failure(const QString& path, const QString& reason) {
  return PictureWriteResult{false, failureText(path, reason)};
}

// ---- JPEG through libjpeg, into a growing vector

struct JpegErrorManager {
  jpeg_error_mgr pub;
  jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr cinfo) {
  auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, err->message);
  std::longjmp(err->jump, 1);
}

void jpegIgnoreMessage(j_common_ptr) {}  // warnings would go to stderr otherwise

struct VectorDestination {
  jpeg_destination_mgr pub;
  std::vector<uint8_t>* out;
  size_t initialSize;
};

bool growVector(std::vector<uint8_t>& out, size_t size) {
  try {
    out.resize(size);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void vectorInit(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  if (!growVector(*dest->out, dest->initialSize)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  dest->pub.next_output_byte = dest->out->data();
  dest->pub.free_in_buffer = dest->out->size();
}

boolean vectorEmpty(j_compress_ptr cinfo) {
  // libjpeg calls this only when the whole buffer is full.
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  const size_t used = dest->out->size();
  if (!growVector(*dest->out, used * 2)) ERREXIT1(cinfo, JERR_OUT_OF_MEMORY, 0);
  dest->pub.next_output_byte = dest->out->data() + used;
  dest->pub.free_in_buffer = dest->out->size() - used;
  return TRUE;
}

void vectorTerm(j_compress_ptr cinfo) {
  auto* dest = reinterpret_cast<VectorDestination*>(cinfo->dest);
  dest->out->resize(dest->out->size() - dest->pub.free_in_buffer);
}

// Only trivially destructible locals live here: the error manager leaves through longjmp.
bool compressJpeg(const Bitmap& picture, int quality, std::vector<uint8_t>& out, char* message) {
  jpeg_compress_struct cinfo;
  JpegErrorManager err;
  VectorDestination dest;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.pub);
  err.pub.error_exit = jpegErrorExit;
  err.pub.output_message = jpegIgnoreMessage;
  err.message[0] = '\0';
  if (setjmp(err.jump)) {
    std::memcpy(message, err.message, JMSG_LENGTH_MAX);
    jpeg_destroy_compress(&cinfo);
    return false;
  }
  jpeg_create_compress(&cinfo);

  dest.pub.init_destination = vectorInit;
  dest.pub.empty_output_buffer = vectorEmpty;
  dest.pub.term_destination = vectorTerm;
  dest.out = &out;
  dest.initialSize =
      std::max<size_t>(size_t(1) << 16, size_t(picture.Width()) * size_t(picture.Height()) / 2);
  cinfo.dest = &dest.pub;

  cinfo.image_width = JDIMENSION(picture.Width());
  cinfo.image_height = JDIMENSION(picture.Height());
  const bool packed = picture.PixelFormat() == Bitmap::Format::BGR24;
  cinfo.input_components = packed ? 3 : 4;
  cinfo.in_color_space = packed ? JCS_EXT_BGR : JCS_EXT_BGRX;  // before jpeg_set_defaults
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  while (cinfo.next_scanline < cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(picture.Row(int(cinfo.next_scanline)));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  return true;
}

// ---- BMP: 24 bits per pixel, bottom-up rows padded to 4 bytes, behind the 54-byte header

void putU16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}

void putU32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

constexpr size_t BmpHeaderSize = 14 + 40;

// The process's file creation mask, read without changing it (umask() would, for every thread).
mode_t currentUmask() {
  if (FILE* status = std::fopen("/proc/self/status", "re")) {
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, status))
      found = std::sscanf(line, "Umask: %o", &mask) == 1;
    std::fclose(status);
    if (found) return mode_t(mask);
  }
  return 022;
}

bool writeAll(int fd, const uint8_t* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, std::min<size_t>(size, size_t(1) << 30));
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= size_t(written);
  }
  return true;
}

}  // namespace

bool encodeJpeg(const Bitmap& picture, int jpegQuality, std::vector<uint8_t>& out,
                QString* errorText) {
  if (picture.IsEmpty()) {
    if (errorText) *errorText = QStringLiteral("the picture is empty");
    return false;
  }
  char message[JMSG_LENGTH_MAX];
  if (!compressJpeg(picture, std::clamp(jpegQuality, 1, 100), out, message)) {
    out.clear();
    if (errorText)
      *errorText = QStringLiteral("JPEG encoding failed: %1").arg(QString::fromUtf8(message));
    return false;
  }
  return true;
}

bool encodeBmp(const Bitmap& picture, std::vector<uint8_t>& out, QString* errorText) {
  if (picture.IsEmpty()) {
    if (errorText) *errorText = QStringLiteral("the picture is empty");
    return false;
  }
  const int width = picture.Width();
  const int height = picture.Height();
  const size_t rowSize = (size_t(width) * 3 + 3) & ~size_t(3);
  const uint64_t fileSize = BmpHeaderSize + uint64_t(rowSize) * uint64_t(height);
  if (fileSize > std::numeric_limits<uint32_t>::max()) {
    if (errorText) *errorText = QStringLiteral("the picture is too large for a BMP file");
    return false;
  }
  try {
    out.assign(size_t(fileSize), 0);  // zeroes the row padding too
  } catch (const std::exception&) {
    if (errorText) *errorText = errnoText(ENOMEM);
    return false;
  }

  uint8_t* h = out.data();
  h[0] = 'B';
  h[1] = 'M';
  putU32(h + 2, uint32_t(fileSize));
  putU32(h + 10, uint32_t(BmpHeaderSize));  // offset of the pixels
  putU32(h + 14, 40);                       // size of the info header
  putU32(h + 18, uint32_t(width));
  putU32(h + 22, uint32_t(height));  // positive: rows stored bottom-up
  putU16(h + 26, 1);                 // planes
  putU16(h + 28, 24);                // bits per pixel
  putU32(h + 30, 0);                 // no compression
  putU32(h + 34, uint32_t(rowSize * size_t(height)));
  putU32(h + 38, uint32_t(BmpPixelsPerMeter));
  putU32(h + 42, uint32_t(BmpPixelsPerMeter));
  // colours used and important colours stay 0

  uint8_t* pixels = out.data() + BmpHeaderSize;
  for (int y = 0; y < height; ++y) {
    uint8_t* dst = pixels + size_t(height - 1 - y) * rowSize;
    const uint8_t* src = picture.Row(y);
    if (picture.PixelFormat() == Bitmap::Format::BGR24) {
      std::memcpy(dst, src, size_t(width) * 3);
    } else {
      for (int x = 0; x < width; ++x) std::memcpy(dst + 3 * x, src + 4 * x, 3);
    }
  }
  return true;
}

PictureWriteResult writeFileAtomically(const QString& path, const uint8_t* data, size_t size,
                                       bool syncToDisk) {
  QByteArray target = QFile::encodeName(path);
  if (target.isEmpty()) return failure(path, errnoText(ENOENT));

  // Write through a symbolic link, as opening the file for writing would.
  struct stat info;
  if (::lstat(target.constData(), &info) == 0 && S_ISLNK(info.st_mode)) {
    if (char* resolved = ::realpath(target.constData(), nullptr)) {
      target = resolved;
      std::free(resolved);
    }
  }
  // A replaced file keeps its permissions; a new one gets the usual ones.
  mode_t mode;
  if (::stat(target.constData(), &info) == 0) {
    if (S_ISDIR(info.st_mode)) return failure(path, errnoText(EISDIR));
    mode = info.st_mode & 0777;
  } else {
    mode = 0666 & ~currentUmask();
  }

  const qsizetype slash = target.lastIndexOf('/');
  const QByteArray folder = target.left(slash + 1);
  const QByteArray name = target.mid(slash + 1);
  if (name.isEmpty()) return failure(path, errnoText(EISDIR));
  // Hidden, beside the target (rename only works within one file system); short enough to stay
  // a valid name when the target's own name is near the limit.
  QByteArray temp = folder + '.' + name.left(200) + ".XXXXXX";

  const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return failure(path, errnoText(errno));

  int error = 0;
  if (!writeAll(fd, data, size))
    error = errno;
  else if (::fchmod(fd, mode) != 0)
    error = errno;
  else if (syncToDisk && ::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP)
    error = errno;  // (file systems that cannot flush say so with EINVAL or ENOTSUP)
  if (::close(fd) != 0 && error == 0 && errno != EINTR) error = errno;
  if (error == 0 && ::rename(temp.constData(), target.constData()) != 0) error = errno;
  if (error != 0) {
    ::unlink(temp.constData());
    return failure(path, errnoText(error));
  }
  return PictureWriteResult{true, {}};
}

PictureWriteResult WritePictureFile(const Bitmap& picture, const QString& path,
                                    PictureFormat format, int jpegQuality) {
  std::vector<uint8_t> bytes;
  QString reason;
  const bool encoded = format == PictureFormat::JPEG
                           ? encodeJpeg(picture, jpegQuality, bytes, &reason)
                           : encodeBmp(picture, bytes, &reason);
  if (!encoded) return failure(path, reason);
  return writeFileAtomically(path, bytes.data(), bytes.size());
}
