// The intervalometer in the window: runs over a file, their stop with Esc, the panel and its
// commands, and a live run (a source the window treats as a capture device).
#include "tests/ui/AutoFixture.h"

#include <QComboBox>
#include <QSpinBox>

#include "settings/intervallo.h"

namespace automation {
namespace {

class IntervalloTest : public AutoTest {
 protected:
  Tintervalloframe& panel() { return *form->intervalloframe(); }

  // The interval and the pictures folder as the user would set them.
  void setInterval(int value, int unit) {
    panel().RxSpinEdit7->setValue(value);
    panel().cboxIntervallo->setCurrentIndex(unit);
    runList({"/S=" + pictures, "-C"});
  }

  void seekTo(int64_t time) {
    auto* position = dynamic_cast<TGrabFilePosition*>(form->CurrentPosition.get());
    ASSERT_NE(position, nullptr);
    position->Time = time;
    form->CurrentSource->SetPosition(*position, true);
  }

  // The switch clicked on: a file run takes all its pictures before this returns.
  void clickSwitch() { panel().RxSwitch1->click(); }
};

TEST_F(IntervalloTest, MinuteAtTenSecondsTakesSevenPicturesThenGoesBackToTheStart) {
  makeForm();
  load("minute10.avi");  // 10 frames per second: frame N at N/10 s
  setInterval(10, UnitSeconds);
  form->IntervalloShowAction->Execute();
  EXPECT_FALSE(form->intervalloframe1->isHidden());
  EXPECT_EQ(panel().chronolab->text(), "7");
  EXPECT_TRUE(panel().cbBeep->isHidden());  // no beeps for a file
  EXPECT_EQ(form->intervallolab->text(), "1 image every 10 seconds");

  clickSwitch();
  const QList<int> indexes = savedIndexes();
  ASSERT_EQ(indexes.size(), 7);
  EXPECT_EQ(indexes.mid(0, 6), QList<int>({0, 100, 200, 300, 400, 500}));
  EXPECT_EQ(indexes[6], 599);  // the last frame, at the end of the media
  // Afterwards: the switch off, the fields enabled, the count from the start again, and the
  // video back at its start.
  EXPECT_FALSE(panel().RxSwitch1->isChecked());
  EXPECT_TRUE(panel().RxSpinEdit7->isEnabled());
  EXPECT_TRUE(panel().cboxIntervallo->isEnabled());
  EXPECT_EQ(panel().chronolab->text(), "7");
  EXPECT_TRUE(waitForHeldFrame(0));
}

TEST_F(IntervalloTest, FromFiftyFiveSecondsOnePicture) {
  makeForm();
  load("minute10.avi");
  setInterval(10, UnitSeconds);
  seekTo(55 * UnitsPerSecond);
  clickSwitch();
  EXPECT_EQ(savedIndexes(), QList<int>({550}));
}

TEST_F(IntervalloTest, TwentyFiveFramesIsOnePicturePerSecondOfMedia) {
  makeForm();
  load("frames25.avi");
  setInterval(25, UnitFrames);
  clickSwitch();
  const QList<int> indexes = savedIndexes();
  ASSERT_EQ(indexes.size(), 11);  // 0 to 10 s
  EXPECT_EQ(indexes.mid(0, 10), QList<int>({0, 25, 50, 75, 100, 125, 150, 175, 200, 225}));
}

TEST_F(IntervalloTest, EscapeStopsTheRunBeforeTheNextSave) {
  makeForm();
  load("minute10.avi");
  setInterval(5, UnitSeconds);
  // Esc as soon as two pictures are on disk; checked at every turn of the event loop.
  QTimer watch;
  watch.setInterval(0);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (saved().size() >= 2) {
      watch.stop();
      press(form.get(), Qt::Key_Escape);
    }
  });
  watch.start();
  clickSwitch();
  EXPECT_EQ(savedIndexes(), QList<int>({0, 50}));
  EXPECT_FALSE(panel().RxSwitch1->isChecked());
  EXPECT_TRUE(waitForHeldFrame(0));
}

TEST_F(IntervalloTest, ClosingTheWindowEndsARunningListAndItsRun) {
  makeForm();
  const QString clip = copyClip("minute10.avi", "long.avi");
  QTimer watch;
  watch.setInterval(0);
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (saved().size() >= 2) {
      watch.stop();
      form->close();
    }
  });
  watch.start();
  runList({"/S=" + pictures, "-C", "/F=" + clip, "/I=1Seconds", "/G", "/Q"});
  EXPECT_TRUE(form->isTornDown());
  EXPECT_LT(saved().size(), 61);
  EXPECT_FALSE(form->CommandListRunning());
}

TEST_F(IntervalloTest, ControlIWithTheSwitchOffStartsNothing) {
  makeForm();
  load("frames25.avi");
  setInterval(1, UnitSeconds);
  press(form.get(), Qt::Key_I, Qt::ControlModifier);
  EXPECT_TRUE(saved().isEmpty());
  EXPECT_TRUE(StopRequested);
}

TEST_F(IntervalloTest, PanelNeedsASourceAndBeepKeyNeedsThePanel) {
  makeForm();
  press(form.get(), Qt::Key_I, Qt::AltModifier);
  EXPECT_TRUE(form->intervalloframe1->isHidden());  // nothing loaded yet

  load("frames25.avi");
  Prefs.BeepOn = false;
  press(form.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_FALSE(Prefs.BeepOn);  // panel hidden: nothing

  press(form.get(), Qt::Key_I, Qt::AltModifier);
  EXPECT_FALSE(form->intervalloframe1->isHidden());
  press(form.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_TRUE(Prefs.BeepOn);
  EXPECT_TRUE(panel().cbBeep->isChecked());

  press(form.get(), Qt::Key_I, Qt::AltModifier);
  EXPECT_TRUE(form->intervalloframe1->isHidden());
  EXPECT_TRUE(form->intervallolab->isHidden());
}

TEST_F(IntervalloTest, ValueFieldRefusesZero) {
  makeForm();
  panel().RxSpinEdit7->setValue(0);
  EXPECT_EQ(panel().RxSpinEdit7->value(), 1);
}

// A window that takes its file source for a live one, so that the countdown runs.
class LiveForm : public TGrabForm {
 public:
  IntervalloRunKind intervalloRunKind() const override {
    return dynamic_cast<const TgrabFile*>(CurrentSource.get()) ? IntervalloRunKind::Capture
                                                               : IntervalloRunKind::None;
  }
};

class LiveIntervalloTest : public IntervalloTest {
 protected:
  void makeLiveForm() {
    dm = std::make_unique<Tdm>();
    form = std::make_unique<LiveForm>();
    form->SetPrefsLocations(where);
    form->SetServices(&dialogs, &shell);
    form->SetGraphModule(dm.get());
    form->show();
  }
};

TEST_F(LiveIntervalloTest, LiveRunKeepsTakingPicturesUntilSwitchedOffEvenWhenHidden) {
  makeLiveForm();
  load("frames25.avi");
  setInterval(10, UnitFrames);  // 400 ms: no count shown, no short beeps
  Prefs.BeepOn = true;
  form->IntervalloShowAction->Execute();
  EXPECT_FALSE(panel().cbBeep->isHidden());

  clickSwitch();  // returns at once: the timer does the rest
  EXPECT_TRUE(panel().RxSwitch1->isChecked());
  EXPECT_FALSE(panel().RxSpinEdit7->isEnabled());
  ASSERT_TRUE(WaitUntil([&] { return saved().size() >= 2; }, 10000));

  // Hidden: the window and its taskbar entry go, the pictures go on.
  dialogs.answers.push_back(DialogButton::Yes);
  form->SecretAction->Execute();
  EXPECT_TRUE(form->HiddenMode());
  EXPECT_TRUE(form->isHidden());
  const qsizetype before = saved().size();
  ASSERT_TRUE(WaitUntil([&] { return saved().size() >= before + 2; }, 10000));

  clickSwitch();  // off
  EXPECT_TRUE(panel().RxSpinEdit7->isEnabled());
  const qsizetype stopped = saved().size();
  QTest::qWait(1000);
  EXPECT_EQ(saved().size(), stopped);
  EXPECT_TRUE(panel().chronolab->isHidden());
  // Every picture had its beep, and no short beep came.
  EXPECT_GE(shell.sounds.size(), stopped);
  EXPECT_FALSE(shell.sounds.contains("BEEP0"));
}

TEST_F(LiveIntervalloTest, LiveCountdownShowsWholeSecondsAndStartsAgainAtOnce) {
  makeLiveForm();
  load("frames25.avi");
  setInterval(3, UnitSeconds);
  clickSwitch();
  EXPECT_FALSE(panel().chronolab->isHidden());
  EXPECT_EQ(panel().chronolab->text(), "3");
  ASSERT_TRUE(WaitUntil([&] { return panel().chronolab->text() == "2"; }, 5000));
  press(form.get(), Qt::Key_Escape);  // the timer goes on, doing nothing
  clickSwitch();                      // off
  clickSwitch();                      // on again: counts from the start at once
  EXPECT_EQ(panel().chronolab->text(), "3");
  clickSwitch();
}

}  // namespace
}  // namespace automation
