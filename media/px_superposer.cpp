#include "media/px_superposer.h"

#include <gst/video/gstvideofilter.h>
#include <gst/video/video.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "media/Bitmap.h"
#include "media/GstBitmap.h"
#include "media/GstRuntime.h"
#include "sources/FlagWait.h"
#include "sources/ProgramFlags.h"

namespace {

// The element's own data. A GObject instance is plain C memory, so the C++ members live in a
// separate object created in instance_init and deleted in finalize.
struct SuperposerState {
  std::atomic<bool> flip{false};
  std::atomic<uint64_t> epoch{0};
  std::atomic<uint64_t> delivered{0};
  Tpx_Superposer::FrameGate gate;  // set while nothing streams

  mutable std::mutex heldLock;  // guards the three fields below
  GstRef<GstBuffer> heldBuffer; // the last output frame; never written again once held
  GstVideoInfo heldInfo;
  HeldFrameStamp heldStamp;
};

}  // namespace

struct PxSuperposer {
  GstVideoFilter parent;
  SuperposerState* state;
};

struct PxSuperposerClass {
  GstVideoFilterClass parent_class;
};

G_DEFINE_TYPE(PxSuperposer, px_superposer, GST_TYPE_VIDEO_FILTER)

namespace {

SuperposerState& stateOf(gpointer element) { return *reinterpret_cast<PxSuperposer*>(element)->state; }

// 24-bit frames in and out: the converters in front of and behind the element do the rest.
GstStaticPadTemplate sinkTemplate =
    GST_STATIC_PAD_TEMPLATE("sink", GST_PAD_SINK, GST_PAD_ALWAYS, GST_STATIC_CAPS(GST_VIDEO_CAPS_MAKE("BGR")));
GstStaticPadTemplate srcTemplate =
    GST_STATIC_PAD_TEMPLATE("src", GST_PAD_SRC, GST_PAD_ALWAYS, GST_STATIC_CAPS(GST_VIDEO_CAPS_MAKE("BGR")));

GstFlowReturn transformFrame(GstVideoFilter* filter, GstVideoFrame* in, GstVideoFrame* out) {
  SuperposerState& s = stateOf(filter);
  const bool flip = s.flip.load();  // once per frame: a change applies from the next frame

  const int height = std::min(GST_VIDEO_FRAME_HEIGHT(in), GST_VIDEO_FRAME_HEIGHT(out));
  const int rowBytes = std::min(GST_VIDEO_FRAME_WIDTH(in), GST_VIDEO_FRAME_WIDTH(out)) * 3;
  const int inStride = GST_VIDEO_FRAME_PLANE_STRIDE(in, 0);
  const int outStride = GST_VIDEO_FRAME_PLANE_STRIDE(out, 0);
  const auto* src = static_cast<const uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(in, 0));
  auto* dst = static_cast<uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(out, 0));
  for (int y = 0; y < height; ++y) {
    const int target = flip ? height - 1 - y : y;
    std::memcpy(dst + int64_t(target) * outStride, src + int64_t(y) * inStride, rowBytes);
  }

  // The stream time identifies the frame shown after a seek: a position query in PAUSED only
  // repeats the seek target.
  int64_t streamTimeNs = -1;
  const GstClockTime pts = GST_BUFFER_PTS(in->buffer);
  if (GST_CLOCK_TIME_IS_VALID(pts)) {
    const guint64 t = gst_segment_to_stream_time(&GST_BASE_TRANSFORM(filter)->segment, GST_FORMAT_TIME, pts);
    if (GST_CLOCK_TIME_IS_VALID(t)) streamTimeNs = int64_t(t);
  }

  HeldFrameStamp stamp;
  {
    std::lock_guard lock(s.heldLock);
    s.heldBuffer = GstRef<GstBuffer>::share(out->buffer);
    s.heldInfo = out->info;
    s.heldStamp = HeldFrameStamp{true, streamTimeNs, s.epoch.load(), s.heldStamp.serial + 1};
    stamp = s.heldStamp;
  }
  if (!s.gate || s.gate(stamp)) {
    // Seek first: a load's wait ends on RenderFrameArrived, and a seek wait that starts right
    // after it must not be ended by this frame's late SeekFrameArrived.
    RaiseFlag(SeekFrameArrived);
    RaiseFlag(RenderFrameArrived);
  }
  s.delivered.store(stamp.serial);
  WakeWaiters();
  return GST_FLOW_OK;
}

gboolean startStreaming(GstBaseTransform* trans) {
  ++stateOf(trans).epoch;
  auto* parent = GST_BASE_TRANSFORM_CLASS(px_superposer_parent_class);
  return parent->start ? parent->start(trans) : TRUE;
}

gboolean sinkEvent(GstBaseTransform* trans, GstEvent* event) {
  // A flush (seek) or a new stream: frames from here on belong to a new epoch.
  if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP || GST_EVENT_TYPE(event) == GST_EVENT_STREAM_START)
    ++stateOf(trans).epoch;
  return GST_BASE_TRANSFORM_CLASS(px_superposer_parent_class)->sink_event(trans, event);
}

// The held frame keeps one output buffer out of the pool until the next frame replaces it: a
// pool with a hard maximum could then starve, so the output pool is left unbounded.
gboolean decideAllocation(GstBaseTransform* trans, GstQuery* query) {
  const guint pools = gst_query_get_n_allocation_pools(query);
  for (guint i = 0; i < pools; ++i) {
    GstBufferPool* pool = nullptr;
    guint size = 0, minBuffers = 0, maxBuffers = 0;
    gst_query_parse_nth_allocation_pool(query, i, &pool, &size, &minBuffers, &maxBuffers);
    if (maxBuffers != 0) gst_query_set_nth_allocation_pool(query, i, pool, size, minBuffers, 0);
    if (pool) gst_object_unref(pool);
  }
  return GST_BASE_TRANSFORM_CLASS(px_superposer_parent_class)->decide_allocation(trans, query);
}

void finalize(GObject* object) {
  delete reinterpret_cast<PxSuperposer*>(object)->state;
  reinterpret_cast<PxSuperposer*>(object)->state = nullptr;
  G_OBJECT_CLASS(px_superposer_parent_class)->finalize(object);
}

}  // namespace

static void px_superposer_class_init(PxSuperposerClass* klass) {
  G_OBJECT_CLASS(klass)->finalize = finalize;

  auto* elementClass = GST_ELEMENT_CLASS(klass);
  gst_element_class_set_static_metadata(elementClass, "Velmoran px_Superposer", "Filter/Video",
                                        "Holds the last frame for the grab and can flip frames vertically",
                                        "Velmoran");
  gst_element_class_add_static_pad_template(elementClass, &sinkTemplate);
  gst_element_class_add_static_pad_template(elementClass, &srcTemplate);

  auto* transformClass = GST_BASE_TRANSFORM_CLASS(klass);
  transformClass->start = startStreaming;
  transformClass->sink_event = sinkEvent;
  transformClass->decide_allocation = decideAllocation;
  transformClass->passthrough_on_same_caps = FALSE;

  GST_VIDEO_FILTER_CLASS(klass)->transform_frame = transformFrame;
}

static void px_superposer_init(PxSuperposer* self) {
  self->state = new SuperposerState;
  gst_video_info_init(&self->state->heldInfo);
}

void RegisterSuperposerElement() {
  gst_element_register(nullptr, "pxsuperposer", GST_RANK_NONE, px_superposer_get_type());
}

// --- The program's handle -------------------------------------------------------------------

Tpx_Superposer::Tpx_Superposer() {
  EnsureGstInitialised();
  // Sink the floating reference: this handle owns the element, a bin only borrows it.
  m_element = GstRef<GstElement>::adopt(
      GST_ELEMENT(gst_object_ref_sink(gst_element_factory_make("pxsuperposer", "superposer"))));
}

Tpx_Superposer::~Tpx_Superposer() = default;

void Tpx_Superposer::CopyHeldFrame(Bitmap& destination) {
  SuperposerState& s = stateOf(m_element.get());
  GstRef<GstBuffer> buffer;
  GstVideoInfo info;
  {
    // Only the reference is taken under the lock; the mapping happens outside it.
    std::lock_guard lock(s.heldLock);
    buffer = s.heldBuffer;
    info = s.heldInfo;
  }
  destination = ShareVideoBuffer(buffer.get(), info, Bitmap::Format::BGR24);
}

void Tpx_Superposer::SetVerticalFlip(bool flip) { stateOf(m_element.get()).flip.store(flip); }

bool Tpx_Superposer::VerticalFlip() const { return stateOf(m_element.get()).flip.load(); }

HeldFrameStamp Tpx_Superposer::HeldStamp() const {
  SuperposerState& s = stateOf(m_element.get());
  std::lock_guard lock(s.heldLock);
  return s.heldStamp;
}

void Tpx_Superposer::SetFrameGate(FrameGate gate) { stateOf(m_element.get()).gate = std::move(gate); }

uint64_t Tpx_Superposer::DeliveredSerial() const { return stateOf(m_element.get()).delivered.load(); }

uint64_t Tpx_Superposer::Epoch() const { return stateOf(m_element.get()).epoch.load(); }
