// Wraps the pixels of a mapped GStreamer video buffer in a Bitmap without copying: the Bitmap's
// owner keeps the buffer mapped and referenced for as long as any copy of the Bitmap lives.
#pragma once

#include <gst/video/video.h>

#include <memory>

#include "media/Bitmap.h"

namespace gstbitmap_detail {
struct MappedFrame {
  GstVideoFrame frame{};
  // The mapping holds its own reference on the buffer; the unmap releases it.
  ~MappedFrame() { gst_video_frame_unmap(&frame); }
};
}  // namespace gstbitmap_detail

// An empty Bitmap when the buffer cannot be mapped.
inline Bitmap ShareVideoBuffer(GstBuffer* buffer, const GstVideoInfo& info, Bitmap::Format format) {
  if (!buffer) return {};
  GstVideoFrame frame{};
  if (!gst_video_frame_map(&frame, const_cast<GstVideoInfo*>(&info), buffer, GST_MAP_READ))
    return {};
  auto mapped = std::make_shared<gstbitmap_detail::MappedFrame>();
  mapped->frame = frame;
  return Bitmap::Share(GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                       GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), format,
                       static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                       std::move(mapped));
}
