// Command lines and command-list files: the argument forms, the line splitting with quotes,
// nested files, and the wildcard file search of the F command.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "settings/params.h"

namespace {

TparamObject cmd(char16_t prefix, char16_t letter, const QString& argument = QString()) {
  return {QChar(prefix), QChar(letter), argument};
}

TparamList parseTokens(const QStringList& tokens) {
  TparamList list;
  TCommandListBuilder builder(list);
  for (const QString& token : tokens) builder.ParseToken(token);
  return list;
}

TparamList parseLine(const QString& line) {
  TparamList list;
  TCommandListBuilder(list).ParseCommandLineText(line);
  return list;
}

std::string show(const TparamList& list) {
  std::string out;
  for (const TparamObject& c : list)
    out += "[" + QString(c.Prefix).toStdString() + QString(c.Letter).toStdString() + "=" +
           c.Argument.toStdString() + "]";
  return out;
}

class ParamsFiles : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
  QString write(const QString& name, const QByteArray& text) {
    const QString file = m_dir.filePath(name);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    EXPECT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text);
    return file;
  }
  QTemporaryDir m_dir;
};

}  // namespace

TEST(ParamsToken, AcceptsOnlyPrefixLetterOrPrefixLetterEqualsText) {
  struct Case {
    const char* token;
    TparamList expected;
  };
  const Case cases[] = {
      {"/G", {cmd(u'/', u'G')}},
      {"/g", {cmd(u'/', u'G')}},  // letters are upper-cased
      {"+c", {cmd(u'+', u'C')}},
      {"-Z", {cmd(u'-', u'Z')}},
      {"/X=4x3", {cmd(u'/', u'X', "4x3")}},
      {"/J=", {cmd(u'/', u'J', "")}},                  // "=" with nothing after it
      {"/S=a=b", {cmd(u'/', u'S', "a=b")}},            // only the first "=" separates
      {"/+", {cmd(u'/', u'+')}},                       // the next-file command
      {"/é", {cmd(u'/', u'é')}},                       // not one of a..z: kept as written
      {"  /Q  ", {cmd(u'/', u'Q')}},                   // blanks around go
      {"\"/R=my root\"", {cmd(u'/', u'R', "my root")}},  // one pair of quotes goes
      {"G", {}},        // no prefix
      {"/", {}},        // a single character
      {"/GB", {}},      // third character not "="
      {"*G", {}},       // not a prefix
      {"=G=1", {}},
      {"", {}},
      {"--gtest_filter=x", {}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(show(parseTokens({QString::fromUtf8(c.token)})), show(c.expected)) << c.token;
}

TEST(ParamsLine, SplitsOnSpacesOnlyAndDropsQuotesWhereverTheyStand) {
  struct Case {
    const char* line;
    TparamList expected;
  };
  const Case cases[] = {
      {"/G /B", {cmd(u'/', u'G'), cmd(u'/', u'B')}},
      {"   /G     /B   ", {cmd(u'/', u'G'), cmd(u'/', u'B')}},
      // The folder with a space, quoted as a whole or only around the value.
      {"\"/S=/tmp/my pictures\" /G", {cmd(u'/', u'S', "/tmp/my pictures"), cmd(u'/', u'G')}},
      {"/S=\"/tmp/my pictures\" /G", {cmd(u'/', u'S', "/tmp/my pictures"), cmd(u'/', u'G')}},
      // Without quotes the space splits, and the second half is no command.
      {"/S=/tmp/my pictures", {cmd(u'/', u'S', "/tmp/my")}},
      // A tab does not separate: one argument, malformed, ignored.
      {"/G\t/B", {}},
      {"\t/G\t", {cmd(u'/', u'G')}},  // but tabs around an argument are trimmed
      {"", {}},
      {"     ", {}},
      {"\x01\x02 /Q \x03", {cmd(u'/', u'Q')}},
      {"/P=0:00:10:00 hello /Q", {cmd(u'/', u'P', "0:00:10:00"), cmd(u'/', u'Q')}},
      {"/R=\"\"", {cmd(u'/', u'R', "")}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(show(parseLine(QString::fromUtf8(c.line))), show(c.expected)) << c.line;
}

TEST(ParamsLine, NextTokenConsumesTheEndingSpaceOnly) {
  QString rest = QStringLiteral("/a\"b c\"d  /e");
  EXPECT_EQ(NextToken(rest), "/ab cd");
  EXPECT_EQ(rest, " /e");
  EXPECT_EQ(NextToken(rest), "");
  EXPECT_EQ(rest, "/e");
  EXPECT_EQ(NextToken(rest), "/e");
  EXPECT_TRUE(rest.isEmpty());
}

TEST_F(ParamsFiles, NestedFileIsReadInPlaceBeforeTheRestOfTheFirst) {
  write("other.txt", "/B\n/J=80\n");
  const QString first = write("first.txt", "/G /L=" + m_dir.filePath("other.txt").toUtf8() +
                                               " /T\r\n\r\n/Q\n");
  EXPECT_EQ(show(NewCommandListFromFile(first)),
            show({cmd(u'/', u'G'), cmd(u'/', u'B'), cmd(u'/', u'J', "80"), cmd(u'/', u'T'),
                  cmd(u'/', u'Q')}));
}

TEST_F(ParamsFiles, RelativeNameIsFoundBesideTheFileThatNamesIt) {
  write("lists/inner.txt", "/B");
  const QString outer = write("lists/outer.txt", "/L=inner.txt /Q");
  EXPECT_EQ(show(NewCommandListFromFile(outer)), show({cmd(u'/', u'B'), cmd(u'/', u'Q')}));
}

TEST_F(ParamsFiles, SelfAndMutualInclusionEnd) {
  const QString self = m_dir.filePath("self.txt");
  write("self.txt", "/G /L=" + self.toUtf8() + " /B");
  EXPECT_EQ(show(NewCommandListFromFile(self)), show({cmd(u'/', u'G'), cmd(u'/', u'B')}));

  write("a.txt", "/A /L=b.txt");
  write("b.txt", "/B /L=a.txt");
  EXPECT_EQ(show(NewCommandListFromFile(m_dir.filePath("a.txt"))),
            show({cmd(u'/', u'A'), cmd(u'/', u'B')}));
}

TEST_F(ParamsFiles, SameFileTwiceInOneListIsReadTwice) {
  write("g.txt", "/G");
  const QString main = write("main.txt", "/L=g.txt /L=g.txt");
  EXPECT_EQ(show(NewCommandListFromFile(main)), show({cmd(u'/', u'G'), cmd(u'/', u'G')}));
}

TEST_F(ParamsFiles, DeepChainStopsAtTheDepthLimit) {
  const int files = MaxCommandFileDepth + 5;
  for (int i = 0; i < files; ++i)
    write(QString("f%1.txt").arg(i), QString("/G /L=f%1.txt").arg(i + 1).toUtf8());
  EXPECT_EQ(NewCommandListFromFile(m_dir.filePath("f0.txt")).size(), size_t(MaxCommandFileDepth));
}

TEST_F(ParamsFiles, MissingFolderOrHugeFileAddsNothing) {
  EXPECT_TRUE(NewCommandListFromFile(m_dir.filePath("missing.txt")).empty());
  EXPECT_TRUE(NewCommandListFromFile(m_dir.path()).empty());
  EXPECT_TRUE(NewCommandListFromFile("/dev/zero").empty());
  EXPECT_TRUE(NewCommandListFromFile(QString()).empty());
  QByteArray big(MaxCommandFileBytes + 10, ' ');
  big.prepend("/G ");
  EXPECT_TRUE(NewCommandListFromFile(write("big.txt", big)).empty());
}

TEST_F(ParamsFiles, WindowsLinesAndBytesAreRead) {
  // Windows-1252 "é" (0xE9) is not UTF-8; CR, CR LF and LF all end lines.
  const QString file = write("win.txt", "/R=caf\xe9\r/G\r\n/S=\"/tmp/d\xc3\xa9j\xc3\xa0 vu\"\n");
  EXPECT_EQ(show(NewCommandListFromFile(file)),
            show({cmd(u'/', u'R', QString::fromUtf8("café")), cmd(u'/', u'G'),
                  cmd(u'/', u'S', QString::fromUtf8("/tmp/déjà vu"))}));
}

TEST_F(ParamsFiles, CommandLineReadsFilesAndTurnsBareFileNamesIntoLoads) {
  const QString list = write("list.txt", "/G");
  const QString video = write("clip one.avi", "x");
  const TparamList parsed = ParseCommandLine(
      {"/X=4x3", "/L=" + list, video, m_dir.filePath("nothing.avi"), "/gx", "/Q"});
  EXPECT_EQ(show(parsed), show({cmd(u'/', u'X', "4x3"), cmd(u'/', u'G'),
                                TparamObject{OpenFilePrefix, u'F', video}, cmd(u'/', u'Q')}));
}

TEST(ParamsWildcard, MatchesStarAndQuestionMarkWithoutRegardToCase) {
  struct Case {
    const char* pattern;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"*.avi", "clip.avi", true},     {"*.avi", "CLIP.AVI", true},
      {"*.avi", "clip.avi.txt", false}, {"*.avi", ".avi", true},
      {"clip?.mp4", "clip1.mp4", true}, {"clip?.mp4", "clip12.mp4", false},
      {"clip?.mp4", "clip.mp4", false}, {"*", "anything", true},
      {"a*b*c", "aXXbYYc", true},       {"a*b*c", "aXXbYY", false},
      {"*ab", "aab", true},             {"**x", "x", true},
      {"[ab].avi", "a.avi", false},     {"[ab].avi", "[AB].avi", true},  // brackets are plain
      {"é*", "Été", true},              {"", "", true},
      {"", "a", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WildcardMatch(QString::fromUtf8(c.pattern), QString::fromUtf8(c.name)), c.match)
        << c.pattern << " / " << c.name;
}

TEST_F(ParamsFiles, SearchGivesOrdinaryMatchingFilesInCaseInsensitiveNameOrder) {
  for (const char* name : {"b.avi", "A.AVI", "c.mp4", ".hidden.avi", "C.avi"}) write(name, "x");
  QDir(m_dir.path()).mkdir("folder.avi");
  const QString folder = m_dir.path() + "/";

  TFileSearch search;
  QStringList found;
  for (QString file = search.FindFirst(folder + "*.avi"); !file.isEmpty(); file = search.FindNext())
    found << file;
  EXPECT_EQ(found, QStringList({folder + "A.AVI", folder + "b.avi", folder + "C.avi"}));
  EXPECT_FALSE(search.IsOpen());
  EXPECT_TRUE(search.FindNext().isEmpty());

  // The folder is read when the search starts: a picture saved meanwhile is not a new match.
  EXPECT_EQ(search.FindFirst(folder + "?.avi"), folder + "A.AVI");
  write("0.avi", "x");
  EXPECT_EQ(search.FindNext(), folder + "b.avi");
  EXPECT_EQ(search.FindNext(), folder + "C.avi");
  EXPECT_TRUE(search.FindNext().isEmpty());

  EXPECT_TRUE(search.FindFirst(folder + "*.mkv").isEmpty());
  EXPECT_TRUE(search.FindFirst(folder).isEmpty());
  EXPECT_TRUE(search.FindFirst(m_dir.filePath("no such folder/*.avi")).isEmpty());
}
