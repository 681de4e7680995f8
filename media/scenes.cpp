#include "media/scenes.h"

#include <gst/gst.h>

#include <QFile>
#include <QFileInfo>
#include <QThread>

#include "media/GstRef.h"
#include "media/GstRuntime.h"
#include "resources/restext.h"
#include "settings/Dialogs.h"
#include "sources/FlagWait.h"
#include "sources/ProgramFlags.h"
#include "sources/dvcodes.h"

namespace {

// Stamps further apart than this start a new scene.
constexpr int64_t ThresholdSeconds = 2;
// A change is recorded only when more than this many frames follow the last scene start, so a
// scene lasts at least 13 frames.
constexpr uint32_t MinSceneGapFrames = 12;
// How long the pipeline may take to show its first frame (or fail) before the file counts as
// unreadable: a guard against a demuxer that neither delivers nor reports anything.
constexpr int BuildTimeoutMs = 30000;

}  // namespace

// The scan pipeline: filesrc ! avidemux ! [dvdemux] ! fakesink, linked as the AVI's pads appear.
// The callbacks run on streaming threads; the nested type reaches Tsm's private state.
struct Tsm::Pipeline {
  Tsm* owner = nullptr;
  GstRef<GstElement> pipeline;  // owns every element added to it
  GstElement* avisplitter = nullptr;
  GstRef<GstPad> nullPad;       // the sink's input, where every DV frame is looked at
  gulong probeId = 0;
  std::atomic<bool> videoLinked{false};

  void fail() {
    owner->m_buildFailed.store(true);
    WakeWaiters();
  }

  bool linkToSink(GstPad* pad) {
    return gst_pad_link(pad, nullPad.get()) == GST_PAD_LINK_OK;
  }

  // The first video stream of the AVI: DV frames go straight to the sink; an interleaved
  // ("iavs") stream first goes through the DV demuxer, whose video output carries the frames.
  static void onAviPadAdded(GstElement*, GstPad* pad, gpointer data) {
    auto* self = static_cast<Pipeline*>(data);
    if (self->videoLinked.load() || !g_str_has_prefix(GST_PAD_NAME(pad), "video_")) return;
    auto caps = GstRef<GstCaps>::adopt(gst_pad_get_current_caps(pad));
    if (!caps) caps = GstRef<GstCaps>::adopt(gst_pad_query_caps(pad, nullptr));
    gboolean systemStream = FALSE;
    if (caps && gst_caps_get_size(caps.get()) > 0) {
      const GstStructure* s = gst_caps_get_structure(caps.get(), 0);
      if (gst_structure_has_name(s, "video/x-dv"))
        gst_structure_get_boolean(s, "systemstream", &systemStream);
    }
    self->videoLinked.store(true);
    if (!systemStream) {
      if (!self->linkToSink(pad)) self->fail();
      return;
    }
    GstElement* dvsplit = gst_element_factory_make("dvdemux", "dvsplit");
    if (dvsplit == nullptr || !gst_bin_add(GST_BIN(self->pipeline.get()), dvsplit)) {
      if (dvsplit != nullptr) gst_object_unref(dvsplit);  // never added: still ours
      self->fail();
      return;
    }
    g_signal_connect(dvsplit, "pad-added", G_CALLBACK(onDvPadAdded), self);
    auto dvInput = GstRef<GstPad>::adopt(gst_element_get_static_pad(dvsplit, "sink"));
    if (!gst_element_sync_state_with_parent(dvsplit) ||
        gst_pad_link(pad, dvInput.get()) != GST_PAD_LINK_OK) {
      self->fail();
    }
  }

  static void onDvPadAdded(GstElement*, GstPad* pad, gpointer data) {
    auto* self = static_cast<Pipeline*>(data);
    if (g_strcmp0(GST_PAD_NAME(pad), "video") != 0) return;  // the audio stays unlinked
    if (!self->linkToSink(pad)) self->fail();
  }

  static void onAviNoMorePads(GstElement*, gpointer data) {
    auto* self = static_cast<Pipeline*>(data);
    if (!self->videoLinked.load()) self->fail();  // no video stream at all
  }

  static GstPadProbeReturn onBuffer(GstPad*, GstPadProbeInfo* info, gpointer data) {
    Tsm* tsm = static_cast<Pipeline*>(data)->owner;
    if (!tsm->m_armed) {
      // The first frame waits here until the scene file is ready, so that it is scanned too.
      std::unique_lock lock(tsm->m_gateMutex);
      if (!tsm->m_firstFrameWaiting.exchange(true)) WakeWaiters();
      tsm->m_gate.wait(lock, [tsm] { return tsm->m_armed || tsm->m_closing; });
      if (tsm->m_closing) return GST_PAD_PROBE_DROP;
    }
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    if (buffer == nullptr) return GST_PAD_PROBE_OK;
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_READ)) return GST_PAD_PROBE_OK;
    try {
      tsm->onFrame(map.data, map.size, GST_BUFFER_PTS(buffer), GST_BUFFER_PTS_IS_VALID(buffer));
    } catch (...) {
      // A frame that cannot be handled is skipped; the scan goes on.
    }
    gst_buffer_unmap(buffer, &map);
    return GST_PAD_PROBE_OK;
  }

  // Every message is taken here, on the thread that posts it; the end of the stream and errors
  // are handed to the user-interface thread.
  static GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data) {
    Tsm* tsm = static_cast<Pipeline*>(data)->owner;
    const uint64_t runId = tsm->m_runId.load();
    switch (GST_MESSAGE_TYPE(message)) {
      case GST_MESSAGE_EOS:
        QMetaObject::invokeMethod(tsm, [tsm, runId] { tsm->onEndOfStream(runId); },
                                  Qt::QueuedConnection);
        break;
      case GST_MESSAGE_ERROR:
        QMetaObject::invokeMethod(tsm, [tsm, runId] { tsm->onPipelineError(runId); },
                                  Qt::QueuedConnection);
        break;
      default:
        break;
    }
    return GST_BUS_DROP;
  }
};

Tsm::Tsm(Dialogs& dialogs, QObject* parent) : QObject(parent), m_dialogs(dialogs) {
  EnsureGstInitialised();
  StopRequested.store(true);
  m_smTimer.setInterval(1000);
  connect(&m_smTimer, &QTimer::timeout, this, &Tsm::smTimerTimer);
}

Tsm::~Tsm() {
  m_smTimer.stop();
  releaseSceneGraph();
  std::lock_guard lock(m_recordMutex);
  m_writer.Close();
}

QString Tsm::sceneFilePath(const QString& videoPath) {
  const qsizetype slash = videoPath.lastIndexOf(QLatin1Char('/'));
  const qsizetype dot = videoPath.lastIndexOf(QLatin1Char('.'));
  const QString stem = dot > slash ? videoPath.left(dot) : videoPath;
  return stem + QStringLiteral(".scn");
}

bool Tsm::WriteSceneFile(const QString& videoPath, bool ask) {
  if (m_scanning) return false;  // one scan at a time
  StopRequested.store(false);
  const QString scenePath = sceneFilePath(videoPath);
  if (scenePath == videoPath) return false;  // a video named .scn would be wiped by its own scan
  if (ask && QFileInfo::exists(scenePath)) {
    QString question = restext::ReplaceSceneFile;
    question.replace(QStringLiteral("%s"), scenePath);
    if (m_dialogs.Ask(question, {DialogButton::Yes, DialogButton::No}) != DialogButton::Yes)
      return false;
  }
  const std::weak_ptr<int> alive = m_alive;

  {
    std::lock_guard lock(m_recordMutex);
    if (!m_writer.Create(QFile::encodeName(scenePath).toStdString())) return false;
    m_sceneCount = 0;
    m_lastSceneFrame = 0;
    m_countPatched = false;
  }
  m_limitReached.store(false);
  m_previousStamp = 0;
  m_fallbackFrame = 0;
  m_currentFrame.store(0);
  m_endFrame.store(0);
  m_anyFrame.store(false);
  m_durationFrames = 0;
  m_fpsNum = 0;
  m_fpsDen = 1;
  m_firstFrameWaiting.store(false);
  m_buildFailed.store(false);
  m_endPending = false;
  m_scanFailed = false;
  {
    std::lock_guard lock(m_gateMutex);
    m_armed = false;
    m_closing = false;
  }
  m_scanning = true;
  ++m_runId;

  m_pipeline = std::make_unique<Pipeline>();
  m_pipeline->owner = this;
  const bool built = buildSceneGraph(videoPath) &&
                     WaitUntil([&] {
                       return alive.expired() || m_firstFrameWaiting.load() ||
                              m_buildFailed.load() || m_endPending || StopRequested.load();
                     }, BuildTimeoutMs);
  if (alive.expired()) return false;  // destroyed inside the wait: touch nothing
  if (!built || (m_buildFailed.load() && !m_firstFrameWaiting.load())) {
    releaseSceneGraph();
    std::lock_guard lock(m_recordMutex);
    m_writer.Close();  // the scene file stays, empty
    m_scanning = false;
    return false;
  }

  {
    std::lock_guard lock(m_recordMutex);
    m_writer.WriteHeader(QFile::encodeName(videoPath).toStdString());
  }
  m_durationFrames = queryDurationFrames();
  {
    std::lock_guard lock(m_gateMutex);
    m_armed = true;
  }
  m_gate.notify_all();
  if (TimerProgress) m_smTimer.start();
  gst_element_set_state(m_pipeline->pipeline.get(), GST_STATE_PLAYING);
  if (m_endPending) scenesComplete();

  WaitUntil([&] { return alive.expired() || StopRequested.load(); });
  if (alive.expired()) return false;

  m_smTimer.stop();
  // Once the pipeline is down no streaming thread can reach the file any more.
  releaseSceneGraph();
  {
    std::lock_guard lock(m_recordMutex);
    m_writer.Close();
  }
  m_scanning = false;
  return !m_scanFailed;
}

bool Tsm::buildSceneGraph(const QString& videoPath) {
  Pipeline& p = *m_pipeline;
  p.pipeline = GstRef<GstElement>::adopt(
      static_cast<GstElement*>(gst_object_ref_sink(gst_pipeline_new("scenes"))));
  GstElement* source = gst_element_factory_make("filesrc", "source");
  p.avisplitter = gst_element_factory_make("avidemux", "avisplitter");
  GstElement* null = gst_element_factory_make("fakesink", "null");
  if (!p.pipeline || source == nullptr || p.avisplitter == nullptr || null == nullptr) {
    for (GstElement* e : {source, p.avisplitter, null})
      if (e != nullptr) gst_object_unref(gst_object_ref_sink(e));
    p.avisplitter = nullptr;
    return false;
  }
  gst_bin_add_many(GST_BIN(p.pipeline.get()), source, p.avisplitter, null, nullptr);
  g_object_set(source, "location", QFile::encodeName(videoPath).constData(), nullptr);
  // No clock, no preroll copy: the frames are only looked at, as fast as they are read.
  g_object_set(null, "sync", FALSE, "enable-last-sample", FALSE, "qos", FALSE, nullptr);
  if (!gst_element_link(source, p.avisplitter)) return false;

  g_signal_connect(p.avisplitter, "pad-added", G_CALLBACK(Pipeline::onAviPadAdded), &p);
  g_signal_connect(p.avisplitter, "no-more-pads", G_CALLBACK(Pipeline::onAviNoMorePads), &p);
  p.nullPad = GstRef<GstPad>::adopt(gst_element_get_static_pad(null, "sink"));
  p.probeId = gst_pad_add_probe(p.nullPad.get(), GST_PAD_PROBE_TYPE_BUFFER, Pipeline::onBuffer,
                                &p, nullptr);
  auto bus = GstRef<GstBus>::adopt(gst_element_get_bus(p.pipeline.get()));
  gst_bus_set_sync_handler(bus.get(), Pipeline::onBusMessage, &p, nullptr);

  return gst_element_set_state(p.pipeline.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
}

void Tsm::releaseSceneGraph() {
  if (!m_pipeline) return;
  {
    // Frees a first frame still held at the gate, or the state change below would wait for it.
    std::lock_guard lock(m_gateMutex);
    m_closing = true;
  }
  m_gate.notify_all();
  Pipeline& p = *m_pipeline;
  if (p.pipeline) {
    // Returns once every streaming thread has stopped: no probe or callback runs after this.
    gst_element_set_state(p.pipeline.get(), GST_STATE_NULL);
    auto bus = GstRef<GstBus>::adopt(gst_element_get_bus(p.pipeline.get()));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    if (p.nullPad && p.probeId != 0) gst_pad_remove_probe(p.nullPad.get(), p.probeId);
  }
  m_pipeline.reset();
}

int64_t Tsm::queryDurationFrames() {
  Pipeline& p = *m_pipeline;
  auto caps = GstRef<GstCaps>::adopt(gst_pad_get_current_caps(p.nullPad.get()));
  if (caps && gst_caps_get_size(caps.get()) > 0) {
    int num = 0, den = 0;
    if (gst_structure_get_fraction(gst_caps_get_structure(caps.get(), 0), "framerate", &num,
                                   &den) &&
        num > 0 && den > 0) {
      m_fpsNum = num;
      m_fpsDen = den;
    }
  }
  gint64 durationNs = 0;
  if (m_fpsNum <= 0 ||
      !gst_pad_peer_query_duration(p.nullPad.get(), GST_FORMAT_TIME, &durationNs) ||
      durationNs <= 0) {
    return 0;
  }
  return static_cast<int64_t>(gst_util_uint64_scale_round(
      static_cast<guint64>(durationNs), static_cast<guint64>(m_fpsNum),
      static_cast<guint64>(m_fpsDen) * GST_SECOND));
}

void Tsm::onFrame(const uint8_t* data, size_t size, uint64_t pts, bool ptsValid) {
  // After a cancel or at the limit nothing more is written, even before the pipeline stops.
  if (m_limitReached.load(std::memory_order_relaxed) ||
      StopRequested.load(std::memory_order_relaxed)) {
    return;
  }
  // The frame's place in the stream comes from its time stamp, so a frame the demuxer skips
  // does not shift the frames after it.
  uint32_t frame = m_fallbackFrame;
  if (ptsValid && m_fpsNum > 0) {
    frame = static_cast<uint32_t>(gst_util_uint64_scale_round(
        pts, static_cast<guint64>(m_fpsNum), static_cast<guint64>(m_fpsDen) * GST_SECOND));
  }
  m_fallbackFrame = frame + 1;
  m_currentFrame.store(frame, std::memory_order_relaxed);
  m_endFrame.store(frame + 1, std::memory_order_relaxed);
  m_anyFrame.store(true, std::memory_order_relaxed);

  TDVRecordingDate date;
  DecodeRecordingDateTime(data, size, 0, date);
  const std::optional<int64_t> stamp = RecordingStampSeconds(date);
  if (!stamp) return;  // not a real date: this frame is ignored altogether
  const int64_t gap = *stamp > m_previousStamp ? *stamp - m_previousStamp : m_previousStamp - *stamp;
  m_previousStamp = *stamp;
  if (gap <= ThresholdSeconds) return;
  RecordResult record;
  {
    std::lock_guard lock(m_recordMutex);
    if (frame - m_lastSceneFrame > MinSceneGapFrames) record = writeSceneRecord(frame);
  }
  // Handed to the user-interface thread, in order: the progress, then the end at the limit.
  const uint64_t runId = m_runId.load();
  if (record.progress) {
    const int64_t progress = *record.progress;
    QMetaObject::invokeMethod(this, [this, runId, progress] { callSceneProgress(runId, progress); },
                              Qt::QueuedConnection);
  }
  if (record.limitReached) {
    QMetaObject::invokeMethod(this, [this, runId] { onLimitReached(runId); },
                              Qt::QueuedConnection);
  }
}

Tsm::RecordResult Tsm::writeSceneRecord(uint32_t frame) {
  RecordResult result;
  if (m_countPatched || m_sceneCount >= m_sceneLimit) return result;
  if (frame == 0) {
    m_lastSceneFrame = 0;
    return result;
  }
  ++m_sceneCount;
  if (m_durationFrames > 0)  // an unknown duration gives no progress rather than a division by 0
    result.progress = static_cast<int64_t>(m_lastSceneFrame) * 1000000 / m_durationFrames + 1;
  const uint32_t g = frame + 1;
  if (m_sceneCount == 1)
    m_writer.WriteFirstRecord(g);
  else
    m_writer.WriteFollowingRecord(m_lastSceneFrame, g - m_lastSceneFrame);
  m_lastSceneFrame = g;
  if (m_sceneCount >= m_sceneLimit) {
    m_limitReached.store(true);
    result.limitReached = true;
  }
  return result;
}

void Tsm::callSceneProgress(uint64_t runId, int64_t progress) {
  if (m_scanning && runId == m_runId.load() && !StopRequested.load() && SceneProgress)
    SceneProgress(progress);
}

void Tsm::scenesComplete() {
  m_smTimer.stop();
  RecordResult record;
  {
    std::lock_guard lock(m_recordMutex);
    // The last scene runs to the end of the video: the frame after the last one read.
    if (m_anyFrame.load()) record = writeSceneRecord(m_endFrame.load() - 1);
    if (!m_countPatched) {
      m_writer.PatchCount(m_sceneCount);
      m_countPatched = true;
    }
  }
  if (record.progress) callSceneProgress(m_runId.load(), *record.progress);
  RaiseFlag(StopRequested);
}

void Tsm::onEndOfStream(uint64_t runId) {
  // A scan cancelled while this was on its way stays cancelled (its count stays 0).
  if (!m_scanning || runId != m_runId.load() || StopRequested.load()) return;
  if (!m_armed) {
    m_endPending = true;  // handled once the scene file is ready
    return;
  }
  scenesComplete();
}

void Tsm::onLimitReached(uint64_t runId) {
  if (!m_scanning || runId != m_runId.load() || !m_armed || StopRequested.load()) return;
  scenesComplete();
}

void Tsm::onPipelineError(uint64_t runId) {
  if (!m_scanning || runId != m_runId.load()) return;
  if (!m_armed) {
    m_buildFailed.store(true);
    return;
  }
  m_scanFailed = true;
  RaiseFlag(StopRequested);
}

void Tsm::smTimerTimer() {
  if (TimerProgress) TimerProgress(m_currentFrame.load(), m_durationFrames);
}
