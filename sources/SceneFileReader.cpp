#include "sources/SceneFileReader.h"

#include <QFile>

namespace {

// Header: 25 bytes, the path (length at byte 24), 8 zero bytes, then 32 bytes starting with the count.
constexpr qsizetype FixedHeaderBytes = 25 + 8 + 32;
// First record: g, 6 bytes, the path length m, the path, 8 zero bytes, g.
constexpr qsizetype FirstRecordFixedBytes = 4 + 6 + 1 + 8 + 4;
constexpr qsizetype FollowingRecordBytes = 35;
constexpr qsizetype FollowingRecordStartOffset = 9;

uint32_t readU32(const QByteArray& bytes, qsizetype at) {
  const auto* p = reinterpret_cast<const uint8_t*>(bytes.constData()) + at;
  return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

std::optional<SceneStarts> ReadSceneStarts(const QString& scnPath) {
  QFile file(scnPath);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  // The largest valid file: the header, a first record and 65535 following records.
  const QByteArray bytes = file.read(FixedHeaderBytes + 255 + FirstRecordFixedBytes + 255 +
                                     65535 * FollowingRecordBytes);
  if (bytes.size() < 25) return std::nullopt;
  const qsizetype pathLength = uint8_t(bytes[24]);
  const qsizetype headerBytes = FixedHeaderBytes + pathLength;
  if (bytes.size() < headerBytes) return std::nullopt;

  SceneStarts scenes;
  const qsizetype countAt = 33 + pathLength;
  scenes.SceneCount = uint16_t(uint8_t(bytes[countAt]) | uint8_t(bytes[countAt + 1]) << 8);

  qsizetype at = headerBytes;
  if (bytes.size() < at + 11) return scenes;
  const qsizetype firstRecordBytes = FirstRecordFixedBytes + uint8_t(bytes[at + 10]);
  if (bytes.size() < at + firstRecordBytes) return scenes;
  scenes.FirstFrames.push_back(readU32(bytes, at));
  at += firstRecordBytes;
  while (bytes.size() >= at + FollowingRecordBytes) {
    scenes.FirstFrames.push_back(readU32(bytes, at + FollowingRecordStartOffset));
    at += FollowingRecordBytes;
  }
  return scenes;
}

uint32_t PreviousSceneStart(const SceneStarts& scenes, uint32_t frame) {
  uint32_t target = 0;
  const size_t limit = std::min<size_t>(scenes.SceneCount, scenes.FirstFrames.size());
  for (size_t i = 0; i < limit && frame > scenes.FirstFrames[i]; ++i) target = scenes.FirstFrames[i];
  return target;
}

uint32_t NextSceneStart(const SceneStarts& scenes, uint32_t frame) {
  // The first record is always looked at; later ones only while fewer than the count were passed.
  for (size_t i = 0; i < scenes.FirstFrames.size(); ++i) {
    if (i > 0 && i >= scenes.SceneCount) break;
    if (scenes.FirstFrames[i] > frame) return scenes.FirstFrames[i];
  }
  return 0xFFFFFFFFu;
}
