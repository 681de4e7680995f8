// The operations of the media framework that the rest of the program relies on, for one
// playback pipeline. Nothing here names the framework: sources and the window see only this.
//
// Times are media time (signed 64-bit, 100 ns) unless the frame format is set, in which case
// positions and durations are frame indexes at the stream's own frame rate.
#pragma once

#include <cstdint>
#include <functional>
#include <QString>

class VideoWindow;

enum class GraphState : int { NotInitialised = 0, Stopped = 1, Paused = 2, Running = 3 };
enum class TimeFormat { MediaTime, Frame };

class MediaGraph {
 public:
  virtual ~MediaGraph() = default;

  // --- Graph
  // Stops and removes everything the pipeline holds for the previous media; the pipeline itself
  // stays usable.
  virtual void Clear() = 0;
  // Opens and decodes `path` up to its decoded streams. False when it cannot be rendered at all
  // (missing, a folder, not media, no decoder for any stream). Nothing reaches a sink before the
  // graph module has linked the streams.
  virtual bool RenderFile(const QString& path) = 0;
  // Number of elements named `name` (compared without regard to case) in the pipeline.
  virtual int CountElements(const QString& name) const = 0;

  // --- Control
  virtual GraphState GetState() const = 0;
  virtual void Run() = 0;
  virtual void Pause() = 0;
  virtual void Stop() = 0;
  // 0..10000 (clamped), applied as the attenuation round(ln(v+1) x 1085.73) - 10000 in
  // hundredths of dB; 0 mutes.
  virtual void SetVolume(int volume) = 0;
  virtual int GetVolume() const = 0;
  // Runs without a clock: as fast as the data flows.
  virtual void SetUnclocked(bool unclocked) = 0;

  // --- Seeking
  virtual void SetTimeFormat(TimeFormat format) = 0;
  virtual TimeFormat GetTimeFormat() const = 0;
  virtual int64_t GetDuration() = 0;
  // While paused: the position of the frame shown (its stream time), not the seek target.
  virtual int64_t GetCurrentPosition() = 0;
  // Absolute move of the current position; the stop position is left as it is. Accurate:
  // lands on the frame that contains the target.
  virtual void SetPositions(int64_t current) = 0;
  // The stream's own frame length in media time, rounded up to whole units (0 when unknown).
  virtual int64_t GetStreamFrameDuration() = 0;
  // Shows the next frame without a seek (cheap, exact). False when not possible (not paused,
  // at the end).
  virtual bool StepForward() = 0;

  // --- Window
  virtual void AttachVideoWindow(VideoWindow* window) = 0;
  virtual void DetachVideoWindow() = 0;
  virtual VideoWindow* AttachedVideoWindow() const = 0;

  // --- Events, delivered on the user-interface thread.
  // End of stream; also, while paused, the end of the video reached without a frame to show
  // (a seek or step past the last frame), so that a wait for a frame can end.
  std::function<void()> OnComplete;
  std::function<void()> OnDeviceLost;          // a capture device went away
  std::function<void(const QString&)> OnError; // any other error the pipeline reports
};

// The attenuation of a 0..10000 volume, in hundredths of dB (-10000 .. 0).
int VolumeToAttenuation(int volume);
