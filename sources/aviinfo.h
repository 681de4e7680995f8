// Reads the stream headers of an AVI file straight from its RIFF structure, without the media
// framework, to learn the video stream's handler FourCC before the file is rendered (DV video
// gets scene detection).
//
// The walk is forgiving: a damaged, truncated or foreign file just yields fewer (or no) streams.
// Only failing to open the file is reported, by throwing AviOpenError.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <array>
#include <cstdint>
#include <stdexcept>
#include <vector>

// The file could not be opened for reading (missing, unreadable, not a regular file).
class AviOpenError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One stream list ("strl") of the header list, in file order.
class TAvistream {
 public:
  static constexpr int HeaderBytes = 56;  // the standard AVI stream header

  // The first bytes of the stream's "strh" chunk; bytes a shorter chunk lacks stay zero.
  std::array<uint8_t, HeaderBytes> Header{};

  QByteArray StreamType() const;  // bytes 0-3, e.g. "vids", "auds", "iavs"
  QByteArray Handler() const;     // bytes 4-7, e.g. "dvsd", "MJPG"
  bool IsVideo() const;           // "vids" or "iavs" (DV with interleaved audio)
};

class TAviParam {
 public:
  // Opens `path`, walks its chunks and closes it. Throws AviOpenError when the file cannot be
  // opened; never because of what the file contains.
  explicit TAviParam(const QString& path);
  virtual ~TAviParam() = default;

  std::vector<TAvistream> Streams;
  int VideoStreamIndex = -1;  // first "vids" or "iavs" stream, -1 when none

 private:
  bool readChunkHeader();
  bool readListType();
  bool skipChunk();
  bool walkRiffBody();
  bool walkHeaderList();
  bool walkStreamList();

  QFile m_file;
  char m_chunkId[4] = {};
  char m_listType[4] = {};
  uint32_t m_chunkSize = 0;
};

class TFriendlyAviParam : public TAviParam {
 public:
  using TAviParam::TAviParam;

  // The stream at VideoStreamIndex, nullptr when there is none.
  const TAvistream* GetVideoStream() const;

  // The video stream's handler FourCC, up to its first zero byte; "####" when the file has no
  // video stream.
  QString GetVideoHandler() const;
};
