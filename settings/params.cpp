#include "settings/params.h"

#include <algorithm>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include "settings/IniFile.h"
#include "settings/PSFunctions.h"

namespace {

bool isPrefix(QChar c) { return c == u'+' || c == u'-' || c == u'/'; }

// Only the 26 letters change case: "é" and the like stay as written.
QChar commandLetter(QChar c) {
  if (c >= u'a' && c <= u'z') return QChar(c.unicode() - u'a' + u'A');
  return c;
}

// Blanks and control characters around an argument go, whatever they are.
QString trimBlanks(const QString& text) {
  qsizetype begin = 0;
  qsizetype end = text.size();
  while (begin < end && text.at(begin).unicode() <= 0x20) ++begin;
  while (end > begin && text.at(end - 1).unicode() <= 0x20) --end;
  return text.mid(begin, end - begin);
}

// A command file's text: UTF-8 line by line, Windows-1252 where a line is not valid UTF-8, so
// that lists written on Windows keep their accented folder names.
QStringList decodeLines(const QByteArray& bytes) {
  QStringList lines;
  qsizetype start = 0;
  const qsizetype size = bytes.size();
  while (start <= size) {
    qsizetype end = start;
    while (end < size && bytes.at(end) != '\n' && bytes.at(end) != '\r') ++end;
    const QByteArrayView line(bytes.constData() + start, end - start);
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8(line);
    lines << (utf8.hasError() ? decodeWindows1252(line) : text);
    if (end >= size) break;
    // CR LF, LF or a lone CR ends a line.
    start = end + ((bytes.at(end) == '\r' && end + 1 < size && bytes.at(end + 1) == '\n') ? 2 : 1);
  }
  return lines;
}

}  // namespace

// --- Tokens --------------------------------------------------------------------------------------

QString NextToken(QString& rest) {
  QString token;
  bool inQuotes = false;
  for (qsizetype i = 0; i < rest.size(); ++i) {
    const QChar c = rest.at(i);
    if (c == u' ' && !inQuotes) {
      rest = rest.mid(i + 1);
      return token;
    }
    if (c == u'"')
      inQuotes = !inQuotes;
    else
      token += c;
  }
  rest.clear();
  return token;
}

void TCommandListBuilder::ParseToken(const QString& text) {
  const QString token = Unquote(text);
  TparamObject command;
  if (token.size() == 2 && isPrefix(token.at(0))) {
    command = {token.at(0), commandLetter(token.at(1)), QString()};
  } else if (token.size() >= 3 && token.at(2) == u'=' && isPrefix(token.at(0))) {
    command = {token.at(0), commandLetter(token.at(1)), token.mid(3)};
  } else {
    return;  // not a command: ignored without a word
  }
  if (command.Letter == u'L')
    LoadCommandFile(command.Argument);
  else
    m_list.push_back(command);
}

void TCommandListBuilder::ParseCommandLineText(const QString& line) {
  QString rest = line;
  while (!rest.isEmpty()) {
    rest = trimBlanks(rest);
    ParseToken(NextToken(rest));
  }
}

void TCommandListBuilder::LoadCommandFile(const QString& name) {
  if (name.isEmpty() || m_openFiles.size() >= MaxCommandFileDepth) return;
  QFileInfo file(name);
  if (file.isRelative() && !file.exists() && !m_openFiles.isEmpty())
    file = QFileInfo(QFileInfo(m_openFiles.last()).absoluteDir(), name);
  // Only ordinary files: a folder, a device or a pipe would never end or never start.
  if (!file.isFile() || file.size() > MaxCommandFileBytes) return;
  const QString canonical = file.canonicalFilePath();
  if (canonical.isEmpty() || m_openFiles.contains(canonical)) return;

  QFile in(canonical);
  if (!in.open(QIODevice::ReadOnly)) return;
  const QByteArray bytes = in.read(MaxCommandFileBytes + 1);
  if (bytes.size() > MaxCommandFileBytes) return;
  in.close();

  m_openFiles << canonical;
  for (const QString& line : decodeLines(bytes)) ParseCommandLineText(line);
  m_openFiles.removeLast();
}

TparamList ParseCommandLine(const QStringList& arguments) {
  TparamList list;
  TCommandListBuilder builder(list);
  for (const QString& argument : arguments) {
    const size_t before = list.size();
    builder.ParseToken(argument);
    if (list.size() != before) continue;
    // Not a command (an "L" adds commands or nothing, but is a command all the same).
    const QString bare = Unquote(argument);
    const bool commandForm =
        bare.size() >= 2 && isPrefix(bare.at(0)) && (bare.size() == 2 || bare.at(2) == u'=');
    if (commandForm) continue;
    const QFileInfo file(argument);
    if (file.isFile()) list.push_back({OpenFilePrefix, u'F', file.absoluteFilePath()});
  }
  return list;
}

TparamList NewCommandListFromFile(const QString& name) {
  TparamList list;
  TCommandListBuilder(list).LoadCommandFile(name);
  return list;
}

// --- Wildcard file search ------------------------------------------------------------------------

bool WildcardMatch(const QString& pattern, const QString& name) {
  const QString p = pattern.toCaseFolded();
  const QString n = name.toCaseFolded();
  // Greedy scan with one backtrack point: the last "*" seen and where its run may grow.
  qsizetype pi = 0, ni = 0, star = -1, starFrom = 0;
  while (ni < n.size()) {
    if (pi < p.size() && (p.at(pi) == u'?' || (p.at(pi) != u'*' && p.at(pi) == n.at(ni)))) {
      ++pi;
      ++ni;
    } else if (pi < p.size() && p.at(pi) == u'*') {
      star = pi++;
      starFrom = ni;
    } else if (star >= 0) {
      pi = star + 1;
      ni = ++starFrom;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p.at(pi) == u'*') ++pi;
  return pi == p.size();
}

QString TFileSearch::FindFirst(const QString& pattern) {
  Close();
  const qsizetype slash = pattern.lastIndexOf(u'/');
  const QString folderPart = slash >= 0 ? pattern.left(slash + 1) : QString();
  const QString namePattern = pattern.mid(slash + 1);
  m_open = true;
  if (namePattern.isEmpty()) return FindNext();

  const QDir folder(folderPart.isEmpty() ? QStringLiteral(".") : folderPart);
  // Files only; QDir leaves out hidden ones (names starting with ".") and devices without
  // QDir::Hidden and QDir::System.
  const QFileInfoList entries = folder.entryInfoList(QDir::Files, QDir::NoSort);
  QStringList names;
  for (const QFileInfo& entry : entries)
    if (entry.isFile() && WildcardMatch(namePattern, entry.fileName())) names << entry.fileName();
  std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
    const int folded = QString::compare(a, b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a < b;
  });
  for (const QString& name : names) m_matches << folderPart + name;
  return FindNext();
}

QString TFileSearch::FindNext() {
  if (!m_open || m_next >= m_matches.size()) {
    Close();
    return QString();
  }
  return m_matches.at(m_next++);
}

void TFileSearch::Close() {
  m_matches.clear();
  m_next = 0;
  m_open = false;
}
