// The real questions and dialogs: Qt message boxes with the program's own button texts, and the
// desktop's file and folder dialogs.
#pragma once

#include <QPointer>
#include <QWidget>

#include "settings/Dialogs.h"

class QtDialogs : public Dialogs {
 public:
  // Boxes and dialogs are modal over `parent` (the main window).
  explicit QtDialogs(QWidget* parent = nullptr) : m_parent(parent) {}

  // A box closed without choosing (Escape, the title bar's close button) answers Cancel when
  // Cancel is offered, else No, else the last button: closing never means yes.
  DialogButton Ask(const QString& text, std::initializer_list<DialogButton> buttons) override;
  void ShowErrorBox(const QString& text) override;
  void Inform(const QString& text) override;
  QString AskOpenFile(const QString& title, const QString& folder, const QString& filter) override;
  QString AskSaveFile(const QString& title, const QString& initialPath, const QString& filter,
                      int* selectedFilter) override;
  QString AskFolder(const QString& title, const QString& folder) override;

  // The answer a box closed without choosing gives.
  static DialogButton closedAnswer(std::initializer_list<DialogButton> buttons);
  // The text of each button.
  static QString buttonText(DialogButton button);

 private:
  QWidget* parent() const;

  QPointer<QWidget> m_parent;
};
