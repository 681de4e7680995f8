#include "settings/PSFunctions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

int StrToIntSafe(const QString& text) {
  qsizetype begin = 0, end = text.size();
  while (begin < end && text[begin].unicode() <= ' ') ++begin;
  while (end > begin && text[end - 1].unicode() <= ' ') --end;
  bool ok = false;
  const int value = text.mid(begin, end - begin).toInt(&ok, 10);
  return ok ? value : 0;
}

bool DeleteFileForced(const QString& fileName) {
  if (fileName.isEmpty()) return false;
  const QFileInfo info(fileName);
  if (info.isDir() && !info.isSymLink()) return false;
  // A read-only file is deleted all the same; the permission bits of a link are not its own.
  if (!info.isSymLink() && info.exists())
    QFile::setPermissions(fileName, info.permissions() | QFileDevice::WriteOwner);
  return QFile::remove(fileName);
}

QString GetPersonalFolder() {
  const QString home = qEnvironmentVariable("HOME");
  return home.isEmpty() ? QStringLiteral("/") : home;
}

namespace {

// The value of a user-dirs.dirs line: "$HOME/..." or an absolute path, in double quotes, with
// shell backslash escapes. Empty when the line is not usable.
QString userDirValue(QStringView raw, const QString& homeFolder) {
  raw = raw.trimmed();
  QString value;
  if (raw.startsWith(u'"')) {
    qsizetype i = 1;
    for (; i < raw.size() && raw[i] != u'"'; ++i) {
      if (raw[i] == u'\\' && i + 1 < raw.size()) ++i;
      value += raw[i];
    }
    if (i >= raw.size()) return {};  // no closing quote
  } else {
    value = raw.toString();
  }
  if (value.startsWith(QLatin1String("$HOME"))) {
    const QStringView rest = QStringView(value).mid(5);
    if (!rest.isEmpty() && !rest.startsWith(u'/')) return {};
    if (homeFolder.isEmpty()) return {};
    value = homeFolder + rest.toString();
  } else if (!value.startsWith(u'/')) {
    return {};  // relative paths are not allowed in that file
  }
  while (value.size() > 1 && value.endsWith(u'/')) value.chop(1);
  return value;
}

}  // namespace

QString myPicturesFolderFrom(const QString& configHome, const QString& homeFolder) {
  const QString personal = homeFolder.isEmpty() ? QStringLiteral("/") : homeFolder;
  if (configHome.isEmpty()) return personal;
  QFile file(QDir(configHome).filePath(QStringLiteral("user-dirs.dirs")));
  if (!file.open(QIODevice::ReadOnly)) return personal;
  QString found;
  // The file is small; a huge one is not a user-dirs file.
  const QString text = QString::fromUtf8(file.read(1 << 20));
  for (QStringView line : QStringView(text).split(u'\n')) {
    line = line.trimmed();
    if (line.startsWith(u'#')) continue;
    static const QLatin1String key("XDG_PICTURES_DIR");
    if (!line.startsWith(key)) continue;
    QStringView rest = line.mid(key.size()).trimmed();
    if (!rest.startsWith(u'=')) continue;
    found = userDirValue(rest.mid(1), homeFolder);  // the last valid line wins, as in a shell
  }
  return found.isEmpty() ? personal : found;
}

QString GetMyPicturesFolder() {
  const QString home = qEnvironmentVariable("HOME");
  QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (!configHome.startsWith(u'/'))
    configHome = home.isEmpty() ? QString() : home + QStringLiteral("/.config");
  return myPicturesFolderFrom(configHome, GetPersonalFolder());
}

QString Unquote(const QString& text) {
  const QString trimmed = text.trimmed();
  if (trimmed.size() > 1 && trimmed.startsWith(u'"') && trimmed.endsWith(u'"'))
    return trimmed.mid(1, trimmed.size() - 2);
  return trimmed;
}

QString ExpandEnvVars(const QString& text) {
  // No fixed buffer here: the whole expansion is returned, since a cut path names the wrong file.
  QString result;
  result.reserve(text.size());
  qsizetype i = 0;
  while (i < text.size()) {
    const qsizetype open = text.indexOf(u'%', i);
    if (open < 0) break;
    const qsizetype close = text.indexOf(u'%', open + 1);
    if (close < 0) break;
    result += QStringView(text).mid(i, open - i);
    const QString name = text.mid(open + 1, close - open - 1);
    const QByteArray nameBytes = name.toLocal8Bit();
    const bool set = !name.isEmpty() && !name.contains(u'=') &&
                     qEnvironmentVariableIsSet(nameBytes.constData());
    if (set) {
      result += qEnvironmentVariable(nameBytes.constData());
    } else {
      result += QStringView(text).mid(open, close - open + 1);
    }
    i = close + 1;
  }
  result += QStringView(text).mid(i);
  return result;
}

QString withTrailingSlash(const QString& folder) {
  if (folder.isEmpty() || folder.endsWith(u'/')) return folder;
  return folder + u'/';
}

bool createFolderWithParents(const QString& folder) {
  if (folder.isEmpty()) return false;
  return QDir().mkpath(folder) && QFileInfo(folder).isDir();
}
