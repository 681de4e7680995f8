#include "main/main.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QScreen>
#include <QSlider>
#include <QTimer>
#include <QVariant>
#include <QWindow>

#include "main/NeedleGauge.h"
#include "main/VideoWidget.h"
#include "resources/restext.h"
#include "settings/Preferences.h"
#include "settings/optionsunit.h"
#include "sources/FlagWait.h"
#include "sources/ProgramFlags.h"

namespace {

// Without stored preferences the window opens at this outer size, centred on the screen.
constexpr int DefaultOuterWidth = 686;
constexpr int DefaultOuterHeight = 541;
constexpr int RefreshIntervalMs = 25;

// The hint is kept in a property so that hiding it (an empty tooltip) loses nothing.
constexpr const char* HintProperty = "pictorelHint";
constexpr const char* HintHiddenProperty = "pictorelHintHidden";

void setFamily(QWidget* widget, const QString& family) {
  QFont font = widget->font();
  font.setFamilies({family});
  widget->setFont(font);
}

}  // namespace

TGrabForm::TGrabForm(QWidget* parent) : QWidget(parent) {
  // Single border, system menu and minimise box: no maximise, no resizing.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(680, 507);

  buildLayout();
  buildOptionsPanel();
  connectPictureControls();
  ApplyPictureSide(true);  // until the preferences say otherwise

  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setInterval(RefreshIntervalMs);

  if (const QScreen* screen = this->screen()) {
    const QRect area = screen->availableGeometry();
    move(area.x() + (area.width() - DefaultOuterWidth) / 2,
         area.y() + (area.height() - DefaultOuterHeight) / 2);
  }

  // Key preview: the window sees the keys of its controls before they do.
  qApp->installEventFilter(this);

  FormCreate();
}

TGrabForm::~TGrabForm() {
  qApp->removeEventFilter(this);
  tearDown();
}

void TGrabForm::FormCreate() {
  ApplyEnglishTexts();
  // The embedded panels put their own English texts here (options, error, About, navigation
  // bars, intervalometer); then the navigation bars' glyph buttons lose their captions.
  m_options->ApplyEnglishTexts();
  buildWindowCommands();  // the error panel, the command table, the toolbar and the bars
  buildAutomation();  // the intervalometer and About panels and their commands

  PictureBitmap = std::make_unique<Bitmap>(0, 0, Bitmap::Format::BGR24);
  FrameBitmap = std::make_unique<Bitmap>(0, 0, Bitmap::Format::BGR24);
  DeinterlacedBitmap = std::make_unique<Bitmap>(0, 0, Bitmap::Format::BGR24);

  VersionText = QString::asprintf(qPrintable(restext::VersionFormat), 4, 1, 3);
  BuildDateText = QLocale::system().toString(QDate(2007, 6, 8), QLocale::ShortFormat);
  setWindowTitle(restext::ProductName + " " + VersionText + " " + restext::By + " " +
                 restext::AuthorName);

  ViderActionExecute();
  // The program's command line becomes the pending command list.
  ParseCommandLine(QCoreApplication::arguments().mid(1));
}

void TGrabForm::ApplyEnglishTexts() {
  setWindowTitle(restext::ProductName);

  setHint(Bevel1, restext::SnapLabHint);
  setHint(SnapLab, restext::SnapLabHint);
  setHint(scnLab, restext::ScnLabHint);
  scnLab->setText(restext::ScnLabCaption);
  setHint(srtlab, restext::SrtLabHint);
  srtlab->setText(restext::SrtLabCaption);
  setHint(VideoWindow1, restext::VideoWindowHint);
  setHint(CurrentEdit, restext::CurrentEditHint);
  setHint(GaugeVolume, restext::GaugeVolumeHint);
  cbDeinterlaceImage->setText(restext::DeinterlaceImageCaption);
  setHint(cbDeinterlaceImage, restext::DeinterlaceImageHint);
  cbMuteVideo->setText(restext::MuteVideoCaption);
  setHint(cbMuteVideo, restext::MuteVideoHint);
  setHint(EnCoursLab, restext::EnCoursLabHint);
  setHint(DureeLab, restext::DureeLabHint);
  setHint(DestLab, restext::DestLabHint);
  setHint(intervallolab, restext::IntervalloLabHint);

  // The unit list belongs to the intervalometer panel; it is filled wherever the panel puts it.
  if (auto* units = findChild<QComboBox*>("cboxIntervallo")) {
    units->clear();
    units->addItems(restext::IntervalloUnits);
    units->setCurrentText(restext::IntervalloUnitShown);
  }

  odFichier = {restext::OpenVideoDefaultExt, QString(), restext::OpenVideoFilter, QString()};
  sd = {restext::SaveDefaultExt, restext::SaveFileName, restext::SaveFilter, restext::SaveTitle};

  setFont(QFont(restext::FontSansSerif, 8));
  for (QWidget* label : {EnCoursLab, DureeLab, DestLab, intervallolab})
    setFamily(label, restext::FontSansSerif);
  for (QWidget* label : {labsnapname, scnLab, srtlab}) setFamily(label, restext::FontArial);
  QFont indicator(restext::FontArial, 8);
  indicator.setItalic(true);
  scnLab->setFont(indicator);
  srtlab->setFont(indicator);
  QFont sizeText(restext::FontArial, 7);
  sizeText.setItalic(true);
  labTaille->setFont(sizeText);
  labImagetteTaille->setFont(sizeText);
  QFont state(restext::FontSansSerif, 10);
  state.setBold(true);
  intervallolab->setFont(state);
  // The capture bar's text buttons, once the bar carries them.
  for (const char* name : {"PlayBtn", "PauseBtn", "StopBtn"})
    if (auto* button = nav_captureframe1->findChild<QWidget*>(name))
      setFamily(button, restext::FontTimes);
}

void TGrabForm::setHint(QWidget* control, const QString& hint) {
  control->setProperty(HintProperty, hint);
  if (!control->property(HintHiddenProperty).toBool())
    control->setToolTip(restext::ForDisplay(hint));
}

void TGrabForm::showHint(QWidget* control, bool shown) {
  control->setProperty(HintHiddenProperty, !shown);
  control->setToolTip(shown ? restext::ForDisplay(control->property(HintProperty).toString())
                            : QString());
}

void TGrabForm::bringBarToFront(QFrame* bar) {
  for (QFrame* each : {nav_fileframe1, nav_CDframe1, nav_captureframe1, nav_videframe1})
    each->setVisible(each == bar);
  bar->raise();
}

void TGrabForm::ViderActionExecute() {
  if (isTornDown()) return;  // a wait that outlived the closing window comes back here
  Timer1->stop();
  CurrentSource.reset();  // the old source's Destroy
  CurrentSource = std::make_unique<TGrab>();
  showHint(DureeLab, false);
  showHint(EnCoursLab, false);
  CurrentPosition = std::make_unique<TGrabPosition>();
  ++m_sourceSerial;
  ResetPicturePanel();
  bringBarToFront(nav_videframe1);
  tb->hide();
  ShowEmptySource();
  CurrentRoot = Prefs.Root;
  UpdateNextName();
}

void TGrabForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (m_shownOnce) return;
  m_shownOnce = true;
  FormShow();
}

void TGrabForm::FormShow() {
  PrefsToControls();
  // A stored quality outside the slider's range ends up clamped to it.
  Prefs.JpegQuality = m_options->TrackBar1->value();
  runStartupChecks();
  registerDropTarget();
  BuildShortcutList();
  SeekFrameArrived = true;  // no seek wait is pending
}

void TGrabForm::AbortActionExecute() {
  if (IsFullscreen()) FullscreenAction->Execute();
  CloseError();
  RaiseFlag(StopRequested);
  RaiseFlag(RenderFrameArrived);
  RaiseFlag(SeekFrameArrived);
  RaiseFlag(ErrorPanelClosed);
}

void TGrabForm::closeEvent(QCloseEvent* event) {
  event->accept();  // closing is never refused
  if (isTornDown()) return;
  FormCloseQuery();  // the preferences question and saving
  AbortActionExecute();
  tearDown();
}

void TGrabForm::tearDown() {
  if (isTornDown()) return;
  m_alive.reset();
  WakeWaiters();  // waits tied to the window re-check and return
  Timer1->stop();
  CurrentPosition.reset();
  CurrentSource.reset();
  PictureBitmap.reset();
  FrameBitmap.reset();
  DeinterlacedBitmap.reset();
}

bool TGrabForm::FormKeyDown(QKeyEvent* key) { return RunCommandKey(key); }

bool TGrabForm::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
  auto* receiver = qobject_cast<QWidget*>(watched);
  if (!receiver || receiver->window() != this) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  if (!offerKey(receiver, key)) return false;
  // Used up: no shortcut fires, and the key press that follows the override is eaten too.
  key->accept();
  return true;
}

bool TGrabForm::offerKey(QWidget* receiver, QKeyEvent* key) {
  KeyOffer& last = m_lastKeyOffer;
  // The same event handed on to a parent of the control that first received it.
  if (key == last.event && key->type() == last.type && last.receiver &&
      receiver->isAncestorOf(last.receiver))
    return last.consumed;
  const bool sameKey = key->key() == last.key && key->modifiers() == last.modifiers &&
                       key->text() == last.text && key->isAutoRepeat() == last.autoRepeat;
  // The key press that follows the shortcut override of the same key.
  if (key->type() == QEvent::KeyPress && last.type == QEvent::ShortcutOverride && sameKey) {
    last.type = QEvent::KeyPress;
    last.event = key;
    last.receiver = receiver;
    return last.consumed;
  }
  last = {key->type(), key,         receiver, key->key(), key->modifiers(),
          key->text(), key->isAutoRepeat(), false};
  const bool consumed = FormKeyDown(key);
  // A command run by the key may have handled other keys meanwhile (a nested wait).
  if (m_lastKeyOffer.event == key && m_lastKeyOffer.type == key->type())
    m_lastKeyOffer.consumed = consumed;
  return consumed;
}
