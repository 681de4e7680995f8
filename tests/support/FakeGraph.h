// A graph module without a media framework: positions, states and frames are plain values the
// test sets and reads, so the logic of the sources can be checked exactly and fast.
#pragma once

#include <vector>

#include "media/Bitmap.h"
#include "media/GraphModule.h"

class FakeMediaGraph : public MediaGraph {
 public:
  void Clear() override { ++clears; state = GraphState::Stopped; }
  bool RenderFile(const QString& path) override { renderedPath = path; return renderSucceeds; }
  int CountElements(const QString&) const override { return 0; }
  GraphState GetState() const override { return state; }
  void Run() override;
  void Pause() override { state = GraphState::Paused; }
  void Stop() override { state = GraphState::Stopped; }
  void SetVolume(int v) override { volume = v; }
  int GetVolume() const override { return volume; }
  void SetUnclocked(bool) override {}
  void SetTimeFormat(TimeFormat f) override { format = f; }
  TimeFormat GetTimeFormat() const override { return format; }
  int64_t GetDuration() override { return toFormat(duration); }
  int64_t GetCurrentPosition() override { return toFormat(position); }
  void SetPositions(int64_t current) override;
  int64_t GetStreamFrameDuration() override { return streamFrameDuration; }
  bool StepForward() override;
  void AttachVideoWindow(VideoWindow* w) override { window = w; }
  void DetachVideoWindow() override { window = nullptr; }
  VideoWindow* AttachedVideoWindow() const override { return window; }

  int64_t toFormat(int64_t time) const;

  // What the test controls and observes.
  bool renderSucceeds = true;
  bool frameOnRun = true;       // the first frame arrives (queued) when the graph runs
  bool frameOnSeek = true;      // a seek brings a frame (queued)
  GraphState state = GraphState::NotInitialised;
  TimeFormat format = TimeFormat::MediaTime;
  int64_t duration = 0;
  int64_t position = 0;
  int64_t streamFrameDuration = 400'000;
  int volume = 0;
  int clears = 0;
  int steps = 0;
  std::vector<int64_t> seeks;   // every SetPositions argument, in the format it was given
  QString renderedPath;
  VideoWindow* window = nullptr;
};

class FakeFrameHolder : public FrameHolder {
 public:
  void CopyHeldFrame(Bitmap& destination) override { destination = held; }
  void SetVerticalFlip(bool f) override { flip = f; }
  bool VerticalFlip() const override { return flip; }
  Bitmap held;
  bool flip = false;
};

class FakeGraphModule : public GraphModule {
 public:
  MediaGraph& fg() override { return graph; }
  uint8_t InsertFrameFilter() override { return insertCode; }
  FrameHolder& Superposer() override { return holder; }
  FakeMediaGraph graph;
  FakeFrameHolder holder;
  uint8_t insertCode = 0;
};
