// Automation of the main window: the command lists (from the command line or a file), the
// intervalometer, the About panel, the hidden mode and the end on termination signals.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSocketNotifier>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <limits>
#include <unistd.h>

#include "main/main.h"
#include "resources/restext.h"
#include "settings/Dialogs.h"
#include "settings/Erreur_unit.h"
#include "settings/PSFunctions.h"
#include "settings/Preferences.h"
#include "settings/ShellServices.h"
#include "settings/aproposUnit.h"
#include "settings/intervallo.h"
#include "settings/optionsunit.h"
#include "sources/FlagWait.h"
#include "sources/GrabFile.h"
#include "sources/ProgramFlags.h"

struct TGrabForm::CommandListRun {
  TFileSearch search;       // the search of the last F, continued by "+"
  size_t searchIndex = 0;   // where that F stands in the list
  bool searchStarted = false;
  bool quit = false;
};

namespace {

// Activating the window runs the pending command list. Where no activation ever comes (a bare
// X server without a window manager), the first turn of the event loop after the first show
// runs it all the same.
class ActivationWatch : public QObject {
 public:
  explicit ActivationWatch(TGrabForm* form) : QObject(form), m_form(form) {
    form->installEventFilter(this);
  }

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != m_form) return false;
    if (event->type() == QEvent::WindowActivate) {
      m_activated = true;
      if (m_form->CommandListRunning()) return false;
      if (!m_form->HasPendingCommandList()) {
        m_form->FormActivate();  // nothing to run: only the stop request is cleared
        return false;
      }
      // Queued: a list runs long, and not inside the toolkit's activation handling.
      QMetaObject::invokeMethod(
          m_form, [form = m_form] { if (!form->CommandListRunning()) form->FormActivate(); },
          Qt::QueuedConnection);
    } else if (event->type() == QEvent::Show && !m_shown) {
      m_shown = true;
      QTimer::singleShot(0, m_form, [this] {
        if (!m_activated && m_form->HasPendingCommandList() && !m_form->CommandListRunning())
          m_form->FormActivate();
      });
    }
    return false;
  }

 private:
  TGrabForm* m_form;
  bool m_activated = false;
  bool m_shown = false;
};

// The self-pipe of the termination signals: the handler only writes a byte; the event loop reads
// it and does the work.
int g_signalPipe[2] = {-1, -1};

void onTerminationSignal(int) {
  const int saved = errno;
  const char byte = 1;
  if (g_signalPipe[1] >= 0) {
    const ssize_t written = write(g_signalPipe[1], &byte, 1);
    (void)written;  // a full pipe already holds a pending wake-up
  }
  errno = saved;
}

class TerminationWatch : public QObject {
 public:
  TerminationWatch(QObject* parent, std::function<void()> onSignal)
      : QObject(parent), m_onSignal(std::move(onSignal)) {
    if (pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
      g_signalPipe[0] = g_signalPipe[1] = -1;
      return;
    }
    m_notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
      char bytes[16];
      while (read(g_signalPipe[0], bytes, sizeof bytes) > 0) {
      }
      m_onSignal();
    });
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, &m_previousTerm);
    sigaction(SIGINT, &action, &m_previousInt);
    m_installed = true;
  }

  ~TerminationWatch() override {
    if (!m_installed) return;
    sigaction(SIGTERM, &m_previousTerm, nullptr);
    sigaction(SIGINT, &m_previousInt, nullptr);
    delete m_notifier;  // before its descriptor goes
    for (int& fd : g_signalPipe) {
      close(fd);
      fd = -1;
    }
  }

 private:
  std::function<void()> m_onSignal;
  QSocketNotifier* m_notifier = nullptr;
  struct sigaction m_previousTerm {};
  struct sigaction m_previousInt {};
  bool m_installed = false;
};

// Questions asked while the program ends on a signal or at the end of a command list: nobody may
// be there, so the answer is No wherever No is offered (the preferences are then saved only when
// saving on quit is on).
class NoOneToAsk : public Dialogs {
 public:
  DialogButton Ask(const QString&, std::initializer_list<DialogButton> buttons) override {
    for (DialogButton button : buttons)
      if (button == DialogButton::No) return button;
    return *(buttons.end() - 1);
  }
  void ShowErrorBox(const QString&) override {}
  void Inform(const QString&) override {}
  QString AskOpenFile(const QString&, const QString&, const QString&) override { return {}; }
  QString AskSaveFile(const QString&, const QString&, const QString&, int*) override { return {}; }
  QString AskFolder(const QString&, const QString&) override { return {}; }
};

}  // namespace

// --- Set-up --------------------------------------------------------------------------------------

void TGrabForm::buildAutomation() {
  m_intervalloFrame = new Tintervalloframe(intervalloframe1);
  m_intervalloFrame->ApplyEnglishTexts();
  Tintervalloframe* panel = m_intervalloFrame;
  connect(panel, &Tintervalloframe::valueChanged, this, [this](int value) {
    Prefs.IntervalloValue = value;
    UpdateIntervallo();
  });
  connect(panel, &Tintervalloframe::unitChanged, this, [this](int unit) {
    Prefs.IntervalloUnit = unit;
    UpdateIntervallo();
  });
  connect(panel, &Tintervalloframe::switchClicked, this, [this] { IntervalloGoAction->Execute(); });
  connect(panel, &Tintervalloframe::beepClicked, this, [](bool checked) { Prefs.BeepOn = checked; });
  connect(panel->chrono, &QTimer::timeout, this, &TGrabForm::intervalloframe1chronoTimer);

  m_aproposFrame = new TAproposFrame(AproposFrame1);
  m_aproposFrame->ApplyEnglishTexts();
  connect(m_aproposFrame, &TAproposFrame::closeClicked, this, [this] { ImagePanelAction->Execute(); });

  IntervalloGoAction->OnExecute = [this] { IntervalloGoActionExecute(); };
  IntervalloShowAction->OnExecute = [this] { IntervalloShowActionExecute(); };
  BeepAction->OnExecute = [this] { BeepActionExecute(); };
  OuvrirListeAction->OnExecute = [this] { OuvrirListeActionExecute(); };
  AproposAction->OnExecute = [this] { AproposActionExecute(); };

  new ActivationWatch(this);
}

QString TGrabForm::ProgramVersionText() {
  return QString::asprintf(qPrintable(restext::VersionFormat), 4, 1, 3);
}

bool TGrabForm::PrintInformationOption(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const QByteArray argument(argv[i]);
    if (argument == "--help") {
      const QString program = argc > 0 ? QFileInfo(QString::fromLocal8Bit(argv[0])).fileName()
                                       : restext::ProductName.toLower();
      std::fputs(qPrintable(restext::FillPercentS(restext::UsageText, {program})), stdout);
      return true;
    }
    if (argument == "--version") {
      std::fputs(qPrintable(restext::FillPercentS(restext::VersionLine,
                                                  {restext::ProductName, ProgramVersionText()})),
                 stdout);
      return true;
    }
  }
  return false;
}

// --- Command lists -------------------------------------------------------------------------------

void TGrabForm::ParseCommandLine(const QStringList& arguments) {
  m_pendingList = ::ParseCommandLine(arguments);
}

void TGrabForm::FormActivate() {
  if (isTornDown()) return;
  StopRequested = false;
  // Taken out at once: after the run, however it ends, no list is pending.
  TparamList list = std::move(m_pendingList);
  m_pendingList.clear();
  if (list.empty()) return;

  const std::weak_ptr<void> alive = aliveToken();
  CommandListRun run;
  ++m_listDepth;
  try {
    for (size_t i = 0; i < list.size(); ++i) {
      if (StopRequested || alive.expired()) break;
      runCommand(list[i], i, run);
    }
  } catch (const std::exception& error) {
    // The rest of the list is skipped; a quit asked before still closes the window.
    if (!alive.expired() && dialogs()) dialogs()->ShowErrorBox(QString::fromLocal8Bit(error.what()));
  }
  --m_listDepth;
  // A list runs unattended (often without a display): its quit asks nothing, so the settings
  // it changed are kept only when saving on quit is on.
  if (run.quit && !isTornDown()) {
    const bool hidden = m_hiddenMode;
    closeWithoutQuestions();
    if (hidden) QCoreApplication::quit();  // a hidden window's close does not end the program
  }
}

void TGrabForm::OuvrirListeActionExecute() {
  if (isTornDown() || !dialogs()) return;
  const QString file = dialogs()->AskOpenFile(restext::OpenListTitle, QString(), restext::OpenListFilter);
  if (file.isEmpty() || isTornDown()) return;
  SetPendingCommandList(NewCommandListFromFile(file));
  FormActivate();
}

void TGrabForm::switchCheckBox(QAbstractButton* box, QChar prefix) {
  const bool on = box->isChecked();
  if (prefix == u'+' && !on)
    box->setChecked(true);
  else if (prefix == u'-' && on)
    box->setChecked(false);
  else if (prefix == u'/')
    box->setChecked(!on);
}

void TGrabForm::runCommand(const TparamObject& command, size_t& index, CommandListRun& run) {
  const QString& argument = command.Argument;
  const QChar prefix = command.Prefix;
  // Whether a switch command changes a setting that is `on` now.
  const auto flips = [prefix](bool on) {
    return prefix == u'/' || (prefix == u'+' && !on) || (prefix == u'-' && on);
  };
  switch (command.Letter.unicode()) {
    case u'F': {
      if (prefix == OpenFilePrefix) {  // a file named alone on the command line
        LoadVideoFile(argument);
        break;
      }
      run.searchIndex = index;
      run.searchStarted = true;
      const QString found = run.search.FindFirst(argument);
      if (!found.isEmpty()) LoadVideoFile(found);
      break;
    }
    case u'+': {
      const QString next = run.searchStarted ? run.search.FindNext() : QString();
      if (next.isEmpty()) {
        run.search.Close();
        break;
      }
      LoadVideoFile(next);
      index = run.searchIndex;  // the commands after that F run again for this file
      break;
    }
    case u'G':
      SnapPicture();
      if (!isTornDown()) SavePicture();
      break;
    case u'P':
      CurrentPosition->SetText(argument);
      CurrentSource->SetPosition(*CurrentPosition, true);
      if (!isTornDown()) Timer1Timer();
      break;
    case u'I': {
      struct UnitWord {
        const char* word;
        int unit;
      };
      // Tried in this order.
      static constexpr UnitWord words[] = {
          {"Frames", UnitFrames}, {"Seconds", UnitSeconds}, {"Minutes", UnitMinutes}};
      for (const UnitWord& w : words) {
        const QString word = QString::fromLatin1(w.word);
        if (!argument.endsWith(word, Qt::CaseInsensitive)) continue;
        m_intervalloFrame->setValue(StrToIntSafe(argument.left(argument.size() - word.size())));
        Prefs.IntervalloValue = m_intervalloFrame->RxSpinEdit7->value();
        m_intervalloFrame->cboxIntervallo->setCurrentIndex(w.unit);
        Prefs.IntervalloUnit = w.unit;
        UpdateIntervallo();
        break;
      }
      m_intervalloFrame->RxSwitch1->setChecked(true);
      IntervalloGoAction->Execute();
      break;
    }
    case u'B':
      BmpAction->Execute();
      break;
    case u'J':
      if (!argument.isEmpty()) m_options->TrackBar1->setValue(StrToIntSafe(argument));
      Prefs.JpegQuality = m_options->TrackBar1->value();
      JpegAction->Execute();
      break;
    case u'X':
      if (argument == QLatin1String("N"))
        RatioNormalAction->Execute();
      else if (argument == QLatin1String("4x3"))
        Ratio4x3Action->Execute();
      else if (argument == QLatin1String("16x9"))
        Ratio16x9Action->Execute();
      break;
    case u'N':
      m_options->numEdit->setText(argument);
      AjouterNumeroAction->Execute();
      break;
    case u'T':
      AjouterTimecodeAction->Execute();
      break;
    case u'R':
      m_options->NomRacineEdit->setText(argument);
      Prefs.Root = argument;
      m_options->cbUtiliserNomVideo->setChecked(false);
      Prefs.UseVideoName = false;
      UpdateRoot();
      UpdateNextName();
      break;
    case u'S': {
      // An empty folder would send the pictures to the file system's root: ignored.
      if (argument.trimmed().isEmpty()) break;
      const QString folder = withTrailingSlash(QDir::cleanPath(QDir(argument).absolutePath()));
      createFolderWithParents(folder);
      Prefs.PicturesFolder = folder;
      m_options->deDossierSave->setText(folder);
      PictureCounter = 0;
      UpdateNextName();
      break;
    }
    case u'C':
      switchCheckBox(m_options->cbConfirm, prefix);
      break;
    case u'U':
      switchCheckBox(m_options->cbUtiliserNomVideo, prefix);
      break;
    case u'D':
      if (flips(Prefs.DeinterlacePictures)) DeinterlaceAction->Execute();
      break;
    case u'V':
      if (flips(VertFlipActionChecked())) VertFlipAction->Execute();
      break;
    case u'Z':
      switchCheckBox(m_options->cbPrefsQuittant, prefix);
      break;
    case u'W': {
      // The window goes on meanwhile, so Esc ends the wait and the list, and closing works.
      const int waitMs = StrToIntSafe(argument);
      const std::weak_ptr<void> alive = aliveToken();
      if (waitMs > 0)
        WaitUntil([&] { return StopRequested.load() || alive.expired(); }, waitMs);
      break;
    }
    case u'Q':
      run.quit = true;
      break;
    default:
      break;  // no such command
  }
}

// --- Intervalometer ------------------------------------------------------------------------------

TGrabForm::IntervalloRunKind TGrabForm::intervalloRunKind() const {
  if (dynamic_cast<const TgrabFile*>(CurrentSource.get())) return IntervalloRunKind::File;
  return IntervalloRunKind::None;
}

void TGrabForm::UpdateIntervallo() {
  if (isTornDown() || !m_intervalloFrame) return;
  Tintervalloframe* panel = m_intervalloFrame;
  const int value = panel->RxSpinEdit7->value();
  const int unit = std::max(0, panel->cboxIntervallo->currentIndex());
  m_intervallo.SetInterval(value, unit, CurrentSource->FrameDuration);

  QString state = restext::IntervalloState;
  state.replace(QLatin1String("%d"), QString::number(value));
  intervallolab->setText(restext::FillPercentS(state, {panel->cboxIntervallo->itemText(unit)}));
  panel->chronolab->hide();

  if (intervalloRunKind() == IntervalloRunKind::File) {
    CurrentSource->GetPosition(*CurrentPosition);
    if (const auto* position = dynamic_cast<const TGrabFilePosition*>(CurrentPosition.get())) {
      m_intervallo.FixRun(position->Time, position->Duration);
      panel->chronolab->setText(QString::number(m_intervallo.PicturesToTake));
      panel->chronolab->show();
    }
  }
}

void TGrabForm::IntervalloGoActionExecute() {
  if (isTornDown()) return;
  Tintervalloframe* panel = m_intervalloFrame;
  const auto enableFields = [panel](bool enabled) {
    panel->RxSpinEdit7->setEnabled(enabled);
    panel->cboxIntervallo->setEnabled(enabled);
  };

  if (!panel->RxSwitch1->isChecked()) {  // stop
    RaiseFlag(StopRequested);
    m_intervallo.StopTimer();
    panel->chrono->stop();
    enableFields(true);
    return;
  }
  if (m_intervalloRunning) return;  // a file run is going already

  intervallolab->show();
  StopRequested = false;
  enableFields(false);
  const IntervalloRunKind kind = intervalloRunKind();
  if (kind == IntervalloRunKind::Capture) {
    // Live: the countdown timer does the rest, until the run is switched off.
    UpdateIntervallo();
    int64_t firstCount = 0;
    if (m_intervallo.StartCountdown(&firstCount)) {
      panel->chronolab->setText(QString::number(firstCount));
      panel->chronolab->show();
    }
    armIntervalloTimer();
    return;
  }

  const uint64_t source = m_sourceSerial;
  if (kind == IntervalloRunKind::File || kind == IntervalloRunKind::Disc) {
    runIntervalloOverFile();
    if (isTornDown()) return;
  }
  panel->RxSwitch1->setChecked(false);
  enableFields(true);
  UpdateIntervallo();
  // A source loaded during the run stays where the user put it.
  if (m_sourceSerial == source) CurrentSource->ReculeHome();
}

void TGrabForm::runIntervalloOverFile() {
  Tintervalloframe* panel = m_intervalloFrame;
  const uint64_t source = m_sourceSerial;
  // The run works on the source it started with; a close or another load ends it.
  const auto sameSource = [this, source] { return !isTornDown() && m_sourceSerial == source; };

  m_intervalloRunning = true;
  CurrentSource->Pause();
  UpdateIntervallo();
  panel->chronolab->show();
  CurrentSource->SetVolume(0);  // the run is silent

  for (int64_t k = 0; k < m_intervallo.PicturesToTake; ++k) {
    if (StopRequested) break;
    auto* position = dynamic_cast<TGrabFilePosition*>(CurrentPosition.get());
    if (!position) break;
    position->Time = m_intervallo.RunTime(k);
    CurrentSource->SetPosition(*position, true);
    if (!sameSource()) break;
    Timer1Timer();
    SnapPicture();
    // Esc, the switch and the window's other events get their turn once per picture.
    QCoreApplication::processEvents();
    if (!sameSource() || StopRequested) break;  // the picture just taken is not saved
    m_intervallo.SecondsLeft -= 1;
    panel->chronolab->setText(QString::number(m_intervallo.SecondsLeft));
    SavePicture();
    if (!sameSource()) break;
  }
  m_intervalloRunning = false;
  if (!sameSource()) return;
  CurrentSource->ReculeHome();
  Timer1Timer();
  applySoundVolume();
}

void TGrabForm::armIntervalloTimer() {
  QTimer* chrono = m_intervalloFrame->chrono;
  if (!m_intervallo.TimerActive()) {
    chrono->stop();
    return;
  }
  const int64_t waitMs = m_intervallo.NextTickMs() - m_intervalloClock.NowMs();
  chrono->start(int(std::clamp<int64_t>(waitMs, 0, std::numeric_limits<int>::max())));
}

void TGrabForm::intervalloframe1chronoTimer() {
  if (isTornDown()) return;
  TIntervalloLogic::TickActions actions;
  actions.showCount = [this](int64_t count) {
    m_intervalloFrame->chronolab->setText(QString::number(count));
  };
  actions.playSound = [this](const QString& name) {
    if (shell()) shell()->PlaySound(name);
  };
  actions.takePicture = [this] {
    // The beep lets the window run: Esc or a close during it means no picture.
    if (isTornDown() || StopRequested) return;
    SnapPicture();
    if (!isTornDown()) SavePicture();
  };
  m_intervallo.Tick(actions, Prefs.BeepOn, StopRequested);
  if (!isTornDown()) armIntervalloTimer();
}

void TGrabForm::IntervalloShowActionExecute() {
  if (isTornDown() || !SourceReady) return;
  Tintervalloframe* panel = m_intervalloFrame;
  if (!intervalloframe1->isHidden()) {
    intervalloframe1->hide();
    intervallolab->hide();
    return;
  }
  intervalloframe1->show();
  intervalloframe1->raise();
  switch (intervalloRunKind()) {
    case IntervalloRunKind::File:
    case IntervalloRunKind::Disc:
      UpdateIntervallo();
      panel->cbBeep->hide();
      break;
    case IntervalloRunKind::Capture:
      panel->chronolab->hide();
      panel->cbBeep->show();
      break;
    case IntervalloRunKind::None:
      break;
  }
}

void TGrabForm::BeepActionExecute() {
  if (isTornDown() || intervalloframe1->isHidden()) return;
  QCheckBox* beep = m_intervalloFrame->cbBeep;
  beep->setChecked(!beep->isChecked());
  Prefs.BeepOn = beep->isChecked();
}

// --- About panel and hidden mode -----------------------------------------------------------------

void TGrabForm::AproposActionExecute() {
  if (isTornDown()) return;
  m_aproposChecked = !m_aproposChecked;
  m_errorPanel->HidePanel();  // hidden, not acknowledged: a wait on it goes on
  m_optionsChecked = false;
  AproposFrame1->move(m_pictureAtLeft ? 0 : Panel3->width(), AproposFrame1->y());
  if (m_aproposChecked) {
    m_imagePanelChecked = false;
    OptionsFrame1->hide();
    ShowAbout();
  } else {
    ImagePanelActionExecute();
  }
  SyncActionStates();
}

void TGrabForm::ShowAbout() { m_aproposFrame->ShowAbout(VersionText, BuildDateText); }

void TGrabForm::SecretActionExecute() { cbSecretClick(); }

void TGrabForm::cbSecretClick() {
  if (isTornDown() || !dialogs()) return;
  const DialogButton answer =
      dialogs()->Ask(restext::FillPercentS(restext::SecretQuestion, {restext::ProductName}),
                     {DialogButton::Yes, DialogButton::No});
  if (answer == DialogButton::No || isTornDown()) return;
  m_hiddenMode = true;
  setWindowState(windowState() | Qt::WindowMinimized);
  hide();  // a hidden top-level window has no taskbar entry either
}

void TGrabForm::CloseOnTerminationSignals() {
  if (m_signalWatch) return;
  m_signalWatch = new TerminationWatch(this, [this] { closeOnSignal(); });
}

void TGrabForm::closeWithoutQuestions() {
  if (isTornDown()) return;
  Dialogs* own = dialogs();
  NoOneToAsk noOne;
  SetServices(&noOne, shell());
  close();
  SetServices(own, shell());
}

void TGrabForm::closeOnSignal() {
  closeWithoutQuestions();
  // A hidden window's close does not end the program by itself.
  QCoreApplication::quit();
}
