// The intervalometer's arithmetic and its live countdown, driven by a test clock: what the count
// label shows, which beep sounds and when pictures are taken.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/IntervalloLogic.h"
#include "tests/support/FakeShell.h"

namespace {

constexpr int64_t Second = 10'000'000;

class TestClock : public IntervalloClock {
 public:
  int64_t NowMs() const override { return now; }
  int64_t now = 0;
};

// Runs a capture countdown tick by tick at the times the logic asks for, and writes down what
// each tick did: "time:count[,BEEP0|,BEEP1][,picture]".
class Countdown {
 public:
  Countdown(int value, int unit, bool beep = true, int saveMs = 0,
            int64_t frameDuration = 400'000)
      : logic(clock), beepOn(beep), saveMs(saveMs) {
    logic.SetInterval(value, unit, frameDuration);
    labelShown = logic.StartCountdown(&firstCount);
  }

  std::vector<std::string> run(int ticks) {
    std::vector<std::string> out;
    for (int i = 0; i < ticks; ++i) {
      clock.now = logic.NextTickMs();
      std::string line = std::to_string(clock.now);
      const int soundsBefore = shell.sounds.size();
      TIntervalloLogic::TickActions actions;
      actions.showCount = [&](int64_t count) { line += ":" + std::to_string(count); };
      actions.playSound = [&](const QString& name) { shell.PlaySound(name); };
      actions.takePicture = [&] {
        for (int s = soundsBefore; s < shell.sounds.size(); ++s)
          line += "," + shell.sounds[s].toStdString();
        line += ",picture";
        clock.now += saveMs;  // saving takes time
      };
      logic.Tick(actions, beepOn, stopRequested);
      if (line.find("picture") == std::string::npos)
        for (int s = soundsBefore; s < shell.sounds.size(); ++s)
          line += "," + shell.sounds[s].toStdString();
      out.push_back(line);
    }
    return out;
  }

  TestClock clock;
  TIntervalloLogic logic;
  FakeShell shell;
  bool beepOn;
  int saveMs;
  bool stopRequested = false;
  bool labelShown = false;
  int64_t firstCount = -1;
};

using Lines = std::vector<std::string>;

}  // namespace

TEST(IntervalloArithmetic, IntervalFollowsValueAndUnit) {
  struct Case {
    int value;
    int unit;
    int64_t frameDuration;
    int64_t interval;
  };
  const Case cases[] = {
      {10, UnitSeconds, 400'000, 10 * Second},
      {25, UnitFrames, 400'000, Second},
      {10, UnitFrames, 333'667, 3'336'670},  // the source's own frame length
      {10, UnitFrames, 0, 4'000'000},        // a source without one: 40 ms
      {2, UnitMinutes, 400'000, 120 * Second},
      {999999, UnitMinutes, 400'000, 999999LL * 60 * Second},  // no 32-bit overflow
      {0, UnitSeconds, 400'000, Second},     // a zero interval is refused
  };
  for (const Case& c : cases) {
    TestClock clock;
    TIntervalloLogic logic(clock);
    logic.SetInterval(c.value, c.unit, c.frameDuration);
    EXPECT_EQ(logic.IntervalInTicks, c.interval) << c.value << " unit " << c.unit;
    EXPECT_EQ(logic.SubSecondTicks, c.interval % Second);
    EXPECT_EQ(logic.SecondsLeft, c.interval / Second);
  }
}

TEST(IntervalloArithmetic, FileRunTakesPicturesFromPositionToEnd) {
  struct Case {
    int64_t time;
    int64_t duration;
    int value;
    int unit;
    int64_t pictures;
  };
  const Case cases[] = {
      {0, 60 * Second, 10, UnitSeconds, 7},          // 0, 10, ..., 60 s
      {55 * Second, 60 * Second, 10, UnitSeconds, 1},  // 55 s only
      {0, 60 * Second, 25, UnitFrames, 61},           // one per second of media
      {0, 59 * Second, 1, UnitMinutes, 1},
      {60 * Second, 60 * Second, 10, UnitSeconds, 1},  // at the very end: that one picture
      {61 * Second, 60 * Second, 10, UnitSeconds, 0},  // past the end: none
  };
  for (const Case& c : cases) {
    TestClock clock;
    TIntervalloLogic logic(clock);
    logic.SetInterval(c.value, c.unit, 400'000);
    logic.FixRun(c.time, c.duration, 3);
    EXPECT_EQ(logic.PicturesToTake, c.pictures) << c.time << " of " << c.duration;
    EXPECT_EQ(logic.SecondsLeft, c.pictures);
    EXPECT_EQ(logic.RunStartTime, c.time);
    EXPECT_EQ(logic.RunTrack, 3);
  }
  TestClock clock;
  TIntervalloLogic logic(clock);
  logic.SetInterval(10, UnitSeconds, 400'000);
  logic.FixRun(5 * Second, 60 * Second);
  EXPECT_EQ(logic.RunTime(0), 5 * Second);
  EXPECT_EQ(logic.RunTime(5), 55 * Second);
}

TEST(IntervalloCountdown, FiveSecondsCountsDownWithShortBeepsThenPictureBeep) {
  Countdown c(5, UnitSeconds);
  EXPECT_TRUE(c.labelShown);
  EXPECT_EQ(c.firstCount, 5);
  EXPECT_EQ(c.run(10), (Lines{"1000:4,BEEP0", "2000:3,BEEP0", "3000:2,BEEP0", "4000:1,BEEP0",
                              "5000:0,BEEP1,picture", "6000:4,BEEP0", "7000:3,BEEP0",
                              "8000:2,BEEP0", "9000:1,BEEP0", "10000:0,BEEP1,picture"}));
}

TEST(IntervalloCountdown, TenSecondsBeepsOnlyFromFiveDown) {
  Countdown c(10, UnitSeconds);
  EXPECT_EQ(c.firstCount, 10);
  EXPECT_EQ(c.run(10), (Lines{"1000:9", "2000:8", "3000:7", "4000:6", "5000:5,BEEP0",
                              "6000:4,BEEP0", "7000:3,BEEP0", "8000:2,BEEP0", "9000:1,BEEP0",
                              "10000:0,BEEP1,picture"}));
}

TEST(IntervalloCountdown, WithoutBeepNothingSounds) {
  Countdown c(2, UnitSeconds, false);
  EXPECT_EQ(c.run(4), (Lines{"1000:1", "2000:0,picture", "3000:1", "4000:0,picture"}));
  EXPECT_TRUE(c.shell.sounds.isEmpty());
}

TEST(IntervalloCountdown, WholeSecondsKeepTheirPeriodWhateverSavingTakes) {
  Countdown c(2, UnitSeconds, false, 700);
  // The picture at 2000 takes 700 ms; the next tick stays at 3000.
  EXPECT_EQ(c.run(4), (Lines{"1000:1", "2000:0,picture", "3000:1", "4000:0,picture"}));
}

TEST(IntervalloCountdown, TwoAndAHalfSecondsStartsEachCycleAfterThePictureWasSaved) {
  // 50 frames of a 20 fps source: 2.5 s, half a second left over.
  Countdown c(50, UnitFrames, false, 200, 500'000);
  EXPECT_FALSE(c.labelShown);
  // First tick after 500 ms, then whole seconds, the picture at the third tick; the next cycle
  // starts 500 ms after the picture was saved (saving took 200 ms).
  EXPECT_EQ(c.run(6), (Lines{"500:2", "1500:1", "2500:0,picture", "3200:2", "4200:1",
                             "5200:0,picture"}));
}

TEST(IntervalloCountdown, TenFramesTakesAPictureEvery400msWithoutCountOrShortBeeps) {
  Countdown c(10, UnitFrames, true, 100);
  EXPECT_FALSE(c.labelShown);
  EXPECT_EQ(c.run(4), (Lines{"400:0,BEEP1,picture", "800:0,BEEP1,picture",
                             "1200:0,BEEP1,picture", "1600:0,BEEP1,picture"}));
}

TEST(IntervalloCountdown, StopRequestedTicksDoNothingAndRestartCountsAgainAtOnce) {
  Countdown c(3, UnitSeconds, false);
  EXPECT_EQ(c.run(1), (Lines{"1000:2"}));
  c.stopRequested = true;
  EXPECT_EQ(c.run(2), (Lines{"2000", "3000"}));
  // Started again 250 ms later: the count is whole again and the period starts from now.
  c.stopRequested = false;
  c.clock.now += 250;
  int64_t first = 0;
  EXPECT_TRUE(c.logic.StartCountdown(&first));
  EXPECT_EQ(first, 3);
  EXPECT_EQ(c.run(3), (Lines{"4250:2", "5250:1", "6250:0,picture"}));
}

TEST(IntervalloCountdown, TimerRestartRule) {
  TestClock clock;
  TIntervalloLogic logic(clock);
  logic.SetTimerInterval(1000);
  logic.StartTimer();
  EXPECT_EQ(logic.NextTickMs(), 1000);
  clock.now = 600;
  logic.SetTimerInterval(1000);  // the same value: keeps its period
  EXPECT_EQ(logic.NextTickMs(), 1000);
  logic.SetTimerInterval(300);  // another value: the period starts now
  EXPECT_EQ(logic.NextTickMs(), 900);
  logic.StopTimer();
  EXPECT_FALSE(logic.TimerActive());
  logic.Tick({}, true, false);  // a stopped timer does not tick
  EXPECT_EQ(logic.NextTickMs(), 900);
}
