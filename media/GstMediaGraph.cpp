#include "media/GstMediaGraph.h"

#include <gst/app/gstappsink.h>
#include <gst/audio/audio.h>
#include <gst/video/video.h>

#include <QFileInfo>
#include <QMetaObject>
#include <algorithm>
#include <cmath>

#include "media/GstBitmap.h"
#include "media/GstRuntime.h"
#include "media/VideoWindow.h"
#include "media/px_superposer.h"
#include "sources/FlagWait.h"
#include "sources/ProgramFlags.h"

namespace {

// How long RenderFile waits for the decoder to expose its streams.
constexpr int DecodeDecisionTimeoutMs = 10000;
// A Run() during a load that nobody follows with Pause() starts playing after this delay.
constexpr int LoadRunPlayDelayMs = 200;

GraphState toGraphState(GstState state) {
  switch (state) {
    case GST_STATE_READY: return GraphState::Stopped;
    case GST_STATE_PAUSED: return GraphState::Paused;
    case GST_STATE_PLAYING: return GraphState::Running;
    default: return GraphState::NotInitialised;
  }
}

QString capsName(GstCaps* caps) {
  if (!caps || gst_caps_is_empty(caps) || gst_caps_is_any(caps)) return {};
  return QString::fromUtf8(gst_structure_get_name(gst_caps_get_structure(caps, 0)));
}

GstRef<GstCaps> padCaps(GstPad* pad) {
  GstRef<GstCaps> caps = GstRef<GstCaps>::adopt(gst_pad_get_current_caps(pad));
  if (!caps) caps = GstRef<GstCaps>::adopt(gst_pad_query_caps(pad, nullptr));
  return caps;
}

GstElement* makeElement(const char* factory, const char* name) {
  return gst_element_factory_make(factory, name);
}

// The audio output: the desktop's when one answers, else a clocked sink that discards the sound,
// so that playback keeps its real speed on machines without audio. A machine found without an
// output is not probed again during the session (each probe costs tens of milliseconds).
GstElement* makeAudioSink() {
  static std::atomic<int> audioOutput{0};  // 0 unknown, 1 present, -1 absent
  if (audioOutput.load() >= 0) {
    auto candidate = GstRef<GstElement>::adopt(
        GST_ELEMENT(gst_object_ref_sink(makeElement("autoaudiosink", "AudioSink"))));
    bool usable = candidate && gst_element_set_state(candidate.get(), GST_STATE_READY) == GST_STATE_CHANGE_SUCCESS;
    if (usable) {
      // autoaudiosink settles for a fake sink of its own when no output answers.
      GstIterator* it = gst_bin_iterate_elements(GST_BIN(candidate.get()));
      GValue item = G_VALUE_INIT;
      while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
        auto* child = GST_ELEMENT(g_value_get_object(&item));
        GstElementFactory* factory = gst_element_get_factory(child);
        const QString name = factory ? QString::fromUtf8(GST_OBJECT_NAME(factory)) : QString();
        if (name.startsWith("fake")) usable = false;
        g_value_reset(&item);
      }
      g_value_unset(&item);
      gst_iterator_free(it);
    }
    if (usable) {
      audioOutput = 1;
      return GST_ELEMENT(candidate.release());
    }
    if (candidate) gst_element_set_state(candidate.get(), GST_STATE_NULL);
    audioOutput = -1;
  }
  GstElement* sink = makeElement("fakesink", "AudioSink");
  if (sink) {
    g_object_ref_sink(sink);
    g_object_set(sink, "sync", TRUE, nullptr);
  }
  return sink;
}

bool isCaptureSource(GstObject* source) {
  if (!source || !GST_IS_ELEMENT(source)) return false;
  GstElementFactory* factory = gst_element_get_factory(GST_ELEMENT(source));
  if (!factory) return false;
  const char* klass = gst_element_factory_get_metadata(factory, GST_ELEMENT_METADATA_KLASS);
  const QString k = QString::fromUtf8(klass ? klass : "");
  return k.contains("Source") && (k.contains("Video") || k.contains("Audio"));
}

}  // namespace

GstMediaGraph::GstMediaGraph() {
  EnsureGstInitialised();
  m_pipeline = GstRef<GstElement>::adopt(GST_ELEMENT(gst_object_ref_sink(gst_pipeline_new("fg"))));
  m_receiver = std::make_unique<QObject>();
  m_loadRunTimer = new QTimer(m_receiver.get());
  m_loadRunTimer->setSingleShot(true);
  QObject::connect(m_loadRunTimer, &QTimer::timeout, m_receiver.get(), [this] {
    if (!m_loadRun) return;
    endLoadPhase();
    setPipelineState(GST_STATE_PLAYING);
  });
  m_seekWatchdog = new QTimer(m_receiver.get());
  m_seekWatchdog->setSingleShot(true);
  QObject::connect(m_seekWatchdog, &QTimer::timeout, m_receiver.get(), [this] { onSeekWatchdog(); });
  auto bus = GstRef<GstBus>::adopt(gst_element_get_bus(m_pipeline.get()));
  gst_bus_set_sync_handler(bus.get(), &GstMediaGraph::onBusSync, this, nullptr);
}

void GstMediaGraph::SetFrameHolder(Tpx_Superposer* holder) {
  if (m_holder) m_holder->SetFrameGate(nullptr);
  m_holder = holder;
  if (m_holder) m_holder->SetFrameGate([this](const HeldFrameStamp& stamp) { return admitFrame(stamp); });
}

GstMediaGraph::~GstMediaGraph() {
  {
    // The window may already be gone at exit: forget it without calling it.
    std::lock_guard lock(m_windowLock);
    m_window = nullptr;
  }
  Clear();
  // No streaming thread runs any more: nothing can post after this.
  auto bus = GstRef<GstBus>::adopt(gst_element_get_bus(m_pipeline.get()));
  gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
  SetFrameHolder(nullptr);
  m_receiver.reset();  // drops the queued calls that still name this object
}

// --- Graph ------------------------------------------------------------------------------------

void GstMediaGraph::Clear() {
  endLoadPhase();
  cancelSeekCheck();
  ++m_generation;
  gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);

  // Everything in the pipeline belongs to the previous media (the frame-holding element is kept
  // alive by the graph module's own reference).
  GstBin* bin = GST_BIN(m_pipeline.get());
  for (;;) {
    GST_OBJECT_LOCK(bin);
    GstElement* child = bin->children ? GST_ELEMENT(gst_object_ref(bin->children->data)) : nullptr;
    GST_OBJECT_UNLOCK(bin);
    if (!child) break;
    gst_bin_remove(bin, child);
    gst_object_unref(child);
  }

  {
    std::lock_guard lock(m_streamsLock);
    m_streams.clear();
    m_undecodableVideo = 0;
    m_streamsReleased = false;
    m_streamsDecided = false;
  }
  m_decoder.reset();
  m_videoSink.reset();
  m_audioSink.reset();
  m_volumeElement.reset();
  m_discardSinks.clear();

  m_rendering = false;
  m_renderFailed = false;
  m_live = false;
  m_prerolled = false;
  m_videoEnded = false;
  m_fpsNum = 0;
  m_fpsDen = 1;
  m_fpsFinal = false;
  m_durationNs = -1;
  m_firstFrameNs = -1;
  m_segmentStartNs = 0;
  m_pendingTargetNs = -1;
  m_positionEpoch = m_holder ? m_holder->Epoch() : 0;
}

bool GstMediaGraph::RenderFile(const QString& path) {
  Clear();
  const QFileInfo info(path);
  if (!info.isFile() || !info.isReadable()) return false;

  GErrorPtr error;
  GCharPtr uri(gst_filename_to_uri(QFile::encodeName(info.absoluteFilePath()).constData(), error.out()));
  if (!uri.get()[0]) return false;

  GstElement* decoder = makeElement("uridecodebin", "source");
  if (!decoder) return false;
  // Streams without a decoder are not exposed; they are counted in unknown-type instead.
  g_object_set(decoder, "uri", uri.get(), "expose-all-streams", FALSE, nullptr);
  g_signal_connect(decoder, "pad-added", G_CALLBACK(&GstMediaGraph::onPadAdded), this);
  g_signal_connect(decoder, "no-more-pads", G_CALLBACK(&GstMediaGraph::onNoMorePads), this);
  g_signal_connect(decoder, "unknown-type", G_CALLBACK(&GstMediaGraph::onUnknownType), this);
  if (!addToPipeline(decoder)) return false;
  m_decoder = GstRef<GstElement>::share(decoder);

  m_rendering = true;
  m_loadPhase = true;
  const GstStateChangeReturn ret = gst_element_set_state(m_pipeline.get(), GST_STATE_PAUSED);
  m_live = ret == GST_STATE_CHANGE_NO_PREROLL;
  if (ret == GST_STATE_CHANGE_FAILURE) m_renderFailed = true;

  const uint64_t generation = m_generation.load();
  WaitUntil([&] { return m_generation.load() != generation || m_renderFailed || m_streamsDecided.load(); },
            DecodeDecisionTimeoutMs);
  // A nested Clear (another load started inside the wait) ends this one.
  if (m_generation.load() != generation) return false;
  m_rendering = false;

  bool decodable = false;
  {
    std::lock_guard lock(m_streamsLock);
    decodable = m_streamsDecided.load() && !m_streams.empty();
  }
  if (m_renderFailed || !decodable) {
    Clear();
    return false;
  }
  readFrameRate();
  return true;
}

int GstMediaGraph::CountElements(const QString& name) const {
  int count = 0;
  GstIterator* it = gst_bin_iterate_recurse(GST_BIN(m_pipeline.get()));
  GValue item = G_VALUE_INIT;
  bool done = false;
  while (!done) {
    switch (gst_iterator_next(it, &item)) {
      case GST_ITERATOR_OK: {
        GCharPtr elementName(gst_object_get_name(GST_OBJECT(g_value_get_object(&item))));
        if (QString::fromUtf8(elementName.get()).compare(name, Qt::CaseInsensitive) == 0) ++count;
        g_value_reset(&item);
        break;
      }
      case GST_ITERATOR_RESYNC:
        gst_iterator_resync(it);
        count = 0;
        break;
      default:
        done = true;
    }
  }
  g_value_unset(&item);
  gst_iterator_free(it);
  return count;
}

bool GstMediaGraph::addToPipeline(GstElement* element) {
  if (!element) return false;
  if (!gst_bin_add(GST_BIN(m_pipeline.get()), element)) {
    gst_object_unref(element);
    return false;
  }
  return true;
}

GstMediaGraph::Streams GstMediaGraph::DecodedStreams() const {
  Streams result;
  std::lock_guard lock(m_streamsLock);
  for (const auto& stream : m_streams) {
    switch (stream.kind) {
      case StreamKind::Video: result.video.push_back(stream.pad); break;
      case StreamKind::Audio: result.audio.push_back(stream.pad); break;
      case StreamKind::Other: result.other.push_back(stream.pad); break;
    }
  }
  result.undecodableVideo = m_undecodableVideo;
  return result;
}

GstElement* GstMediaGraph::VideoSink() {
  if (m_videoSink) return m_videoSink.get();
  GstElement* sink = makeElement("appsink", "VideoWindow1");
  if (!sink) return nullptr;
  auto caps = GstRef<GstCaps>::adopt(gst_caps_from_string("video/x-raw,format=BGRx"));
  g_object_set(sink, "caps", caps.get(), "sync", !m_unclocked, "enable-last-sample", FALSE, "max-buffers", 1,
               nullptr);
  GstAppSinkCallbacks callbacks{};
  callbacks.new_preroll = [](GstAppSink* s, gpointer self) { return onNewPreroll(GST_ELEMENT(s), self); };
  callbacks.new_sample = [](GstAppSink* s, gpointer self) { return onNewSample(GST_ELEMENT(s), self); };
  gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
  auto pad = GstRef<GstPad>::adopt(gst_element_get_static_pad(sink, "sink"));
  gst_pad_add_probe(pad.get(), GstPadProbeType(GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM | GST_PAD_PROBE_TYPE_EVENT_FLUSH),
                    &GstMediaGraph::onVideoSinkEvent, this, nullptr);
  if (!addToPipeline(sink)) return nullptr;
  m_videoSink = GstRef<GstElement>::share(sink);
  return sink;
}

GstRef<GstPad> GstMediaGraph::AudioBranchInput() {
  if (!m_volumeElement) {
    m_audioSink = GstRef<GstElement>::adopt(makeAudioSink());  // its own reference
    GstElement* chain[] = {makeElement("audioconvert", "audioconvert1"), makeElement("capsfilter", "audioformat"),
                           makeElement("audioresample", "audioresample"), makeElement("volume", "volume"),
                           makeElement("audioconvert", "audioconvert2"), m_audioSink.get()};
    bool complete = std::none_of(std::begin(chain), std::end(chain), [](GstElement* e) { return !e; });
    for (GstElement* e : chain) {
      // The pipeline takes the new elements' floating references (and a reference of its own
      // to the sink); whatever cannot join is dropped here.
      if (!e) continue;
      if (complete && gst_bin_add(GST_BIN(m_pipeline.get()), e)) continue;
      complete = false;
      if (e != m_audioSink.get()) gst_object_unref(e);
    }
    if (!complete) return {};
    // The volume works on floating-point samples: its amplitude then has no integer rounding.
    auto caps = GstRef<GstCaps>::adopt(gst_caps_from_string("audio/x-raw,format=" GST_AUDIO_NE(F32)));
    g_object_set(chain[1], "caps", caps.get(), nullptr);
    if (!gst_element_link_many(chain[0], chain[1], chain[2], chain[3], chain[4], chain[5], nullptr)) return {};
    m_volumeElement = GstRef<GstElement>::share(chain[3]);
    applyVolume();
    applySync();
  }
  auto convert = GstRef<GstElement>::adopt(gst_bin_get_by_name(GST_BIN(m_pipeline.get()), "audioconvert1"));
  if (!convert) return {};
  return GstRef<GstPad>::adopt(gst_element_get_static_pad(convert.get(), "sink"));
}

bool GstMediaGraph::DiscardStream(GstPad* pad) {
  GstElement* sink = makeElement("fakesink", nullptr);
  if (!sink) return false;
  g_object_set(sink, "sync", FALSE, "async", FALSE, nullptr);
  if (!addToPipeline(sink)) return false;
  m_discardSinks.push_back(GstRef<GstElement>::share(sink));
  auto sinkPad = GstRef<GstPad>::adopt(gst_element_get_static_pad(sink, "sink"));
  return GST_PAD_LINK_SUCCESSFUL(gst_pad_link(pad, sinkPad.get()));
}

void GstMediaGraph::ReleaseStreams() {
  // Elements added by the graph module join the pipeline's state, sinks first.
  GstState target = GST_STATE_NULL;
  GST_OBJECT_LOCK(m_pipeline.get());
  target = GST_STATE_TARGET(m_pipeline.get());
  std::vector<GstRef<GstElement>> children;
  for (GList* l = GST_BIN(m_pipeline.get())->children; l; l = l->next)
    children.push_back(GstRef<GstElement>::share(GST_ELEMENT(l->data)));
  GST_OBJECT_UNLOCK(m_pipeline.get());
  for (auto& child : children) {  // the bin lists the last added first
    GST_OBJECT_LOCK(child.get());
    const GstState childTarget = GST_STATE_TARGET(child.get());
    GST_OBJECT_UNLOCK(child.get());
    if (childTarget != target) gst_element_sync_state_with_parent(child.get());
  }

  std::lock_guard lock(m_streamsLock);
  for (auto& stream : m_streams) {
    if (stream.probeId) gst_pad_remove_probe(stream.pad.get(), stream.probeId);
    stream.probeId = 0;
  }
  m_streamsReleased = true;
}

// --- Decoder callbacks (streaming threads) --------------------------------------------------------

void GstMediaGraph::onPadAdded(GstElement*, GstPad* pad, gpointer data) {
  static_cast<GstMediaGraph*>(data)->AddStream(pad);
}

void GstMediaGraph::AddStream(GstPad* pad) {
  const auto caps = padCaps(pad);
  const QString name = capsName(caps.get());
  const StreamKind kind = name == "video/x-raw"   ? StreamKind::Video
                          : name == "audio/x-raw" ? StreamKind::Audio
                                                  : StreamKind::Other;
  std::lock_guard lock(m_streamsLock);
  if (m_streamsReleased) return;  // a late stream after the decision is left unlinked
  const bool firstVideo =
      kind == StreamKind::Video &&
      std::none_of(m_streams.begin(), m_streams.end(), [](const PendingStream& s) { return s.kind == StreamKind::Video; });
  if (firstVideo)
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, &GstMediaGraph::onFirstVideoBuffer, this, nullptr);
  // Held back until the graph module has linked every stream: nothing reaches a sink before.
  const gulong probe = gst_pad_add_probe(
      pad, GST_PAD_PROBE_TYPE_BLOCK_DOWNSTREAM,
      [](GstPad*, GstPadProbeInfo*, gpointer) { return GST_PAD_PROBE_OK; }, nullptr, nullptr);
  m_streams.push_back(PendingStream{GstRef<GstPad>::share(pad), kind, probe});
}

void GstMediaGraph::onNoMorePads(GstElement*, gpointer data) {
  auto* self = static_cast<GstMediaGraph*>(data);
  self->m_streamsDecided = true;
  WakeWaiters();
}

void GstMediaGraph::onUnknownType(GstElement*, GstPad*, GstCaps* caps, gpointer data) {
  // A file with playable sound and an undecodable picture prerolls on the sound alone: the
  // picture stream still counts as a video stream.
  auto* self = static_cast<GstMediaGraph*>(data);
  const QString name = capsName(caps);
  if (name.startsWith("video/") || name.startsWith("image/")) {
    std::lock_guard lock(self->m_streamsLock);
    ++self->m_undecodableVideo;
  }
}

GstPadProbeReturn GstMediaGraph::onFirstVideoBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<GstMediaGraph*>(data);
  const GstClockTime pts = GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info));
  auto event = GstRef<GstEvent>::adopt(gst_pad_get_sticky_event(pad, GST_EVENT_SEGMENT, 0));
  if (event && GST_CLOCK_TIME_IS_VALID(pts)) {
    const GstSegment* segment = nullptr;
    gst_event_parse_segment(event.get(), &segment);
    if (segment->format == GST_FORMAT_TIME) {
      const guint64 t = gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts);
      if (GST_CLOCK_TIME_IS_VALID(t)) {
        self->m_segmentStartNs = int64_t(segment->time);
        self->m_firstFrameNs = int64_t(t);
      }
    }
  }
  return GST_PAD_PROBE_REMOVE;
}

// --- Video window -------------------------------------------------------------------------------

GstFlowReturn GstMediaGraph::onNewPreroll(GstElement* sink, gpointer data) {
  auto sample = GstRef<GstSample>::adopt(gst_app_sink_pull_preroll(GST_APP_SINK(sink)));
  static_cast<GstMediaGraph*>(data)->showSample(sample.get());
  return GST_FLOW_OK;
}

GstFlowReturn GstMediaGraph::onNewSample(GstElement* sink, gpointer data) {
  auto sample = GstRef<GstSample>::adopt(gst_app_sink_pull_sample(GST_APP_SINK(sink)));
  static_cast<GstMediaGraph*>(data)->showSample(sample.get());
  return GST_FLOW_OK;
}

void GstMediaGraph::showSample(GstSample* sample) {
  if (!sample) return;
  std::lock_guard lock(m_windowLock);  // held during the hand-over: a detach waits for it
  if (!m_window) return;
  GstVideoInfo info;
  if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample))) return;
  const Bitmap frame = ShareVideoBuffer(gst_sample_get_buffer(sample), info, Bitmap::Format::BGRx32);
  if (!frame.IsEmpty()) m_window->ShowFrame(frame);
}

GstPadProbeReturn GstMediaGraph::onVideoSinkEvent(GstPad*, GstPadProbeInfo* info, gpointer data) {
  auto* self = static_cast<GstMediaGraph*>(data);
  GstEvent* event = GST_PAD_PROBE_INFO_EVENT(info);
  if (GST_EVENT_TYPE(event) == GST_EVENT_FLUSH_STOP) {
    self->m_videoEnded = false;
  } else if (GST_EVENT_TYPE(event) == GST_EVENT_EOS) {
    self->m_videoEnded = true;
    // No frame will come (unless a seek that overshot the last key frame is being corrected).
    // Paused, the pipeline posts no end message: say it here, so that a wait for a frame ends.
    if (!self->takeOverVideoEnd()) {
      const uint64_t generation = self->m_generation.load();
      QMetaObject::invokeMethod(
          self->m_receiver.get(),
          [self, generation] {
            if (generation == self->m_generation.load() && !self->m_rendering && self->pausedTarget() &&
                self->OnComplete)
              self->OnComplete();
          },
          Qt::QueuedConnection);
    }
  }
  return GST_PAD_PROBE_OK;
}

void GstMediaGraph::AttachVideoWindow(VideoWindow* window) {
  {
    std::lock_guard lock(m_windowLock);
    m_window = window;
  }
  if (window) window->SetVideoVisible(true);
}

void GstMediaGraph::DetachVideoWindow() {
  VideoWindow* window = nullptr;
  {
    std::lock_guard lock(m_windowLock);
    window = std::exchange(m_window, nullptr);
  }
  if (window) window->SetVideoVisible(false);
}

VideoWindow* GstMediaGraph::AttachedVideoWindow() const {
  std::lock_guard lock(m_windowLock);
  return m_window;
}

// --- Bus ----------------------------------------------------------------------------------------

GstBusSyncReply GstMediaGraph::onBusSync(GstBus*, GstMessage* message, gpointer data) {
  auto* self = static_cast<GstMediaGraph*>(data);
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR:
    case GST_MESSAGE_EOS:
    case GST_MESSAGE_ASYNC_DONE: {
      // Tagged with the media it belongs to: a message that arrives after a Clear is dropped.
      const uint64_t generation = self->m_generation.load();
      auto ref = GstRef<GstMessage>::share(message);
      QMetaObject::invokeMethod(
          self->m_receiver.get(), [self, generation, ref] { self->handleMessage(generation, ref.get()); },
          Qt::QueuedConnection);
      break;
    }
    default:
      break;
  }
  // Nothing is left on the bus: a sync handler that drops a message owns it.
  gst_message_unref(message);
  return GST_BUS_DROP;
}

void GstMediaGraph::handleMessage(uint64_t generation, GstMessage* message) {
  if (generation != m_generation.load()) return;
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ASYNC_DONE:
      m_prerolled = true;
      if (m_loadRun) m_loadRunTimer->start(LoadRunPlayDelayMs);
      // (An older preroll's message may come late: the step waits for the one it needs.)
      if (m_pendingStepSerial && gst_element_get_state(m_pipeline.get(), nullptr, nullptr, 0) != GST_STATE_CHANGE_ASYNC)
        stepTowardsTarget(std::exchange(m_pendingStepSerial, 0), m_pendingStepFrames);
      break;
    case GST_MESSAGE_EOS:
      if (OnComplete) OnComplete();
      break;
    case GST_MESSAGE_ERROR: {
      GErrorPtr error;
      GCharPtr debug;
      gst_message_parse_error(message, error.out(), debug.out());
      // A decoder that reaches the end without a frame after a seek past the last key frame
      // reports an error: the seek is corrected instead.
      if (!m_rendering && error.get() && error.get()->domain == GST_STREAM_ERROR && seekCheckActive() &&
          takeOverVideoEnd())
        break;
      if (m_rendering) {
        m_renderFailed = true;  // RenderFile reports it through its result
        break;
      }
      cancelSeekCheck();
      const bool deviceLost = error.get() && error.get()->domain == GST_RESOURCE_ERROR &&
                              isCaptureSource(GST_MESSAGE_SRC(message));
      if (deviceLost) {
        if (OnDeviceLost) OnDeviceLost();
      } else if (OnError) {
        OnError(QString::fromUtf8(error.get() ? error.get()->message : "media error"));
      }
      break;
    }
    default:
      break;
  }
}

// --- Control ------------------------------------------------------------------------------------

void GstMediaGraph::setPipelineState(GstState state) {
  // ASYNC results are not waited for: the bus says when the state is reached.
  gst_element_set_state(m_pipeline.get(), state);
}

void GstMediaGraph::endLoadPhase() {
  m_loadPhase = false;
  m_loadRun = false;
  if (m_loadRunTimer) m_loadRunTimer->stop();
}

GraphState GstMediaGraph::GetState() const {
  if (m_loadRun) return GraphState::Running;
  GstState current = GST_STATE_NULL;
  if (gst_element_get_state(m_pipeline.get(), &current, nullptr, 0) == GST_STATE_CHANGE_FAILURE)
    return toGraphState(current);
  GST_OBJECT_LOCK(m_pipeline.get());
  const GstState target = GST_STATE_TARGET(m_pipeline.get());
  GST_OBJECT_UNLOCK(m_pipeline.get());
  return toGraphState(target);
}

void GstMediaGraph::Run() {
  if (m_loadPhase && !m_live) {
    // The first Run after a load only prerolls: the frame held is then the first frame, and
    // the Pause() that follows the first frame lands there. The frame may already have passed
    // before the caller cleared the flag: say so again.
    m_loadRun = true;
    int64_t ignored = 0;
    if (heldFrameIsCurrent(&ignored)) RaiseFlag(RenderFrameArrived);
    if (m_prerolled) m_loadRunTimer->start(LoadRunPlayDelayMs);
    return;
  }
  cancelSeekCheck();
  setPipelineState(GST_STATE_PLAYING);
}

void GstMediaGraph::Pause() {
  endLoadPhase();
  setPipelineState(GST_STATE_PAUSED);
}

void GstMediaGraph::Stop() {
  endLoadPhase();
  cancelSeekCheck();
  m_pendingTargetNs = -1;
  setPipelineState(GST_STATE_READY);
}

void GstMediaGraph::SetVolume(int volume) {
  m_volume = std::clamp(volume, 0, 10000);
  applyVolume();
}

void GstMediaGraph::applyVolume() {
  if (!m_volumeElement) return;
  // The attenuation is in hundredths of a decibel; -100 dB is not silence, hence the mute.
  const double amplitude = std::pow(10.0, VolumeToAttenuation(m_volume) / 2000.0);
  g_object_set(m_volumeElement.get(), "volume", amplitude, "mute", m_volume == 0, nullptr);
}

void GstMediaGraph::SetUnclocked(bool unclocked) {
  m_unclocked = unclocked;
  applySync();
}

void GstMediaGraph::applySync() {
  if (m_videoSink) g_object_set(m_videoSink.get(), "sync", !m_unclocked, nullptr);
  if (m_audioSink) g_object_set(m_audioSink.get(), "sync", !m_unclocked, nullptr);
}
