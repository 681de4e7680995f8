#include "media/Bitmap.h"

#include <algorithm>
#include <cstring>

namespace {
std::shared_ptr<uint8_t[]> allocatePixels(int64_t size) {
  return std::shared_ptr<uint8_t[]>(new uint8_t[size > 0 ? size : 1]());
}
}  // namespace

int Bitmap::StrideFor(int width, Format format) {
  const int bytes = width * (format == Format::BGR24 ? 3 : 4);
  return (bytes + 3) & ~3;
}

Bitmap::Bitmap(int width, int height, Format format)
    : m_width(std::max(width, 0)), m_height(std::max(height, 0)), m_format(format) {
  m_stride = StrideFor(m_width, format);
  auto block = allocatePixels(int64_t(m_stride) * m_height);
  m_pixels = block.get();
  m_owner = std::move(block);
  m_owned = true;
}

Bitmap Bitmap::Share(int width, int height, int stride, Format format, const uint8_t* pixels,
                     std::shared_ptr<const void> owner) {
  Bitmap b;
  b.m_width = width;
  b.m_height = height;
  b.m_stride = stride;
  b.m_format = format;
  b.m_pixels = pixels;
  b.m_owner = std::move(owner);
  b.m_owned = false;
  return b;
}

void Bitmap::Detach() {
  if (m_owned && m_owner.use_count() == 1) return;
  Bitmap copy(m_width, m_height, m_format);
  const int rowBytes = std::min(m_stride, copy.m_stride);
  for (int y = 0; y < m_height; ++y)
    std::memcpy(const_cast<uint8_t*>(copy.Row(y)), Row(y), rowBytes);
  *this = std::move(copy);
}

uint8_t* Bitmap::MutableRow(int y) {
  Detach();
  return const_cast<uint8_t*>(Row(y));
}

void Bitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == m_width && height == m_height) return;
  Bitmap resized(width, height, m_format);
  const int rowBytes = std::min(m_width, width) * BytesPerPixel();
  for (int y = 0; y < std::min(m_height, height); ++y)
    std::memcpy(const_cast<uint8_t*>(resized.Row(y)), Row(y), rowBytes);
  *this = std::move(resized);
}
