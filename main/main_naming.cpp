// The name of the next picture: its root, its numbered or timecode form shown in the bottom bar
// (dark red when such a file exists already), the naming commands and the folder choice.
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>

#include "main/main.h"
#include "main/naming.h"
#include "resources/restext.h"
#include "settings/Dialogs.h"
#include "settings/PSFunctions.h"
#include "settings/Preferences.h"
#include "settings/ShellServices.h"
#include "settings/optionsunit.h"
#include "sources/GrabFile.h"

namespace {

const QColor DarkRed(128, 0, 0);

void setColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  if (widget->palette().color(role) == colour) return;  // every refresh comes here
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

}  // namespace

void TGrabForm::UpdateRoot() {
  if (isTornDown()) return;
  const auto* file = dynamic_cast<const TgrabFile*>(CurrentSource.get());
  CurrentRoot = computeRoot(rootInputs(Prefs, file != nullptr, file ? file->FileName : QString()));
}

void TGrabForm::UpdateNextName() {
  if (Prefs.NameSuffixKind == 1)
    BuildNumberedName();
  else
    BuildTimecodeName();
}

void TGrabForm::BuildNumberedName() {
  const NextName next =
      numberedName(nameInputs(Prefs, CurrentRoot, m_options->numEdit->text(), QString()));
  PictureCounter = next.PictureCounter;
  NextFileName = next.NextFileName;
  showNextName(next.fileExists);
}

void TGrabForm::BuildTimecodeName() { buildTimecodeNameFrom(CurrentEdit->text()); }

void TGrabForm::buildTimecodeNameFrom(const QString& timecodeText) {
  const NextName next = timecodeName(nameInputs(Prefs, CurrentRoot, QString(), timecodeText));
  NextFileName = next.NextFileName;
  showNextName(next.fileExists);
}

void TGrabForm::showNextName(bool fileExists) {
  DestLab->setText(NextFileName);
  const QColor face = QApplication::palette().color(QPalette::Button);
  const QColor bar = fileExists ? DarkRed : face;
  Panel2->setAutoFillBackground(true);
  setColour(Panel2, QPalette::Window, bar);
  setColour(DestLab, QPalette::Window, bar);
  setColour(DestLab, QPalette::WindowText, fileExists ? face : DarkRed);
}

void TGrabForm::AjouterNumeroActionExecute() {
  Prefs.NameSuffixKind = 1;
  {
    const QSignalBlocker quiet(m_options->rbNumero);
    m_options->rbNumero->setChecked(true);
  }
  m_options->LabDigits->show();
  m_options->DigitsEdit->show();
  UpdateNextName();
}

void TGrabForm::AjouterTimecodeActionExecute() {
  Prefs.NameSuffixKind = 0;
  {
    const QSignalBlocker quiet(m_options->rbTimecode);
    m_options->rbTimecode->setChecked(true);
  }
  m_options->LabDigits->hide();
  m_options->DigitsEdit->hide();
  UpdateNextName();
}

void TGrabForm::DossierSaveActionExecute() {
  if (isTornDown() || !dialogs()) return;
  int filter = Prefs.ImageExtension == 1 ? 1 : 0;
  const QString chosen =
      dialogs()->AskSaveFile(sd.Title, Prefs.PicturesFolder + CurrentRoot, sd.Filter, &filter);
  if (chosen.isEmpty() || isTornDown()) return;
  // Only the folder counts; the name typed in the dialog is not used.
  Prefs.PicturesFolder = folderOfChosenPath(chosen);
  m_options->deDossierSave->setText(Prefs.PicturesFolder);
  createFolderWithParents(Prefs.PicturesFolder);
  UpdateNextName();
}

void TGrabForm::deDossierSaveBrowse() {
  if (isTornDown() || !dialogs()) return;
  QString start = m_options->folderText().trimmed();
  if (start.isEmpty()) start = Prefs.PicturesFolder;
  const QString chosen = dialogs()->AskFolder(restext::DossierSaveBrowseText, start);
  if (chosen.isEmpty() || isTornDown()) return;
  Prefs.PicturesFolder = withTrailingSlash(chosen);
  createFolderWithParents(Prefs.PicturesFolder);
  m_options->deDossierSave->setText(Prefs.PicturesFolder);
  OptionsFrame1deDossierSaveAfterDialog();
}

void TGrabForm::OptionsFrame1deDossierSaveAfterDialog() { UpdateNextName(); }

void TGrabForm::DestLabClick() {
  if (!shell()) return;
  const DestLabTarget target = destLabTarget(DestLab->text());
  if (target.kind == DestLabTarget::ShowFile)
    shell()->ShowInFileManager(target.path);
  else if (target.kind == DestLabTarget::OpenFolder)
    shell()->OpenFolder(target.path);
}
