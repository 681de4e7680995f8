// The error panel: reports load failures and the start-up checks inside the main window, over
// the video area, without blocking the window. Closing a fatal message closes the window.
#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TErreur_Frame : public QWidget {
  Q_OBJECT
 public:
  // Fills `place` (the panel's place in the main window) and hides it until a message comes.
  explicit TErreur_Frame(QFrame* place);

  // The title, fonts, link and hint; empties the message box.
  void ApplyEnglishTexts();

  // Shows the message in the panel's text, in front of the other panels, with the keyboard focus
  // on OK. Returns at once; a second message replaces the first.
  void ShowError(const QString& message, bool fatal);
  // Raises ErrorPanelClosed and hides the panel; after a fatal message, closes the main window
  // through its normal close path, once.
  void CloseError();
  // Hides the panel without acknowledging it (the Settings and About panels take its place).
  void HidePanel();
  bool IsShown() const;

  // The whole panel text for a message: the head line, the message unchanged, the help text.
  static QString PanelText(const QString& message, bool fatal);

  bool FatalError = false;

  QLabel* Image1 = nullptr;
  QLabel* labErreur = nullptr;
  QLabel* linkHomepage = nullptr;
  QPlainTextEdit* Memo2 = nullptr;
  QPushButton* OkBtn = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QFrame* m_place;
  bool m_windowClosing = false;  // the fatal close has started: later closes do not repeat it
};
