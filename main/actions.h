// The command table: every user command of the main window is one named command in one ordered
// list. Buttons, menus, keys and command lists run the same commands; a key goes to the first
// command in list order that carries it.
#pragma once

#include <functional>
#include <vector>
#include <QAction>
#include <QKeyCombination>
#include <QList>
#include <QString>
#include <QStringList>

class QAbstractButton;

class TAction : public QAction {
  Q_OBJECT
 public:
  // `name` is the command's identifier (command lists and the shortcut list use it).
  TAction(const QString& name, QObject* parent);

  QString Name() const { return objectName(); }
  // The hint the command gives its controls (empty: none). Kept apart from the toolkit's tool
  // tip, which falls back on the caption.
  QString Hint() const { return m_hint; }
  void SetHint(const QString& hint);
  QString Category;

  QKeyCombination ShortCut() const { return m_shortCut; }
  void SetShortCut(QKeyCombination key);
  QList<QKeyCombination> SecondaryShortCuts;
  // True when the key is the primary shortcut or one of the secondary ones.
  bool CarriesKey(QKeyCombination key) const;

  // The handler. An on/off command has flipped its state before it runs.
  std::function<void()> OnExecute;
  bool HasHandler() const { return bool(OnExecute); }
  // Runs the command as a button or key would: nothing when it is disabled. True when it ran.
  bool Execute();

 private:
  QString m_hint;
  QKeyCombination m_shortCut;
};

class TActionList {
 public:
  // Appends in table order; the list owns nothing (the commands are children of the window).
  TAction* Add(TAction* action);
  const std::vector<TAction*>& Actions() const { return m_actions; }
  TAction* Find(const QString& name) const;  // exact name, or null
  // The first command in table order that carries the key, enabled or not; null when none does.
  TAction* FindByKey(QKeyCombination key) const;

 private:
  std::vector<TAction*> m_actions;
};

// A key as the command table compares it: keypad + and - keep the keypad modifier (the volume
// commands tell them apart from the main keyboard's), other keypad keys lose it, the keypad's
// Enter counts as Return.
QKeyCombination NormalisedKey(int key, Qt::KeyboardModifiers modifiers);
// A key text such as "CTRL+G", "ALT+P", "F12" or "Num +" as a key; an empty key when unreadable.
QKeyCombination KeyFromText(const QString& text);
// The key in the desktop's usual form: "Ctrl+G", "F10", "Space", "Num +".
QString KeyText(QKeyCombination key);

// How a control follows its command.
struct ActionBinding {
  bool showCaption = true;        // the control's text is the command's caption
  bool showIcon = true;           // the control shows the command's picture
  QString ownHint;                // a hint of the control's own instead of the command's
  bool followEnabled = true;      // the control is enabled exactly when the command is
  bool runOnClick = true;         // a click runs the command
};
// Binds a button (tool button, push button, check box, radio button) to a command: it shows the
// command's caption, hint, picture, enabled and on/off state, and runs it when clicked.
void BindButtonToAction(QAbstractButton* button, TAction* action, const ActionBinding& how = {});

// One row of the options panel's shortcut list: the left and right column texts.
struct ShortcutRow {
  QString left;
  QString right;
};
// The rows for the command table: caption "=" key text (byName) or key text "=" caption, sorted
// without regard to case over the whole row, equal rows dropped. Only primary shortcuts.
std::vector<ShortcutRow> ShortcutRows(const TActionList& list, bool byName);
