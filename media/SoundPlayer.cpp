#include "media/SoundPlayer.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <memory>
#include <QElapsedTimer>

#include "media/GstRef.h"
#include "media/GstRuntime.h"
#include "sources/FlagWait.h"

namespace {

// After a failed attempt, the output is not asked again for this long.
constexpr int64_t RetryOutputAfterMs = 30'000;
// Beyond the sound's own length, a play never waits longer than this.
constexpr int SafetyMarginMs = 3000;

int64_t monotonicMs() {
  static QElapsedTimer clock = [] {
    QElapsedTimer t;
    t.start();
    return t;
  }();
  return clock.elapsed();
}

// What the streaming threads report; shared with the bus handler for the play's duration.
struct PlayState {
  std::atomic<bool> ended{false};
  std::atomic<bool> failed{false};
};

GstBusSyncReply onBusMessage(GstBus*, GstMessage* message, gpointer data) {
  auto* state = static_cast<PlayState*>(data);
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
      RaiseFlag(state->ended);
      break;
    case GST_MESSAGE_ERROR:
      state->failed = true;
      RaiseFlag(state->ended);
      break;
    default:
      break;
  }
  return GST_BUS_PASS;
}

// The longest the sound can last: its data length at the byte rate of its header (any rate
// below 1000 bytes per second is taken as 1000).
int soundLengthMs(const QByteArray& wav) {
  uint32_t byteRate = 0;
  if (wav.size() >= 32 && wav.startsWith("RIFF"))
    byteRate = uint8_t(wav[28]) | uint8_t(wav[29]) << 8 | uint8_t(wav[30]) << 16 |
               uint32_t(uint8_t(wav[31])) << 24;
  byteRate = std::max<uint32_t>(byteRate, 1000);
  return int(std::min<int64_t>(int64_t(wav.size()) * 1000 / byteRate, 10 * 60 * 1000));
}

}  // namespace

SoundPlayer::SoundPlayer(QString sink) : m_sink(std::move(sink)) {}

bool SoundPlayer::Play(const QByteArray& wav) {
  if (wav.isEmpty() || monotonicMs() < m_noOutputUntilMs) return false;
  EnsureGstInitialised();

  const QByteArray description =
      "appsrc name=src format=bytes caps=audio/x-wav ! wavparse ! audioconvert ! audioresample ! " +
      m_sink.toUtf8();
  GErrorPtr error;
  auto pipeline = GstRef<GstElement>::adopt(gst_parse_launch(description.constData(), error.out()));
  if (!pipeline || error.get()) return false;
  auto src = GstRef<GstElement>::adopt(gst_bin_get_by_name(GST_BIN(pipeline.get()), "src"));
  if (!src) return false;

  auto state = std::make_shared<PlayState>();
  auto bus = GstRef<GstBus>::adopt(gst_element_get_bus(pipeline.get()));
  gst_bus_set_sync_handler(bus.get(), onBusMessage, state.get(), nullptr);
  // Whatever way this returns: stopped, and the handler gone before `state` is.
  struct Teardown {
    GstElement* pipeline;
    GstBus* bus;
    ~Teardown() {
      gst_element_set_state(pipeline, GST_STATE_NULL);
      gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
    }
  } teardown{pipeline.get(), bus.get()};

  GstBuffer* buffer = gst_buffer_new_memdup(wav.constData(), gsize(wav.size()));
  gst_app_src_push_buffer(GST_APP_SRC(src.get()), buffer);  // takes the buffer
  gst_app_src_end_of_stream(GST_APP_SRC(src.get()));

  if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    // No audio output here (no device, no sound server): stay silent for a while.
    m_noOutputUntilMs = monotonicMs() + RetryOutputAfterMs;
    return false;
  }
  WaitUntil([&] { return state->ended.load(); }, soundLengthMs(wav) + SafetyMarginMs);
  return state->ended && !state->failed;
}
