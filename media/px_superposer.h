// The frame-holding element: every video frame on its way to the video window passes through it.
// It copies the frame (upside down on demand), keeps the last output frame for the grab command
// and raises RenderFrameArrived / SeekFrameArrived for the waits of the user-interface thread.
//
// In a pipeline it is the element "pxsuperposer" (registered by EnsureGstInitialised), named
// "superposer" by the graph module; Tpx_Superposer is the handle the program keeps on it.
#pragma once

#include <cstdint>
#include <functional>

#include "media/GraphModule.h"
#include "media/GstRef.h"

// Registers the element type with the running GStreamer (call once, after gst_init).
void RegisterSuperposerElement();

// Where the held frame stands in the stream.
struct HeldFrameStamp {
  bool valid = false;           // a frame has passed since the element was created
  int64_t streamTimeNs = -1;    // stream time of the frame's start; -1 when the buffer has none
  uint64_t epoch = 0;           // streaming epoch it belongs to (see Tpx_Superposer::Epoch)
  uint64_t serial = 0;          // counts the frames that passed, 1 for the first
};

class Tpx_Superposer : public FrameHolder {
 public:
  // Creates the element, named "superposer". Lives as long as this handle.
  Tpx_Superposer();
  ~Tpx_Superposer() override;
  Tpx_Superposer(const Tpx_Superposer&) = delete;
  Tpx_Superposer& operator=(const Tpx_Superposer&) = delete;

  GstElement* Element() const { return m_element.get(); }

  // Shares the held frame's pixels (no copy); empty before the first frame.
  void CopyHeldFrame(Bitmap& destination) override;
  void SetVerticalFlip(bool flip) override;
  bool VerticalFlip() const override;

  HeldFrameStamp HeldStamp() const;
  // Serial of the last frame completely handled (held and its flags raised): a wait on this
  // cannot be overtaken by the flags of the frame it waited for.
  uint64_t DeliveredSerial() const;
  // Advances whenever the stream restarts (start of streaming, flush, new stream), so that a frame
  // can be told apart from those held before a seek or a load.
  uint64_t Epoch() const;

  // Decides, for each frame once it is held, whether the frame flags are raised for it (true
  // when unset). The pipeline uses it to keep a wait going while it corrects a seek that landed
  // on the wrong frame. Called on the streaming thread; set it while nothing streams.
  using FrameGate = std::function<bool(const HeldFrameStamp&)>;
  void SetFrameGate(FrameGate gate);

 private:
  GstRef<GstElement> m_element;
};
