// A desktop stand-in for tests: records what the program asked of it.
#pragma once

#include <QStringList>

#include "media/Bitmap.h"
#include "settings/ShellServices.h"

class FakeShell : public ShellServices {
 public:
  void ShowInFileManager(const QString& path) override { shownFiles << path; }
  void OpenFolder(const QString& folder) override { openedFolders << folder; }
  void CopyPicture(const Bitmap& picture) override { clipboardPicture = picture; ++copies; }
  QStringList ClipboardFiles() override { return clipboardFiles; }
  void PlaySound(const QString& name) override { sounds << name; }

  QStringList shownFiles;
  QStringList openedFolders;
  Bitmap clipboardPicture;
  int copies = 0;
  QStringList clipboardFiles;
  QStringList sounds;
};
