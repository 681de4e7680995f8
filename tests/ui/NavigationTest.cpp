// Position display and navigation on a generated clip whose frames carry their own index: steps,
// the timecode edit, the slider, the scene callback, the bars, the sound and full screen.
#include <gtest/gtest.h>

#include <thread>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include "main/NeedleGauge.h"
#include "main/nav_capture.h"
#include "main/nav_file.h"
#include "tests/ui/CommandFixture.h"

namespace {

using window::CommandWindowTest;

TEST_F(CommandWindowTest, CtrlRightStepsOneFrameAndTheDisplayFollowsAtOnce) {
  TGrabForm& w = makeForm();
  w.AjouterTimecodeActionExecute();  // names follow the timecode
  load("frames25.avi");
  ASSERT_EQ(heldFrameIndex(), 0);

  press(&w, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_FALSE(w.Timer1->isActive());
  EXPECT_EQ(w.CurrentEdit->text(), "0:00:00:01");
  EXPECT_EQ(w.tb->value(), 4000);  // one frame of ten seconds
  EXPECT_TRUE(w.DestLab->text().endsWith("frames25_0.00.00.01.bmp")) << w.DestLab->text().toStdString();
  EXPECT_TRUE(waitForHeldFrame(1));

  press(&w, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_EQ(w.CurrentEdit->text(), "0:00:00:00");
  EXPECT_TRUE(waitForHeldFrame(0));
}

struct StepCase {
  const char* name;
  Qt::Key key;
  const char* expected;  // the timecode after the step, from 0:00:05:00
};

void PrintTo(const StepCase& c, std::ostream* out) { *out << c.name; }

class StepTest : public CommandWindowTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(StepTest, EachNavigationKeyMovesByItsStep) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  w.CurrentEdit->setText("0:00:05:00");
  w.CurrentEditKeyPress(Qt::Key_Return);
  ASSERT_TRUE(waitForHeldFrame(125));
  press(&w, GetParam().key, Qt::ControlModifier);
  EXPECT_EQ(w.CurrentEdit->text(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StepTest,
    ::testing::Values(StepCase{"Home", Qt::Key_Home, "0:00:00:00"},
                      StepCase{"End", Qt::Key_End, "0:00:09:24"},
                      StepCase{"SecondBack", Qt::Key_Up, "0:00:04:00"},
                      StepCase{"SecondForward", Qt::Key_Down, "0:00:06:00"},
                      StepCase{"MinuteBackStopsAtTheStart", Qt::Key_PageUp, "0:00:00:00"},
                      StepCase{"MinuteForwardStopsAtTheEnd", Qt::Key_PageDown, "0:00:09:24"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandWindowTest, TypedTimecodeAndReturnShowsExactlyThatFrame) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  w.Timer1->start();
  w.CurrentEdit->setFocus();
  QFocusEvent enter(QEvent::FocusIn, Qt::MouseFocusReason);
  QApplication::sendEvent(w.CurrentEdit, &enter);
  EXPECT_FALSE(w.Timer1->isActive());  // entering the edit holds the display

  w.CurrentEdit->selectAll();
  QTest::keyClicks(w.CurrentEdit, "0:00:06:13");
  press(w.CurrentEdit, Qt::Key_Return);
  EXPECT_EQ(w.CurrentEdit->text(), "0:00:06:13");
  EXPECT_TRUE(waitForHeldFrame(6 * 25 + 13));
  EXPECT_FALSE(w.Timer1->isActive());

  // Leaving the edit goes there again; the display then stays still.
  w.ReculeHomeActionExecute();
  ASSERT_TRUE(waitForHeldFrame(0));
  w.CurrentEdit->setText("0:00:02:05");
  QFocusEvent leave(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(w.CurrentEdit, &leave);
  EXPECT_TRUE(waitForHeldFrame(55));
  EXPECT_FALSE(w.Timer1->isActive());
}

TEST_F(CommandWindowTest, UnreadableTimecodeCountsItsNonNumbersAsZero) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  w.CurrentEdit->setText("0:00:xx:07");
  w.CurrentEditKeyPress(Qt::Key_Return);
  EXPECT_EQ(w.CurrentEdit->text(), "0:00:00:07");
  EXPECT_TRUE(waitForHeldFrame(7));
}

TEST_F(CommandWindowTest, ReleasingTheSliderSeeksWhereItStandsAndKeyboardMovesDoNot) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  w.Timer1->start();
  QTest::mousePress(w.tb, Qt::LeftButton, {}, QPoint(5, 20));
  EXPECT_FALSE(w.Timer1->isActive());
  w.tb->setValue(500'000);
  QTest::mouseRelease(w.tb, Qt::LeftButton, {}, QPoint(5, 20));
  EXPECT_TRUE(w.Timer1->isActive());
  EXPECT_TRUE(waitForHeldFrame(125));
  w.Timer1->stop();
  w.Timer1Timer();
  EXPECT_EQ(w.CurrentEdit->text(), "0:00:05:00");

  // Keys move the slider but the video stays.
  w.tb->setFocus();
  press(w.tb, Qt::Key_PageUp);
  EXPECT_NE(w.tb->value(), 500'000);
  QTest::qWait(100);
  EXPECT_EQ(heldFrameIndex(), 125);
}

TEST_F(CommandWindowTest, SceneProgressFromAnotherThreadMovesTheVideoOnTheWindowsThread) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  std::thread scanner([&] { w.SeekFromScene(200'000); });  // a fifth of ten seconds
  scanner.join();
  EXPECT_TRUE(waitForHeldFrame(50));
  EXPECT_TRUE(w.Timer1->isActive());
}

TEST_F(CommandWindowTest, PlayRunsTheRefreshAndPauseKeepsItRunning) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  press(&w, Qt::Key_Space);
  EXPECT_TRUE(w.Timer1->isActive());
  ASSERT_TRUE(WaitUntil([&] { return w.CurrentEdit->text() > "0:00:00:10"; }, 5000));
  press(&w, Qt::Key_Space);
  EXPECT_EQ(w.CurrentSource->GetState(), 2);
  EXPECT_TRUE(w.Timer1->isActive());  // pausing does not stop it
  press(&w, Qt::Key_X, Qt::ControlModifier);
  EXPECT_FALSE(w.Timer1->isActive());  // emptying does
}

TEST_F(CommandWindowTest, NavigationOnTheEmptySourceShowsEmptyTexts) {
  TGrabForm& w = makeForm();
  for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_End, Qt::Key_Home, Qt::Key_Down})
    press(&w, key, Qt::ControlModifier);
  press(&w, Qt::Key_F9);
  EXPECT_EQ(w.CurrentEdit->text(), "");
  EXPECT_EQ(w.DureeLab->text(), "");
}

// --- Bars ----------------------------------------------------------------------------------------

TEST_F(CommandWindowTest, FileBarButtonsCarryTheirHintsAndFollowThePlayCommand) {
  TGrabForm& w = makeForm();
  Tnav_fileframe* bar = w.navFile();
  EXPECT_EQ(bar->ReculeTrackBtn->toolTip(), "Previous scene.");
  EXPECT_EQ(bar->ReculeHighBtn->toolTip(), "backwards of a minute.");
  EXPECT_EQ(bar->AvanceLowBtn->toolTip(), "advance of a frame.");
  EXPECT_EQ(bar->AvanceTrackBtn->toolTip(), "Next scene.");
  EXPECT_EQ(bar->ReculeLowBtn->text(), "");
  EXPECT_EQ(bar->PlayBtn->text(), "Play");
  EXPECT_EQ(bar->PlayBtn->toolTip(), "Play the video.");
  EXPECT_EQ(bar->PlayBtn->geometry(), QRect(180, 3, 72, 26));
  EXPECT_EQ(bar->AvanceHighBtn->geometry(), QRect(350, 5, 23, 22));

  load("frames25.avi");
  bar->PlayBtn->click();
  EXPECT_EQ(bar->PlayBtn->text(), "Pause");
  EXPECT_EQ(bar->PlayBtn->toolTip(), "Pause");
  bar->PlayBtn->click();
  EXPECT_EQ(bar->PlayBtn->text(), "Play");

  // Its forward-one-frame button runs the step itself, whatever the command's state; the others
  // follow their command.
  w.ReculeHomeActionExecute();
  ASSERT_TRUE(waitForHeldFrame(0));
  w.AvanceLowAction->setEnabled(false);
  w.ReculeLowAction->setEnabled(false);
  EXPECT_TRUE(bar->AvanceLowBtn->isEnabled());
  EXPECT_FALSE(bar->ReculeLowBtn->isEnabled());
  bar->AvanceLowBtn->click();
  EXPECT_TRUE(waitForHeldFrame(1));
}

TEST_F(CommandWindowTest, CaptureBarKeepsItsShortCaptionsOverTheTapeCommands) {
  TGrabForm& w = makeForm();
  Tnav_captureframe* bar = w.navCapture();
  EXPECT_EQ(bar->PlayBtn->text(), "Play");
  EXPECT_EQ(bar->PauseBtn->text(), "Pause");
  EXPECT_EQ(bar->StopBtn->text(), "Stop");
  EXPECT_EQ(bar->StopBtn->toolTip(), "Stop the camcorder.");
  EXPECT_EQ(bar->ReculemediumBtn->toolTip(), "fast rewind.");
  EXPECT_EQ(bar->PlayBtn->font().family(), "Times New Roman");
  int stops = 0;
  w.VCRStopAction->OnExecute = [&] { ++stops; };
  bar->StopBtn->click();
  EXPECT_EQ(stops, 1);
}

// --- Sound ---------------------------------------------------------------------------------------

struct VolumeCase {
  const char* name;
  int start;
  bool increase;
  bool muted;
  int expectedPrefs;
  int expectedSource;  // what the source was given, 0..10000
};

void PrintTo(const VolumeCase& c, std::ostream* out) { *out << c.name; }

class VolumeTest : public CommandWindowTest, public ::testing::WithParamInterface<VolumeCase> {};

TEST_P(VolumeTest, VolumeStaysWithinItsBoundsAndMuteKeepsTheSourceSilent) {
  const VolumeCase& c = GetParam();
  TGrabForm& w = makeForm();
  load("frames25.avi");
  Prefs.SoundVolume = c.start;
  Prefs.MuteSound = c.muted;
  if (c.increase) w.incVolumeActionExecute();
  else w.decVolumeActionExecute();
  EXPECT_EQ(Prefs.SoundVolume, c.expectedPrefs);
  EXPECT_EQ(w.GaugeVolume->Progress(), c.expectedPrefs);
  EXPECT_EQ(w.CurrentSource->Volume, c.expectedSource);
  EXPECT_EQ(w.CurrentSource->GetVolume(), c.expectedSource);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, VolumeTest,
    ::testing::Values(VolumeCase{"UpAtTheTop", 100, true, false, 100, 10000},
                      VolumeCase{"DownAtTheBottom", 0, false, false, 0, 0},
                      VolumeCase{"Up", 40, true, false, 50, 5000},
                      VolumeCase{"Down", 40, false, false, 30, 3000},
                      VolumeCase{"UpWhileMuted", 40, true, true, 50, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandWindowTest, MuteCommandAndBoxStayTogether) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  Prefs.SoundVolume = 70;
  press(&w, Qt::Key_M, Qt::ControlModifier);
  EXPECT_TRUE(Prefs.MuteSound);
  EXPECT_TRUE(w.cbMuteVideo->isChecked());
  EXPECT_EQ(w.CurrentSource->Volume, 0);
  w.cbMuteVideo->click();
  EXPECT_FALSE(Prefs.MuteSound);
  EXPECT_EQ(w.CurrentSource->Volume, 7000);
}

// --- Full screen ---------------------------------------------------------------------------------

TEST_F(CommandWindowTest, FullScreenCommandSwitchesBackAndForthAndRestoresThePlace) {
  TGrabForm& w = makeForm();
  const QRect place = w.VideoWindow1->geometry();
  w.FullscreenBtn->click();
  EXPECT_TRUE(w.VideoWindow1->isFullScreen());
  EXPECT_EQ(w.FullscreenAction->text(), "Quit fullscreen");
  EXPECT_TRUE(w.VideoWindow1->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  // Keys given in full screen reach the commands.
  press(w.VideoWindow1, Qt::Key_Return, Qt::AltModifier);
  EXPECT_FALSE(w.IsFullscreen());
  EXPECT_EQ(w.FullscreenAction->text(), "Fullscreen");
  EXPECT_EQ(w.VideoWindow1->geometry(), place);
  EXPECT_TRUE(w.VideoWindow1->isVisible());
}

}  // namespace
