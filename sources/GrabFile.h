// The frame source for one video file, played through the graph module's pipeline.
#pragma once

#include <memory>

#include "sources/GrabUnit.h"

class GraphModule;

class TgrabFile : public TGrab {
 public:
  // Never fails: an unreadable header only leaves VideoCodec empty and CanDetectScenes false.
  TgrabFile(const QString& path, GraphModule& dm);
  ~TgrabFile() override;  // stops the pipeline, detaches the video window

  int GetState() override;
  int GetVolume() override;
  void SetVolume(int volume) override;
  void GetDuration(TGrabPosition& position) override;
  void GetPosition(TGrabPosition& position) override;
  void SetPosition(TGrabPosition& position, bool wait) override;
  uint8_t Render(VideoWindow* window) override;
  void GrabFrame(Bitmap& bitmap) override;
  void AvanceLow() override;
  void AvanceMedium() override;
  void AvanceHigh() override;
  void AvanceEnd() override;
  void ReculeLow() override;
  void ReculeMedium() override;
  void ReculeHigh() override;
  void ReculeHome() override;
  void Play() override;
  void Pause() override;
  bool AvanceTrack() override;
  bool ReculeTrack() override;

  QString VideoCodec;
  int64_t Duration = 0;
  QString FileName;
  bool CanDetectScenes = false;

  // The position object the main window's GrabFrame refreshes (its CurrentPosition).
  void SetGrabPosition(TGrabPosition* position) { m_grabPosition = position; }

 private:
  void codecCheck();
  void moveTo(int64_t target);
  bool waitForFrame(const std::atomic<bool>& flag);
  bool sceneMove(bool next);

  GraphModule& m_dm;
  VideoWindow* m_videoWindow = nullptr;
  TGrabPosition* m_grabPosition = nullptr;
  // Expires with this object: a wait that outlives it (the window closed meanwhile) sees that.
  std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};

class TGrabFilePosition : public TGrabPosition {
 public:
  TGrabFilePosition(TgrabFile* source, int64_t time);

  QString GetText() const override;
  void SetText(const QString& text) override;
  int64_t GetProgress() const override;
  void SetProgress(int64_t progress) override;

  int64_t Time = 0;
  int64_t Duration = 0;

 private:
  int64_t frameDuration() const;
};
