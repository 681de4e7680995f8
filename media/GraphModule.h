// What the frame sources need of the graph module: the playback pipeline, the frame-holding
// element, and the re-plumbing that puts that element between the decoder and the video window.
#pragma once

#include <cstdint>

#include "media/MediaGraph.h"

class Bitmap;

// The program's own frame-holding element as the rest of the program sees it.
class FrameHolder {
 public:
  virtual ~FrameHolder() = default;
  // The last frame that passed, whole (never torn); an empty bitmap before the first frame.
  virtual void CopyHeldFrame(Bitmap& destination) = 0;
  // Frames are drawn upside down from the next frame on while set.
  virtual void SetVerticalFlip(bool flip) = 0;
  virtual bool VerticalFlip() const = 0;
};

class GraphModule {
 public:
  virtual ~GraphModule() = default;
  // The one playback pipeline.
  virtual MediaGraph& fg() = 0;
  // Links exactly one decoded video stream through the frame-holding element into the video
  // window, and the audio streams into the audio branch (setting HasAudio). 0 success, 1 an
  // unexpected failure, 2 no video stream, more than one, or the chain cannot be built.
  virtual uint8_t InsertFrameFilter() = 0;
  virtual FrameHolder& Superposer() = 0;
};
