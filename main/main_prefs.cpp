// The preferences and the window's controls: loading them into the controls at the first show,
// reading them back for a save, the closing question, and the options panel's place in the
// window (its wiring, the Settings and Image panel commands).
#include <algorithm>
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>

#include "main/NeedleGauge.h"
#include "main/main.h"
#include "settings/Dialogs.h"
#include "settings/PSFunctions.h"
#include "settings/Preferences.h"
#include "settings/optionsunit.h"
#include "sources/GrabFile.h"

namespace {

constexpr int PanelsTop = 66;
constexpr int VideoPanelWidth = 438;

// True when some part of `outer` lies on a screen, so the window can be reached there.
bool onSomeScreen(const QRect& outer) {
  const auto screens = QGuiApplication::screens();
  return std::any_of(screens.begin(), screens.end(), [&](const QScreen* screen) {
    return screen->availableGeometry().intersects(outer);
  });
}

}  // namespace

const PrefsLocations& TGrabForm::prefsLocations() {
  if (!m_prefsLocations) m_prefsLocations = standardPrefsLocations();
  return *m_prefsLocations;
}

void TGrabForm::buildOptionsPanel() {
  m_options = new TOptionsFrame(OptionsFrame1);
  m_options->setGeometry(0, 0, OptionsFrame1->width(), OptionsFrame1->height());
  TOptionsFrame* o = m_options;

  // The shortcut list is built again here once it is filled from the command table.
  connect(o, &TOptionsFrame::savePrefsClicked, this, [this] { ControlsToPrefs(); });
  connect(o, &TOptionsFrame::deletePrefsClicked, this, [this] {
    if (dialogs()) DeletePrefs(prefsLocations(), *dialogs());
    if (!isTornDown()) m_options->cbPrefsQuittant->setChecked(false);
  });
  connect(o, &TOptionsFrame::prefsStoreChosen, this,
          [this](int index) { SelectPrefsStore(Prefs, index, prefsLocations()); });
  connect(o, &TOptionsFrame::imagetteGaucheClicked, this, [this](bool checked) {
    if (checked != m_pictureAtLeft) ImagetteGaucheActionExecute();
  });
  connect(o, &TOptionsFrame::rootRuleChanged, this, [this] {
    UpdateRoot();
    UpdateNextName();
  });
  connect(o, &TOptionsFrame::rootTextChanged, this, [this] {
    if (!dynamic_cast<const TgrabFile*>(CurrentSource.get()) || !Prefs.UseVideoName)
      CurrentRoot = Prefs.Root;
    UpdateNextName();
  });
  connect(o, &TOptionsFrame::numberChanged, this, [this] {
    if (Prefs.NameSuffixKind == 1) BuildNumberedName();
  });
  connect(o, &TOptionsFrame::imageExtensionChanged, this, [this] { UpdateNextName(); });
  connect(o, &TOptionsFrame::imageRatioChanged, this, [this] { ApplyAspectRatio(); });
  connect(o, &TOptionsFrame::numeroChosen, this, [this] { AjouterNumeroActionExecute(); });
  connect(o, &TOptionsFrame::timecodeChosen, this, [this] { AjouterTimecodeActionExecute(); });
  connect(o, &TOptionsFrame::browseFolderClicked, this, [this] { deDossierSaveBrowse(); });
  connect(o, &TOptionsFrame::secretClicked, this, [this] { SecretActionExecute(); });
  connect(o, &TOptionsFrame::closeClicked, this, [this] { ImagePanelActionExecute(); });
}

void TGrabForm::PrefsToControls() {
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  LoadPrefs(Prefs, prefsLocations(), screen ? screen->geometry().size() : QSize(686, 541));
  m_prefsLoaded = true;

  // The window keeps its fixed size; a place stored for a screen that is gone is not used.
  if (onSomeScreen(QRect(Prefs.WindowLeft, Prefs.WindowTop, std::max(1, Prefs.WindowWidth),
                         std::max(1, Prefs.WindowHeight))))
    move(Prefs.WindowLeft, Prefs.WindowTop);

  // Choices outside their range fall back to their defaults.
  const TPrefs defaults;
  if (Prefs.ImageExtension < 0 || Prefs.ImageExtension > 1)
    Prefs.ImageExtension = defaults.ImageExtension;
  if (Prefs.ImageRatio < 0 || Prefs.ImageRatio > 2) Prefs.ImageRatio = defaults.ImageRatio;
  if (Prefs.NameSuffixKind < 0 || Prefs.NameSuffixKind > 1)
    Prefs.NameSuffixKind = defaults.NameSuffixKind;
  if (Prefs.IntervalloUnit < 0 || Prefs.IntervalloUnit > 2)
    Prefs.IntervalloUnit = defaults.IntervalloUnit;

  // In this order; a control given another value than it holds runs its change handler.
  TOptionsFrame* o = m_options;
  cbMuteVideo->setChecked(Prefs.MuteSound);
  GaugeVolume->SetProgress(Prefs.SoundVolume);
  cbDeinterlaceImage->setChecked(Prefs.DeinterlacePictures);
  o->cbPrefsQuittant->setChecked(Prefs.SaveOnQuit);
  o->cbImagetteGauche->setChecked(Prefs.PictureAtLeft);
  o->rgImageExtension->SetItemIndex(Prefs.ImageExtension);
  o->TrackBar1->setValue(Prefs.JpegQuality);
  o->rgImageRatio->SetItemIndex(Prefs.ImageRatio);
  if (Prefs.NameSuffixKind == 0)
    o->rbTimecode->setChecked(true);
  else
    o->rbNumero->setChecked(true);
  o->NomRacineEdit->setText(Prefs.Root);
  o->RacineLengthEdit->setValue(Prefs.RootLength);
  o->DigitsEdit->setValue(Prefs.Digits);
  o->cbSortShortcut->setChecked(!Prefs.SortShortcutsByName);
  if (Prefs.PrefsStore >= StoreRegistry && Prefs.PrefsStore <= StoreProgramIni)
    o->rgPrefs->SetItemIndex(Prefs.PrefsStore - 1);
  o->cbConfirm->setChecked(Prefs.ConfirmOverwrite);
  o->deDossierSave->setText(Prefs.PicturesFolder);
  o->cbUtiliserNomVideo->setChecked(Prefs.UseVideoName);
  o->cbLimiterLongueur->setChecked(Prefs.LimitLength);
  // The intervalometer panel's controls, wherever that panel puts them.
  if (auto* beep = findChild<QAbstractButton*>("cbBeep")) beep->setChecked(Prefs.BeepOn);
  if (auto* value = findChild<QSpinBox*>("RxSpinEdit7")) value->setValue(Prefs.IntervalloValue);
  if (auto* unit = findChild<QComboBox*>("cboxIntervallo")) {
    const QSignalBlocker quiet(unit);  // choosing the unit here runs nothing
    unit->setCurrentIndex(Prefs.IntervalloUnit);
  }

  // The folder has no change handler of its own: the name shown must follow it all the same.
  UpdateRoot();
  UpdateNextName();
}

void TGrabForm::ControlsToPrefs() {
  const QRect outer = frameGeometry();
  Prefs.WindowTop = outer.y();
  Prefs.WindowLeft = outer.x();
  Prefs.WindowHeight = outer.height();
  Prefs.WindowWidth = outer.width();

  const TOptionsFrame* o = m_options;
  Prefs.MuteSound = cbMuteVideo->isChecked();
  Prefs.DeinterlacePictures = cbDeinterlaceImage->isChecked();
  Prefs.SaveOnQuit = o->cbPrefsQuittant->isChecked();
  Prefs.PictureAtLeft = o->cbImagetteGauche->isChecked();
  if (o->rgImageExtension->ItemIndex() >= 0) Prefs.ImageExtension = o->rgImageExtension->ItemIndex();
  Prefs.JpegQuality = o->TrackBar1->value();
  if (o->rgImageRatio->ItemIndex() >= 0) Prefs.ImageRatio = o->rgImageRatio->ItemIndex();
  Prefs.NameSuffixKind = o->rbTimecode->isChecked() ? 0 : 1;
  Prefs.Root = o->NomRacineEdit->text();
  Prefs.RootLength = o->RacineLengthEdit->value();
  Prefs.Digits = o->DigitsEdit->value();
  Prefs.SortShortcutsByName = !o->cbSortShortcut->isChecked();
  if (o->rgPrefs->ItemIndex() >= 0) Prefs.PrefsStore = uint8_t(o->rgPrefs->ItemIndex() + 1);
  Prefs.ConfirmOverwrite = o->cbConfirm->isChecked();
  // An emptied field keeps the folder in force: no picture goes to an unknown place.
  const QString folder = o->folderText().trimmed();
  if (!folder.isEmpty() && withTrailingSlash(folder) != Prefs.PicturesFolder) {
    Prefs.PicturesFolder = withTrailingSlash(folder);
    UpdateNextName();
  }
  Prefs.UseVideoName = o->cbUtiliserNomVideo->isChecked();
  Prefs.LimitLength = o->cbLimiterLongueur->isChecked();
  if (auto* beep = findChild<QAbstractButton*>("cbBeep")) Prefs.BeepOn = beep->isChecked();
  if (auto* value = findChild<QSpinBox*>("RxSpinEdit7")) Prefs.IntervalloValue = value->value();
  if (auto* unit = findChild<QComboBox*>("cboxIntervallo"))
    if (unit->currentIndex() >= 0) Prefs.IntervalloUnit = unit->currentIndex();

  SavePrefs(Prefs, prefsLocations(), currentSaveStamp(VersionText));
}

void TGrabForm::FormCloseQuery() {
  // Preferences that never reached the controls are not written over the stored ones.
  if (!m_prefsLoaded) return;
  if (!Prefs.SaveOnQuit && !dialogs()) return;
  const QuitSaving choice =
      Prefs.SaveOnQuit ? QuitSaving::Save : QuitPrompt(Prefs.SaveOnQuit, *dialogs());
  switch (choice) {
    case QuitSaving::SaveAndSaveOnQuit:
      m_options->cbPrefsQuittant->setChecked(true);  // saved with the rest
      ControlsToPrefs();
      break;
    case QuitSaving::Save:
      ControlsToPrefs();
      break;
    case QuitSaving::DontSave:
      break;
  }
}

void TGrabForm::optionsActionExecute() {
  m_optionsChecked = !m_optionsChecked;
  Erreur_Frame1->hide();
  m_aproposChecked = false;
  OptionsFrame1->move(m_pictureAtLeft ? 0 : VideoPanelWidth, PanelsTop);
  if (m_optionsChecked) {
    m_imagePanelChecked = false;
    AproposFrame1->hide();
    m_options->ShowOptions();
  } else {
    ImagePanelActionExecute();
  }
}

void TGrabForm::ImagePanelActionExecute() {
  m_imagePanelChecked = true;
  m_optionsChecked = false;
  m_aproposChecked = false;
  // The side panels go behind the picture panel; hidden, they keep no focus there either.
  OptionsFrame1->hide();
  AproposFrame1->hide();
  Panel4->raise();
  Erreur_Frame1->raise();  // the error panel stays above everything
}

// The Secret command and the hidden mode are in main_auto.cpp.
