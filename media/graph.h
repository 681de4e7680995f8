// The graph module: owns the one playback pipeline and the frame-holding element for the whole
// run, and puts that element between the decoder and the video window after every load.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "media/GraphModule.h"

class GstMediaGraph;
class Tpx_Superposer;

class Tdm : public GraphModule {
 public:
  Tdm();
  ~Tdm() override;
  Tdm(const Tdm&) = delete;
  Tdm& operator=(const Tdm&) = delete;

  MediaGraph& fg() override;
  // The same pipeline with what the media layer needs beyond the sources' view.
  GstMediaGraph& Pipeline();

  // Links exactly one decoded video stream: decoder -> "color1" -> "superposer" -> "color2" ->
  // "VideoWindow1"; the first audio stream to the audio branch (HasAudio), any other stream to a
  // discarding sink. 0 success, 1 unexpected failure, 2 no video stream, several, or no chain.
  uint8_t InsertFrameFilter() override;
  FrameHolder& Superposer() override;

  // Graph events, on the user-interface thread.
  void fgGraphComplete() {}
  void fgGraphPaused() {}
  // Run when a capture device goes away; the main window installs its empty command here.
  std::function<void()> fgGraphDeviceLost;

 private:
  uint8_t insertFrameFilter();

  // Declared first: the pipeline goes before the element it borrows.
  std::unique_ptr<Tpx_Superposer> m_superposer;
  std::unique_ptr<GstMediaGraph> m_fg;
};
