// The options panel: its tabs and texts, what its controls show and hide, the number and digits
// fields, and how the Settings and Image panel commands show and hide it.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "tests/ui/PicturesFixture.h"

namespace {

using pictures::PicturesTest;

TEST_F(PicturesTest, PanelHasFourTabsAndOpensOnAdvanced) {
  makeForm();
  QTabWidget* tabs = options().PageControl1;
  ASSERT_EQ(tabs->count(), 4);
  EXPECT_EQ(tabs->tabText(0), "Shortcuts");
  EXPECT_EQ(tabs->tabText(1), "Preferences");
  EXPECT_EQ(tabs->tabText(2), "Advanced");
  EXPECT_EQ(tabs->tabText(3), "Pictures");
  EXPECT_EQ(tabs->currentIndex(), 2);
  EXPECT_EQ(options().labFermerF6->text(), "Click here to close this panel(F6)");
  EXPECT_EQ(options().labFermerF6->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(options().rgPrefs->Items(),
            (QStringList{"In the user configuration folder",
                         "ini file in the system configuration folder",
                         "ini file in the Pictorel folder"}));
  EXPECT_EQ(options().rgImageExtension->Items(), (QStringList{"bmp", "jpeg"}));
  EXPECT_EQ(options().rgImageRatio->Items(),
            (QStringList{"normal", "force 4x3", "force 16x9"}));
  EXPECT_TRUE(options().rbDatecode->isHidden());
  EXPECT_EQ(options().BitBtn2->text(), "Secret");
  EXPECT_EQ(options().Label1->text(), "50");
}

TEST_F(PicturesTest, HintsShowTheirLineBreaksAndTheProductName) {
  makeForm();
  EXPECT_EQ(options().cbConfirm->toolTip(),
            "If checked, then an existing picture file will not be deleted\n"
            "without asking you for a confirmation.");
  EXPECT_EQ(options().sbSavePrefs->toolTip(), "Save the preferences of Pictorel");
  EXPECT_EQ(options().LabelSauverNow->toolTip(), "Save the preferences of Pictorel");
  EXPECT_EQ(options().rgImageRatio->toolTip(),
            "Set the format of image:\neither the native format of the video\n"
            "either force 4x3\neither force 16x9");
  EXPECT_EQ(options().deDossierSave->toolTip(),
            "Folder where the pictures are saved. \n"
            "Can be changed here, or with a button on the toolbar.");
  for (QWidget* control : std::initializer_list<QWidget*>{
           options().cbSortShortcut, options().cbPrefsQuittant, options().sbDeletePrefs,
           options().rgPrefs, options().cbUtiliserNomVideo, options().cbLimiterLongueur,
           options().BitBtn2, options().rgImageExtension, options().GroupBox2,
           options().TrackBar1, options().NomRacineEdit, options().rbNumero, options().rbTimecode}) {
    EXPECT_FALSE(control->toolTip().isEmpty()) << control->objectName().toStdString();
    EXPECT_FALSE(control->toolTip().contains('\r')) << control->objectName().toStdString();
  }
}

struct VisibilityCase {
  bool useVideoName;
  bool limitLength;
  bool limitBoxShown;
  bool lengthShown;
};

void PrintTo(const VisibilityCase& c, std::ostream* out) {
  *out << "video name " << c.useVideoName << ", limit " << c.limitLength;
}

class NamingVisibilityTest : public PicturesTest,
                             public ::testing::WithParamInterface<VisibilityCase> {};

TEST_P(NamingVisibilityTest, LengthControlsShowOnlyWhereTheyApply) {
  const VisibilityCase& c = GetParam();
  makeForm();
  // From the opposite states, so that each box really changes.
  options().cbUtiliserNomVideo->setChecked(!c.useVideoName);
  options().cbLimiterLongueur->setChecked(!c.limitLength);
  options().cbLimiterLongueur->setChecked(c.limitLength);
  options().cbUtiliserNomVideo->setChecked(c.useVideoName);
  EXPECT_EQ(Prefs.UseVideoName, c.useVideoName);
  EXPECT_EQ(Prefs.LimitLength, c.limitLength);
  EXPECT_EQ(!options().cbLimiterLongueur->isHidden(), c.limitBoxShown);
  EXPECT_EQ(!options().labelMax->isHidden(), c.lengthShown);
  EXPECT_EQ(!options().RacineLengthEdit->isHidden(), c.lengthShown);
}

INSTANTIATE_TEST_SUITE_P(Boxes, NamingVisibilityTest,
                         ::testing::Values(VisibilityCase{true, true, true, true},
                                           VisibilityCase{true, false, true, false},
                                           VisibilityCase{false, true, false, false},
                                           VisibilityCase{false, false, false, false}));

struct DigitsCase {
  const char* name;
  QString number;
  int digits;
  QString result;
};

void PrintTo(const DigitsCase& c, std::ostream* out) { *out << c.name; }

class DigitsTest : public PicturesTest, public ::testing::WithParamInterface<DigitsCase> {};

TEST_P(DigitsTest, DigitsPadOrCutTheNumber) {
  const DigitsCase& c = GetParam();
  TGrabForm& window = makeForm();
  options().numEdit->setText(c.number);
  options().DigitsEdit->setValue(c.digits);
  EXPECT_EQ(options().numEdit->text(), c.result);
  EXPECT_EQ(options().DigitsEdit->value(), c.digits);
  EXPECT_EQ(Prefs.Digits, c.digits);
  EXPECT_EQ(window.NextFileName, path("Pictures/Pictorel_") + c.result + ".bmp");
}

INSTANTIATE_TEST_SUITE_P(Numbers, DigitsTest,
                         ::testing::Values(DigitsCase{"PadToSix", "0000", 6, "000000"},
                                           DigitsCase{"CutToThree", "123456", 3, "456"},
                                           DigitsCase{"ZeroEmpties", "0042", 0, ""},
                                           DigitsCase{"PadShortNumber", "7", 3, "007"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PicturesTest, TypingANumberSetsTheDigitsToItsLength) {
  TGrabForm& window = makeForm();
  options().numEdit->setText("12");
  EXPECT_EQ(options().DigitsEdit->value(), 2);
  EXPECT_EQ(Prefs.Digits, 2);
  EXPECT_EQ(options().numEdit->text(), "12");
  EXPECT_EQ(window.PictureCounter, 12);
  EXPECT_EQ(window.NextFileName, path("Pictures/Pictorel_12.bmp"));
}

TEST_F(PicturesTest, QualityGroupShowsForJpegOnlyAndKeepsTheQuality) {
  makeForm();
  options().TrackBar1->setValue(80);
  EXPECT_EQ(Prefs.JpegQuality, 80);
  EXPECT_EQ(options().Label1->text(), "80");
  options().rgImageExtension->Item(1)->click();
  EXPECT_FALSE(options().GroupBox2->isHidden());
  options().rgImageExtension->Item(0)->click();
  EXPECT_TRUE(options().GroupBox2->isHidden());
  EXPECT_EQ(Prefs.JpegQuality, 80);
}

TEST_F(PicturesTest, AspectChoiceAppliesTheAspect) {
  TGrabForm& window = makeForm();
  loadFakeFile(pictures::patternFrame(720, 576));
  options().rgImageRatio->Item(2)->click();
  EXPECT_EQ(Prefs.ImageRatio, 2);
  EXPECT_EQ(QSize(window.PictureWidth, window.PictureHeight), QSize(720, 405));
}

TEST_F(PicturesTest, SimpleBoxesWriteTheirSetting) {
  makeForm();
  options().cbConfirm->click();
  EXPECT_FALSE(Prefs.ConfirmOverwrite);
  options().cbPrefsQuittant->click();
  EXPECT_TRUE(Prefs.SaveOnQuit);
  options().cbSortShortcut->click();
  EXPECT_FALSE(Prefs.SortShortcutsByName);
}

TEST_F(PicturesTest, SettingsCommandTogglesThePanelOverThePicturePanel) {
  TGrabForm& window = makeForm();
  window.Erreur_Frame1->show();
  window.optionsActionExecute();
  EXPECT_TRUE(window.optionsActionChecked());
  EXPECT_FALSE(window.ImagePanelActionChecked());
  EXPECT_TRUE(window.OptionsFrame1->isVisible());
  EXPECT_TRUE(options().isVisible());
  EXPECT_FALSE(window.Erreur_Frame1->isVisible());
  EXPECT_EQ(window.OptionsFrame1->geometry(), window.Panel4->geometry());

  window.optionsActionExecute();
  EXPECT_FALSE(window.optionsActionChecked());
  EXPECT_TRUE(window.ImagePanelActionChecked());
  EXPECT_FALSE(window.OptionsFrame1->isVisible());
  EXPECT_TRUE(window.Panel4->isVisible());
}

TEST_F(PicturesTest, SettingsPanelCoversThePicturePanelOnTheRightToo) {
  TGrabForm& window = makeForm();
  window.ImagetteGaucheActionExecute();
  window.optionsActionExecute();
  EXPECT_EQ(window.OptionsFrame1->pos(), QPoint(438, 66));
}

TEST_F(PicturesTest, CloseLabelBringsThePicturePanelBack) {
  TGrabForm& window = makeForm();
  window.setAproposActionChecked(true);
  window.optionsActionExecute();
  EXPECT_FALSE(window.AproposActionChecked());
  QTest::mouseClick(options().labFermerF6, Qt::LeftButton);
  EXPECT_FALSE(window.optionsActionChecked());
  EXPECT_TRUE(window.ImagePanelActionChecked());
  EXPECT_FALSE(window.OptionsFrame1->isVisible());
}

TEST_F(PicturesTest, DeleteAnsweredNoKeepsTheFilesButUnticksSaveOnQuit) {
  makeForm();
  writeIni(where.userFile, "Mute=1\n");
  options().cbPrefsQuittant->setChecked(true);
  dialogs.answers = {DialogButton::No};
  options().sbDeletePrefs->click();
  EXPECT_TRUE(QFileInfo::exists(where.userFile));
  EXPECT_FALSE(options().cbPrefsQuittant->isChecked());
  EXPECT_FALSE(Prefs.SaveOnQuit);
}

TEST_F(PicturesTest, DeleteAnsweredYesRemovesTheStoredPreferences) {
  makeForm();
  writeIni(where.userFile, "Mute=1\n");
  dialogs.answers = {DialogButton::Yes};
  options().sbDeletePrefs->click();
  EXPECT_FALSE(QFileInfo::exists(where.userFile));
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].text, "Pictorel has been completely erased from your system.");
}

TEST_F(PicturesTest, ChoosingTheProgramIniStoreSavesThereNext) {
  makeForm();
  options().rgPrefs->Item(2)->click();
  EXPECT_EQ(Prefs.PrefsStore, StoreProgramIni);
  options().sbSavePrefs->click();
  EXPECT_TRUE(QFileInfo::exists(where.programIni));
  EXPECT_FALSE(QFileInfo::exists(where.userFile));
}

TEST_F(PicturesTest, SecretButtonIsThereAndDoesNothingYet) {
  TGrabForm& window = makeForm();
  options().BitBtn2->click();
  EXPECT_FALSE(window.isHidden());
}

}  // namespace
