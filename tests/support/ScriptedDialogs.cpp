#include "tests/support/ScriptedDialogs.h"

DialogButton ScriptedDialogs::Ask(const QString& text,
                                  std::initializer_list<DialogButton> buttons) {
  shown.push_back({Kind::Ask, text, std::vector<DialogButton>(buttons)});
  if (!answers.empty()) {
    const DialogButton answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return buttons.size() ? *(buttons.end() - 1) : DialogButton::Ok;
}

void ScriptedDialogs::ShowErrorBox(const QString& text) {
  shown.push_back({Kind::ErrorBox, text, {}});
}

void ScriptedDialogs::Inform(const QString& text) { shown.push_back({Kind::Inform, text, {}}); }

QString ScriptedDialogs::AskOpenFile(const QString& title, const QString& folder,
                                     const QString& filter) {
  shown.push_back({Kind::OpenFile, title, {}});
  return nextPath();
}

QString ScriptedDialogs::AskSaveFile(const QString& title, const QString& initialPath,
                                     const QString& filter, int* selectedFilter) {
  shown.push_back({Kind::SaveFile, title, {}});
  if (selectedFilter) *selectedFilter = saveFilterIndex;
  return nextPath();
}

QString ScriptedDialogs::AskFolder(const QString& title, const QString& folder) {
  shown.push_back({Kind::Folder, title, {}});
  return nextPath();
}

QStringList ScriptedDialogs::texts() const {
  QStringList list;
  for (const Shown& s : shown) list << s.text;
  return list;
}

QString ScriptedDialogs::nextPath() {
  if (paths.empty()) return {};
  QString path = paths.front();
  paths.pop_front();
  return path;
}
