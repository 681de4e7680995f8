// The preferences and the window: loading them into the controls at the first show, reading
// them back for a save, and the question at closing. Every store lives in a temporary folder.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSlider>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include "main/NeedleGauge.h"
#include "main/QtDialogs.h"
#include "settings/IniFile.h"
#include "tests/ui/PicturesFixture.h"

namespace {

using pictures::PicturesTest;

QString stored(const QString& file, const QString& key) {
  return IniFile::load(file).value(PrefsSectionName, key).value_or(QStringLiteral("<none>"));
}

const QString QuitQuestion = QStringLiteral(
    "Do you want to save the preferences of Pictorel to find them again at next start?\r\n\r\n"
    "If you answer \"All\", then Pictorel will save them automatically when quitting.");

TEST_F(PicturesTest, FirstStartTakesTheDefaultsAndCentresTheWindow) {
  TGrabForm& window = makeForm();
  const QSize screen = window.screen()->geometry().size();
  EXPECT_EQ(Prefs.PrefsStore, StoreRegistry);
  EXPECT_EQ(options().rgPrefs->ItemIndex(), 0);
  EXPECT_EQ(window.pos(), QPoint((screen.width() - 686) / 2, (screen.height() - 541) / 2));
  EXPECT_EQ(Prefs.PicturesFolder, path("Pictures/"));
  EXPECT_TRUE(QFileInfo(path("Pictures")).isDir());
  EXPECT_EQ(options().deDossierSave->text(), path("Pictures/"));
  EXPECT_EQ(Prefs.JpegQuality, 50);
  EXPECT_TRUE(options().rbNumero->isChecked());
  EXPECT_TRUE(options().cbConfirm->isChecked());
  EXPECT_EQ(window.DestLab->text(), path("Pictures/Pictorel_0000.bmp"));
  EXPECT_FALSE(QFileInfo::exists(where.userFile)) << "loading writes nothing";
}

TEST_F(PicturesTest, StoredPreferencesReachTheControlsAndWhatTheyDrive) {
  writeIni(where.programIni, QStringLiteral(
      "Top=10\nLeft=20\n"
      "Sauver préférences en quittant=1\nExtension de l'image=1\n"
      "Qualité de la compression Jpeg=150\nRatio de l'image=2\nAjouter au nom de l'image=0\n"
      "Racine=Trip\nLongueur de Racine=5\nNb de Digits=6\nTri des raccourcis par nom=0\n"
      "Confirmer Delete=0\nMute=1\nDeinterlace=1\nVolume=40\n"
      "Dossier Images=%1\nUtiliser nom vidéo=0\nLimiter longueur=0\nImagette Gauche=0\n")
      .arg(path("stored")));
  TGrabForm& window = makeForm();

  EXPECT_EQ(Prefs.PrefsStore, StoreProgramIni);
  EXPECT_EQ(options().rgPrefs->ItemIndex(), 2);
  EXPECT_EQ(window.pos(), QPoint(20, 10));
  EXPECT_TRUE(options().cbPrefsQuittant->isChecked());
  EXPECT_FALSE(options().cbImagetteGauche->isChecked());
  EXPECT_EQ(window.Panel3->x(), 0);
  EXPECT_EQ(window.Panel4->x(), 438);
  EXPECT_EQ(options().rgImageExtension->ItemIndex(), 1);
  EXPECT_FALSE(options().GroupBox2->isHidden());
  EXPECT_EQ(options().TrackBar1->value(), 100);
  EXPECT_EQ(Prefs.JpegQuality, 100) << "held to the slider's range";
  EXPECT_EQ(options().rgImageRatio->ItemIndex(), 2);
  EXPECT_EQ(window.VideoWindow1->geometry(), QRect(24, 120, 384, 216));
  EXPECT_TRUE(options().rbTimecode->isChecked());
  EXPECT_TRUE(options().DigitsEdit->isHidden());
  EXPECT_EQ(options().NomRacineEdit->text(), "Trip");
  EXPECT_EQ(options().RacineLengthEdit->value(), 5);
  EXPECT_EQ(options().DigitsEdit->value(), 6);
  EXPECT_EQ(options().numEdit->text(), "000000");
  EXPECT_TRUE(options().cbSortShortcut->isChecked());
  EXPECT_FALSE(options().cbConfirm->isChecked());
  EXPECT_TRUE(window.cbMuteVideo->isChecked());
  EXPECT_EQ(window.GaugeVolume->Progress(), 40);
  EXPECT_TRUE(window.cbDeinterlaceImage->isChecked());
  EXPECT_FALSE(options().cbUtiliserNomVideo->isChecked());
  EXPECT_TRUE(options().cbLimiterLongueur->isHidden());
  EXPECT_EQ(options().deDossierSave->text(), path("stored/"));
  EXPECT_TRUE(QFileInfo(path("stored")).isDir());
  EXPECT_EQ(window.DestLab->text(), path("stored/Trip_{timecode}.jpg"));
}

TEST_F(PicturesTest, ChoicesStoredOutOfRangeFallBackToTheirDefaults) {
  writeIni(where.userFile, QStringLiteral(
      "Extension de l'image=-1\nRatio de l'image=7\nAjouter au nom de l'image=5\n"
      "Nb de Digits=99\n"));
  TGrabForm& window = makeForm();
  EXPECT_EQ(Prefs.ImageExtension, 0);
  EXPECT_EQ(options().rgImageExtension->ItemIndex(), 0);
  EXPECT_EQ(Prefs.ImageRatio, 0);
  EXPECT_EQ(options().rgImageRatio->ItemIndex(), 0);
  EXPECT_EQ(Prefs.NameSuffixKind, 1);
  EXPECT_TRUE(options().rbNumero->isChecked());
  EXPECT_EQ(Prefs.Digits, 20);
  EXPECT_EQ(options().numEdit->text().size(), 20);
  EXPECT_TRUE(window.DestLab->text().endsWith("_00000000000000000000.bmp"));
}

TEST_F(PicturesTest, PlaceOffEveryScreenIsNotUsed) {
  writeIni(where.userFile, QStringLiteral("Top=-20000\nLeft=-20000\n"));
  TGrabForm& window = makeForm();
  const QSize screen = window.screen()->geometry().size();
  EXPECT_EQ(window.pos(), QPoint((screen.width() - 686) / 2, (screen.height() - 541) / 2));
}

TEST_F(PicturesTest, ControlsToPrefsSavesWhatTheControlsShowAndLoadsBackTheSame) {
  TGrabForm& window = makeForm();
  options().rgImageExtension->Item(1)->click();
  options().TrackBar1->setValue(77);
  options().rgImageRatio->Item(1)->click();
  options().rbTimecode->click();
  options().NomRacineEdit->setText("Saved root");
  options().RacineLengthEdit->setValue(12);
  options().DigitsEdit->setValue(3);
  options().cbSortShortcut->click();
  options().cbConfirm->click();
  options().cbLimiterLongueur->click();
  options().cbImagetteGauche->click();
  options().deDossierSave->setText(path("typed"));  // typed: taken at the save
  window.cbDeinterlaceImage->click();
  window.move(33, 44);

  window.ControlsToPrefs();
  ASSERT_TRUE(QFileInfo::exists(where.userFile));
  EXPECT_EQ(stored(where.userFile, "Dossier Images"), path("typed/"));
  EXPECT_EQ(stored(where.userFile, "Confirmer Delete"), "0");
  EXPECT_EQ(stored(where.userFile, "Version"), "Pictorel 4.1.3 En by Velmoran");
  EXPECT_EQ(stored(where.userFile, "Left"), "33");

  TPrefs loaded;
  LoadPrefs(loaded, where, QSize(1024, 768));
  EXPECT_EQ(loaded, Prefs);
  EXPECT_EQ(loaded.ImageExtension, 1);
  EXPECT_EQ(loaded.JpegQuality, 77);
  EXPECT_EQ(loaded.ImageRatio, 1);
  EXPECT_EQ(loaded.NameSuffixKind, 0);
  EXPECT_EQ(loaded.Root, "Saved root");
  EXPECT_EQ(loaded.RootLength, 12);
  EXPECT_EQ(loaded.Digits, 3);
  EXPECT_FALSE(loaded.SortShortcutsByName);
  EXPECT_FALSE(loaded.LimitLength);
  EXPECT_FALSE(loaded.PictureAtLeft);
  EXPECT_TRUE(loaded.DeinterlacePictures);
  EXPECT_EQ(loaded.WindowLeft, 33);
  EXPECT_EQ(loaded.WindowTop, 44);
}

struct QuitCase {
  const char* name;
  DialogButton answer;
  bool saved;
  bool saveOnQuitAfter;
};

void PrintTo(const QuitCase& c, std::ostream* out) { *out << c.name; }

class QuitQuestionTest : public PicturesTest, public ::testing::WithParamInterface<QuitCase> {};

TEST_P(QuitQuestionTest, AnswerDecidesWhatIsSaved) {
  const QuitCase& c = GetParam();
  TGrabForm& window = makeForm();
  options().NomRacineEdit->setText("At closing");
  dialogs.answers = {c.answer};
  window.close();

  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text, QuitQuestion);
  EXPECT_EQ(dialogs.shown[0].buttons,
            (std::vector<DialogButton>{DialogButton::Yes, DialogButton::No, DialogButton::All}));
  EXPECT_EQ(QFileInfo::exists(where.userFile), c.saved);
  if (c.saved) {
    EXPECT_EQ(stored(where.userFile, "Racine"), "At closing");
    EXPECT_EQ(stored(where.userFile, "Sauver préférences en quittant"),
              c.saveOnQuitAfter ? "1" : "0");
  }

  // The next run: with "All" it saves without asking.
  dialogs.shown.clear();
  TGrabForm& next = makeForm();
  options().NomRacineEdit->setText("Next closing");
  dialogs.answers = {DialogButton::No};
  next.close();
  EXPECT_EQ(dialogs.shown.size(), c.saveOnQuitAfter ? 0u : 1u);
  if (c.saveOnQuitAfter) {
    EXPECT_EQ(stored(where.userFile, "Racine"), "Next closing");
  }
}

INSTANTIATE_TEST_SUITE_P(Answers, QuitQuestionTest,
                         ::testing::Values(QuitCase{"Yes", DialogButton::Yes, true, false},
                                           QuitCase{"No", DialogButton::No, false, false},
                                           QuitCase{"All", DialogButton::All, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PicturesTest, WindowNeverShownClosesWithoutAskingOrSaving) {
  TGrabForm& window = makeForm(false);
  window.close();
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(QFileInfo::exists(where.userFile));
}

// --- The real boxes

struct ClosedCase {
  const char* name;
  std::vector<DialogButton> buttons;
  DialogButton answer;
};

void PrintTo(const ClosedCase& c, std::ostream* out) { *out << c.name; }

class ClosedBoxTest : public ::testing::TestWithParam<ClosedCase> {};

// Presses a key or a button of the box that opens next, once it is open.
void whenBoxOpens(std::function<void(QMessageBox*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      timer->stop();
      timer->deleteLater();
      act(box);
    }
  });
  timer->start();
}

DialogButton askThroughABox(const std::vector<DialogButton>& buttons) {
  QtDialogs real;
  switch (buttons.size()) {
    case 1: return real.Ask("?", {buttons[0]});
    case 3: return real.Ask("?", {buttons[0], buttons[1], buttons[2]});
    default: return real.Ask("?", {buttons[0], buttons[1], buttons[2], buttons[3]});
  }
}

TEST_P(ClosedBoxTest, ClosingWithoutChoosingNeverMeansYes) {
  whenBoxOpens([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
  EXPECT_EQ(askThroughABox(GetParam().buttons), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, ClosedBoxTest,
    ::testing::Values(
        ClosedCase{"QuitQuestion", {DialogButton::Yes, DialogButton::No, DialogButton::All},
                   DialogButton::No},
        ClosedCase{"Overwrite",
                   {DialogButton::Yes, DialogButton::No, DialogButton::Cancel, DialogButton::YesToAll},
                   DialogButton::Cancel},
        ClosedCase{"Message", {DialogButton::Ok}, DialogButton::Ok}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QtDialogsTest, BoxOffersTheProgramsButtonTextsAndReturnsTheOneClicked) {
  QStringList texts;
  whenBoxOpens([&texts](QMessageBox* box) {
    for (QAbstractButton* button : box->buttons()) texts << button->text();
    for (QAbstractButton* button : box->buttons())
      if (button->text() == "Yes to All") button->click();
  });
  EXPECT_EQ(askThroughABox({DialogButton::Yes, DialogButton::No, DialogButton::Cancel,
                            DialogButton::YesToAll}),
            DialogButton::YesToAll);
  texts.sort();
  EXPECT_EQ(texts, (QStringList{"Cancel", "No", "Yes", "Yes to All"}));
}

TEST(QtDialogsTest, QuitQuestionClosedWithoutChoosingSavesNothing) {
  whenBoxOpens([](QMessageBox* box) { box->close(); });
  QtDialogs real;
  EXPECT_EQ(QuitPrompt(false, real), QuitSaving::DontSave);
}

}  // namespace
