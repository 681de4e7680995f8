// The next picture's name as the window shows it: its forms, its colour when the file exists,
// the naming commands, the folder choices and a click on the name.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "tests/ui/PicturesFixture.h"

namespace {

using pictures::PicturesTest;
using pictures::patternFrame;

struct NameCase {
  const char* name;
  QString video;  // empty: the empty window
  bool limit;
  int extension;
  int suffix;        // 1 numbered, 0 timecode
  QString timecode;  // shown in the timecode edit
  QString expected;  // after the pictures folder
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.name; }

class NextNameTest : public PicturesTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(NextNameTest, BottomBarShowsTheNextName) {
  const NameCase& c = GetParam();
  TGrabForm& window = makeForm();
  if (!c.video.isEmpty()) loadFakeFile(patternFrame(16, 16), c.video);
  options().cbLimiterLongueur->setChecked(c.limit);
  if (c.extension == 1) window.JpegActionExecute();
  if (c.suffix == 0) window.AjouterTimecodeActionExecute();
  window.CurrentEdit->setText(c.timecode);
  window.UpdateNextName();
  EXPECT_EQ(window.NextFileName, path("Pictures/") + c.expected);
  EXPECT_EQ(window.DestLab->text(), window.NextFileName);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NextNameTest,
    ::testing::Values(
        NameCase{"VideoRootCut", "/v/holiday_2007.avi", true, 0, 1, "", "holiday__0000.bmp"},
        NameCase{"VideoRootWhole", "/v/holiday_2007.avi", false, 0, 1, "", "holiday_2007_0000.bmp"},
        NameCase{"Jpeg", "/v/holiday_2007.avi", false, 1, 1, "", "holiday_2007_0000.jpg"},
        NameCase{"Timecode", "/v/holiday_2007.avi", false, 0, 0, "0:01:05:12",
                 "holiday_2007_0.01.05.12.bmp"},
        NameCase{"EmptyWindowTimecode", "", true, 0, 0, "", "Pictorel_{timecode}.bmp"},
        NameCase{"NameWithoutDot", "/v/clip", true, 0, 1, "", "_0000.bmp"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PicturesTest, BottomBarTurnsDarkRedWhileTheNextFileExists) {
  TGrabForm& window = makeForm();
  const QColor face = QApplication::palette().color(QPalette::Button);
  EXPECT_EQ(window.Panel2->palette().color(QPalette::Window), face);
  EXPECT_EQ(window.DestLab->palette().color(QPalette::WindowText), QColor(128, 0, 0));

  QFile existing(window.NextFileName);
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  window.UpdateNextName();
  EXPECT_EQ(window.Panel2->palette().color(QPalette::Window), QColor(128, 0, 0));
  EXPECT_EQ(window.DestLab->palette().color(QPalette::WindowText), face);

  options().numEdit->setText("0001");  // another name: free again
  EXPECT_EQ(window.Panel2->palette().color(QPalette::Window), face);
}

TEST_F(PicturesTest, AfterAWriteTheNumberMovesOnAndTheBarWarnsOfTheNextFile) {
  TGrabForm& window = makeForm();
  options().numEdit->setText("0041");
  QFile existing(path("Pictures/holiday__0042.bmp"));
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  loadFakeFile(patternFrame(16, 16));
  window.GrabActionExecute();
  EXPECT_EQ(options().numEdit->text(), "0042");
  EXPECT_EQ(window.DestLab->text(), path("Pictures/holiday__0042.bmp"));
  EXPECT_EQ(window.Panel2->palette().color(QPalette::Window), QColor(128, 0, 0));
}

TEST_F(PicturesTest, NamingCommandsSwitchTheFormTheChoiceAndTheDigitsField) {
  TGrabForm& window = makeForm();
  window.AjouterTimecodeActionExecute();
  EXPECT_EQ(Prefs.NameSuffixKind, 0);
  EXPECT_TRUE(options().rbTimecode->isChecked());
  EXPECT_TRUE(options().DigitsEdit->isHidden());
  EXPECT_TRUE(options().LabDigits->isHidden());
  EXPECT_TRUE(window.NextFileName.endsWith("_{timecode}.bmp"));

  options().rbNumero->click();  // the choice runs the command
  EXPECT_EQ(Prefs.NameSuffixKind, 1);
  EXPECT_FALSE(options().DigitsEdit->isHidden());
  EXPECT_TRUE(window.NextFileName.endsWith("_0000.bmp"));

  options().rbTimecode->click();
  EXPECT_EQ(Prefs.NameSuffixKind, 0);
}

TEST_F(PicturesTest, FixedRootAppliesOnlyWhereTheVideoNameDoesNot) {
  TGrabForm& window = makeForm();
  options().NomRacineEdit->setText("Trip");  // empty window: the fixed root
  EXPECT_EQ(Prefs.Root, "Trip");
  EXPECT_EQ(window.CurrentRoot, "Trip");
  EXPECT_EQ(window.NextFileName, path("Pictures/Trip_0000.bmp"));

  loadFakeFile(patternFrame(16, 16));
  options().NomRacineEdit->setText("Other");  // a video file with its name used
  EXPECT_EQ(window.CurrentRoot, "holiday_");

  options().cbUtiliserNomVideo->setChecked(false);
  EXPECT_EQ(window.CurrentRoot, "Other");
  EXPECT_EQ(window.NextFileName, path("Pictures/Other_0000.bmp"));
}

TEST_F(PicturesTest, RootLengthFieldCutsTheVideoRoot) {
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(16, 16));
  options().RacineLengthEdit->setValue(3);
  EXPECT_EQ(Prefs.RootLength, 3);
  EXPECT_EQ(window.NextFileName, path("Pictures/hol_0000.bmp"));
}

TEST_F(PicturesTest, FolderCommandTakesTheChosenFolderAndKeepsTheNumber) {
  TGrabForm& window = makeForm();
  options().numEdit->setText("0007");
  dialogs.paths = {path("chosen/deeper/typed name.bmp")};
  window.DossierSaveActionExecute();

  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, ScriptedDialogs::Kind::SaveFile);
  EXPECT_EQ(dialogs.shown[0].text, "Save the picture");
  EXPECT_EQ(Prefs.PicturesFolder, path("chosen/deeper/"));
  EXPECT_TRUE(QFileInfo(path("chosen/deeper")).isDir());
  EXPECT_EQ(options().deDossierSave->text(), path("chosen/deeper/"));
  EXPECT_EQ(options().numEdit->text(), "0007");
  EXPECT_EQ(window.NextFileName, path("chosen/deeper/Pictorel_0007.bmp"));

  window.DossierSaveActionExecute();  // cancelled: nothing changes
  EXPECT_EQ(Prefs.PicturesFolder, path("chosen/deeper/"));
}

TEST_F(PicturesTest, FolderBrowserOfTheOptionsSetsTheFolderAndTheName) {
  TGrabForm& window = makeForm();
  dialogs.paths = {path("browsed/new")};
  options().deDossierSaveButton->click();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, ScriptedDialogs::Kind::Folder);
  EXPECT_EQ(dialogs.shown[0].text, "Choose the folder where the pictures will be saved:");
  EXPECT_EQ(Prefs.PicturesFolder, path("browsed/new/"));
  EXPECT_TRUE(QFileInfo(path("browsed/new")).isDir());
  EXPECT_EQ(options().deDossierSave->text(), path("browsed/new/"));
  EXPECT_EQ(window.NextFileName, path("browsed/new/Pictorel_0000.bmp"));
}

struct DestLabCase {
  const char* name;
  bool fileExists;
  bool folderExists;
  bool showsFile;
  bool opensFolder;
};

void PrintTo(const DestLabCase& c, std::ostream* out) { *out << c.name; }

class DestLabClickTest : public PicturesTest, public ::testing::WithParamInterface<DestLabCase> {};

TEST_P(DestLabClickTest, ClickShowsTheFileOrOpensItsFolder) {
  const DestLabCase& c = GetParam();
  TGrabForm& window = makeForm();
  if (c.fileExists) {
    QFile existing(window.NextFileName);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  }
  if (!c.folderExists) {
    ASSERT_TRUE(QDir(path("Pictures")).removeRecursively());
  }
  window.UpdateNextName();
  QTest::mouseClick(window.DestLab, Qt::LeftButton);
  EXPECT_EQ(shell.shownFiles, c.showsFile ? QStringList{window.NextFileName} : QStringList{});
  EXPECT_EQ(shell.openedFolders, c.opensFolder ? QStringList{path("Pictures/")} : QStringList{});
}

INSTANTIATE_TEST_SUITE_P(Targets, DestLabClickTest,
                         ::testing::Values(DestLabCase{"FileThere", true, true, true, false},
                                           DestLabCase{"FolderOnly", false, true, false, true},
                                           DestLabCase{"Nothing", false, false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
