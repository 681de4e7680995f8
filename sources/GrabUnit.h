// The abstract frame source, its position object and the timecode.
// The plain TGrab is the empty source: every operation does nothing.
#pragma once

#include <cstdint>
#include <QString>

class Bitmap;
class VideoWindow;
class TGrab;

// Media time: 100 ns units.
constexpr int64_t UnitsPerSecond = 10'000'000;
constexpr int64_t DefaultFrameDuration = 400'000;  // 40 ms, 25 frames per second

// Render result codes.
enum RenderCode : uint8_t {
  RenderOk = 0,
  RenderUnexpectedFailure = 1,
  RenderFrameFilterFailed = 2,
  RenderMediaFailed = 3,
};

// One packed 32-bit value, least significant byte first: hours (signed), minutes, seconds, frames.
struct TTimecode {
  int8_t Hours = 0;
  uint8_t Minutes = 0;
  uint8_t Seconds = 0;
  uint8_t Frames = 0;

  uint32_t Packed() const;
  static TTimecode FromPacked(uint32_t value);
  bool operator==(const TTimecode&) const = default;
};

// File positions round 20 microseconds up so that a time just short of a frame start shows that frame.
constexpr int64_t FileTimecodeOffset = 200;
constexpr int64_t DiscTimecodeOffset = 0;

TTimecode TimeToTimecode(int64_t time, int64_t frameDuration, int64_t offset);
int64_t TimecodeToTime(const TTimecode& code, int64_t frameDuration);
QString TimecodeText(const TTimecode& code);            // "%d:%.2d:%.2d:%.2d"
TTimecode ParseTimecodeText(const QString& text);        // never fails; non-numbers count as 0

// Progress in millionths of the duration.
constexpr int64_t ProgressScale = 1'000'000;
int64_t TimeToProgress(int64_t time, int64_t duration);
int64_t ProgressToTime(int64_t progress, int64_t duration);

class TGrabPosition {
 public:
  virtual ~TGrabPosition() = default;
  virtual QString GetText() const { return {}; }
  virtual void SetText(const QString& text) {}
  virtual int64_t GetProgress() const { return 0; }
  virtual void SetProgress(int64_t progress) {}

  TGrab* Grab = nullptr;  // not owned
};

class TGrab {
 public:
  TGrab();
  virtual ~TGrab() = default;  // the source's Destroy: stops and releases what it holds
  TGrab(const TGrab&) = delete;
  TGrab& operator=(const TGrab&) = delete;

  virtual int GetState() { return 2; }
  virtual int GetVolume() { return 10000; }
  virtual void SetVolume(int volume) { Volume = volume; }
  virtual void GetDuration(TGrabPosition& position) {}
  virtual void GetPosition(TGrabPosition& position) {}
  virtual void SetPosition(TGrabPosition& position, bool wait) {}
  virtual uint8_t Render(VideoWindow* window) { return RenderOk; }
  virtual void GrabFrame(Bitmap& bitmap);
  virtual void AvanceLow() {}
  virtual void AvanceMedium() {}
  virtual void AvanceHigh() {}
  virtual void AvanceEnd() {}
  virtual void ReculeLow() {}
  virtual void ReculeMedium() {}
  virtual void ReculeHigh() {}
  virtual void ReculeHome() {}
  virtual void Play() {}
  virtual void Pause() {}
  virtual void Stop() {}
  virtual bool AvanceTrack() { return false; }
  virtual bool ReculeTrack() { return false; }

  int64_t FrameDuration = DefaultFrameDuration;
  int32_t Volume = 0;
  bool IsTape = false;
  QString Description;
};
