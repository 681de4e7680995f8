#include "media/SceneFile.h"

#include <unistd.h>

namespace scenefile {

namespace {

void appendBytes(std::string& out, std::initializer_list<uint8_t> bytes) {
  for (uint8_t b : bytes) out.push_back(static_cast<char>(b));
}

void appendU32(std::string& out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void appendZeros(std::string& out, size_t count) { out.append(count, '\0'); }

// The length byte holds only the low 8 bits; exactly that many bytes of the path follow, so the
// offsets a reader computes from the length byte stay right even for a path of 256+ bytes.
void appendPath(std::string& out, const std::string& path) {
  const auto length = static_cast<uint8_t>(path.size() & 0xFF);
  out.push_back(static_cast<char>(length));
  out.append(path, 0, length);
}

}  // namespace

std::string HeaderBytes(const std::string& path) {
  std::string out;
  appendBytes(out, {0x63, 0x26, 0x01, 0x00, 0x04, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0x03, 0x00,
                    0x0A, 0x00});
  out += "SourceTape";
  appendPath(out, path);
  appendZeros(out, 8);
  appendBytes(out, {0x00, 0x00});  // the scene count, patched at the end
  appendBytes(out, {0xFF, 0xFF, 0x01, 0x00, 0x04, 0x00});
  out += "ClipP";
  appendZeros(out, 3);
  appendBytes(out, {0xFF, 0xFF, 0x01, 0x00, 0x05, 0x00});
  out += "Scene";
  appendZeros(out, 5);
  return out;
}

uint32_t CountOffset(const std::string& path) { return 33 + (path.size() & 0xFF); }

std::string FirstRecordBytes(uint32_t g, const std::string& path) {
  std::string out;
  appendU32(out, g);
  appendBytes(out, {0x00, 0x00, 0x00, 0x00, 0x01, 0x80});
  appendPath(out, path);
  appendZeros(out, 8);
  appendU32(out, g);
  return out;
}

std::string FollowingRecordBytes(uint32_t start, uint32_t length) {
  std::string out;
  appendBytes(out, {0x03, 0x80, 0xF0, 0x00, 0x00, 0x00, 0x05, 0x80, 0x00});
  appendU32(out, start);
  appendU32(out, length);
  appendBytes(out, {0x00, 0x00, 0x00, 0x00, 0x07, 0x00});
  appendU32(out, start);
  appendU32(out, length);
  appendU32(out, start);
  return out;
}

}  // namespace scenefile

TSceneFileWriter::~TSceneFileWriter() { Close(); }

bool TSceneFileWriter::Create(const std::string& filePath) {
  Close();
  m_ok = true;
  m_file = std::fopen(filePath.c_str(), "wb");
  return m_file != nullptr;
}

bool TSceneFileWriter::write(const std::string& bytes) {
  if (m_file == nullptr) return m_ok = false;
  if (std::fwrite(bytes.data(), 1, bytes.size(), m_file) != bytes.size()) m_ok = false;
  return m_ok;
}

bool TSceneFileWriter::WriteHeader(const std::string& videoPath) {
  m_videoPath = videoPath;
  m_countOffset = scenefile::CountOffset(videoPath);
  return write(scenefile::HeaderBytes(videoPath));
}

bool TSceneFileWriter::WriteFirstRecord(uint32_t g) {
  return write(scenefile::FirstRecordBytes(g, m_videoPath));
}

bool TSceneFileWriter::WriteFollowingRecord(uint32_t start, uint32_t length) {
  return write(scenefile::FollowingRecordBytes(start, length));
}

bool TSceneFileWriter::PatchCount(uint16_t count) {
  if (m_file == nullptr) return m_ok = false;
  const char bytes[2] = {static_cast<char>(count & 0xFF), static_cast<char>(count >> 8)};
  if (std::fseek(m_file, m_countOffset, SEEK_SET) != 0 ||
      std::fwrite(bytes, 1, 2, m_file) != 2 || std::fseek(m_file, 0, SEEK_END) != 0) {
    m_ok = false;
  }
  return m_ok;
}

bool TSceneFileWriter::Close() {
  if (m_file == nullptr) return m_ok;
  if (std::fflush(m_file) != 0 || ::fsync(fileno(m_file)) != 0) m_ok = false;
  if (std::fclose(m_file) != 0) m_ok = false;
  m_file = nullptr;
  return m_ok;
}
