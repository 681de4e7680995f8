#include "settings/IntervalloLogic.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr int64_t TicksPerSecond = 10'000'000;
constexpr int64_t TicksPerMinute = 60 * TicksPerSecond;
constexpr int64_t TicksPerMs = 10'000;
constexpr int64_t FallbackFrameDuration = 400'000;

// A timer interval from media time; a period of 0 ms would fire without end.
int timerMs(int64_t ticks) { return int(std::max<int64_t>(1, ticks / TicksPerMs)); }

}  // namespace

int64_t SteadyIntervalloClock::NowMs() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int64_t IntervalloUnitLength(int unit, int64_t frameDuration) {
  switch (unit) {
    case UnitFrames:
      return frameDuration > 0 ? frameDuration : FallbackFrameDuration;
    case UnitMinutes:
      return TicksPerMinute;
    default:
      return TicksPerSecond;
  }
}

int64_t PicturesToTakeFrom(int64_t time, int64_t duration, int64_t intervalTicks) {
  // Past the end there is nothing to take (a plain truncating division would still give one).
  if (intervalTicks <= 0 || time > duration) return 0;
  return (duration - time) / intervalTicks + 1;
}

void TIntervalloLogic::SetInterval(int value, int unit, int64_t frameDuration) {
  IntervalInTicks = int64_t(std::max(value, 1)) * IntervalloUnitLength(unit, frameDuration);
  SubSecondTicks = IntervalInTicks % TicksPerSecond;
  SecondsLeft = IntervalInTicks / TicksPerSecond;
}

void TIntervalloLogic::FixRun(int64_t time, int64_t duration, int32_t track) {
  RunStartTime = time;
  RunTrack = track;
  PicturesToTake = PicturesToTakeFrom(time, duration, IntervalInTicks);
  SecondsLeft = PicturesToTake;
}

bool TIntervalloLogic::StartCountdown(int64_t* firstCount) {
  SecondsLeft = IntervalInTicks / TicksPerSecond;
  SubSecondTicks = IntervalInTicks % TicksPerSecond;
  bool showCount = false;
  if (SubSecondTicks != 0 || SecondsLeft <= 0) {
    SetTimerInterval(timerMs(SubSecondTicks));
  } else {
    showCount = true;
    if (firstCount) *firstCount = SecondsLeft;
    SecondsLeft -= 1;
    SetTimerInterval(1000);
  }
  StartTimer();
  return showCount;
}

void TIntervalloLogic::Tick(const TickActions& actions, bool beepOn, bool stopRequested) {
  if (!m_timerActive) return;
  // The timer's next period is fixed when it fires, before its handler runs; a handler that
  // overran a whole period gets its next tick at once.
  const int64_t now = m_clock.NowMs();
  m_dueMs += m_intervalMs;
  if (m_dueMs < now) m_dueMs = now;
  if (stopRequested) return;

  if (actions.showCount) actions.showCount(SecondsLeft);
  if (SecondsLeft > 0) {
    SecondsLeft -= 1;
    if (beepOn && SecondsLeft < 5 && actions.playSound) actions.playSound(QStringLiteral("BEEP0"));
    SetTimerInterval(1000);
    return;
  }
  if (beepOn && actions.playSound) actions.playSound(QStringLiteral("BEEP1"));
  if (actions.takePicture) actions.takePicture();
  SecondsLeft = IntervalInTicks / TicksPerSecond;
  const int64_t rest = IntervalInTicks % TicksPerSecond;
  if (rest > 0) {
    SetTimerInterval(timerMs(rest));
  } else {
    SetTimerInterval(1000);
    SecondsLeft -= 1;
  }
}

void TIntervalloLogic::StartTimer() {
  m_timerActive = true;
  m_dueMs = m_clock.NowMs() + m_intervalMs;
}

void TIntervalloLogic::SetTimerInterval(int intervalMs) {
  intervalMs = std::max(intervalMs, 1);
  if (intervalMs == m_intervalMs) return;
  m_intervalMs = intervalMs;
  if (m_timerActive) m_dueMs = m_clock.NowMs() + m_intervalMs;
}
