// The intervalometer's arithmetic and its live countdown, apart from any widget or timer of the
// toolkit: the interval in media time, the pictures a file run takes and where, and the
// one-second countdown of a capture run with its beeps. The clock is passed in, so the countdown
// can be driven by a test clock; the window turns NextTickMs into a toolkit timer.
#pragma once

#include <cstdint>
#include <functional>
#include <QString>

// Milliseconds on a monotonic clock.
class IntervalloClock {
 public:
  virtual ~IntervalloClock() = default;
  virtual int64_t NowMs() const = 0;
};

// The process's monotonic clock.
class SteadyIntervalloClock : public IntervalloClock {
 public:
  int64_t NowMs() const override;
};

// Unit list items, in their order.
enum IntervalloUnitIndex : int { UnitSeconds = 0, UnitFrames = 1, UnitMinutes = 2 };

// Media-time length of one unit; frames use the source's frame duration (40 ms when it has none).
int64_t IntervalloUnitLength(int unit, int64_t frameDuration);
// Pictures from `time` to `duration`, one every `intervalTicks`, the first at `time` and the last
// at or before `duration`. None when the position is past the end or the interval is not positive.
int64_t PicturesToTakeFrom(int64_t time, int64_t duration, int64_t intervalTicks);

class TIntervalloLogic {
 public:
  explicit TIntervalloLogic(const IntervalloClock& clock) : m_clock(clock) {}

  // The interval from the panel's value and unit. A value below 1 counts as 1: a zero interval
  // would leave nothing to count and the countdown timer without a period.
  void SetInterval(int value, int unit, int64_t frameDuration);
  // A file or disc run starting at `time` of `duration` (and on `track` for a disc).
  void FixRun(int64_t time, int64_t duration, int32_t track = 0);
  // Media time of the k-th picture of the run.
  int64_t RunTime(int64_t k) const { return RunStartTime + k * IntervalInTicks; }

  int64_t IntervalInTicks = 0;
  int64_t SubSecondTicks = 0;
  int64_t SecondsLeft = 0;  // capture: seconds to count down; file or disc: pictures still to take
  int64_t PicturesToTake = 0;
  int64_t RunStartTime = 0;
  int32_t RunTrack = 0;

  // --- The live countdown of a capture run.
  struct TickActions {
    std::function<void(int64_t)> showCount;         // the count label's text
    std::function<void(const QString&)> playSound;  // "BEEP0" or "BEEP1", played to its end
    std::function<void()> takePicture;              // snap and save
  };
  // Starts the countdown timer from now. True when the count label is to be shown (a whole
  // number of seconds, at least one); `firstCount` then receives the count it shows.
  bool StartCountdown(int64_t* firstCount);
  // One tick of the countdown timer, due at NextTickMs(). With `stopRequested` the timer keeps
  // its period and nothing else happens.
  void Tick(const TickActions& actions, bool beepOn, bool stopRequested);

  // --- The countdown timer, with the window timer's rule: setting the interval it already has
  // keeps it on its period; another value restarts the period from that moment.
  void StartTimer();
  void StopTimer() { m_timerActive = false; }
  void SetTimerInterval(int intervalMs);
  bool TimerActive() const { return m_timerActive; }
  int TimerIntervalMs() const { return m_intervalMs; }
  // When the next tick is due (clock milliseconds); meaningless while the timer is stopped.
  int64_t NextTickMs() const { return m_dueMs; }

 private:
  const IntervalloClock& m_clock;
  bool m_timerActive = false;
  int m_intervalMs = 1000;
  int64_t m_dueMs = 0;
};
