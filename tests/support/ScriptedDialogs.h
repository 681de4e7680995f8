// A Dialogs that answers from a script and records everything it was shown, for tests.
#pragma once

#include <deque>
#include <vector>
#include <QString>
#include <QStringList>

#include "settings/Dialogs.h"

class ScriptedDialogs : public Dialogs {
 public:
  enum class Kind { Ask, ErrorBox, Inform, OpenFile, SaveFile, Folder };

  struct Shown {
    Kind kind;
    QString text;                       // the message, or the dialog's title
    std::vector<DialogButton> buttons;  // the buttons offered (Ask only)
  };

  // Answers for the coming Ask calls, in order. With none left, Ask answers as a box closed
  // without choosing: the last button offered.
  std::deque<DialogButton> answers;
  // Answers for the coming file and folder dialogs, in order (empty text: cancelled). With
  // none left they are cancelled.
  std::deque<QString> paths;
  // The filter index AskSaveFile reports.
  int saveFilterIndex = 0;

  std::vector<Shown> shown;

  DialogButton Ask(const QString& text, std::initializer_list<DialogButton> buttons) override;
  void ShowErrorBox(const QString& text) override;
  void Inform(const QString& text) override;
  QString AskOpenFile(const QString& title, const QString& folder, const QString& filter) override;
  QString AskSaveFile(const QString& title, const QString& initialPath, const QString& filter,
                      int* selectedFilter) override;
  QString AskFolder(const QString& title, const QString& folder) override;

  // The texts shown, in order, whatever their kind.
  QStringList texts() const;
  // True when every prepared answer was used.
  bool scriptUsedUp() const { return answers.empty() && paths.empty(); }

 private:
  QString nextPath();
};
