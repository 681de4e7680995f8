#include "main/QtDialogs.h"

#include <algorithm>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "resources/restext.h"

namespace {

QMessageBox::ButtonRole roleOf(DialogButton button) {
  switch (button) {
    case DialogButton::Ok: return QMessageBox::AcceptRole;
    case DialogButton::Yes:
    case DialogButton::YesToAll:
    case DialogButton::All: return QMessageBox::YesRole;
    case DialogButton::No: return QMessageBox::NoRole;
    case DialogButton::Cancel: return QMessageBox::RejectRole;
  }
  return QMessageBox::ActionRole;
}

bool offers(std::initializer_list<DialogButton> buttons, DialogButton button) {
  return std::find(buttons.begin(), buttons.end(), button) != buttons.end();
}

}  // namespace

QWidget* QtDialogs::parent() const {
  if (m_parent) return m_parent.data();
  return QApplication::activeWindow();
}

QString QtDialogs::buttonText(DialogButton button) {
  switch (button) {
    case DialogButton::Ok: return restext::ButtonOk;
    case DialogButton::Yes: return restext::ButtonYes;
    case DialogButton::No: return restext::ButtonNo;
    case DialogButton::Cancel: return restext::ButtonCancel;
    case DialogButton::All: return restext::ButtonAll;
    case DialogButton::YesToAll: return restext::ButtonYesToAll;
  }
  return {};
}

DialogButton QtDialogs::closedAnswer(std::initializer_list<DialogButton> buttons) {
  if (offers(buttons, DialogButton::Cancel)) return DialogButton::Cancel;
  if (offers(buttons, DialogButton::No)) return DialogButton::No;
  return buttons.size() ? *(buttons.end() - 1) : DialogButton::Ok;
}

DialogButton QtDialogs::Ask(const QString& text, std::initializer_list<DialogButton> buttons) {
  if (buttons.size() == 0) return Ask(text, {DialogButton::Ok});
  QMessageBox box(QMessageBox::Warning, restext::ProductName, restext::ForDisplay(text),
                  QMessageBox::NoButton, parent());
  std::vector<std::pair<QAbstractButton*, DialogButton>> made;
  for (DialogButton button : buttons)
    made.emplace_back(box.addButton(buttonText(button), roleOf(button)), button);
  made.front().first->setFocus();
  box.setDefaultButton(static_cast<QPushButton*>(made.front().first));

  const DialogButton onClose = closedAnswer(buttons);
  for (const auto& [widget, button] : made)
    if (button == onClose) box.setEscapeButton(widget);

  box.exec();
  for (const auto& [widget, button] : made)
    if (box.clickedButton() == widget) return button;
  return onClose;
}

void QtDialogs::ShowErrorBox(const QString& text) {
  QMessageBox box(QMessageBox::Critical, restext::ProductName, restext::ForDisplay(text),
                  QMessageBox::NoButton, parent());
  box.setEscapeButton(box.addButton(restext::ButtonOk, QMessageBox::AcceptRole));
  box.exec();
}

void QtDialogs::Inform(const QString& text) {
  QMessageBox box(QMessageBox::Information, restext::ProductName, restext::ForDisplay(text),
                  QMessageBox::NoButton, parent());
  box.setEscapeButton(box.addButton(restext::ButtonOk, QMessageBox::AcceptRole));
  box.exec();
}

QString QtDialogs::AskOpenFile(const QString& title, const QString& folder,
                               const QString& filter) {
  return QFileDialog::getOpenFileName(parent(), title, folder, filter);
}

QString QtDialogs::AskSaveFile(const QString& title, const QString& initialPath,
                               const QString& filter, int* selectedFilter) {
  QFileDialog dialog(parent(), title);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  const QStringList filters = filter.split(QStringLiteral(";;"), Qt::SkipEmptyParts);
  dialog.setNameFilters(filters);
  const int wanted = selectedFilter ? *selectedFilter : 0;
  if (wanted >= 0 && wanted < filters.size()) dialog.selectNameFilter(filters[wanted]);
  dialog.selectFile(initialPath);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  if (selectedFilter) *selectedFilter = std::max(0, int(filters.indexOf(dialog.selectedNameFilter())));
  return dialog.selectedFiles().constFirst();
}

QString QtDialogs::AskFolder(const QString& title, const QString& folder) {
  return QFileDialog::getExistingDirectory(parent(), title, folder, QFileDialog::ShowDirsOnly);
}
