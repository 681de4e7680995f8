#include "settings/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

// Larger than any preferences file could be: such a file is left alone.
constexpr qint64 MaxIniBytes = 16 * 1024 * 1024;

bool sameName(QStringView a, QStringView b) {
  if (a.compare(b, Qt::CaseInsensitive) == 0) return true;
  // A key typed on another system may carry its accents as combining marks.
  return a.toString().normalized(QString::NormalizationForm_C).compare(
             b.toString().normalized(QString::NormalizationForm_C), Qt::CaseInsensitive) == 0;
}

// The section named by a header line, or nothing when the line is not a header.
std::optional<QStringView> sectionOf(QStringView line) {
  line = line.trimmed();
  if (!line.startsWith(u'[')) return std::nullopt;
  qsizetype close = line.indexOf(u']');
  if (close < 0) close = line.size();
  return line.mid(1, close - 1).trimmed();
}

// The key of a "key=value" line, or nothing.
std::optional<QStringView> keyOf(QStringView line) {
  const qsizetype equals = line.indexOf(u'=');
  if (equals < 0) return std::nullopt;
  return line.left(equals).trimmed();
}

QString decodeLine(QByteArrayView bytes) {
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  QString text = utf8(bytes);
  if (!utf8.hasError()) return text;
  return decodeWindows1252(bytes);
}

QString encodeValue(const QString& value) {
  QString text = value;
  text.replace(QLatin1String("\r\n"), QLatin1String(" "));
  text.replace(u'\r', u' ');
  text.replace(u'\n', u' ');
  // Readers trim values and drop one pair of enclosing quotes: quote what would be changed.
  const bool enclosed = text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') &&
                        text.back() == text.front();
  if (enclosed || text != text.trimmed()) text = u'"' + text + u'"';
  return text;
}

}  // namespace

QString decodeWindows1252(QByteArrayView bytes) {
  static const char16_t high[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  QString text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    text += (b >= 0x80 && b < 0xA0) ? QChar(high[b - 0x80]) : QChar(char16_t(b));
  }
  return text;
}

IniFile IniFile::load(const QString& path) {
  QFile file(path);
  if (!file.exists()) return {};
  IniFile ini;
  if (QFileInfo(path).isDir() || file.size() > MaxIniBytes || !file.open(QIODevice::ReadOnly)) {
    ini.m_unreadable = true;
    return ini;
  }
  const QByteArray bytes = file.read(MaxIniBytes + 1);
  if (file.error() != QFileDevice::NoError || bytes.size() > MaxIniBytes) {
    ini.m_unreadable = true;
    return ini;
  }
  return parse(bytes);
}

IniFile IniFile::parse(const QByteArray& bytes) {
  IniFile ini;
  QByteArrayView rest(bytes);
  if (rest.startsWith("\xEF\xBB\xBF")) rest = rest.sliced(3);
  bool firstBreak = true;
  while (!rest.isEmpty()) {
    qsizetype end = rest.indexOf('\n');
    const bool last = end < 0;
    if (last) end = rest.size();
    QByteArrayView line = rest.first(end);
    if (line.endsWith('\r')) {
      line.chop(1);
      if (firstBreak && !last) ini.m_crlf = true;
    }
    if (!last) firstBreak = false;
    ini.m_lines << decodeLine(line);
    rest = last ? QByteArrayView() : rest.sliced(end + 1);
  }
  return ini;
}

IniFile::Found IniFile::find(const QString& section, const QString& key) const {
  Found found;
  for (qsizetype i = 0; i < m_lines.size(); ++i) {
    const auto name = sectionOf(m_lines[i]);
    if (found.sectionLine >= 0) {
      if (name) {
        found.endLine = i;
        return found;
      }
      if (found.keyLine < 0 && !key.isEmpty()) {
        const auto k = keyOf(m_lines[i]);
        if (k && sameName(*k, key)) found.keyLine = i;
      }
    } else if (name && sameName(*name, section)) {
      found.sectionLine = i;
    }
  }
  if (found.sectionLine >= 0) found.endLine = m_lines.size();
  return found;
}

bool IniFile::hasSection(const QString& section) const {
  return find(section, {}).sectionLine >= 0;
}

std::optional<QString> IniFile::value(const QString& section, const QString& key) const {
  const Found found = find(section, key);
  if (found.keyLine < 0) return std::nullopt;
  const QString& line = m_lines[found.keyLine];
  QString text = line.mid(line.indexOf(u'=') + 1).trimmed();
  if (text.size() >= 2 && (text.front() == u'"' || text.front() == u'\'') &&
      text.back() == text.front())
    text = text.mid(1, text.size() - 2);
  return text;
}

void IniFile::setValue(const QString& section, const QString& key, const QString& value) {
  const QString line = key + u'=' + encodeValue(value);
  const Found found = find(section, key);
  if (found.keyLine >= 0) {
    m_lines[found.keyLine] = line;
    return;
  }
  if (found.sectionLine >= 0) {
    // After the section's last non-blank line, so the blank line before the next header stays.
    qsizetype at = found.endLine;
    while (at - 1 > found.sectionLine && m_lines[at - 1].trimmed().isEmpty()) --at;
    m_lines.insert(at, line);
    return;
  }
  if (!m_lines.isEmpty() && !m_lines.back().trimmed().isEmpty()) m_lines << QString();
  m_lines << u'[' + section + u']' << line;
}

QByteArray IniFile::toBytes() const {
  const QByteArray lineBreak = m_crlf ? "\r\n" : "\n";
  QByteArray bytes;
  for (const QString& line : m_lines) bytes += line.toUtf8() + lineBreak;
  return bytes;
}

bool IniFile::save(const QString& path) const {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  const QByteArray bytes = toBytes();
  // The device buffers small writes: flush here so that a failure (disk full, file size limit)
  // is seen before the rename, which would otherwise put a truncated file in place.
  if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
    file.cancelWriting();
    file.commit();  // discards the temporary file
    return false;
  }
  return file.commit();
}
