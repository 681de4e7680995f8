// The main window: owner of the current frame source, its position object and the picture
// buffers, and home of every control the user works with.
#pragma once

#include <memory>
#include <QEvent>
#include <QPointer>
#include <QString>
#include <QWidget>

#include "media/Bitmap.h"
#include "sources/GrabUnit.h"

class QCheckBox;
class QFrame;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QSlider;
class QTimer;
class QToolBar;
class Dialogs;
class GraphModule;
class ShellServices;
class NeedleGauge;
class VideoWidget;

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

 protected:
  // Every key meant for this window comes here before the focused control (and before command
  // shortcuts). True when the key is used up: the control then never sees it.
  virtual bool FormKeyDown(QKeyEvent* key);

  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildLayout();  // main_layout.cpp
  void FormCreate();
  void tearDown();
  bool offerKey(QWidget* receiver, QKeyEvent* key);

  GraphModule* m_graphModule = nullptr;
  Dialogs* m_dialogs = nullptr;
  ShellServices* m_shell = nullptr;
  std::shared_ptr<int> m_alive = std::make_shared<int>(0);

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
};
