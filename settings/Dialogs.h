// Every question, message box and file or folder dialog goes through this seam, so that tests
// can answer them by script. The window installs the real (Qt) implementation.
#pragma once

#include <initializer_list>
#include <QString>
#include <QStringList>

enum class DialogButton { Ok, Yes, No, Cancel, All, YesToAll };

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // A warning box offering `buttons` in that order; returns the one chosen. Closing the box
  // without choosing gives Cancel when offered, else No, else the last button offered (the
  // scripted stand-in of the tests answers the last button: script the answer you mean).
  virtual DialogButton Ask(const QString& text, std::initializer_list<DialogButton> buttons) = 0;
  // The platform's standard error box.
  virtual void ShowErrorBox(const QString& text) = 0;
  // An information box with OK. Implementations without one show a warning box with OK.
  virtual void Inform(const QString& text) { Ask(text, {DialogButton::Ok}); }
  // A file to open; empty when cancelled. `filter` uses the toolkit's "Name (*.a *.b);;..." form.
  virtual QString AskOpenFile(const QString& title, const QString& folder, const QString& filter) = 0;
  // A file to save; empty when cancelled. `selectedFilter` receives the filter index chosen.
  virtual QString AskSaveFile(const QString& title, const QString& initialPath,
                              const QString& filter, int* selectedFilter) = 0;
  // A folder; empty when cancelled.
  virtual QString AskFolder(const QString& title, const QString& folder) = 0;
};
