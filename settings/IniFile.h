// The ini files of the preferences: read whatever a user may have (UTF-8 or Windows-1252 bytes,
// CR LF or LF, keys and section names in any case, files written on Windows), write UTF-8, keep
// every line that is not ours, and replace the file in one step.
#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <QStringList>

class IniFile {
 public:
  IniFile() = default;

  // A missing file gives an empty document; one that exists but cannot be read (or is far too
  // large to be an ini file) gives an empty document marked unreadable, so that a save does
  // not replace it with ours.
  static IniFile load(const QString& path);
  // Each line is decoded as UTF-8 when it is valid UTF-8, else as Windows-1252.
  static IniFile parse(const QByteArray& bytes);

  bool unreadable() const { return m_unreadable; }
  bool hasSection(const QString& section) const;
  // The value of the first `key` of the first `section` (both matched without regard to case),
  // trimmed, one pair of enclosing quotes removed; nothing when the key is absent.
  std::optional<QString> value(const QString& section, const QString& key) const;

  // Replaces the value in place, or adds the key at the end of its section, or the section at the
  // end of the file. Line breaks inside `value` become blanks (a value is one line).
  void setValue(const QString& section, const QString& key, const QString& value);

  QByteArray toBytes() const;
  // Writes a temporary file beside `path`, syncs it and renames it over `path`: `path` holds
  // either the old or the new document, never a part. False on any failure.
  bool save(const QString& path) const;

 private:
  struct Found {
    qsizetype sectionLine = -1;  // header line of the section
    qsizetype endLine = -1;      // first line after the section
    qsizetype keyLine = -1;
  };
  Found find(const QString& section, const QString& key) const;

  QStringList m_lines;
  bool m_crlf = false;
  bool m_unreadable = false;
};

// Windows-1252 bytes to text (the five unassigned bytes map to the control characters of the
// same value, as Windows does).
QString decodeWindows1252(QByteArrayView bytes);
