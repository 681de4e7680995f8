#include "settings/PrefsStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "resources/restext.h"
#include "settings/PSFunctions.h"

// The maker's and product's names, as in the string table.
const QString PrefsSectionName = QStringLiteral("\\Software\\Velmoran\\Pictorel");

QString PrefsLocations::fileOf(uint8_t store) const {
  switch (store) {
    case StoreRegistry: return userFile;
    case StoreSystemIni: return systemIni;
    case StoreProgramIni: return programIni;
    default: return {};
  }
}

QString PrefsLocations::makerFolder() const {
  return userFile.isEmpty() ? QString() : QFileInfo(userFile).absolutePath();
}

PrefsLocations standardPrefsLocations() {
  PrefsLocations where;
  const QString iniName = restext::ProductName + QStringLiteral(".ini");

  QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!configHome.startsWith(u'/')) configHome = QDir::homePath() + QStringLiteral("/.config");
  where.userFile = configHome + u'/' + restext::AuthorName + u'/' + restext::ProductName +
                   QStringLiteral(".conf");

  QString systemFolder;
  const QStringList dirs = qEnvironmentVariable("XDG_CONFIG_DIRS").split(u':', Qt::SkipEmptyParts);
  for (const QString& dir : dirs) {
    if (dir.startsWith(u'/')) {  // relative entries are invalid and skipped
      systemFolder = dir;
      break;
    }
  }
  if (systemFolder.isEmpty()) systemFolder = QStringLiteral("/etc/xdg");
  where.systemIni = QDir(systemFolder).filePath(iniName);

  if (QCoreApplication::instance())
    where.programIni = QDir(QCoreApplication::applicationDirPath()).filePath(iniName);
  where.defaultPicturesFolder = GetMyPicturesFolder();
  return where;
}

bool storeFileExists(const QString& path) {
  if (path.isEmpty()) return false;
  const QFileInfo info(path);
  return info.exists() && !info.isDir();
}

uint8_t chooseStore(const PrefsLocations& where) {
  if (storeFileExists(where.programIni)) return StoreProgramIni;
  if (storeFileExists(where.systemIni)) return StoreSystemIni;
  return StoreRegistry;
}
