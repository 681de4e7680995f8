// A picture in memory: rows top-down, blue-green-red bytes, each row padded to 4 bytes.
// Copies share their pixels until one of them is written (copy on write), so handing a held frame
// to several owners costs nothing.
#pragma once

#include <cstdint>
#include <memory>

class Bitmap {
 public:
  enum class Format : uint8_t { BGR24, BGRx32 };

  Bitmap() = default;
  Bitmap(int width, int height, Format format = Format::BGR24);

  // Wraps pixels owned elsewhere; `owner` keeps them alive as long as any copy uses them.
  static Bitmap Share(int width, int height, int stride, Format format, const uint8_t* pixels,
                      std::shared_ptr<const void> owner);

  int Width() const { return m_width; }
  int Height() const { return m_height; }
  int Stride() const { return m_stride; }
  Format PixelFormat() const { return m_format; }
  int BytesPerPixel() const { return m_format == Format::BGR24 ? 3 : 4; }
  bool IsEmpty() const { return m_width <= 0 || m_height <= 0; }

  const uint8_t* Row(int y) const { return m_pixels + int64_t(y) * m_stride; }
  uint8_t* MutableRow(int y);  // detaches from other copies first

  // Resizing keeps the overlapping pixels, as a toolkit bitmap does; new pixels are black.
  void SetSize(int width, int height);
  void SetWidth(int width) { SetSize(width, m_height); }
  void SetHeight(int height) { SetSize(m_width, height); }

  static int StrideFor(int width, Format format);

 private:
  void Detach();

  int m_width = 0;
  int m_height = 0;
  int m_stride = 0;
  Format m_format = Format::BGR24;
  const uint8_t* m_pixels = nullptr;
  std::shared_ptr<const void> m_owner;
  bool m_owned = false;  // m_owner is our own heap block, not shared with the media layer
};
