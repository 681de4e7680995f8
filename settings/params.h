// Command lines and command lists: one-letter commands such as /F=*.avi, -C or /P=0:00:10:00,
// given on the program's command line or in text files whose lines are written the same way.
// Parsing is plain text work; the main window runs the resulting list.
#pragma once

#include <memory>
#include <vector>
#include <QChar>
#include <QString>
#include <QStringList>

// One command: its prefix ("+", "-" or "/"), its letter (upper case for "a".."z"; any other
// character as written) and the text after "=" (empty without one).
struct TparamObject {
  QChar Prefix;
  QChar Letter;
  QString Argument;

  bool operator==(const TparamObject&) const = default;
};

// A file named on the command line without a command form ("Open with"): the window loads that
// exact file. Carried as Letter "F" with this prefix, which no command form can produce.
inline constexpr QChar OpenFilePrefix = QChar(0);

// The commands in their order.
using TparamList = std::vector<TparamObject>;

// Command-list files name others through "L"; reading stops this deep, and a file already being
// read further up the chain is not read again, so a file that names itself ends.
inline constexpr int MaxCommandFileDepth = 16;
// A command list is a few lines of text; anything larger is not one and is ignored.
inline constexpr qint64 MaxCommandFileBytes = 4 * 1024 * 1024;

// Fills one list from command-line arguments, tokens and command files.
class TCommandListBuilder {
 public:
  explicit TCommandListBuilder(TparamList& list) : m_list(list) {}

  // One argument. Unquoted, then: prefix + letter, or prefix + letter + "=" + text; anything
  // else is ignored. "L" reads the named command file in place instead of adding a command.
  void ParseToken(const QString& text);
  // Reads the file's lines in order as command-line text. A missing or unreadable file, a
  // folder, or a file too large adds nothing. Relative names are looked up in the working
  // folder, then in the folder of the command file that names them.
  void LoadCommandFile(const QString& name);
  // One line of a command file: arguments separated by spaces (not tabs); double quotes make
  // spaces part of an argument and are dropped.
  void ParseCommandLineText(const QString& line);

 private:
  TparamList& m_list;
  QStringList m_openFiles;  // the command files being read, outermost first (canonical paths)
};

// Cuts the next argument off the front of `rest` (see ParseCommandLineText) and returns it;
// `rest` keeps what follows the space that ended it.
QString NextToken(QString& rest);

// The program's arguments (without the program's own name), as the shell split them. An
// argument that is no command but names an existing file becomes an open-file command.
TparamList ParseCommandLine(const QStringList& arguments);
// The commands of one command file (nothing when it is missing).
TparamList NewCommandListFromFile(const QString& name);

// Case-insensitive match of a file name against a pattern where "*" stands for any run of
// characters and "?" for exactly one; every other character stands for itself.
bool WildcardMatch(const QString& pattern, const QString& name);

// The file search of the F command: the ordinary files (no folders, devices or hidden files,
// whose names start with ".") of the pattern's folder whose names match its last part, in
// case-insensitive name order. The folder's contents are read once, when the search starts, so
// pictures saved meanwhile into the same folder are not picked up as new matches.
class TFileSearch {
 public:
  // Starts a search; the first match (full path: the pattern's folder part + the name), or empty.
  QString FindFirst(const QString& pattern);
  // The next match of the search, or empty (the search is then closed).
  QString FindNext();
  void Close();
  bool IsOpen() const { return m_open; }

 private:
  QStringList m_matches;
  qsizetype m_next = 0;
  bool m_open = false;
};
