// Command lists run by the window: loops over the files of a pattern, the picture settings, the
// switch commands, stopping with Esc, and lists opened from a file.
#include "tests/ui/AutoFixture.h"

#include <QComboBox>
#include <QSpinBox>

#include "settings/intervallo.h"
#include "settings/optionsunit.h"

namespace automation {
namespace {

TEST_F(AutoTest, PatternLoopGrabsEveryMatchingFileAtTheTimecodeThenQuits) {
  makeForm();
  const QString clips = path("clips");
  copyClip("frames25.avi", "clips/b.avi");
  copyClip("frames25.avi", "clips/a.avi");
  copyClip("frames25.avi", "clips/C.AVI");
  copyClip("frames25.mp4", "clips/d.mp4");  // not matched
  runList({"/S=" + pictures, "/J=90", "/F=" + clips + "/*.avi", "/X=4x3", "/P=0:00:01:00", "/G",
           "/+", "/Q"});

  EXPECT_TRUE(form->isTornDown());  // /Q closed the window after the loop
  const QStringList files = saved();
  ASSERT_EQ(files.size(), 3) << files.join(", ").toStdString();
  // One picture per file in name order (the names start with the video's), each of frame 25.
  const QStringList roots = {"a", "b", "C"};
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(QFileInfo(files[i]).fileName().startsWith(roots[i] + "_"))
        << files[i].toStdString();
    EXPECT_TRUE(files[i].endsWith(".jpg"));
    EXPECT_EQ(savedFrameIndex(files[i]), 25) << files[i].toStdString();
    EXPECT_EQ(QImage(files[i]).size(), QSize(320, 240));  // 4:3
  }
  EXPECT_FALSE(form->HasPendingCommandList());
}

TEST_F(AutoTest, NextWithoutPatternOrAfterTheLastFileGoesOn) {
  makeForm();
  copyClip("frames25.avi", "one/only.avi");
  runList({"/S=" + pictures, "/+", "/F=" + path("one") + "/*.mkv", "/+", "/F=" + path("one") + "/*.avi",
           "/P=0:00:02:00", "/G", "/+", "/B"});
  // Nothing loaded by the unmatched pattern; one picture of the one file; the list went on.
  EXPECT_EQ(savedIndexes(), QList<int>({50}));
  EXPECT_EQ(Prefs.ImageExtension, 0);
}

TEST_F(AutoTest, FileNamedAloneOnTheCommandLineIsLoaded) {
  makeForm();
  const QString clip = copyClip("frames25.avi", "alone clip.avi");
  form->ParseCommandLine({clip, "/P=0:00:00:10", "/S=" + pictures, "/G"});
  form->FormActivate();
  ASSERT_NE(dynamic_cast<TgrabFile*>(form->CurrentSource.get()), nullptr);
  EXPECT_EQ(savedIndexes(), QList<int>({10}));
}

TEST_F(AutoTest, ListRunsOnceAtTheFirstActivationOnly) {
  makeForm();
  runList({"/B"});
  EXPECT_EQ(Prefs.ImageExtension, 0);
  Prefs.ImageExtension = 1;
  form->FormActivate();  // activated again: nothing pending, nothing runs
  EXPECT_EQ(Prefs.ImageExtension, 1);
}

TEST_F(AutoTest, EscapeDuringAWaitEndsTheList) {
  makeForm();
  load("frames25.avi");
  QTimer::singleShot(100, form.get(), [this] { press(form.get(), Qt::Key_Escape); });
  runList({"/S=" + pictures, "/W=60000", "/G"});
  EXPECT_TRUE(StopRequested);
  EXPECT_TRUE(saved().isEmpty());
}

TEST_F(AutoTest, EscapeOnTheErrorOfAFileThatFailedStopsTheRest) {
  makeForm();
  const QString bad = copyClip("not_video.avi", "bad/not_video.avi");
  copyClip("frames25.avi", "good/clip.avi");
  whenErrorShown([this] { press(form.get(), Qt::Key_Escape); });
  runList({"/S=" + pictures, "/F=" + bad, "/F=" + path("good") + "/*.avi", "/G"});
  EXPECT_EQ(dynamic_cast<TgrabFile*>(form->CurrentSource.get()), nullptr);
  EXPECT_TRUE(saved().isEmpty());
}

TEST_F(AutoTest, SwitchCommandsCompareWithTheSettingFirst) {
  makeForm();
  TOptionsFrame& o = *form->options();
  struct Step {
    const char* command;
    bool expected;
  };
  struct Switch {
    QAbstractButton* box;  // null: deinterlacing, read from the preferences
    QChar letter;
  };
  const Step steps[] = {{"+", true}, {"+", true}, {"/", false}, {"-", false}, {"/", true},
                        {"-", false}};
  const Switch switches[] = {{o.cbConfirm, u'C'}, {o.cbUtiliserNomVideo, u'U'},
                             {o.cbPrefsQuittant, u'Z'}, {nullptr, u'D'}, {nullptr, u'V'}};
  for (const Switch& s : switches) {
    for (const Step& step : steps) {
      runList({QString::fromLatin1(step.command) + s.letter});
      bool now = false;
      if (s.box) now = s.box->isChecked();
      else if (s.letter == u'D') now = Prefs.DeinterlacePictures;
      else now = form->VertFlipActionChecked();
      EXPECT_EQ(now, step.expected) << step.command << QString(s.letter).toStdString();
    }
  }
  EXPECT_EQ(Prefs.ConfirmOverwrite, o.cbConfirm->isChecked());
  EXPECT_EQ(Prefs.SaveOnQuit, o.cbPrefsQuittant->isChecked());
  EXPECT_EQ(Prefs.UseVideoName, o.cbUtiliserNomVideo->isChecked());
}

TEST_F(AutoTest, PictureFormatAndAspectCommands) {
  makeForm();
  struct Case {
    const char* command;
    int extension;
    int quality;
    int ratio;
  };
  const Case cases[] = {
      {"/J=80", 1, 80, 0},   {"/B", 0, 80, 0},      {"/J", 1, 80, 0},  // /J alone keeps the quality
      {"/J=0", 1, 1, 0},     {"/J=abc", 1, 1, 0},   {"/J=250", 1, 100, 0},
      {"/X=16x9", 1, 100, 2}, {"/X=n", 1, 100, 2},  // the comparison is exact: nothing
      {"/X=4X3", 1, 100, 2}, {"/X=4x3", 1, 100, 1}, {"/X=N", 1, 100, 0},
  };
  for (const Case& c : cases) {
    runList({QString::fromLatin1(c.command)});
    EXPECT_EQ(Prefs.ImageExtension, c.extension) << c.command;
    EXPECT_EQ(Prefs.JpegQuality, c.quality) << c.command;
    EXPECT_EQ(form->options()->TrackBar1->value(), c.quality) << c.command;
    EXPECT_EQ(Prefs.ImageRatio, c.ratio) << c.command;
  }
}

TEST_F(AutoTest, ListFileSetsFolderWithSpaceRootAndNumber) {
  makeForm();
  const QString list = path("list.txt");
  {
    QFile out(list);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(("\"/S=" + path("my pictures") + "\" /R=holiday /N=007\n/S=" + path("cut here") +
               "\n")
                  .toUtf8());
  }
  dialogs.paths.push_back(list);
  form->OuvrirListeAction->Execute();  // asks for the file and runs it at once

  // The quoted folder is one argument; unquoted, "/S=.../cut" is and "here" is ignored.
  EXPECT_EQ(Prefs.PicturesFolder, path("cut") + "/");
  EXPECT_TRUE(QFileInfo(path("my pictures")).isDir());
  EXPECT_TRUE(QFileInfo(path("cut")).isDir());
  EXPECT_EQ(Prefs.Root, "holiday");
  EXPECT_FALSE(Prefs.UseVideoName);
  EXPECT_EQ(form->options()->NomRacineEdit->text(), "holiday");
  EXPECT_EQ(Prefs.NameSuffixKind, 1);
  EXPECT_EQ(form->NextFileName, path("cut") + "/holiday_007.bmp");
  EXPECT_FALSE(form->HasPendingCommandList());
}

TEST_F(AutoTest, IntervalCommandReadsNumberAndUnitWord) {
  makeForm();
  Tintervalloframe& panel = *form->intervalloframe();
  struct Case {
    const char* command;
    int value;
    int unit;
  };
  const Case cases[] = {
      {"/i=5seconds", 5, 0},  {"/I=5SECONDS", 5, 0}, {"/I=25Frames", 25, 1},
      {"/I=10", 25, 1},  // no unit word: the current delay and unit
      {"/I=2minutes", 2, 2}, {"/I=Seconds", 1, 0},   // no number: the least delay
      {"/I=9999999seconds", 999999, 0},
  };
  for (const Case& c : cases) {
    runList({QString::fromLatin1(c.command)});
    EXPECT_EQ(panel.RxSpinEdit7->value(), c.value) << c.command;
    EXPECT_EQ(Prefs.IntervalloValue, c.value) << c.command;
    EXPECT_EQ(panel.cboxIntervallo->currentIndex(), c.unit) << c.command;
    EXPECT_EQ(Prefs.IntervalloUnit, c.unit) << c.command;
    // The empty source: the run ends at once, the switch off again.
    EXPECT_FALSE(panel.RxSwitch1->isChecked()) << c.command;
  }
}

}  // namespace
}  // namespace automation
