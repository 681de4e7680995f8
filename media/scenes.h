// Scene detection: reads the recording date and time stamped in every frame of a DV AVI file
// and writes the frames where a new take begins into the scene file beside the video
// (the same path with the extension ".scn"; layout in media/SceneFile.h).
//
// The scan runs through a pipeline of its own, apart from playback, and decodes nothing: the
// compressed DV frames go from the AVI demuxer (and the DV demuxer for interleaved "iavs"
// streams) to a sink that takes them as fast as the file can be read.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "media/SceneFile.h"

class Dialogs;

class Tsm : public QObject {
  Q_OBJECT

 public:
  // The module: one scan at a time, questions through `dialogs`. Sets StopRequested.
  explicit Tsm(Dialogs& dialogs, QObject* parent = nullptr);
  // Stops a scan still running and releases its pipeline.
  ~Tsm() override;

  // Scans `videoPath` and writes its scene file. Returns once the scan has ended, keeping the
  // event loop running meanwhile. True when the scan reached the end of the video or was
  // cancelled (StopRequested); false when the user declined to replace an existing scene file,
  // when the file could not be scanned (not AVI, unreadable; the scene file is then left
  // empty) or when reading failed part way (the count stays 0).
  bool WriteSceneFile(const QString& videoPath, bool ask);

  // Called on the user-interface thread at each new scene record, with the place reached in
  // millionths of the duration: (start of the scene before it x 1000000) div duration + 1.
  std::function<void(int64_t progress)> SceneProgress;
  // Called every second on the user-interface thread while a scan runs, with the position
  // reached and the duration, both in frames.
  std::function<void(int64_t position, int64_t duration)> TimerProgress;

  // The most scene records a file can hold; reaching it ends the scan as the end of the video
  // does. Tests lower it.
  static constexpr uint16_t MaxSceneCount = 32767;
  void setSceneLimit(uint16_t limit) { m_sceneLimit = limit; }

  // The scene file of a video: its path with the extension changed to ".scn".
  static QString sceneFilePath(const QString& videoPath);

 private:
  struct Pipeline;

  bool buildSceneGraph(const QString& videoPath);
  void releaseSceneGraph();
  int64_t queryDurationFrames();

  // Streaming thread.
  void onFrame(const uint8_t* data, size_t size, uint64_t pts, bool ptsValid);
  // Either thread, under m_recordMutex. What the caller hands on, outside the lock.
  struct RecordResult {
    std::optional<int64_t> progress;
    bool limitReached = false;
  };
  RecordResult writeSceneRecord(uint32_t frame);
  // User-interface thread.
  void scenesComplete();
  void onEndOfStream(uint64_t runId);
  void onPipelineError(uint64_t runId);
  void onLimitReached(uint64_t runId);
  void callSceneProgress(uint64_t runId, int64_t progress);
  void smTimerTimer();

  Dialogs& m_dialogs;
  std::unique_ptr<Pipeline> m_pipeline;
  QTimer m_smTimer;
  std::shared_ptr<int> m_alive = std::make_shared<int>(0);
  uint16_t m_sceneLimit = MaxSceneCount;

  // One scan at a time; a new run id makes late messages of an earlier run harmless.
  bool m_scanning = false;
  std::atomic<uint64_t> m_runId{0};

  // Build phase: the streaming thread waits at the gate with the first frame until the scene
  // file is ready (m_armed) or the pipeline goes away (m_closing).
  std::mutex m_gateMutex;
  std::condition_variable m_gate;
  std::atomic<bool> m_armed{false};
  bool m_closing = false;
  std::atomic<bool> m_firstFrameWaiting{false};
  std::atomic<bool> m_buildFailed{false};
  bool m_endPending = false;  // end of stream came before the scan was armed
  bool m_scanFailed = false;

  // Detection state. Per-frame fields belong to the streaming thread; the record fields are
  // shared with the user-interface thread's completion and guarded by m_recordMutex.
  std::mutex m_recordMutex;
  TSceneFileWriter m_writer;
  uint16_t m_sceneCount = 0;
  uint32_t m_lastSceneFrame = 0;
  bool m_countPatched = false;
  std::atomic<bool> m_limitReached{false};
  int64_t m_previousStamp = 0;
  uint32_t m_fallbackFrame = 0;  // used only when a frame carries no time stamp
  std::atomic<uint32_t> m_currentFrame{0};
  std::atomic<uint32_t> m_endFrame{0};  // index after the last frame seen
  std::atomic<bool> m_anyFrame{false};
  int64_t m_durationFrames = 0;
  int m_fpsNum = 0;
  int m_fpsDen = 1;
};
