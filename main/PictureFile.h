// Writing a picture as a BMP or JPEG file. Plain C++ over libjpeg: no widgets, so the grab flow,
// the intervalometer and the tests share one writer.
#pragma once

#include <cstdint>
#include <vector>

#include <QString>

#include "media/Bitmap.h"

enum class PictureFormat { BMP, JPEG };

struct PictureWriteResult {
  bool ok = false;
  QString errorText;  // names the file and the reason; empty on success

  explicit operator bool() const { return ok; }
};

// Writes `picture` to `path`: BMP as 24 bits per pixel, JPEG at `jpegQuality` (kept to 1..100).
// The file is replaced atomically: on any failure an existing file at `path` is left as it was
// and no temporary file remains. An empty picture is refused.
PictureWriteResult WritePictureFile(const Bitmap& picture, const QString& path,
                                    PictureFormat format, int jpegQuality);

// The encoded files in memory (for the clipboard, the benchmarks and the writer itself).
// Both return false with `errorText` set when the picture cannot be encoded.
bool encodeJpeg(const Bitmap& picture, int jpegQuality, std::vector<uint8_t>& out,
                QString* errorText = nullptr);
bool encodeBmp(const Bitmap& picture, std::vector<uint8_t>& out, QString* errorText = nullptr);

// Replaces `path` with `data` through a temporary file in the same folder: written fully,
// flushed to disk when `syncToDisk` (so a crash cannot leave a truncated file in place of a good
// one), then renamed over the target. A symbolic link at `path` is written through.
PictureWriteResult writeFileAtomically(const QString& path, const uint8_t* data, size_t size,
                                       bool syncToDisk = true);

// Resolution written into BMP headers: 96 dots per inch.
constexpr int32_t BmpPixelsPerMeter = 3780;
