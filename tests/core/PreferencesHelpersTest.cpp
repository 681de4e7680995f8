#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "settings/IniFile.h"
#include "settings/PSFunctions.h"

namespace {

void writeFile(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes);
}

// Sets an environment variable for the life of the guard.
class EnvGuard {
 public:
  EnvGuard(const char* name, const QByteArray& value)
      : m_name(name), m_wasSet(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name)) {
    qputenv(name, value);
  }
  ~EnvGuard() {
    if (m_wasSet)
      qputenv(m_name, m_old);
    else
      qunsetenv(m_name);
  }

 private:
  const char* m_name;
  bool m_wasSet;
  QByteArray m_old;
};

TEST(UnquoteTest, TrimsAndRemovesOnePairOfEnclosingQuotes) {
  const std::pair<const char*, const char*> cases[] = {
      {"  \"a b\"  ", "a b"}, {"\"", "\""},       {"\"\"", ""},
      {"\"a", "\"a"},         {"a\"", "a\""},      {"\"\"a\"\"", "\"a\""},
      {" plain ", "plain"},   {"\t\"/v/x y.avi\"\r\n", "/v/x y.avi"}, {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(Unquote(in), QString(out)) << in;
}

TEST(ExpandEnvVarsTest, ReplacesSetVariablesAndKeepsEverythingElseAsWritten) {
  EnvGuard a("PICTOREL_TEST_A", "alpha");
  EnvGuard empty("PICTOREL_TEST_EMPTY", "");
  qunsetenv("PICTOREL_TEST_UNSET");
  const std::pair<const char*, const char*> cases[] = {
      {"%PICTOREL_TEST_A%/x", "alpha/x"},
      {"%PICTOREL_TEST_A%%PICTOREL_TEST_A%", "alphaalpha"},
      {"[%PICTOREL_TEST_EMPTY%]", "[]"},
      {"%PICTOREL_TEST_UNSET%/x", "%PICTOREL_TEST_UNSET%/x"},
      {"%PICTOREL_TEST_UNSET%PICTOREL_TEST_A%", "%PICTOREL_TEST_UNSET%PICTOREL_TEST_A%"},
      {"100%", "100%"},
      {"a%%b", "a%%b"},
      {"%pictorel_test_a%", "%pictorel_test_a%"},  // names are case-sensitive here
      {"no variables", "no variables"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) EXPECT_EQ(ExpandEnvVars(in), QString(out)) << in;
}

TEST(ExpandEnvVarsTest, LongExpansionIsReturnedWhole) {
  const QByteArray longValue(3000, 'v');
  EnvGuard a("PICTOREL_TEST_LONG", longValue);
  EXPECT_EQ(ExpandEnvVars("/%PICTOREL_TEST_LONG%/end"), "/" + QString(longValue) + "/end");
}

TEST(DeleteFileForcedTest, DeletesReadOnlyFilesButNeverFoldersOrMissingFiles) {
  QTemporaryDir dir;
  const QString file = dir.filePath("locked.ini");
  writeFile(file, "x");
  QFile::setPermissions(file, QFile::ReadOwner);
  EXPECT_TRUE(DeleteFileForced(file));
  EXPECT_FALSE(QFile::exists(file));
  EXPECT_FALSE(DeleteFileForced(file)) << "already gone";

  const QString folder = dir.filePath("folder");
  QDir().mkpath(folder);
  EXPECT_FALSE(DeleteFileForced(folder));
  EXPECT_TRUE(QFileInfo(folder).isDir());
  EXPECT_FALSE(DeleteFileForced(QString()));
}

struct PicturesCase {
  const char* what;
  const char* userDirs;  // nullptr: no user-dirs.dirs file
  const char* home;
  const char* expected;  // "$H" stands for the home folder
};

TEST(PicturesFolderTest, DesktopPicturesFolderThenHomeThenRoot) {
  QTemporaryDir dir;
  const QString home = dir.filePath("home");
  const QString config = dir.filePath("config");
  const PicturesCase cases[] = {
      {"configured under home", "XDG_PICTURES_DIR=\"$HOME/Images\"\n", "$H", "$H/Images"},
      {"absolute", "# comment\nXDG_PICTURES_DIR=\"/data/pics/\"\n", "$H", "/data/pics"},
      {"escaped quote", "XDG_PICTURES_DIR=\"$HOME/My \\\"best\\\"\"\n", "$H", "$H/My \"best\""},
      {"turned off (home itself)", "XDG_PICTURES_DIR=\"$HOME/\"\n", "$H", "$H"},
      {"relative is invalid", "XDG_PICTURES_DIR=\"Pictures\"\n", "$H", "$H"},
      {"commented out", "#XDG_PICTURES_DIR=\"$HOME/Images\"\n", "$H", "$H"},
      {"other folders only", "XDG_MUSIC_DIR=\"$HOME/Music\"\n", "$H", "$H"},
      {"no closing quote", "XDG_PICTURES_DIR=\"$HOME/Images\n", "$H", "$H"},
      {"$HOMEX is not $HOME", "XDG_PICTURES_DIR=\"$HOMEX/a\"\n", "$H", "$H"},
      {"no file", nullptr, "$H", "$H"},
      {"no file, no home", nullptr, "", "/"},
  };
  for (const auto& c : cases) {
    QFile::remove(config + "/user-dirs.dirs");
    if (c.userDirs) writeFile(config + "/user-dirs.dirs", c.userDirs);
    const QString homeIn = QString(c.home).replace("$H", home);
    const QString expected = QString(c.expected).replace("$H", home);
    EXPECT_EQ(myPicturesFolderFrom(config, homeIn), expected) << c.what;
  }
}

TEST(PicturesFolderTest, ProcessLookupReadsHomeAndConfigFromTheEnvironment) {
  QTemporaryDir dir;
  EnvGuard home("HOME", dir.filePath("h").toUtf8());
  EnvGuard config("XDG_CONFIG_HOME", dir.filePath("c").toUtf8());
  writeFile(dir.filePath("c/user-dirs.dirs"), "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n");
  EXPECT_EQ(GetMyPicturesFolder(), dir.filePath("h/Bilder"));
  EXPECT_EQ(GetPersonalFolder(), dir.filePath("h"));
}

TEST(FolderTextTest, TrailingSlashIsAddedOnce) {
  EXPECT_EQ(withTrailingSlash("/pics"), "/pics/");
  EXPECT_EQ(withTrailingSlash("/pics/"), "/pics/");
  EXPECT_EQ(withTrailingSlash("/"), "/");
  EXPECT_EQ(withTrailingSlash(""), "");
}

const QString Section = QStringLiteral("\\Software\\Velmoran\\Pictorel");

TEST(IniFileTest, EachLineIsUtf8WhenValidElseWindows1252) {
  const IniFile ini = IniFile::parse(
      "\xEF\xBB\xBF[S]\n"
      "a=caf\xC3\xA9\n"          // UTF-8
      "b=caf\xE9 \x80 \x9C\n"    // Windows-1252: é, euro sign, œ
      "c=\xC3\n");               // a lone lead byte is not UTF-8
  EXPECT_EQ(ini.value("S", "a"), QStringLiteral("café"));
  EXPECT_EQ(ini.value("S", "b"), QStringLiteral("café € œ"));
  EXPECT_EQ(ini.value("S", "c"), QStringLiteral("Ã"));
  EXPECT_TRUE(ini.hasSection("s"));
}

TEST(IniFileTest, LookupFollowsWindowsRules) {
  const IniFile ini = IniFile::parse(
      "orphan=before any section\n"
      "[ S ]\n"
      "  Key  =  spaced value  \n"
      "dup=first\n"
      "dup=second\n"
      "quoted=\"  keep  \"\n"
      "single='x'\n"
      "mixed=\"x'\n"
      "; comment=not a key\n"
      "no equals sign\n"
      "[S]\n"
      "later=second section of the same name is not read\n"
      "[Other]\n"
      "k=other\n");
  EXPECT_EQ(ini.value("s", "KEY"), QStringLiteral("spaced value"));
  EXPECT_EQ(ini.value("S", "dup"), QStringLiteral("first"));
  EXPECT_EQ(ini.value("S", "quoted"), QStringLiteral("  keep  "));
  EXPECT_EQ(ini.value("S", "single"), QStringLiteral("x"));
  EXPECT_EQ(ini.value("S", "mixed"), QStringLiteral("\"x'"));
  EXPECT_EQ(ini.value("S", "comment"), std::nullopt);
  EXPECT_EQ(ini.value("S", "later"), std::nullopt);
  EXPECT_EQ(ini.value("S", "k"), std::nullopt);
  EXPECT_EQ(ini.value("Other", "k"), QStringLiteral("other"));
  EXPECT_EQ(ini.value("", "orphan"), std::nullopt);
}

TEST(IniFileTest, AccentedKeysMatchWhateverTheirCaseOrComposition) {
  // "é" written as "e" + combining acute accent, as some systems store it.
  const IniFile ini = IniFile::parse("[S]\nUTILISER NOM VIDE\xCC\x81O=0\n");
  EXPECT_EQ(ini.value("S", QStringLiteral("Utiliser nom vidéo")), QStringLiteral("0"));
  EXPECT_EQ(ini.value("S", QStringLiteral("Utiliser nom video")), std::nullopt);
}

TEST(IniFileTest, SetValueReplacesInPlaceAppendsInItsSectionOrAddsTheSection) {
  IniFile ini = IniFile::parse("[A]\nx=1\n\n[S]\nDup=first\ndup=second\n\n[B]\ny=2\n");
  ini.setValue("s", "DUP", "new");
  ini.setValue("S", "added", "v");
  ini.setValue("C", "z", "3");
  EXPECT_EQ(ini.toBytes(),
            "[A]\nx=1\n\n[S]\nDUP=new\ndup=second\nadded=v\n\n[B]\ny=2\n\n[C]\nz=3\n");

  IniFile empty;
  empty.setValue(Section, "k", "v");
  EXPECT_EQ(empty.toBytes(), "[\\Software\\Velmoran\\Pictorel]\nk=v\n");
}

TEST(IniFileTest, ValuesThatReadersWouldAlterRoundTrip) {
  const QString values[] = {" leading", "trailing ", "\"quoted\"", "'single'", "plain", "",
                            "a=b;c", "Été"};
  IniFile ini;
  int i = 0;
  for (const QString& v : values) ini.setValue("S", "k" + QString::number(i++), v);
  const IniFile back = IniFile::parse(ini.toBytes());
  i = 0;
  for (const QString& v : values)
    EXPECT_EQ(back.value("S", "k" + QString::number(i++)), v) << v.toStdString();
}

TEST(IniFileTest, LineBreaksInAValueCannotAddKeys) {
  IniFile ini;
  ini.setValue("S", "Racine", "a\r\nTop=99\nb");
  const IniFile back = IniFile::parse(ini.toBytes());
  EXPECT_EQ(back.value("S", "Top"), std::nullopt);
  EXPECT_EQ(back.value("S", "Racine"), QStringLiteral("a Top=99 b"));
}

TEST(IniFileTest, LineBreakStyleOfTheFileIsKept) {
  EXPECT_EQ(IniFile::parse("[S]\r\na=1\r\n").toBytes(), "[S]\r\na=1\r\n");
  EXPECT_EQ(IniFile::parse("[S]\na=1").toBytes(), "[S]\na=1\n");
}

TEST(IniFileTest, SaveReplacesTheFileAndLoadReadsItBack) {
  QTemporaryDir dir;
  const QString path = dir.filePath("Pictorel.ini");
  IniFile ini = IniFile::load(path);
  EXPECT_FALSE(ini.unreadable()) << "a missing file is an empty document";
  ini.setValue(Section, "Width", "800");
  ASSERT_TRUE(ini.save(path));
  ini.setValue(Section, "Width", "900");
  ASSERT_TRUE(ini.save(path));
  EXPECT_EQ(IniFile::load(path).value(Section, "width"), QStringLiteral("900"));
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Pictorel.ini"});
}

}  // namespace
