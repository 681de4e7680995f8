// The desktop's services the program uses: the file manager, the clipboard and sounds. One seam,
// so that tests can stand in for the desktop; the window installs the real (Qt / D-Bus) one.
#pragma once

#include <QString>
#include <QStringList>

class Bitmap;

class ShellServices {
 public:
  virtual ~ShellServices() = default;
  // Opens the file manager on the file's folder with the file selected.
  virtual void ShowInFileManager(const QString& path) = 0;
  // Opens a folder with the desktop's default handler.
  virtual void OpenFolder(const QString& folder) = 0;
  // Puts a picture on the clipboard.
  virtual void CopyPicture(const Bitmap& picture) = 0;
  // The local files of the clipboard's file list (text/uri-list of file: URLs), in order.
  virtual QStringList ClipboardFiles() = 0;
  // Plays a sound of the program's resources ("BEEP0", "BEEP1") to its end before returning;
  // silent when there is no audio output.
  virtual void PlaySound(const QString& name) = 0;
};
