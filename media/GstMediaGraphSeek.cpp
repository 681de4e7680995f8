// Positions, seeks and frame steps of the playback pipeline.
#include <gst/gst.h>

#include <QMetaObject>
#include <algorithm>
#include <limits>

#include "media/GstMediaGraph.h"
#include "sources/FlagWait.h"
#include "sources/ProgramFlags.h"

namespace {

constexpr int64_t DefaultFrameNs = 40'000'000;
// How long StepForward waits for the next frame.
constexpr int StepTimeoutMs = 2000;
// A seek that brings no frame in this time is taken as lost and corrected; a correction that
// brings nothing in its own time is given up (the waits then end on the frame held).
constexpr int LandingTimeoutMs = 3000;
constexpr int CorrectionTimeoutMs = 3000;
constexpr int MaxSeekCorrections = 3;

}  // namespace

// --- Frame rate and conversions -------------------------------------------------------------------

void GstMediaGraph::readFrameRate() {
  if (m_fpsFinal) return;
  // The caps the video sink negotiated are final; those the decoder first announced may still
  // carry a rate the parser refines later.
  GstRef<GstCaps> caps;
  bool final = false;
  if (m_videoSink) {
    auto pad = GstRef<GstPad>::adopt(gst_element_get_static_pad(m_videoSink.get(), "sink"));
    caps = GstRef<GstCaps>::adopt(gst_pad_get_current_caps(pad.get()));
    final = bool(caps);
  }
  if (!caps) {
    std::lock_guard lock(m_streamsLock);
    for (const auto& stream : m_streams)
      if (stream.kind == StreamKind::Video) {
        caps = GstRef<GstCaps>::adopt(gst_pad_get_current_caps(stream.pad.get()));
        break;
      }
  }
  if (!caps || gst_caps_is_empty(caps.get())) return;
  int num = 0, den = 0;
  // 0/1 is a variable rate: frames then have no fixed grid.
  if (gst_structure_get_fraction(gst_caps_get_structure(caps.get(), 0), "framerate", &num, &den) && num > 0 &&
      den > 0) {
    m_fpsDen = den;
    m_fpsNum = num;
  }
  m_fpsFinal = final;
}

int64_t GstMediaGraph::FrameStartNs(int64_t frame) const {
  if (frame <= 0) return 0;
  const int num = m_fpsNum.load();
  if (num <= 0) return frame * DefaultFrameNs;
  return int64_t(gst_util_uint64_scale(guint64(frame), GST_SECOND * guint64(m_fpsDen.load()), guint64(num)));
}

int64_t GstMediaGraph::FrameIndexAtNs(int64_t ns) const {
  if (ns < 0) return 0;
  // The frame containing the time, where a time a thousandth of a frame (at least one unit)
  // short of a frame start counts as that frame: positions are frame starts rounded down to
  // 100 ns (333333 for frame 1 at 30 fps), and sources add whole-unit frame lengths
  // (3 s + 7 x 333333 for 0:00:03:07), which falls a few units short at such rates.
  const int num = m_fpsNum.load();
  const guint64 frameNum = num > 0 ? guint64(num) : 25;
  const guint64 frameDen = num > 0 ? guint64(m_fpsDen.load()) : 1;
  const guint64 frameUnits = 10'000'000 * frameDen / frameNum;
  const guint64 units = guint64(ns) / 100 + std::max<guint64>(1, frameUnits / 1000);
  return int64_t(gst_util_uint64_scale(units, frameNum, 10'000'000 * frameDen));
}

int64_t GstMediaGraph::frameIndexOfStampNs(int64_t ns) const {
  if (ns < 0) return 0;
  // A frame's own timestamp sits at its start, give or take the container's rounding (whole
  // milliseconds in some), or a quarter frame in after an accurate seek clipped it: nearest.
  const int num = m_fpsNum.load();
  if (num <= 0) return int64_t((guint64(ns) + DefaultFrameNs / 2) / DefaultFrameNs);
  return int64_t(gst_util_uint64_scale_round(guint64(ns), guint64(num), GST_SECOND * guint64(m_fpsDen.load())));
}

int64_t GstMediaGraph::GetStreamFrameDuration() {
  readFrameRate();
  if (m_fpsNum <= 0) return 0;
  // Rounded up: n frames of this length never fall short of the start of frame n within a
  // second, so a timecode converted back to time lands inside its frame (29.97, 30, 60 fps).
  return int64_t(gst_util_uint64_scale_ceil(guint64(m_fpsDen.load()), 10'000'000, guint64(m_fpsNum.load())));
}

// --- Duration and position ------------------------------------------------------------------------

int64_t GstMediaGraph::originNs() const { return std::max<int64_t>(m_firstFrameNs.load(), 0); }

int64_t GstMediaGraph::durationNs() {
  if (m_durationNs <= 0) {
    gint64 ns = -1;
    if (!gst_element_query_duration(m_pipeline.get(), GST_FORMAT_TIME, &ns) || ns <= 0) {
      // Before the sinks have their caps the pipeline may not answer: ask the streams.
      for (const auto& pad : DecodedStreams().video)
        if (gst_pad_query_duration(pad.get(), GST_FORMAT_TIME, &ns) && ns > 0) break;
    }
    if (ns <= 0) return 0;
    m_durationNs = ns;
  }
  // The duration runs from where the stream starts; media time from the first frame.
  if (m_firstFrameNs.load() < 0) return m_durationNs;
  return std::max<int64_t>(0, m_durationNs + m_segmentStartNs.load() - m_firstFrameNs.load());
}

int64_t GstMediaGraph::lastFrameIndex() {
  const int64_t ns = durationNs();
  if (ns <= 0) return -1;
  // The last frame whose quarter-frame seek point still lies before the end.
  return FrameIndexAtNs(std::max<int64_t>(0, ns - FrameStartNs(1) / 4 - 1000));
}

int64_t GstMediaGraph::GetDuration() {
  readFrameRate();
  const int64_t ns = durationNs();
  if (m_timeFormat == TimeFormat::Frame) return ns > 0 ? lastFrameIndex() + 1 : 0;
  return ns / 100;
}

bool GstMediaGraph::heldFrameIsCurrent(int64_t* streamTimeNs) const {
  if (!m_holder) return false;
  const HeldFrameStamp stamp = m_holder->HeldStamp();
  if (!stamp.valid || stamp.epoch <= m_positionEpoch || stamp.streamTimeNs < 0) return false;
  *streamTimeNs = stamp.streamTimeNs;
  return true;
}

int64_t GstMediaGraph::currentPositionNs() {
  if (GetState() == GraphState::Paused) {
    // While a seek is still finding its frame, the frame it goes to.
    if (seekCheckActive() && m_pendingTargetNs >= 0) return m_pendingTargetNs;
    // The frame shown, not the seek target the position query would repeat. The decoder clips
    // the first frame after an accurate seek to the seek point: the frame's start is the start
    // of the frame period that holds its time.
    int64_t held = 0;
    if (heldFrameIsCurrent(&held)) {
      held = std::max<int64_t>(0, held - originNs());
      return m_fpsNum > 0 ? FrameStartNs(frameIndexOfStampNs(held)) : held;
    }
    if (m_pendingTargetNs >= 0) return m_pendingTargetNs;
  }
  gint64 ns = -1;
  if (gst_element_query_position(m_pipeline.get(), GST_FORMAT_TIME, &ns) && ns >= 0)
    return std::max<int64_t>(0, ns - originNs());
  return std::max<int64_t>(m_pendingTargetNs, 0);
}

int64_t GstMediaGraph::GetCurrentPosition() {
  readFrameRate();
  const int64_t ns = currentPositionNs();
  if (m_timeFormat == TimeFormat::Frame) return FrameIndexAtNs(ns);
  return ns / 100;
}

// --- Seeks --------------------------------------------------------------------------------------

void GstMediaGraph::seekToNs(int64_t ns) { seekToStreamNs(originNs() + std::max<int64_t>(ns, 0)); }

void GstMediaGraph::seekToStreamNs(int64_t streamNs) {
  // Sent through the video sink alone: a seek on the pipeline goes to every sink, and some
  // demuxers (avidemux) then flush and seek once per stream, dropping a step that comes between.
  GstElement* target = m_videoSink ? m_videoSink.get() : m_pipeline.get();
  gst_element_send_event(target, gst_event_new_seek(1.0, GST_FORMAT_TIME,
                                                    GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                                    GST_SEEK_TYPE_SET, std::max<int64_t>(streamNs, 0),
                                                    GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE));
}

void GstMediaGraph::SetPositions(int64_t current) {
  if (!m_decoder) return;
  readFrameRate();
  int64_t frame = m_timeFormat == TimeFormat::Frame ? current : FrameIndexAtNs(current * 100);
  frame = std::max<int64_t>(frame, 0);
  // Past the last frame there is nothing to show: the last frame stands for the end.
  const int64_t last = lastFrameIndex();
  if (last >= 0) frame = std::min(frame, last);

  const int64_t startNs = FrameStartNs(frame);
  const int64_t frameNs = FrameStartNs(frame + 1) - startNs;
  m_positionEpoch = m_holder ? m_holder->Epoch() : 0;
  m_pendingTargetNs = startNs;
  m_videoEnded = false;
  bool checked = false;
  {
    std::lock_guard lock(m_seekLock);
    ++m_seek.serial;
    // Without a fixed frame rate there is no frame grid to check against.
    checked = m_holder && m_fpsNum > 0;
    m_seek.phase = checked ? SeekPhase::Landing : SeekPhase::Idle;
    m_seek.target = frame;
    m_seek.epoch = m_positionEpoch;
    m_seek.corrections = 0;
    m_seek.frameSeen = false;
  }
  if (checked)
    m_seekWatchdog->start(LandingTimeoutMs);
  else
    m_seekWatchdog->stop();
  // A quarter frame in: the accurate seek then lands inside the frame whatever the rounding.
  seekToNs(startNs + frameNs / 4);
}

bool GstMediaGraph::pausedTarget() const {
  GST_OBJECT_LOCK(m_pipeline.get());
  const GstState target = GST_STATE_TARGET(m_pipeline.get());
  GST_OBJECT_UNLOCK(m_pipeline.get());
  return target == GST_STATE_PAUSED;
}

bool GstMediaGraph::seekCheckActive() const {
  std::lock_guard lock(m_seekLock);
  return m_seek.phase != SeekPhase::Idle;
}

void GstMediaGraph::cancelSeekCheck() {
  {
    std::lock_guard lock(m_seekLock);
    m_seek.phase = SeekPhase::Idle;
    ++m_seek.serial;
  }
  if (m_seekWatchdog) m_seekWatchdog->stop();
}

bool GstMediaGraph::admitFrame(const HeldFrameStamp& stamp) {
  std::lock_guard lock(m_seekLock);
  if (m_seek.phase == SeekPhase::Idle) return true;
  if (stamp.epoch <= m_seek.epoch) return false;  // still from before the seek
  // Playing: the frames go by anyway, nothing to correct.
  if (!pausedTarget() || stamp.streamTimeNs < 0) {
    m_seek.phase = SeekPhase::Idle;
    return true;
  }
  m_seek.frameSeen = true;
  const int64_t index = frameIndexOfStampNs(std::max<int64_t>(0, stamp.streamTimeNs - originNs()));
  if (index == m_seek.target || (m_seek.phase == SeekPhase::Stepping && index > m_seek.target)) {
    m_seek.phase = SeekPhase::Idle;
    return true;
  }
  if (m_seek.phase == SeekPhase::Stepping) return false;  // on the way to the target
  if (index > m_seek.target) return requestCorrectionLocked();
  // Landed early (a correction went back further than the key frame): step the rest.
  m_seek.phase = SeekPhase::Stepping;
  const uint64_t serial = m_seek.serial;
  const int64_t frames = m_seek.target - index;
  QMetaObject::invokeMethod(
      m_receiver.get(), [this, serial, frames] { stepTowardsTarget(serial, frames); }, Qt::QueuedConnection);
  return false;
}

bool GstMediaGraph::requestCorrectionLocked() {
  if (m_seek.corrections >= MaxSeekCorrections) {
    m_seek.phase = SeekPhase::Idle;
    return true;
  }
  m_seek.epoch = std::numeric_limits<uint64_t>::max();  // nothing counts until the new seek
  const uint64_t serial = m_seek.serial;
  QMetaObject::invokeMethod(m_receiver.get(), [this, serial] { correctSeek(serial); }, Qt::QueuedConnection);
  return false;
}

bool GstMediaGraph::takeOverVideoEnd() {
  std::lock_guard lock(m_seekLock);
  if (m_seek.phase == SeekPhase::Landing) {
    // A seek past the last key frame: go back further (or let a pending correction run).
    if (m_seek.epoch == std::numeric_limits<uint64_t>::max()) return true;
    return !requestCorrectionLocked();
  }
  m_seek.phase = SeekPhase::Idle;
  return false;
}

void GstMediaGraph::correctSeek(uint64_t serial) {
  int64_t streamNs = 0;
  {
    std::lock_guard lock(m_seekLock);
    if (m_seek.phase == SeekPhase::Idle || serial != m_seek.serial) return;
    ++m_seek.corrections;
    m_seek.phase = SeekPhase::Landing;
    m_seek.frameSeen = false;
    m_seek.epoch = m_holder->Epoch();
    // Further back each time; the last time from the very start of the stream (a demuxer that
    // lands on the next key frame lands on the first frame only from there).
    const int64_t targetNs = FrameStartNs(m_seek.target);
    const int64_t backNs = m_seek.corrections == 1 ? GST_SECOND : 4 * GST_SECOND;
    if (m_seek.corrections < MaxSeekCorrections && targetNs > backNs)
      streamNs = originNs() + targetNs - backNs + FrameStartNs(1) / 4;
  }
  m_videoEnded = false;
  m_pendingStepSerial = 0;
  m_seekWatchdog->start(CorrectionTimeoutMs);
  seekToStreamNs(streamNs);
}

void GstMediaGraph::stepTowardsTarget(uint64_t serial, int64_t frames) {
  {
    std::lock_guard lock(m_seekLock);
    if (m_seek.phase != SeekPhase::Stepping || serial != m_seek.serial) return;
  }
  m_seekWatchdog->start(CorrectionTimeoutMs);
  // The sink must hold the landed frame first, or the step would be taken by that frame: the
  // end of the preroll (ASYNC_DONE) sends it then.
  if (gst_element_get_state(m_pipeline.get(), nullptr, nullptr, 0) == GST_STATE_CHANGE_ASYNC) {
    m_pendingStepSerial = serial;
    m_pendingStepFrames = frames;
    return;
  }
  m_pendingStepSerial = 0;
  if (!m_videoSink || !gst_element_send_event(m_videoSink.get(),
                                              gst_event_new_step(GST_FORMAT_BUFFERS, guint64(frames), 1.0, TRUE, FALSE)))
    onSeekWatchdog();
}

void GstMediaGraph::onSeekWatchdog() {
  uint64_t serial = 0;
  bool correct = false;
  {
    std::lock_guard lock(m_seekLock);
    if (m_seek.phase == SeekPhase::Idle) return;
    // A seek that brought nothing at all (a demuxer stuck past the last key frame) is retried
    // further back; anything else is given up on the frame held.
    correct = m_seek.phase == SeekPhase::Landing && !m_seek.frameSeen && m_seek.corrections < MaxSeekCorrections;
    if (!correct) m_seek.phase = SeekPhase::Idle;
    serial = m_seek.serial;
  }
  if (correct) {
    correctSeek(serial);
    return;
  }
  RaiseFlag(RenderFrameArrived);
  RaiseFlag(SeekFrameArrived);
}

// --- Frame step ---------------------------------------------------------------------------------

bool GstMediaGraph::StepForward() {
  if (!m_videoSink || !m_holder || GetState() != GraphState::Paused || m_videoEnded) return false;
  cancelSeekCheck();
  const int64_t last = lastFrameIndex();
  if (last >= 0 && FrameIndexAtNs(currentPositionNs()) >= last) return false;

  // A step given before the sink holds its frame would be taken by that frame: let the
  // pipeline finish prerolling first (the bus wakes this wait).
  auto prerolling = [this] {
    return gst_element_get_state(m_pipeline.get(), nullptr, nullptr, 0) == GST_STATE_CHANGE_ASYNC;
  };
  if (prerolling() && !WaitUntil([&] { return !prerolling(); }, StepTimeoutMs)) return false;

  const uint64_t before = m_holder->DeliveredSerial();
  // A step on the video sink shows the next frame without a flush: far cheaper than a seek.
  if (!gst_element_send_event(m_videoSink.get(), gst_event_new_step(GST_FORMAT_BUFFERS, 1, 1.0, TRUE, FALSE)))
    return false;
  WaitUntil([&] { return m_holder->DeliveredSerial() != before || m_videoEnded.load(); }, StepTimeoutMs);
  return m_holder->DeliveredSerial() != before;
}
