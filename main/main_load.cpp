// Source loading: the open dialog, paste and drop, the window's set-up after a load or for the
// empty source, and the report of a failed load on the error panel.
#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "main/ClickFilter.h"
#include "main/NeedleGauge.h"
#include "main/VideoWidget.h"
#include "main/main.h"
#include "media/DSFunctions.h"
#include "resources/restext.h"
#include "settings/Dialogs.h"
#include "settings/Erreur_unit.h"
#include "settings/Preferences.h"
#include "settings/ShellServices.h"
#include "sources/FlagWait.h"
#include "sources/GrabFile.h"
#include "sources/ProgramFlags.h"

namespace {

// The longest path the clipboard's file list may hand over.
constexpr int MaxClipboardPathLength = 65531;

// The file's path with its extension replaced (or added when it has none).
QString changeFileExt(const QString& path, const QString& extension) {
  const QFileInfo info(path);
  const QString name = info.fileName();
  const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
  const QString base = dot < 0 ? path : path.left(path.size() - (name.size() - dot));
  return base + extension;
}

QStringList localFiles(const QMimeData* data) {
  QStringList files;
  if (!data || !data->hasUrls()) return files;
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) files << url.toLocalFile();
  return files;
}

class OverrideCursor {
 public:
  explicit OverrideCursor(Qt::CursorShape shape) { QApplication::setOverrideCursor(shape); }
  ~OverrideCursor() { QApplication::restoreOverrideCursor(); }
  OverrideCursor(const OverrideCursor&) = delete;
  OverrideCursor& operator=(const OverrideCursor&) = delete;
};

// Files dragged from the desktop onto the window.
class DropHooks : public QObject {
 public:
  explicit DropHooks(TGrabForm* form) : QObject(form), m_form(form) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != m_form) return false;
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDropEvent*>(event);
        if (localFiles(drag->mimeData()).isEmpty()) return false;
        drag->acceptProposedAction();
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = localFiles(drop->mimeData());
        if (files.isEmpty()) return false;
        drop->acceptProposedAction();
        // The drop is released first: the desktop must not wait on the warning or the load.
        QTimer::singleShot(0, m_form, [form = m_form, files] { form->WMDROPFILES(files); });
        return true;
      }
      default:
        return false;
    }
  }

 private:
  TGrabForm* m_form;
};

}  // namespace

// --- Set-up --------------------------------------------------------------------------------------

void TGrabForm::connectLoadControls() {
  ClickFilter::install(EnCoursLab, [this] { EnCoursLabClick(); });
  ClickFilter::install(scnLab, [this] { scnLabClick(); });
  ClickFilter::install(srtlab, [this] { srtlabClick(); });
  installEventFilter(new DropHooks(this));
  // A dropped file list would otherwise land in the timecode as text.
  CurrentEdit->setAcceptDrops(false);
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state == Qt::ApplicationActive) AppEvents1Activate();
  });
}

void TGrabForm::registerDropTarget() { setAcceptDrops(true); }

void TGrabForm::runStartupChecks() {
  CheckPlatform([this](const QString& message, bool fatal) { ShowError(message, fatal); });
}

void TGrabForm::ShowError(const QString& message, bool fatal) {
  if (m_errorPanel) m_errorPanel->ShowError(message, fatal);
}

void TGrabForm::CloseError() {
  if (m_errorPanel) m_errorPanel->CloseError();
  else RaiseFlag(ErrorPanelClosed);
}

// --- Loaders -------------------------------------------------------------------------------------

void TGrabForm::LoadVideoFile(const QString& path) {
  if (isTornDown()) return;
  if (!graphModule()) {
    ReportLoadError(restext::PrefixFile + path, RenderUnexpectedFailure);
    return;
  }
  // A playing source is paused first, and the play command reads "Play" again.
  if (CurrentSource->GetState() != 2) TogglePlayActionExecute();

  CurrentSource.reset();
  auto created = std::make_unique<TgrabFile>(path, *graphModule());
  TgrabFile* file = created.get();
  CurrentSource = std::move(created);
  const uint64_t serial = ++m_sourceSerial;
  setHint(EnCoursLab, restext::EnCoursLabHint);
  showHint(DureeLab, true);
  showHint(EnCoursLab, true);
  CurrentPosition = std::make_unique<TGrabFilePosition>(file, 0);
  file->SetGrabPosition(CurrentPosition.get());

  const std::weak_ptr<void> alive = aliveToken();
  const uint8_t code = file->Render(VideoWindow1);
  // Rendering waits for the first frame with the window alive: closing it, emptying it or loading
  // another source meanwhile leaves nothing more to do here.
  if (alive.expired() || serial != m_sourceSerial) return;
  if (code != RenderOk) {
    ReportLoadError(restext::PrefixFile + file->Description, code);
    return;
  }

  SourceReady = true;
  // The new source stands paused, whatever the command said before.
  if (TogglePlayAction->text() != restext::CmdPlay) showPlayCommand(false);
  ResetPicturePanel();
  scnLab->setVisible(QFileInfo(changeFileExt(path, QStringLiteral(".scn"))).isFile());
  srtlab->setVisible(QFileInfo(changeFileExt(path, QStringLiteral(".srt"))).isFile());
  UpdateRoot();
  UpdateNextName();
  ScnBtn->setEnabled(file->CanDetectScenes);
  bringBarToFront(nav_fileframe1);
  tb->show();
  ApplyAspectRatio();
}

void TGrabForm::OuvrirFichierActionExecute() {
  if (!dialogs()) return;
  OverrideCursor hourglass(Qt::WaitCursor);
  QString folder;
  if (auto* file = dynamic_cast<TgrabFile*>(CurrentSource.get()))
    folder = QFileInfo(file->FileName).absolutePath();
  const QString chosen = dialogs()->AskOpenFile(odFichier.Title, folder, odFichier.Filter);
  if (!chosen.isEmpty()) LoadVideoFile(chosen);
}

void TGrabForm::PasteActionExecute() {
  if (!shell()) return;
  OverrideCursor hourglass(Qt::WaitCursor);
  try {
    const QStringList files = shell()->ClipboardFiles();
    if (files.isEmpty()) {
      PasteBtn->setEnabled(false);
      return;
    }
    if (files.size() > 1 && dialogs()) dialogs()->Ask(restext::OnlyOneFile, {DialogButton::Ok});
    if (files.first().size() < MaxClipboardPathLength) LoadVideoFile(files.first());
  } catch (...) {
    // Whatever the clipboard held, the window stays as it was.
  }
}

void TGrabForm::WMDROPFILES(const QStringList& paths) {
  if (paths.isEmpty() || isTornDown()) return;
  if (paths.size() > 1 && dialogs()) dialogs()->Ask(restext::OnlyOneFile, {DialogButton::Ok});
  LoadVideoFile(paths.first());
}

void TGrabForm::AppEvents1Activate() {
  if (shell() && PasteBtn) PasteBtn->setEnabled(!shell()->ClipboardFiles().isEmpty());
}

// --- The window around the source ----------------------------------------------------------------

void TGrabForm::ResetPicturePanel() {
  if (isTornDown()) return;
  Image->clear();
  labImagetteTaille->clear();
  SnapLab->clear();
  labsnapname->clear();
  QPalette face = labsnapname->palette();
  face.setColor(labsnapname->backgroundRole(), QApplication::palette().color(QPalette::Button));
  labsnapname->setPalette(face);
  srtlab->hide();
  scnLab->hide();
  // Discs, once they load, return to a picture's frame the same way.
  const bool seekable = dynamic_cast<TgrabFile*>(CurrentSource.get()) != nullptr;
  setHint(Image, seekable ? restext::ImageClickHint : QString());
  // The intervalometer's panel is closed here once it exists.
  cbMuteVideo->setEnabled(HasAudio.load());
  GaugeVolume->SetProgress(Prefs.SoundVolume);
  CurrentSource->SetVolume(Prefs.MuteSound ? 0 : Prefs.SoundVolume * 100);
  CurrentSource->GetDuration(*CurrentPosition);
  DureeLab->setText(CurrentPosition->GetText());
  EnCoursLab->setText(CurrentSource->Description);
  Timer1Timer();
}

void TGrabForm::ShowEmptySource() {
  if (isTornDown()) return;
  ApplyAspectRatio();  // no frame: the video surface at its largest, no size text
  Panel3->setEnabled(true);
  if (GrabBtn) GrabBtn->setEnabled(true);
  if (ChangerSaveBtn) ChangerSaveBtn->setEnabled(true);
  if (SettingsBtn) SettingsBtn->setEnabled(false);
  CurrentSource->GetDuration(*CurrentPosition);
  DureeLab->setText(CurrentPosition->GetText());
  EnCoursLab->setText(CurrentSource->Description);
  Timer1Timer();
}

QString TGrabForm::LoadErrorText(const QString& what, int code) {
  switch (code) {
    case RenderFrameFilterFailed:
      return restext::FillPercentS(restext::LoadErrorCannotOpen, {what, restext::ProductName});
    case RenderMediaFailed:
      return restext::FillPercentS(restext::LoadErrorNotFound, {what});
    default:
      return restext::LoadErrorUnknown;
  }
}

void TGrabForm::ReportLoadError(const QString& what, int code) {
  if (isTornDown()) return;
  const uint64_t serial = m_sourceSerial;
  ShowError(LoadErrorText(what, code), false);
  ErrorPanelClosed = false;
  {
    // The window waits for the user, not the other way round.
    OverrideCursor normal(Qt::ArrowCursor);
    if (!WaitForFlag(ErrorPanelClosed, aliveToken())) return;
  }
  // A source loaded while the message was shown stays: only the failed one is emptied.
  if (serial != m_sourceSerial) return;
  ViderActionExecute();
}

void TGrabForm::EnCoursLabClick() {
  const QString path = EnCoursLab->text();
  if (shell() && QFileInfo(path).isFile()) shell()->ShowInFileManager(path);
}

void TGrabForm::scnLabClick() {
  if (shell() && !isTornDown())
    shell()->ShowInFileManager(changeFileExt(CurrentSource->Description, QStringLiteral(".scn")));
}

void TGrabForm::srtlabClick() {
  if (shell() && !isTornDown())
    shell()->ShowInFileManager(changeFileExt(CurrentSource->Description, QStringLiteral(".srt")));
}
