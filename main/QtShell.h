// The desktop services of a Linux session: the file manager over D-Bus, the clipboard through
// the toolkit; the program's sounds through the audio output, silent where there is none.
#pragma once

#include <QObject>

#include "settings/ShellServices.h"

class QImage;

class QtShell : public QObject, public ShellServices {
  Q_OBJECT
 public:
  explicit QtShell(QObject* parent = nullptr);

  // Asks the desktop's file manager (org.freedesktop.FileManager1.ShowItems) to show the file
  // selected in its folder; without a file manager service, the folder is opened with the
  // desktop's default handler. Never waits for the answer.
  void ShowInFileManager(const QString& path) override;
  void OpenFolder(const QString& folder) override;
  void CopyPicture(const Bitmap& picture) override;
  QStringList ClipboardFiles() override;
  void PlaySound(const QString& name) override;

  // The picture as an image that owns its pixels.
  static QImage toImage(const Bitmap& picture);
};
