#include "sources/aviinfo.h"

#include <QFileInfo>
#include <algorithm>
#include <cstring>

namespace {

const QString NoVideoHandler = QStringLiteral("####");

uint32_t littleEndian32(const char* bytes) {
  const auto* b = reinterpret_cast<const uint8_t*>(bytes);
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

bool isFourCC(const char* value, const char* text) { return std::memcmp(value, text, 4) == 0; }

}  // namespace

QByteArray TAvistream::StreamType() const {
  return QByteArray(reinterpret_cast<const char*>(Header.data()), 4);
}

QByteArray TAvistream::Handler() const {
  return QByteArray(reinterpret_cast<const char*>(Header.data()) + 4, 4);
}

bool TAvistream::IsVideo() const {
  const QByteArray type = StreamType();
  return type == "vids" || type == "iavs";
}

TAviParam::TAviParam(const QString& path) : m_file(path) {
  // Only regular files: opening a FIFO would block until someone writes to it.
  if (!QFileInfo(path).isFile() || !m_file.open(QIODevice::ReadOnly))
    throw AviOpenError("cannot open " + path.toStdString() + " for reading");

  // Top level: RIFF chunks of form "AVI " and their OpenDML extensions "AVIX", one after the
  // other. The count is signed so that a chunk claiming more than the file holds ends the walk.
  int64_t remaining = m_file.size();
  while (remaining > 7) {
    if (!readChunkHeader()) break;
    remaining -= int64_t(m_chunkSize) + 8;
    if (!isFourCC(m_chunkId, "RIFF")) break;
    if (!readListType()) break;
    if (std::memcmp(m_listType, "AVI", 3) != 0) break;
    if (!walkRiffBody()) break;
  }
  m_file.close();
}

// Chunks start on even offsets: the pad byte after an odd-sized chunk is skipped here, and is
// not counted against the enclosing list.
bool TAviParam::readChunkHeader() {
  if ((m_file.pos() & 1) != 0 && !m_file.seek(m_file.pos() + 1)) return false;
  char header[8];
  if (m_file.read(header, 8) != 8) return false;
  std::memcpy(m_chunkId, header, 4);
  m_chunkSize = littleEndian32(header + 4);
  return true;
}

bool TAviParam::readListType() {
  if (m_chunkSize < 4) return false;
  if (m_file.read(m_listType, 4) != 4) return false;
  m_chunkSize -= 4;
  return true;
}

// A chunk running past the end of a truncated file leaves the position at the end, so that
// whatever read comes next fails too.
bool TAviParam::skipChunk() {
  const qint64 target = m_file.pos() + qint64(m_chunkSize);
  if (target > m_file.size()) {
    m_file.seek(m_file.size());
    return false;
  }
  return m_file.seek(target);
}

// Counts inside lists are unsigned 32-bit, like the sizes: a chunk larger than what is left of
// its list wraps the count, and the walk then goes on until a read fails.
bool TAviParam::walkRiffBody() {
  uint32_t remaining = m_chunkSize;
  while (remaining >= 8) {
    if (!readChunkHeader()) return true;
    remaining -= m_chunkSize + 8;
    if (isFourCC(m_chunkId, "LIST")) {
      if (!readListType()) return false;
      if (isFourCC(m_listType, "hdrl")) {
        if (!walkHeaderList()) return false;
      } else if (!skipChunk()) {  // "movi" and anything else
        return false;
      }
    } else if (isFourCC(m_chunkId, "idx1")) {
      skipChunk();
    } else if (!skipChunk()) {
      return false;
    }
  }
  return true;
}

bool TAviParam::walkHeaderList() {
  uint32_t remaining = m_chunkSize;
  while (remaining >= 8) {
    if (!readChunkHeader()) return false;
    remaining -= m_chunkSize + 8;
    if (!isFourCC(m_chunkId, "LIST")) {
      skipChunk();  // "avih" and anything else that is not a list
      continue;
    }
    if (!readListType()) return false;
    if (isFourCC(m_listType, "strl"))
      walkStreamList();  // a damaged stream list ends itself; the next chunk is tried anyway
    else
      skipChunk();  // "odml" and other lists
  }
  return true;
}

bool TAviParam::walkStreamList() {
  Streams.emplace_back();
  const int index = int(Streams.size()) - 1;
  uint32_t remaining = m_chunkSize;
  while (remaining >= 8) {
    if (!readChunkHeader()) return false;
    remaining -= m_chunkSize + 8;
    if (isFourCC(m_chunkId, "strh")) {
      const uint32_t wanted = std::min<uint32_t>(m_chunkSize, TAvistream::HeaderBytes);
      TAvistream& stream = Streams[index];
      if (m_file.read(reinterpret_cast<char*>(stream.Header.data()), wanted) != qint64(wanted)) {
        stream.Header.fill(0);  // cut short by the end of the file: no usable header
        return false;
      }
      if (stream.IsVideo() && VideoStreamIndex == -1) VideoStreamIndex = index;
      m_chunkSize -= wanted;
      skipChunk();
    } else {
      skipChunk();  // "strf", "indx" and anything else
    }
  }
  return true;
}

const TAvistream* TFriendlyAviParam::GetVideoStream() const {
  if (VideoStreamIndex < 0 || VideoStreamIndex >= int(Streams.size())) return nullptr;
  return &Streams[VideoStreamIndex];
}

QString TFriendlyAviParam::GetVideoHandler() const {
  const TAvistream* video = GetVideoStream();
  if (video == nullptr) return NoVideoHandler;
  QByteArray handler = video->Handler();
  const qsizetype zero = handler.indexOf('\0');
  if (zero >= 0) handler.truncate(zero);
  return QString::fromLatin1(handler);
}
