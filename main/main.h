// The main window: owner of the current frame source, its position object and the picture
// buffers, and home of every control the user works with.
#pragma once

#include <deque>
#include <memory>
#include <optional>
#include <QEvent>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include "main/actions.h"
#include "media/Bitmap.h"
#include "settings/IntervalloLogic.h"
#include "settings/PrefsStore.h"
#include "settings/params.h"
#include "sources/GrabUnit.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QSlider;
class QTimer;
class QMenu;
class QToolBar;
class QToolButton;
class TErreur_Frame;
class Tnav_CDframe;
class Tnav_captureframe;
class Tnav_fileframe;
class Tnav_videframe;
class Tsm;
class Dialogs;
class GraphModule;
class ShellServices;
class NeedleGauge;
class VideoWidget;
class TOptionsFrame;
class Tintervalloframe;
class TAproposFrame;
class QAbstractButton;

class TGrabForm : public QWidget {
  Q_OBJECT
 public:
  explicit TGrabForm(QWidget* parent = nullptr);
  ~TGrabForm() override;

  // Puts the English texts, fonts, dialog texts and list items over the controls.
  void ApplyEnglishTexts();
  // Side panels at x 0 with the video panel beside them, or the video panel at x 0 and the side
  // panels at its right.
  void ApplyPictureSide(bool atLeft);

  // The graph module, created after the window (its creation must not need it); not owned.
  void SetGraphModule(GraphModule* graphModule) { m_graphModule = graphModule; }
  GraphModule* graphModule() const { return m_graphModule; }
  // Questions, dialogs and desktop services; the program entry installs the real ones, tests
  // install scripted ones. Not owned.
  void SetServices(Dialogs* dialogs, ShellServices* shell) {
    m_dialogs = dialogs;
    m_shell = shell;
  }
  Dialogs* dialogs() const { return m_dialogs; }
  ShellServices* shell() const { return m_shell; }

  // Empty command: the plain source, which stands for an empty window.
  void ViderActionExecute();
  // Abort command: stops what runs and ends every pending wait.
  void AbortActionExecute();

  // A control's hint is kept while hidden, so that it can be shown again as it was.
  void setHint(QWidget* control, const QString& hint);
  void showHint(QWidget* control, bool shown);
  // Shows one navigation bar of the video panel and hides the three others.
  void bringBarToFront(QFrame* bar);

  // Expires when closing has torn down the source, position and picture buffers. A wait that runs
  // inside a window operation passes it to WaitForFlag and returns at once when it has expired.
  std::weak_ptr<void> aliveToken() const { return m_alive; }
  bool isTornDown() const { return !m_alive; }

  // --- State. The source, position and buffers are null once closing has torn them down.
  std::unique_ptr<TGrab> CurrentSource;
  std::unique_ptr<TGrabPosition> CurrentPosition;
  std::unique_ptr<Bitmap> FrameBitmap;
  std::unique_ptr<Bitmap> DeinterlacedBitmap;
  std::unique_ptr<Bitmap> PictureBitmap;
  QString VersionText;
  QString BuildDateText;
  QTimer* Timer1 = nullptr;  // the 25 ms display refresh

  // What the open-video and save-picture dialogs show (the toolkit's filter form).
  struct FileDialogTexts {
    QString DefaultExt;
    QString FileName;
    QString Filter;
    QString Title;
  };
  FileDialogTexts odFichier;
  FileDialogTexts sd;

  // --- Controls, by region.
  QToolBar* ToolBar1 = nullptr;

  QFrame* Panel1 = nullptr;  // info bar
  QLabel* EnCoursLab = nullptr;
  QLabel* DureeLab = nullptr;

  QFrame* Panel3 = nullptr;  // video panel
  QLineEdit* CurrentEdit = nullptr;
  QLabel* scnLab = nullptr;
  QLabel* srtlab = nullptr;
  QLabel* labTaille = nullptr;
  VideoWidget* VideoWindow1 = nullptr;
  QSlider* tb = nullptr;
  QFrame* nav_fileframe1 = nullptr;
  QFrame* nav_CDframe1 = nullptr;
  QFrame* nav_captureframe1 = nullptr;
  QFrame* nav_videframe1 = nullptr;
  QFrame* intervalloframe1 = nullptr;

  QFrame* Panel4 = nullptr;  // picture panel
  QFrame* Bevel1 = nullptr;
  QLabel* SnapLab = nullptr;
  QLabel* labImagetteTaille = nullptr;
  QFrame* Bevel3 = nullptr;
  QLabel* Image = nullptr;
  QLabel* labsnapname = nullptr;
  QGroupBox* GroupBox1 = nullptr;
  QCheckBox* cbDeinterlaceImage = nullptr;
  QCheckBox* cbMuteVideo = nullptr;
  NeedleGauge* GaugeVolume = nullptr;
  QFrame* OptionsFrame1 = nullptr;
  QFrame* AproposFrame1 = nullptr;

  QFrame* Panel2 = nullptr;  // bottom bar
  QLabel* DestLab = nullptr;
  QLabel* intervallolab = nullptr;

  QFrame* Erreur_Frame1 = nullptr;

  // --- Grab, snapshot and save (main_grab.cpp)
  // Takes the frame into FrameBitmap, sizes the picture to the chosen aspect and the video
  // surface to match.
  void ApplyAspectRatio();
  // Takes the current frame into the picture panel, named with the next file name.
  void SnapPicture();
  // Writes the picture in the panel, asking first when its file exists and confirmation is on.
  void SavePicture();
  // Writes the picture in the format chosen now; a failed write is reported and changes nothing.
  void WritePictureFile();
  void snapActionExecute() { SnapPicture(); }
  void GrabActionExecute();
  void SauverImageActionExecute() { SavePicture(); }
  void CopierActionExecute();
  void ImageClick();
  void VideoWindow1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift);
  void VertFlipActionExecute();  // on/off
  bool VertFlipActionChecked() const { return m_vertFlip; }
  void ImagetteGaucheActionExecute();  // on/off
  bool ImagetteGaucheActionChecked() const { return m_pictureAtLeft; }
  void BmpActionExecute();
  void JpegActionExecute();
  void RatioNormalActionExecute();
  void Ratio4x3ActionExecute();
  void Ratio16x9ActionExecute();
  void DeinterlaceActionExecute();
  void cbDeinterlaceImageClick();
  int PictureWidth = 0;
  int PictureHeight = 0;

  // --- Picture file naming (main_naming.cpp)
  void UpdateRoot();
  void UpdateNextName();
  void BuildNumberedName();
  void BuildTimecodeName();
  void AjouterNumeroActionExecute();
  void AjouterTimecodeActionExecute();
  void DossierSaveActionExecute();
  void OptionsFrame1deDossierSaveAfterDialog();
  void DestLabClick();
  QString CurrentRoot;
  QString NextFileName;
  QString PictureFileName;
  int PictureCounter = 0;

  // --- Preferences and the options panel (main_prefs.cpp)
  // The options panel, inside OptionsFrame1.
  TOptionsFrame* options() const { return m_options; }
  // Where the preferences are read and saved; the standard places unless set (tests set them
  // before the window is first shown).
  void SetPrefsLocations(const PrefsLocations& where) { m_prefsLocations = where; }
  const PrefsLocations& prefsLocations();
  void PrefsToControls();
  void ControlsToPrefs();
  // The closing's question about the preferences, and their saving.
  void FormCloseQuery();
  void optionsActionExecute();  // on/off
  bool optionsActionChecked() const { return m_optionsChecked; }
  void ImagePanelActionExecute();  // on/off
  bool ImagePanelActionChecked() const { return m_imagePanelChecked; }
  // The About command's on/off state, which the Settings and Image panel commands turn off.
  bool AproposActionChecked() const { return m_aproposChecked; }
  void setAproposActionChecked(bool checked) { m_aproposChecked = checked; }
  void SecretActionExecute();

  // --- Command table, toolbar, menus and the scene button (actions.cpp)
  TActionList ActionList1;
  TAction* optionsAction = nullptr;
  TAction* AproposAction = nullptr;
  TAction* BmpAction = nullptr;
  TAction* JpegAction = nullptr;
  TAction* SecretAction = nullptr;
  TAction* snapAction = nullptr;
  TAction* GrabAction = nullptr;
  TAction* FullscreenAction = nullptr;
  TAction* AjouterNumeroAction = nullptr;
  TAction* AjouterTimecodeAction = nullptr;
  TAction* SauverImageAction = nullptr;
  TAction* RatioNormalAction = nullptr;
  TAction* Ratio4x3Action = nullptr;
  TAction* Ratio16x9Action = nullptr;
  TAction* AbortAction = nullptr;
  TAction* MuteAction = nullptr;
  TAction* DeinterlaceAction = nullptr;
  TAction* ReculeHomeAction = nullptr;
  TAction* AvanceEndAction = nullptr;
  TAction* ReculeLowAction = nullptr;
  TAction* AvanceLowAction = nullptr;
  TAction* ReculeMediumAction = nullptr;
  TAction* AvanceMediumAction = nullptr;
  TAction* ReculeHighAction = nullptr;
  TAction* AvancehighAction = nullptr;
  TAction* ReculetrackAction = nullptr;
  TAction* AvanceTrackAction = nullptr;
  TAction* TogglePlayAction = nullptr;
  TAction* IntervalloGoAction = nullptr;
  TAction* BeepAction = nullptr;
  TAction* VCRPauseAction = nullptr;
  TAction* VCRPlayAction = nullptr;
  TAction* VCRStopAction = nullptr;
  TAction* DossierSaveAction = nullptr;
  TAction* ImagePanelAction = nullptr;
  TAction* incVolumeAction = nullptr;
  TAction* decVolumeAction = nullptr;
  TAction* IntervalloShowAction = nullptr;
  TAction* PasteAction = nullptr;
  TAction* ViderAction = nullptr;
  TAction* OuvrirFichierAction = nullptr;
  TAction* OuvrirCDAction = nullptr;
  TAction* QuitterAction = nullptr;
  TAction* CopierAction = nullptr;
  TAction* OuvrirListeAction = nullptr;
  TAction* ImagetteGaucheAction = nullptr;
  TAction* VertFlipAction = nullptr;
  // Toolbar buttons, left to right.
  QToolButton* OpenBtn = nullptr;
  QToolButton* PasteBtn = nullptr;
  QToolButton* OuvrirCDBtn = nullptr;
  QToolButton* ListeBtn = nullptr;
  QToolButton* ViderBtn = nullptr;
  QToolButton* CaptureBtn = nullptr;
  QToolButton* SettingsBtn = nullptr;
  QToolButton* GrabBtn = nullptr;
  QToolButton* SnapBtn = nullptr;
  QToolButton* SaveBtn = nullptr;
  QToolButton* CopierBtn = nullptr;
  QToolButton* FullscreenBtn = nullptr;
  QToolButton* ToolButton1 = nullptr;
  QToolButton* ScnBtn = nullptr;
  QToolButton* chronoBtn = nullptr;
  QToolButton* ChangerSaveBtn = nullptr;
  QToolButton* ImagetteBtn = nullptr;
  QToolButton* OptionsBtn = nullptr;
  QToolButton* AProposBtn = nullptr;
  QToolButton* QuitterBtn = nullptr;
  // The video's and the picture's right-click menus; the drop-down menus of the disc, capture and
  // capture-settings buttons, which their owners fill each time they open.
  QMenu* pmEcran = nullptr;
  QMenu* pmImagette = nullptr;
  QMenu* CDMenu = nullptr;
  QMenu* CaptureMenu = nullptr;
  QMenu* SettingsMenu = nullptr;
  // The key rule: the first command in table order that carries the key gets it; a disabled one
  // lets the key go on to the focused control. True when a command used the key up.
  bool RunCommandKey(QKeyEvent* key);
  // The on/off commands whose state lives elsewhere show it again.
  void SyncActionStates();
  // Fills the options panel's shortcut list from the command table.
  void BuildShortcutList();
  // Starts a scene detection on the loaded file, or stops the one running.
  void scnBtnClick();
  bool SceneDetectionRunning() const { return m_sceneRunning; }
  // The scene module; not owned.
  void SetSceneModule(Tsm* sceneModule) { m_sceneModule = sceneModule; }
  Tsm* sceneModule() const { return m_sceneModule; }

  // --- Source loading (main_load.cpp)
  void LoadVideoFile(const QString& path);
  void OuvrirFichierActionExecute();
  void PasteActionExecute();
  // Files dropped on the window, in order: the first is loaded.
  void WMDROPFILES(const QStringList& paths);
  // The application became active: the paste button follows the clipboard.
  void AppEvents1Activate();
  void ResetPicturePanel();
  void ShowEmptySource();
  // Shows the failure on the error panel, waits until it is closed, then empties the window.
  void ReportLoadError(const QString& what, int code);
  static QString LoadErrorText(const QString& what, int code);
  void EnCoursLabClick();
  void scnLabClick();
  void srtlabClick();
  // Shows a message on the error panel (fatal: closing it closes the window).
  void ShowError(const QString& message, bool fatal);
  void CloseError();
  TErreur_Frame* errorPanel() const { return m_errorPanel; }

  // --- Position display and navigation (main_nav.cpp)
  void Timer1Timer();
  void ReculeHomeActionExecute();
  void AvanceEndActionExecute();
  void ReculeLowActionExecute();
  void AvanceLowActionExecute();
  void ReculeMediumActionExecute();
  void AvanceMediumActionExecute();
  void ReculeHighActionExecute();
  void AvancehighActionExecute();
  void ReculetrackActionExecute();
  void AvanceTrackActionExecute();
  void TogglePlayActionExecute();
  void VCRPlayActionExecute();
  void VCRPauseActionExecute();
  void VCRStopActionExecute();
  // The three tape commands' enabled states from a tape's transport mode (play 4296, stop 4297,
  // freeze 4298); capture sources report theirs at each refresh.
  void ApplyTransportMode(int transportMode);
  void tbMouseDown();
  void tbMouseUp();
  void CurrentEditEnter();
  void CurrentEditExit();
  void CurrentEditKeyPress(int key);
  // Moves the video to a place given in millionths of the duration. Any thread: the work is
  // handed to the user-interface thread.
  void SeekFromScene(int64_t value);
  void incVolumeActionExecute();
  void decVolumeActionExecute();
  void MuteActionExecute();
  void cbMuteVideoClick();
  void FullscreenActionExecute();
  bool IsFullscreen() const;
  Tnav_fileframe* navFile() const { return m_navFile; }
  Tnav_CDframe* navCD() const { return m_navCD; }
  Tnav_captureframe* navCapture() const { return m_navCapture; }
  Tnav_videframe* navVide() const { return m_navVide; }

  // --- Automation: command lists, the intervalometer, the About panel and hidden mode
  // (main_auto.cpp)
  // The program's arguments (without its own name) become the pending command list.
  void ParseCommandLine(const QStringList& arguments);
  // Replaces the pending command list ("Open a command list", tests).
  void SetPendingCommandList(TparamList list) { m_pendingList = std::move(list); }
  bool HasPendingCommandList() const { return !m_pendingList.empty(); }
  // True while a command list runs (its waits keep the window going meanwhile).
  bool CommandListRunning() const { return m_listDepth > 0; }
  // Runs the pending command list, then there is none. The window's activation runs it; an
  // activation during a running list does nothing.
  void FormActivate();
  void OuvrirListeActionExecute();
  // "--help" and "--version" print their text; true when the program is to end there.
  static bool PrintInformationOption(int argc, char** argv);
  static QString ProgramVersionText();

  // The kind of run the intervalometer makes over the current source.
  enum class IntervalloRunKind { None, File, Disc, Capture };
  virtual IntervalloRunKind intervalloRunKind() const;
  Tintervalloframe* intervalloframe() const { return m_intervalloFrame; }
  const TIntervalloLogic& intervalloState() const { return m_intervallo; }
  void UpdateIntervallo();
  void IntervalloGoActionExecute();
  void IntervalloShowActionExecute();
  void BeepActionExecute();
  void intervalloframe1chronoTimer();

  TAproposFrame* aproposFrame() const { return m_aproposFrame; }
  void AproposActionExecute();  // on/off
  void ShowAbout();
  // The Secret command: after a Yes, window and taskbar entry disappear; work goes on.
  void cbSecretClick();
  bool HiddenMode() const { return m_hiddenMode; }
  // From now on SIGTERM and SIGINT close the window through its normal close path (without
  // questions, since nobody may be there to answer them) and end the program.
  void CloseOnTerminationSignals();

 protected:
  // Every key meant for this window comes here before the focused control (and before command
  // shortcuts). True when the key is used up: the control then never sees it.
  virtual bool FormKeyDown(QKeyEvent* key);

  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildLayout();  // main_layout.cpp
  void FormCreate();
  void FormShow();  // the first show only
  void tearDown();
  bool offerKey(QWidget* receiver, QKeyEvent* key);

  GraphModule* m_graphModule = nullptr;
  Dialogs* m_dialogs = nullptr;
  ShellServices* m_shell = nullptr;
  std::shared_ptr<int> m_alive = std::make_shared<int>(0);
  bool m_shownOnce = false;

  // One key press reaches the application filter several times: as a shortcut override, then as
  // a key press, each possibly propagated to the parents of its receiver. It is offered to
  // FormKeyDown once; the answer is kept for the rest of its journey.
  struct KeyOffer {
    QEvent::Type type = QEvent::None;
    const QEvent* event = nullptr;
    QPointer<QWidget> receiver;
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    QString text;
    bool autoRepeat = false;
    bool consumed = false;
  };
  KeyOffer m_lastKeyOffer;

  // --- Pictures: grab, naming, preferences and the options panel
  void buildOptionsPanel();
  void connectPictureControls();
  // The name's form for a given position text (the snapped frame's, or the one shown).
  void buildTimecodeNameFrom(const QString& timecodeText);
  void showNextName(bool fileExists);
  void deDossierSaveBrowse();
  TOptionsFrame* m_options = nullptr;
  std::optional<PrefsLocations> m_prefsLocations;
  bool m_vertFlip = false;
  bool m_pictureAtLeft = true;
  bool m_optionsChecked = false;
  bool m_imagePanelChecked = true;
  bool m_aproposChecked = false;
  bool m_prefsLoaded = false;  // the preferences reached the controls: closing may save them

  // --- Commands, loading, navigation and the error panel
  void buildWindowCommands();  // actions.cpp
  void createCommands();
  void buildToolbar();
  void buildMenus();
  void bindCommandHandlers();
  void buildNavigationBars();  // main_nav.cpp
  void connectNavigationControls();
  void runStartupChecks();  // main_load.cpp
  void registerDropTarget();
  void connectLoadControls();
  void setFullscreen(bool on);
  // The play/pause command's caption, hint and picture for a source now playing or not.
  void showPlayCommand(bool playing);
  void applySoundVolume();
  TErreur_Frame* m_errorPanel = nullptr;
  Tnav_fileframe* m_navFile = nullptr;
  Tnav_CDframe* m_navCD = nullptr;
  Tnav_captureframe* m_navCapture = nullptr;
  Tnav_videframe* m_navVide = nullptr;
  Tsm* m_sceneModule = nullptr;
  bool m_sceneRunning = false;
  // Counts the sources installed, so that a wait can tell whether its source is still current.
  uint64_t m_sourceSerial = 0;
  QRect m_videoPlace;  // the video surface's place in the video panel while in full screen
  // Keys whose command ran at their shortcut override, with their time stamps.
  std::deque<std::pair<QKeyCombination, quint64>> m_keysRunEarly;

  // --- Automation
  struct CommandListRun;
  void buildAutomation();
  void runCommand(const TparamObject& command, size_t& index, CommandListRun& run);
  void switchCheckBox(QAbstractButton* box, QChar prefix);
  void runIntervalloOverFile();
  void armIntervalloTimer();
  void closeWithoutQuestions();
  void closeOnSignal();
  Tintervalloframe* m_intervalloFrame = nullptr;
  TAproposFrame* m_aproposFrame = nullptr;
  SteadyIntervalloClock m_intervalloClock;
  TIntervalloLogic m_intervallo{m_intervalloClock};
  TparamList m_pendingList;
  int m_listDepth = 0;
  bool m_intervalloRunning = false;  // a file run is going: another start is ignored
  bool m_hiddenMode = false;
  QObject* m_signalWatch = nullptr;
};
