// The About panel: product name, version, date of the last update and a few words about the
// program, with links to the web page and to the maker's mail. It takes the side area's place
// (over the picture panel) while shown.
#pragma once

#include <QWidget>

class QFrame;
class QLabel;
class QPlainTextEdit;

class TAproposFrame : public QWidget {
  Q_OBJECT
 public:
  // Fills `place` (the panel's place in the side area).
  explicit TAproposFrame(QFrame* place);

  // Link texts and fonts, the picture's hint and the close label. The title and the text stay
  // empty until the panel is shown.
  void ApplyEnglishTexts();
  // Fills the title, the text and the mail subject, then shows the panel in front.
  void ShowAbout(const QString& versionText, const QString& buildDateText);

  // The title's text, e.g. "Pictorel 4.1.3 En".
  static QString TitleText(const QString& versionText);
  // The About text with the maker, the credits and the date filled in.
  static QString AboutText(const QString& buildDateText);
  // The mail link's address with its subject, e.g. "About Pictorel 4.1.3 En".
  static QString MailUrl(const QString& versionText);

  QLabel* RxLabel1 = nullptr;
  QLabel* Image2 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;
  QLabel* linkHomepage = nullptr;
  QLabel* linkMail = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* labFermerF6 = nullptr;

 signals:
  // The close label was clicked: the picture panel comes back.
  void closeClicked();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QFrame* m_place;
};
