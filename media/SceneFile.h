// The scene file (.scn) written beside a DV video: the frames where its takes begin.
//
// Layout (integers little-endian, text as raw bytes without terminator):
//   header, first part : 63 26 01 00 04 00 00 00 FF FF 03 00 0A 00, "SourceTape",
//                        n (1 byte), the first n bytes of the video path, 8 zero bytes
//   header, second part: the scene count (2 bytes, patched at the end), FF FF 01 00 04 00,
//                        "ClipP", 3 zero bytes, FF FF 01 00 05 00, "Scene", 5 zero bytes
//   first record       : g (4), 00 00 00 00 01 80, m (1), the first m bytes of the path,
//                        8 zero bytes, g (4)
//   each later record  : 03 80 F0 00 00 00 05 80 00, s (4), l (4), 00 00 00 00 07 00,
//                        s (4), l (4), s (4)       -- 35 bytes
// where n = m = the path length modulo 256, g is the frame after the first scene change, and each
// later record describes the scene that just ended: its start s and its length l.
//
// Pure C++: the scanner writes through this from its streaming thread.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace scenefile {

// The bytes of each piece of the layout. `path` is the video path as stored (bytes).
std::string HeaderBytes(const std::string& path);
std::string FirstRecordBytes(uint32_t g, const std::string& path);
std::string FollowingRecordBytes(uint32_t start, uint32_t length);
// Where the scene count sits: right after the header's first part.
uint32_t CountOffset(const std::string& path);

}  // namespace scenefile

// Writes one scene file in the order the scan produces it. Errors are remembered, not thrown.
// Not thread-safe: the caller serialises access (records from one thread, the count patch from
// another after the first has stopped writing).
class TSceneFileWriter {
 public:
  TSceneFileWriter() = default;
  ~TSceneFileWriter();
  TSceneFileWriter(const TSceneFileWriter&) = delete;
  TSceneFileWriter& operator=(const TSceneFileWriter&) = delete;

  // Creates `filePath` empty (replacing what was there). False when it cannot be created.
  bool Create(const std::string& filePath);
  bool IsOpen() const { return m_file != nullptr; }

  // The header with a count of 0, for the video at `videoPath`.
  bool WriteHeader(const std::string& videoPath);
  bool WriteFirstRecord(uint32_t g);
  bool WriteFollowingRecord(uint32_t start, uint32_t length);
  // Writes the count into the header, then goes back to the end for any later record.
  bool PatchCount(uint16_t count);
  // Flushes, syncs to disk and closes. Harmless when nothing is open.
  bool Close();

  // False once any write has failed since Create.
  bool Ok() const { return m_ok; }

 private:
  bool write(const std::string& bytes);

  std::FILE* m_file = nullptr;
  std::string m_videoPath;
  uint32_t m_countOffset = 0;
  bool m_ok = true;
};
