#include "media/graph.h"

#include <gst/gst.h>

#include "media/GstMediaGraph.h"
#include "media/GstRef.h"
#include "media/px_superposer.h"
#include "sources/ProgramFlags.h"

namespace {

// Takes `element` out of the pipeline if it is there.
void removeFromPipeline(GstBin* pipeline, GstElement* element) {
  if (!element || !gst_object_has_as_parent(GST_OBJECT(element), GST_OBJECT(pipeline))) return;
  gst_element_set_state(element, GST_STATE_NULL);
  gst_bin_remove(pipeline, element);
}

bool linkPads(GstPad* source, GstPad* sink) {
  return source && sink && GST_PAD_LINK_SUCCESSFUL(gst_pad_link(source, sink));
}

}  // namespace

Tdm::Tdm()
    : m_superposer(std::make_unique<Tpx_Superposer>()), m_fg(std::make_unique<GstMediaGraph>()) {
  m_fg->SetFrameHolder(m_superposer.get());
  m_fg->OnComplete = [this] { fgGraphComplete(); };
  m_fg->OnDeviceLost = [this] {
    if (fgGraphDeviceLost) fgGraphDeviceLost();
  };
}

Tdm::~Tdm() {
  m_fg.reset();  // stops the pipeline before the element it holds goes
}

MediaGraph& Tdm::fg() { return *m_fg; }

GstMediaGraph& Tdm::Pipeline() { return *m_fg; }

FrameHolder& Tdm::Superposer() { return *m_superposer; }

uint8_t Tdm::InsertFrameFilter() {
  try {
    return insertFrameFilter();
  } catch (...) {
    return 1;
  }
}

uint8_t Tdm::insertFrameFilter() {
  GstBin* pipeline = GST_BIN(m_fg->Pipeline());
  GstElement* superposer = m_superposer->Element();
  if (!superposer) return 1;

  // Converters and the frame-holding element left from a previous medium go first.
  for (const char* name : {"color1", "color2"}) {
    auto old = GstRef<GstElement>::adopt(gst_bin_get_by_name(pipeline, name));
    removeFromPipeline(pipeline, old.get());
  }
  removeFromPipeline(pipeline, superposer);
  HasAudio = false;

  // Exactly one picture stream; one no decoder could take counts, so that a file whose video
  // cannot be shown is refused rather than played as sound alone.
  const GstMediaGraph::Streams streams = m_fg->DecodedStreams();
  if (streams.video.size() + size_t(streams.undecodableVideo) != 1 || streams.video.empty()) return 2;

  GstElement* sink = m_fg->VideoSink();
  if (!sink) return 2;
  GstElement* color1 = gst_element_factory_make("videoconvert", "color1");
  GstElement* color2 = gst_element_factory_make("videoconvert", "color2");
  if (!color1 || !color2) {
    if (color1) gst_object_unref(color1);
    if (color2) gst_object_unref(color2);
    return 2;
  }
  gst_bin_add_many(pipeline, color1, superposer, color2, nullptr);

  // decoder -> color1 -> superposer -> color2 -> VideoWindow1, nothing queued in between, so
  // that the frame held is the frame shown.
  auto color1Input = GstRef<GstPad>::adopt(gst_element_get_static_pad(color1, "sink"));
  if (!linkPads(streams.video.front().get(), color1Input.get())) return 2;
  if (!gst_element_link_many(color1, superposer, color2, sink, nullptr)) return 2;

  for (size_t i = 0; i < streams.audio.size(); ++i) {
    if (i == 0) {
      const GstRef<GstPad> input = m_fg->AudioBranchInput();
      if (linkPads(streams.audio[i].get(), input.get())) {
        HasAudio = true;
        continue;
      }
    }
    m_fg->DiscardStream(streams.audio[i].get());
  }
  for (const auto& pad : streams.other) m_fg->DiscardStream(pad.get());

  m_fg->ReleaseStreams();
  return 0;
}
