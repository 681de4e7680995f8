// Position display and navigation: the refresh of timecode, slider and duration, the commands that
// move through the source, the slider and the timecode edit, the navigation bars, the sound and
// full screen.
#include <algorithm>
#include <QCheckBox>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

#include "main/NeedleGauge.h"
#include "main/VideoWidget.h"
#include "main/main.h"
#include "main/nav_CD.h"
#include "main/nav_capture.h"
#include "main/nav_file.h"
#include "main/nav_vide.h"
#include "resources/restext.h"
#include "settings/Preferences.h"

namespace {

// The tape's transport modes a capture source reports.
constexpr int TransportPlay = 4296;
constexpr int TransportStop = 4297;
constexpr int TransportFreeze = 4298;

// What the slider, the timecode edit and the full-screen video tell the window.
class NavigationHooks : public QObject {
 public:
  explicit NavigationHooks(TGrabForm* form) : QObject(form), m_form(form) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    TGrabForm& form = *m_form;
    if (watched == form.tb) {
      // Any press on the slider (handle or track) holds the display; the release seeks to
      // where the slider then stands.
      if (event->type() == QEvent::MouseButtonPress) form.tbMouseDown();
      if (event->type() == QEvent::MouseButtonRelease) form.tbMouseUp();
    } else if (watched == form.CurrentEdit) {
      // Entering and leaving by the user's own moves only: not when another program or a menu
      // takes the keyboard for a while.
      if (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
          if (event->type() == QEvent::FocusIn) form.CurrentEditEnter();
          else form.CurrentEditExit();
        }
      }
    } else if (watched == form.VideoWindow1 && event->type() == QEvent::KeyPress &&
               form.VideoWindow1->isWindow()) {
      // In full screen the video is a window of its own: its keys follow the same rule.
      return form.RunCommandKey(static_cast<QKeyEvent*>(event));
    }
    return false;
  }

 private:
  TGrabForm* m_form;
};

}  // namespace

// --- Bars and connections ------------------------------------------------------------------------

void TGrabForm::buildNavigationBars() {
  ActionBinding glyph;  // the bar's own picture and hint; enabled with the command
  glyph.showCaption = false;
  glyph.showIcon = false;
  ActionBinding caption;  // a text button showing the command's caption
  caption.showIcon = false;

  m_navFile = new Tnav_fileframe(nav_fileframe1);
  m_navFile->ApplyEnglishTexts();
  BindButtonToAction(m_navFile->ReculeTrackBtn, ReculetrackAction, glyph);
  BindButtonToAction(m_navFile->ReculeHighBtn, ReculeHighAction, glyph);
  BindButtonToAction(m_navFile->ReculeMediumBtn, ReculeMediumAction, glyph);
  BindButtonToAction(m_navFile->ReculeLowBtn, ReculeLowAction, glyph);
  BindButtonToAction(m_navFile->PlayBtn, TogglePlayAction, caption);
  // This one runs the step handler itself, whatever the command's state.
  connect(m_navFile->AvanceLowBtn, &QToolButton::clicked, this, &TGrabForm::AvanceLowActionExecute);
  BindButtonToAction(m_navFile->AvanceMediumBtn, AvanceMediumAction, glyph);
  BindButtonToAction(m_navFile->AvanceHighBtn, AvancehighAction, glyph);
  BindButtonToAction(m_navFile->AvanceTrackBtn, AvanceTrackAction, glyph);

  m_navCD = new Tnav_CDframe(nav_CDframe1);
  m_navCD->ApplyEnglishTexts();
  BindButtonToAction(m_navCD->ReculeTrackBtn, ReculetrackAction, glyph);
  BindButtonToAction(m_navCD->ReculeHighBtn, ReculeHighAction, glyph);
  BindButtonToAction(m_navCD->ReculeMediumBtn, ReculeMediumAction, glyph);
  BindButtonToAction(m_navCD->ReculeLowBtn, ReculeLowAction, glyph);
  BindButtonToAction(m_navCD->PlayBtn, TogglePlayAction, caption);
  BindButtonToAction(m_navCD->AvanceLowBtn, AvanceLowAction, glyph);
  BindButtonToAction(m_navCD->AvanceMediumBtn, AvanceMediumAction, glyph);
  BindButtonToAction(m_navCD->AvanceHighBtn, AvancehighAction, glyph);
  BindButtonToAction(m_navCD->AvanceTrackBtn, AvanceTrackAction, glyph);

  m_navCapture = new Tnav_captureframe(nav_captureframe1);
  m_navCapture->ApplyEnglishTexts();
  BindButtonToAction(m_navCapture->ReculemediumBtn, ReculeMediumAction, glyph);
  BindButtonToAction(m_navCapture->ReculeLowBtn, ReculeLowAction, glyph);
  // The tape buttons keep their short captions ("Play", "Pause", "Stop").
  BindButtonToAction(m_navCapture->PlayBtn, VCRPlayAction, glyph);
  BindButtonToAction(m_navCapture->PauseBtn, VCRPauseAction, glyph);
  BindButtonToAction(m_navCapture->StopBtn, VCRStopAction, glyph);
  BindButtonToAction(m_navCapture->AvanceLowBtn, AvanceLowAction, glyph);
  BindButtonToAction(m_navCapture->AvancemediumBtn, AvanceMediumAction, glyph);

  m_navVide = new Tnav_videframe(nav_videframe1);
}

void TGrabForm::connectNavigationControls() {
  connect(Timer1, &QTimer::timeout, this, &TGrabForm::Timer1Timer);
  auto* hooks = new NavigationHooks(this);
  tb->installEventFilter(hooks);
  CurrentEdit->installEventFilter(hooks);
  VideoWindow1->installEventFilter(hooks);
  connect(CurrentEdit, &QLineEdit::returnPressed, this,
          [this] { CurrentEditKeyPress(Qt::Key_Return); });
  connect(cbMuteVideo, &QCheckBox::toggled, this, &TGrabForm::cbMuteVideoClick);
}

// --- Refresh -------------------------------------------------------------------------------------

void TGrabForm::Timer1Timer() {
  if (isTornDown()) return;
  CurrentSource->GetPosition(*CurrentPosition);
  // A capture source puts its tape's transport mode through ApplyTransportMode here.
  CurrentEdit->setText(CurrentPosition->GetText());
  tb->setValue(int(std::clamp<int64_t>(CurrentPosition->GetProgress(), 0, ProgressScale)));
  // The same position object receives the duration now.
  CurrentSource->GetDuration(*CurrentPosition);
  const QString duration = CurrentPosition->GetText();
  if (DureeLab->text() != duration) DureeLab->setText(duration);
  if (Prefs.NameSuffixKind == 0) BuildTimecodeName();
}

void TGrabForm::ApplyTransportMode(int transportMode) {
  VCRPlayAction->setEnabled(transportMode != TransportPlay);
  VCRPauseAction->setEnabled(transportMode != TransportFreeze);
  VCRStopAction->setEnabled(transportMode != TransportStop);
}

// --- Navigation commands -------------------------------------------------------------------------

#define PICTOREL_NAV_COMMAND(Handler, Operation) \
  void TGrabForm::Handler() {                    \
    if (isTornDown()) return;                    \
    CurrentSource->Operation();                  \
    Timer1Timer();                               \
  }

PICTOREL_NAV_COMMAND(ReculeHomeActionExecute, ReculeHome)
PICTOREL_NAV_COMMAND(AvanceEndActionExecute, AvanceEnd)
PICTOREL_NAV_COMMAND(ReculeLowActionExecute, ReculeLow)
PICTOREL_NAV_COMMAND(AvanceLowActionExecute, AvanceLow)
PICTOREL_NAV_COMMAND(ReculeMediumActionExecute, ReculeMedium)
PICTOREL_NAV_COMMAND(AvanceMediumActionExecute, AvanceMedium)
PICTOREL_NAV_COMMAND(ReculeHighActionExecute, ReculeHigh)
PICTOREL_NAV_COMMAND(AvancehighActionExecute, AvanceHigh)
PICTOREL_NAV_COMMAND(ReculetrackActionExecute, ReculeTrack)  // the result says nothing here
PICTOREL_NAV_COMMAND(AvanceTrackActionExecute, AvanceTrack)

#undef PICTOREL_NAV_COMMAND

void TGrabForm::TogglePlayActionExecute() {
  if (isTornDown()) return;
  const bool playing = CurrentSource->GetState() == 2;
  if (playing) {
    CurrentSource->Play();
    Timer1->start();
  } else {
    CurrentSource->Pause();
    Timer1Timer();
  }
  showPlayCommand(playing);
}

void TGrabForm::showPlayCommand(bool playing) {
  const QString& text = playing ? restext::CmdPause : restext::CmdPlay;
  TogglePlayAction->setText(text);
  TogglePlayAction->SetHint(text);
  TogglePlayAction->setIcon(
      style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

void TGrabForm::VCRPlayActionExecute() {
  if (isTornDown()) return;
  CurrentSource->Play();
  Timer1->start();
  VCRPauseAction->setEnabled(true);
  VCRPlayAction->setEnabled(false);
  VCRStopAction->setEnabled(true);
}

void TGrabForm::VCRPauseActionExecute() {
  if (isTornDown()) return;
  CurrentSource->Pause();
  Timer1Timer();
  VCRPauseAction->setEnabled(false);
  VCRPlayAction->setEnabled(true);
  VCRStopAction->setEnabled(true);
}

void TGrabForm::VCRStopActionExecute() {
  if (isTornDown()) return;
  VCRPauseAction->setEnabled(true);
  VCRPlayAction->setEnabled(true);
  VCRStopAction->setEnabled(false);
  CurrentSource->Stop();
  Timer1Timer();
}

// --- Slider and timecode edit --------------------------------------------------------------------

void TGrabForm::tbMouseDown() { Timer1->stop(); }

void TGrabForm::tbMouseUp() {
  if (isTornDown()) return;
  CurrentPosition->SetProgress(tb->value());
  CurrentSource->SetPosition(*CurrentPosition, false);
  Timer1->start();
}

void TGrabForm::CurrentEditEnter() { Timer1->stop(); }

void TGrabForm::CurrentEditKeyPress(int key) {
  if (key != Qt::Key_Return && key != Qt::Key_Enter) return;
  if (isTornDown()) return;
  try {
    CurrentPosition->SetText(CurrentEdit->text());
    CurrentSource->SetPosition(*CurrentPosition, false);
    Timer1Timer();
  } catch (...) {
    // A timecode that cannot be used leaves the video where it is.
  }
}

void TGrabForm::CurrentEditExit() {
  if (!CurrentEdit->text().isEmpty()) CurrentEditKeyPress(Qt::Key_Return);
}

void TGrabForm::SeekFromScene(int64_t value) {
  // Called from the scene scan's thread as well: the window's objects are touched on its own.
  QMetaObject::invokeMethod(
      this,
      [this, value] {
        if (isTornDown()) return;
        CurrentPosition->SetProgress(value);
        CurrentSource->SetPosition(*CurrentPosition, false);
        Timer1->start();
      },
      Qt::QueuedConnection);
}

// --- Sound ---------------------------------------------------------------------------------------

void TGrabForm::applySoundVolume() {
  if (isTornDown()) return;
  CurrentSource->SetVolume(Prefs.MuteSound ? 0 : Prefs.SoundVolume * 100);
}

void TGrabForm::incVolumeActionExecute() {
  Prefs.SoundVolume = std::clamp(Prefs.SoundVolume + 10, 0, 100);
  GaugeVolume->SetProgress(Prefs.SoundVolume);
  applySoundVolume();
}

void TGrabForm::decVolumeActionExecute() {
  Prefs.SoundVolume = std::clamp(Prefs.SoundVolume - 10, 0, 100);
  GaugeVolume->SetProgress(Prefs.SoundVolume);
  applySoundVolume();
}

void TGrabForm::cbMuteVideoClick() {
  Prefs.MuteSound = cbMuteVideo->isChecked();
  applySoundVolume();
}

void TGrabForm::MuteActionExecute() {
  Prefs.MuteSound = !Prefs.MuteSound;
  // The box runs cbMuteVideoClick when its state changes; when it already showed the new state,
  // the sound follows all the same.
  if (cbMuteVideo->isChecked() != Prefs.MuteSound) cbMuteVideo->setChecked(Prefs.MuteSound);
  else cbMuteVideoClick();
}

// --- Full screen ---------------------------------------------------------------------------------

bool TGrabForm::IsFullscreen() const { return VideoWindow1->isWindow(); }

void TGrabForm::setFullscreen(bool on) {
  if (on == IsFullscreen()) return;
  if (on) {
    m_videoPlace = VideoWindow1->geometry();
    // Its own window, above every other, over the whole screen.
    VideoWindow1->setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    VideoWindow1->setFocusPolicy(Qt::StrongFocus);
    VideoWindow1->showFullScreen();
    VideoWindow1->activateWindow();
    VideoWindow1->setFocus(Qt::OtherFocusReason);
  } else {
    VideoWindow1->setWindowFlags(Qt::Widget);
    VideoWindow1->setFocusPolicy(Qt::NoFocus);
    VideoWindow1->setGeometry(m_videoPlace);
    VideoWindow1->show();
    activateWindow();
  }
}

void TGrabForm::FullscreenActionExecute() {
  setFullscreen(!IsFullscreen());
  FullscreenAction->setText(IsFullscreen() ? restext::CmdQuitFullscreen : restext::CmdFullscreen);
}
