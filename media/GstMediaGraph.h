// The one playback pipeline, over GStreamer.
//
// RenderFile decodes a file with uridecodebin and holds every decoded stream back (blocking pad
// probes) until the graph module has linked them; ReleaseStreams lets the data flow. Bus messages
// reach the user-interface thread through a queued call and are filtered by media generation, so
// nothing said about a previous medium reaches the callbacks of the next one.
//
// Positions count from the first video frame, on the grid of the stream's own frame rate. While
// paused, the position is that of the frame the frame-holding element holds (the position query
// would only repeat the seek target); seeks are accurate and checked on arrival.
#pragma once

#include <gst/gst.h>

#include <QObject>
#include <QTimer>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "media/GstRef.h"
#include "media/MediaGraph.h"
#include "media/px_superposer.h"

class GstMediaGraph : public MediaGraph {
 public:
  GstMediaGraph();
  ~GstMediaGraph() override;
  GstMediaGraph(const GstMediaGraph&) = delete;
  GstMediaGraph& operator=(const GstMediaGraph&) = delete;

  // --- MediaGraph
  void Clear() override;
  bool RenderFile(const QString& path) override;
  int CountElements(const QString& name) const override;
  GraphState GetState() const override;
  void Run() override;
  void Pause() override;
  void Stop() override;
  void SetVolume(int volume) override;
  int GetVolume() const override { return m_volume; }
  void SetUnclocked(bool unclocked) override;
  void SetTimeFormat(TimeFormat format) override { m_timeFormat = format; }
  TimeFormat GetTimeFormat() const override { return m_timeFormat; }
  int64_t GetDuration() override;
  int64_t GetCurrentPosition() override;
  void SetPositions(int64_t current) override;
  int64_t GetStreamFrameDuration() override;
  bool StepForward() override;
  void AttachVideoWindow(VideoWindow* window) override;
  void DetachVideoWindow() override;
  VideoWindow* AttachedVideoWindow() const override;

  // --- For the graph module and the rest of the media layer
  GstElement* Pipeline() const { return m_pipeline.get(); }

  // The streams the decoder exposed for the current media, held back until ReleaseStreams.
  struct Streams {
    std::vector<GstRef<GstPad>> video;  // decoded video
    std::vector<GstRef<GstPad>> audio;  // decoded audio
    std::vector<GstRef<GstPad>> other;  // anything else the decoder exposed (subtitles, ...)
    int undecodableVideo = 0;           // video (or image) streams no decoder could take
  };
  Streams DecodedStreams() const;
  // Adds a stream produced outside the decoder (a capture element's output pad), held back like
  // the decoder's until ReleaseStreams. Any thread.
  void AddStream(GstPad* pad);

  // The video sink "VideoWindow1" of the current media (created on first use): frames go to the
  // attached video window.
  GstElement* VideoSink();
  // The input of the audio branch of the current media (created on first use): converter,
  // resampler, the volume element "volume", and the audio output (a silent clocked sink when the
  // machine has no audio output).
  GstRef<GstPad> AudioBranchInput();
  // Links a pad nobody plays into a sink that discards it.
  bool DiscardStream(GstPad* pad);
  // Brings the elements added since RenderFile to the pipeline's state, then lets the held-back
  // streams flow.
  void ReleaseStreams();

  // The frame-holding element whose held frame gives the position while paused, and whose
  // frame flags wait while a seek is being corrected.
  void SetFrameHolder(Tpx_Superposer* holder);

  // Frames <-> nanoseconds at the stream's own rate (25 fps when the rate is unknown); the
  // index is that of the frame containing the time.
  int64_t FrameStartNs(int64_t frame) const;
  int64_t FrameIndexAtNs(int64_t ns) const;

 private:
  enum class StreamKind { Video, Audio, Other };
  struct PendingStream {
    GstRef<GstPad> pad;
    StreamKind kind;
    gulong probeId;
  };

  static void onPadAdded(GstElement* decoder, GstPad* pad, gpointer self);
  static void onNoMorePads(GstElement* decoder, gpointer self);
  static void onUnknownType(GstElement* decoder, GstPad* pad, GstCaps* caps, gpointer self);
  static GstBusSyncReply onBusSync(GstBus* bus, GstMessage* message, gpointer self);
  static GstFlowReturn onNewPreroll(GstElement* sink, gpointer self);
  static GstFlowReturn onNewSample(GstElement* sink, gpointer self);
  static GstPadProbeReturn onVideoSinkEvent(GstPad* pad, GstPadProbeInfo* info, gpointer self);
  static GstPadProbeReturn onFirstVideoBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);

  // --- Seek landing (GstMediaGraphSeek.cpp). Some demuxers (MPEG program streams) land an
  // accurate seek on the next key frame, or on nothing near the end. With a known frame rate
  // the first frame after a seek is checked; a late one is corrected by a seek further back and
  // steps forward, an early one by steps, and the frame flags wait for the right frame.
  enum class SeekPhase { Idle, Landing, Stepping };
  struct SeekCheck {
    SeekPhase phase = SeekPhase::Idle;
    uint64_t serial = 0;    // names the SetPositions the check serves
    int64_t target = 0;     // frame index asked for
    uint64_t epoch = 0;     // frames of this epoch or older came before the current seek
    int corrections = 0;
    bool frameSeen = false;
  };
  bool admitFrame(const HeldFrameStamp& stamp);          // streaming thread
  bool takeOverVideoEnd();                                // streaming thread
  bool requestCorrectionLocked();
  void correctSeek(uint64_t serial);
  void stepTowardsTarget(uint64_t serial, int64_t frames);
  void onSeekWatchdog();
  void cancelSeekCheck();
  bool seekCheckActive() const;
  bool pausedTarget() const;
  void seekToNs(int64_t ns);              // media time (from the first frame)
  void seekToStreamNs(int64_t streamNs);  // the stream's own time

  void handleMessage(uint64_t generation, GstMessage* message);
  void showSample(GstSample* sample);
  void setPipelineState(GstState state);
  void endLoadPhase();
  bool addToPipeline(GstElement* element);
  void readFrameRate();
  bool heldFrameIsCurrent(int64_t* streamTimeNs) const;
  int64_t frameIndexOfStampNs(int64_t ns) const;
  int64_t originNs() const;
  int64_t durationNs();
  int64_t lastFrameIndex();
  int64_t currentPositionNs();
  void applyVolume();
  void applySync();

  GstRef<GstElement> m_pipeline;
  std::unique_ptr<QObject> m_receiver;  // lives on the user-interface thread
  Tpx_Superposer* m_holder = nullptr;

  // Media generation: advanced by Clear; messages of an older one are dropped.
  std::atomic<uint64_t> m_generation{0};

  // Streams of the current media, filled on the decoder's streaming threads.
  mutable std::mutex m_streamsLock;
  std::vector<PendingStream> m_streams;
  int m_undecodableVideo = 0;
  bool m_streamsReleased = false;
  std::atomic<bool> m_streamsDecided{false};

  // Elements of the current media (the pipeline holds them; these are extra references).
  GstRef<GstElement> m_decoder;
  GstRef<GstElement> m_videoSink;
  GstRef<GstElement> m_audioSink;
  GstRef<GstElement> m_volumeElement;
  std::vector<GstRef<GstElement>> m_discardSinks;

  mutable std::mutex m_windowLock;
  VideoWindow* m_window = nullptr;

  int m_volume = 10000;
  bool m_unclocked = false;
  TimeFormat m_timeFormat = TimeFormat::MediaTime;

  // Rendering and state.
  bool m_rendering = false;      // RenderFile is waiting for the decoder's streams
  bool m_renderFailed = false;   // an error arrived while it waited
  bool m_live = false;           // a live source: no preroll in PAUSED
  bool m_prerolled = false;      // the current media has prerolled at least once
  bool m_loadPhase = false;      // from RenderFile until the first Pause / Stop
  bool m_loadRun = false;        // Run() asked during the load phase: prerolled, not yet playing
  QTimer* m_loadRunTimer = nullptr;
  std::atomic<bool> m_videoEnded{false};  // the video sink received EOS (since the last flush)

  // Positions. Media time 0 is the first video frame: streams whose timestamps start later
  // (program streams, ASF) still show their first frame at 0 and end at their duration.
  std::atomic<int64_t> m_firstFrameNs{-1};     // stream time of the first video frame
  std::atomic<int64_t> m_segmentStartNs{0};    // stream time where the first segment starts
  std::atomic<int> m_fpsNum{0};
  std::atomic<int> m_fpsDen{1};
  bool m_fpsFinal = false;                     // read from the video sink's negotiated caps
  int64_t m_durationNs = -1;                   // as the pipeline reports it
  uint64_t m_positionEpoch = 0;   // held frames of a later epoch show the current position
  int64_t m_pendingTargetNs = -1; // start of the frame the last seek went to

  mutable std::mutex m_seekLock;
  SeekCheck m_seek;
  QTimer* m_seekWatchdog = nullptr;
  uint64_t m_pendingStepSerial = 0;  // a correcting step waiting for the end of a preroll
  int64_t m_pendingStepFrames = 0;
};
