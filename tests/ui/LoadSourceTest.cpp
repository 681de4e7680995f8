// Loading a video file: the open dialog, drop and paste, the indicators, and the report of a
// failed load with its wait on the error panel.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QMimeData>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "main/VideoWidget.h"
#include "settings/Erreur_unit.h"
#include "tests/ui/CommandFixture.h"

namespace {

using window::CommandWindowTest;

int asked(const ScriptedDialogs& dialogs, const QString& text) {
  return int(std::count_if(dialogs.shown.begin(), dialogs.shown.end(),
                           [&](const auto& shown) { return shown.text == text; }));
}

TEST_F(CommandWindowTest, OpeningAClipShowsItsNameDurationBarAndSlider) {
  TGrabForm& w = makeForm();
  dialogs.paths = {TestMedia("frames25.avi")};
  press(&w, Qt::Key_F, Qt::ControlModifier);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, ScriptedDialogs::Kind::OpenFile);

  EXPECT_TRUE(SourceReady);
  EXPECT_EQ(w.EnCoursLab->text(), TestMedia("frames25.avi"));
  EXPECT_EQ(w.DureeLab->text(), "0:00:10:00");
  EXPECT_EQ(w.CurrentEdit->text(), "0:00:00:00");
  EXPECT_TRUE(w.nav_fileframe1->isVisible());
  EXPECT_FALSE(w.nav_videframe1->isVisible());
  EXPECT_TRUE(w.tb->isVisible());
  EXPECT_EQ(w.EnCoursLab->toolTip(),
            "Current video loaded in Pictorel\nClick to open the parent folder.");
  EXPECT_EQ(w.Image->toolTip(), "Click to return the video file to this position");
  EXPECT_FALSE(w.Timer1->isActive());  // loading does not start the refresh
  EXPECT_EQ(heldFrameIndex(), 0);
}

TEST_F(CommandWindowTest, CancellingTheOpenDialogLoadsNothing) {
  TGrabForm& w = makeForm();
  w.OuvrirFichierActionExecute();
  EXPECT_EQ(typeid(*w.CurrentSource), typeid(TGrab));
  EXPECT_FALSE(SourceReady);
}

TEST_F(CommandWindowTest, LoadingWhilePlayingPausesAndThePlayCommandReadsPlay) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  w.TogglePlayActionExecute();
  ASSERT_EQ(w.TogglePlayAction->text(), "Pause");
  load("frames25_silent.avi");
  EXPECT_EQ(w.CurrentSource->GetState(), 2);
  EXPECT_EQ(w.TogglePlayAction->text(), "Play");
  EXPECT_EQ(w.navFile()->findChild<QPushButton*>("PlayBtn")->text(), "Play");
}

struct IndicatorCase {
  const char* name;
  bool scnBeside;
  bool srtBeside;
};

void PrintTo(const IndicatorCase& c, std::ostream* out) { *out << c.name; }

class IndicatorTest : public CommandWindowTest, public ::testing::WithParamInterface<IndicatorCase> {};

TEST_P(IndicatorTest, IndicatorsShowWhichFilesStandBesideTheVideo) {
  const IndicatorCase& c = GetParam();
  const QString clip = copyClip("frames25_silent.avi", "videos/clip.avi");
  if (c.scnBeside) touch(path("videos/clip.scn"));
  if (c.srtBeside) touch(path("videos/clip.srt"));
  TGrabForm& w = makeForm();
  w.LoadVideoFile(clip);
  EXPECT_EQ(w.scnLab->isVisible(), c.scnBeside);
  EXPECT_EQ(w.srtlab->isVisible(), c.srtBeside);

  if (c.scnBeside) {
    QTest::mouseClick(w.scnLab, Qt::LeftButton);
    EXPECT_EQ(shell.shownFiles, QStringList{path("videos/clip.scn")});
  }
  shell.shownFiles.clear();
  QTest::mouseClick(w.EnCoursLab, Qt::LeftButton);
  EXPECT_EQ(shell.shownFiles, QStringList{clip});
}

INSTANTIATE_TEST_SUITE_P(Beside, IndicatorTest,
                         ::testing::Values(IndicatorCase{"Neither", false, false},
                                           IndicatorCase{"SceneFile", true, false},
                                           IndicatorCase{"Subtitles", false, true},
                                           IndicatorCase{"Both", true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandWindowTest, ClickOnTheEmptySourcesNameOpensNothing) {
  TGrabForm& w = makeForm();
  QTest::mouseClick(w.EnCoursLab, Qt::LeftButton);
  EXPECT_TRUE(shell.shownFiles.isEmpty());
}

// --- Drop and paste ------------------------------------------------------------------------------

TEST_F(CommandWindowTest, DroppingThreeFilesLoadsTheFirstAndWarnsOnce) {
  TGrabForm& w = makeForm();
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(TestMedia("frames25_silent.avi")),
                QUrl::fromLocalFile(TestMedia("frames25.avi")),
                QUrl::fromLocalFile(TestMedia("clip.wmv"))});
  const QPoint inside(300, 200);
  QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(inside), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &drop);
  EXPECT_TRUE(drop.isAccepted());

  ASSERT_TRUE(WaitUntil([&] { return SourceReady.load(); }, 10000));
  EXPECT_EQ(w.EnCoursLab->text(), TestMedia("frames25_silent.avi"));
  EXPECT_EQ(asked(dialogs, "Only one file is activated."), 1);
  EXPECT_TRUE(w.acceptDrops());
}

TEST_F(CommandWindowTest, DraggingSomethingElseThanFilesIsRefused) {
  TGrabForm& w = makeForm();
  QMimeData data;
  data.setText("just words");
  QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&w, &enter);
  EXPECT_FALSE(enter.isAccepted());
}

TEST_F(CommandWindowTest, PastingAFileListLoadsTheFirstFile) {
  TGrabForm& w = makeForm();
  shell.clipboardFiles = {TestMedia("frames25_silent.avi"), TestMedia("frames25.avi")};
  press(&w, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(w.EnCoursLab->text(), TestMedia("frames25_silent.avi"));
  EXPECT_EQ(asked(dialogs, "Only one file is activated."), 1);

  dialogs.shown.clear();
  shell.clipboardFiles = {TestMedia("frames25.avi")};
  w.PasteActionExecute();
  EXPECT_EQ(w.EnCoursLab->text(), TestMedia("frames25.avi"));
  EXPECT_EQ(asked(dialogs, "Only one file is activated."), 0);
}

TEST_F(CommandWindowTest, PasteButtonFollowsTheClipboardWhileThePasteCommandStaysEnabled) {
  TGrabForm& w = makeForm();
  shell.clipboardFiles = {TestMedia("frames25.avi")};
  w.AppEvents1Activate();
  EXPECT_TRUE(w.PasteBtn->isEnabled());
  shell.clipboardFiles.clear();
  w.AppEvents1Activate();
  EXPECT_FALSE(w.PasteBtn->isEnabled());

  shell.clipboardFiles = {TestMedia("frames25.avi")};
  w.AppEvents1Activate();
  shell.clipboardFiles.clear();
  w.PasteActionExecute();  // finds no file list
  EXPECT_FALSE(w.PasteBtn->isEnabled());
  EXPECT_TRUE(w.PasteAction->isEnabled());
  EXPECT_EQ(typeid(*w.CurrentSource), typeid(TGrab));
}

// --- Enabled states by source --------------------------------------------------------------------

TEST_F(CommandWindowTest, ControlsFollowTheSourceKind) {
  TGrabForm& w = makeForm();
  // Empty.
  EXPECT_FALSE(w.SettingsBtn->isEnabled());
  EXPECT_FALSE(w.ScnBtn->isEnabled());
  EXPECT_FALSE(w.tb->isVisible());
  EXPECT_TRUE(w.nav_videframe1->isVisible());

  // A file with sound, whose frames carry no recording dates.
  load("frames25.avi");
  EXPECT_FALSE(w.ScnBtn->isEnabled());
  EXPECT_TRUE(w.cbMuteVideo->isEnabled());
  EXPECT_TRUE(w.tb->isVisible());
  EXPECT_TRUE(w.nav_fileframe1->isVisible());
  EXPECT_FALSE(w.SettingsBtn->isEnabled());

  // A silent file.
  load("frames25_silent.avi");
  EXPECT_FALSE(w.cbMuteVideo->isEnabled());

  // A DV file can have its scenes found; emptying the window keeps the button as it is.
  load("dv_type1.avi");
  EXPECT_TRUE(w.ScnBtn->isEnabled());
  press(&w, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(typeid(*w.CurrentSource), typeid(TGrab));
  EXPECT_TRUE(w.ScnBtn->isEnabled());
  EXPECT_FALSE(w.tb->isVisible());
  EXPECT_TRUE(w.nav_videframe1->isVisible());
  EXPECT_EQ(w.EnCoursLab->text(), "Click on a button to load a video");
  EXPECT_EQ(w.EnCoursLab->toolTip(), "");
  EXPECT_TRUE(SourceReady);  // emptying does not forget that a source was loaded

  for (TAction* action : w.ActionList1.Actions()) EXPECT_TRUE(action->isEnabled());
}

struct TapeCase {
  const char* name;
  int mode;
  bool play, pause, stop;
};

void PrintTo(const TapeCase& c, std::ostream* out) { *out << c.name; }

class TapeModeTest : public CommandWindowTest, public ::testing::WithParamInterface<TapeCase> {};

TEST_P(TapeModeTest, TapeCommandsFollowTheTransportMode) {
  const TapeCase& c = GetParam();
  TGrabForm& w = makeForm();
  w.ApplyTransportMode(c.mode);
  EXPECT_EQ(w.VCRPlayAction->isEnabled(), c.play);
  EXPECT_EQ(w.VCRPauseAction->isEnabled(), c.pause);
  EXPECT_EQ(w.VCRStopAction->isEnabled(), c.stop);
  EXPECT_EQ(w.navCapture()->findChild<QPushButton*>("PlayBtn")->isEnabled(), c.play);
}

INSTANTIATE_TEST_SUITE_P(Modes, TapeModeTest,
                         ::testing::Values(TapeCase{"Play", 4296, false, true, true},
                                           TapeCase{"Stop", 4297, true, true, false},
                                           TapeCase{"Freeze", 4298, true, false, true},
                                           TapeCase{"Other", 4299, true, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

// --- A failed load -------------------------------------------------------------------------------

struct CloserCase {
  const char* name;
  bool byEscape;
};

void PrintTo(const CloserCase& c, std::ostream* out) { *out << c.name; }

class FailedLoadTest : public CommandWindowTest, public ::testing::WithParamInterface<CloserCase> {};

TEST_P(FailedLoadTest, FailureIsReportedAndTheWindowEmptiesOnlyOnceThePanelIsClosed) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  bool checkedDuringWait = false;
  whenErrorShown([&] {
    // The message is up, the failed source still current, the window still answering.
    EXPECT_TRUE(w.Erreur_Frame1->isVisible());
    EXPECT_NE(dynamic_cast<TgrabFile*>(w.CurrentSource.get()), nullptr);
    EXPECT_EQ(w.CurrentSource->Description, "/v/x.avi");
    press(&w, Qt::Key_F10);
    EXPECT_TRUE(w.OptionsFrame1->isVisible());
    press(&w, Qt::Key_F10);
    checkedDuringWait = true;
    if (GetParam().byEscape) press(&w, Qt::Key_Escape);
    else w.errorPanel()->OkBtn->click();
  });
  w.LoadVideoFile("/v/x.avi");

  EXPECT_TRUE(checkedDuringWait);
  EXPECT_TRUE(w.errorPanel()->Memo2->toPlainText().contains(
      "The filters (or codecs) needed to render the file /v/x.avi have not been found on your "
      "computer. You should look for them on the Internet."));
  EXPECT_FALSE(w.Erreur_Frame1->isVisible());
  EXPECT_EQ(typeid(*w.CurrentSource), typeid(TGrab));
  EXPECT_EQ(w.EnCoursLab->text(), "Click on a button to load a video");
}

INSTANTIATE_TEST_SUITE_P(Closers, FailedLoadTest,
                         ::testing::Values(CloserCase{"OkButton", false}, CloserCase{"Escape", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandWindowTest, FileThatIsNotMediaFailsWithCode3) {
  TGrabForm& w = makeForm();
  whenErrorShown([&] { w.errorPanel()->OkBtn->click(); });
  w.LoadVideoFile(TestMedia("not_video.avi"));
  EXPECT_TRUE(w.errorPanel()->Memo2->toPlainText().contains("needed to render the file " +
                                                            TestMedia("not_video.avi")));
  EXPECT_EQ(typeid(*w.CurrentSource), typeid(TGrab));
}

TEST(LoadErrorTextTest, EachCodeHasItsMessage) {
  EXPECT_EQ(TGrabForm::LoadErrorText("the file /v/x.avi", 1), "An unknown error occured.");
  EXPECT_EQ(TGrabForm::LoadErrorText("the file /v/x.avi", 2),
            "The filters (or codecs) available on your computer can read the file /v/x.avi but "
            "cannot open it in Pictorel.");
  EXPECT_EQ(TGrabForm::LoadErrorText("the file /v/100%s.avi", 3),
            "The filters (or codecs) needed to render the file /v/100%s.avi have not been found on "
            "your computer. You should look for them on the Internet.");
}

TEST_F(CommandWindowTest, FileLoadedWhileAFailureIsShownStaysLoaded) {
  TGrabForm& w = makeForm();
  whenErrorShown([&] {
    w.LoadVideoFile(TestMedia("frames25.avi"));
    QTimer::singleShot(0, &w, [&] { w.errorPanel()->OkBtn->click(); });
  });
  w.LoadVideoFile("/v/x.avi");
  ASSERT_NE(dynamic_cast<TgrabFile*>(w.CurrentSource.get()), nullptr);
  EXPECT_EQ(w.CurrentSource->Description, TestMedia("frames25.avi"));
}

TEST_F(CommandWindowTest, ClosingTheWindowDuringTheFailureWaitEndsIt) {
  TGrabForm& w = makeForm();
  Prefs.SaveOnQuit = true;
  whenErrorShown([&] { w.close(); });
  w.LoadVideoFile("/v/x.avi");
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.CurrentSource, nullptr);
}

// The open command's key starts a load that fails; the user dismisses the message with Escape.
// The key that opened the dialog must not open it a second time once the wait is over.
TEST_F(CommandWindowTest, KeyThatStartedAFailedLoadDoesNotRunAgainAfterTheMessage) {
  TGrabForm& w = makeForm();
  dialogs.paths = {"/v/x.avi", TestMedia("frames25.avi")};
  whenErrorShown([&] { press(&w, Qt::Key_Escape); });
  press(&w, Qt::Key_F, Qt::ControlModifier);
  const auto opened = std::count_if(dialogs.shown.begin(), dialogs.shown.end(), [](const auto& s) {
    return s.kind == ScriptedDialogs::Kind::OpenFile;
  });
  EXPECT_EQ(opened, 1);
  EXPECT_EQ(typeid(*w.CurrentSource), typeid(TGrab));
}

}  // namespace
