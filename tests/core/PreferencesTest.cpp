#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "settings/IniFile.h"
#include "settings/Preferences.h"
#include "tests/support/ScriptedDialogs.h"

// Readable failures: the settings as they would be saved.
void PrintTo(const TPrefs& p, std::ostream* os) {
  *os << "store " << int(p.PrefsStore) << ", window " << p.WindowLeft << "," << p.WindowTop << " "
      << p.WindowWidth << "x" << p.WindowHeight << ", folder \"" << p.PicturesFolder.toStdString()
      << "\", root \"" << p.Root.toStdString() << "\", quality " << p.JpegQuality << ", ...";
}

namespace {

const QSize Screen(1920, 1080);

// The three stores and the default pictures folder, all inside one temporary folder.
class PreferencesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(m_dir.isValid());
    where.programIni = path("program/Pictorel.ini");
    where.systemIni = path("etc/xdg/Pictorel.ini");
    where.userFile = path("config/Velmoran/Pictorel.conf");
    where.defaultPicturesFolder = path("home/Pictures");
    QDir().mkpath(path("program"));
    QDir().mkpath(path("etc/xdg"));
  }

  QString path(const QString& relative) const { return m_dir.filePath(relative); }

  static void write(const QString& file, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
  }
  static QByteArray read(const QString& file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  }
  static QByteArray section(const QByteArray& body) {
    return "[\\Software\\Velmoran\\Pictorel]\n" + body;
  }
  QStringList entries(const QString& folder) const {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
  }

  static SaveStamp stamp() {
    return {QStringLiteral("4.1.3"), QStringLiteral("/opt/pictorel/pictorel"),
            QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9))};
  }

  TPrefs loaded(QSize screen = Screen) const {
    TPrefs prefs;
    LoadPrefs(prefs, where, screen);
    return prefs;
  }

  PrefsLocations where;

 private:
  QTemporaryDir m_dir;
};

// A record whose every field differs from its default.
TPrefs unusualPrefs() {
  TPrefs p;
  p.WindowTop = -12;
  p.WindowLeft = 3000;
  p.WindowHeight = 600;
  p.WindowWidth = 800;
  p.SaveOnQuit = true;
  p.ImageExtension = 1;
  p.JpegQuality = 93;
  p.ImageRatio = 2;
  p.NameSuffixKind = 0;
  p.Root = QStringLiteral("Été à Nice");
  p.RootLength = 12;
  p.Digits = 6;
  p.SortShortcutsByName = false;
  p.ConfirmOverwrite = false;
  p.MuteSound = true;
  p.DeinterlacePictures = true;
  p.SoundVolume = 30;
  p.BeepOn = true;
  p.IntervalloValue = 250;
  p.IntervalloUnit = 2;
  p.UseVideoName = false;
  p.LimitLength = false;
  p.PictureAtLeft = false;
  return p;
}

TEST_F(PreferencesTest, FirstStartTakesEveryDefaultInACentredWindowAndCreatesThePicturesFolder) {
  // Whatever the record held before, a load without any store gives the defaults.
  TPrefs prefs = unusualPrefs();
  LoadPrefs(prefs, where, Screen);

  TPrefs expected;
  expected.PrefsStore = StoreRegistry;
  expected.WindowHeight = 541;
  expected.WindowWidth = 686;
  expected.WindowTop = (1080 - 541) / 2;
  expected.WindowLeft = (1920 - 686) / 2;
  expected.PicturesFolder = where.defaultPicturesFolder + "/";
  EXPECT_EQ(prefs, expected);
  EXPECT_EQ(prefs.Root, "Pictorel");
  EXPECT_TRUE(QFileInfo(where.defaultPicturesFolder).isDir());
  EXPECT_FALSE(QFile::exists(where.userFile)) << "loading never writes";
}

struct CentringCase {
  const char* what;
  QByteArray stored;
  QSize screen;
  int top, left;
};

TEST_F(PreferencesTest, MissingPositionCentresTheStoredSizeRoundingTowardZero) {
  const CentringCase cases[] = {
      {"stored height only", "Height=600\n", {1920, 1080}, 240, 617},
      {"stored size", "Height=601\nWidth=801\n", {1024, 768}, 83, 111},
      {"window larger than the screen", "", {600, 500}, -20, -43},
      {"stored position wins", "Top=5\nLeft=7\n", {1920, 1080}, 5, 7},
      {"huge stored size does not overflow", "Height=-2147483648\n", {100, 100}, 1073741874, -293},
  };
  for (const auto& c : cases) {
    write(where.userFile, section(c.stored));
    const TPrefs prefs = loaded(c.screen);
    EXPECT_EQ(prefs.WindowTop, c.top) << c.what;
    EXPECT_EQ(prefs.WindowLeft, c.left) << c.what;
  }
}

struct PrecedenceCase {
  bool program, system, user;
  uint8_t store;
  int width;
};

TEST_F(PreferencesTest, ProgramFolderIniBeatsSystemIniWhichBeatsTheUserFile) {
  const PrecedenceCase cases[] = {
      {true, true, true, StoreProgramIni, 301},  {true, false, false, StoreProgramIni, 301},
      {false, true, true, StoreSystemIni, 302},  {false, true, false, StoreSystemIni, 302},
      {false, false, true, StoreRegistry, 303},  {false, false, false, StoreRegistry, 686},
  };
  for (const auto& c : cases) {
    QFile::remove(where.programIni);
    QFile::remove(where.systemIni);
    QFile::remove(where.userFile);
    if (c.program) write(where.programIni, section("Width=301\n"));
    if (c.system) write(where.systemIni, section("Width=302\n"));
    if (c.user) write(where.userFile, section("Width=303\n"));
    const TPrefs prefs = loaded();
    EXPECT_EQ(prefs.PrefsStore, c.store) << c.program << c.system << c.user;
    EXPECT_EQ(prefs.WindowWidth, c.width) << c.program << c.system << c.user;
  }
}

TEST_F(PreferencesTest, IniWithoutOurSectionIsStillTheStoreAndGivesDefaults) {
  write(where.programIni, "[Other]\nWidth=999\n");
  write(where.userFile, section("Width=303\n"));
  const TPrefs prefs = loaded();
  EXPECT_EQ(prefs.PrefsStore, StoreProgramIni);
  EXPECT_EQ(prefs.WindowWidth, 686);
}

TEST_F(PreferencesTest, FolderNamedLikeAnIniFileIsNotAStore) {
  QDir().mkpath(where.programIni);
  EXPECT_EQ(loaded().PrefsStore, StoreRegistry);
}

struct ValueCase {
  const char* line;
  std::function<bool(const TPrefs&)> check;
};

TEST_F(PreferencesTest, UnparsableOrMissingValuesTakeTheirDefaultsAndNothingIsRangeChecked) {
  const ValueCase cases[] = {
      {"Nb de Digits=abc", [](const TPrefs& p) { return p.Digits == 4; }},
      {"Nb de Digits=", [](const TPrefs& p) { return p.Digits == 4; }},
      {"Volume= 70 ", [](const TPrefs& p) { return p.SoundVolume == 70; }},
      {"Volume=99999999999", [](const TPrefs& p) { return p.SoundVolume == 100; }},
      {"Mute=yes", [](const TPrefs& p) { return !p.MuteSound; }},
      {"Mute=2", [](const TPrefs& p) { return p.MuteSound; }},
      {"Confirmer Delete=0", [](const TPrefs& p) { return !p.ConfirmOverwrite; }},
      {"Tri des raccourcis par nom=junk", [](const TPrefs& p) { return p.SortShortcutsByName; }},
      {"Qualité de la compression Jpeg=250", [](const TPrefs& p) { return p.JpegQuality == 250; }},
      {"Intervallo Unit=-7", [](const TPrefs& p) { return p.IntervalloUnit == -7; }},
      {"Racine=", [](const TPrefs& p) { return p.Root.isEmpty(); }},
      {"Width=12abc", [](const TPrefs& p) { return p.WindowWidth == 686; }},
  };
  for (const auto& c : cases) {
    write(where.userFile, section(QByteArray(c.line) + "\n"));
    EXPECT_TRUE(c.check(loaded())) << c.line;
  }
}

TEST_F(PreferencesTest, StoredPicturesFolderGetsItsSlashAndIsCreatedWithItsParents) {
  const QString folder = path("deep/er/pics");
  write(where.userFile, section("Dossier Images=" + folder.toUtf8() + "\n"));
  EXPECT_EQ(loaded().PicturesFolder, folder + "/");
  EXPECT_TRUE(QFileInfo(folder).isDir());

  // An empty stored folder would put every picture at the root of the file system.
  write(where.userFile, section("Dossier Images=\n"));
  EXPECT_EQ(loaded().PicturesFolder, where.defaultPicturesFolder + "/");
}

TEST_F(PreferencesTest, EveryFieldSurvivesASaveAndALoad) {
  TPrefs saved = unusualPrefs();
  saved.PrefsStore = StoreRegistry;
  saved.PicturesFolder = path("pictures") + "/";
  ASSERT_TRUE(SavePrefs(saved, where, stamp()));
  EXPECT_EQ(loaded(), saved);

  // Values a reader would trim or unquote come back as they were.
  saved.Root = QStringLiteral(" \"quoted\" ");
  ASSERT_TRUE(SavePrefs(saved, where, stamp()));
  EXPECT_EQ(loaded().Root, saved.Root);
}

TEST_F(PreferencesTest, SaveWritesTheStampThenTheFieldsAsDecimalTextAndBooleansAsZeroOrOne) {
  TPrefs prefs = unusualPrefs();
  prefs.PrefsStore = StoreProgramIni;
  prefs.PicturesFolder = QStringLiteral("/pics/");
  ASSERT_TRUE(SavePrefs(prefs, where, stamp()));
  const QStringList lines =
      QString::fromUtf8(read(where.programIni)).split('\n', Qt::SkipEmptyParts);
  const QStringList expected = {
      "[\\Software\\Velmoran\\Pictorel]",
      "Version=Pictorel 4.1.3 En by Velmoran",
      "Dernière Sauvegarde=2024/03/05 07:08:09",
      "Exename=/opt/pictorel/pictorel",
      "Top=-12",
      "Left=3000",
      "Height=600",
      "Width=800",
      "Sauver préférences en quittant=1",
      "Extension de l'image=1",
      "Qualité de la compression Jpeg=93",
      "Ratio de l'image=2",
      "Ajouter au nom de l'image=0",
      "Racine=Été à Nice",
      "Longueur de Racine=12",
      "Nb de Digits=6",
      "Tri des raccourcis par nom=0",
      "Confirmer Delete=0",
      "Mute=1",
      "Deinterlace=1",
      "Volume=30",
      "Beep=1",
      "Dossier Images=/pics/",
      "Intervallo Value=250",
      "Intervallo Unit=2",
      "Utiliser nom vidéo=0",
      "Limiter longueur=0",
      "Imagette Gauche=0",
  };
  EXPECT_EQ(lines, expected);
}

TEST_F(PreferencesTest, SaveBeforeAnyLoadWritesNothing) {
  TPrefs prefs;
  ASSERT_EQ(prefs.PrefsStore, StoreNone);
  EXPECT_FALSE(SavePrefs(prefs, where, stamp()));
  EXPECT_FALSE(QFile::exists(where.userFile));
  EXPECT_FALSE(QFile::exists(where.systemIni));
  EXPECT_FALSE(QFile::exists(where.programIni));
}

TEST_F(PreferencesTest, WindowsWrittenIniIsReadAndItsOtherContentSurvivesASave) {
  const QByteArray windows =
      "; written on Windows\r\n"
      "[Other]\r\n"
      "Keep=this\r\n"
      "\r\n"
      "[\\SOFTWARE\\velmoran\\PICTOREL]\r\n"
      "Version=Pictorel 4.1.3 En by Velmoran\r\n"
      "sauver pr\xE9""f\xE9""rences en quittant=1\r\n"
      "QUALIT\xC9 DE LA COMPRESSION JPEG=85\r\n"
      "utiliser NOM VID\xC9O=0\r\n"
      "Racine=Vacances \xE0 No\xEBl\r\n"
      "HEIGHT=600\r\n"
      "Unrelated=value\r\n"
      "\r\n"
      "[Tail]\r\n"
      "Last=one\r\n";
  write(where.programIni, windows);

  TPrefs prefs = loaded();
  EXPECT_EQ(prefs.PrefsStore, StoreProgramIni);
  EXPECT_TRUE(prefs.SaveOnQuit);
  EXPECT_EQ(prefs.JpegQuality, 85);
  EXPECT_FALSE(prefs.UseVideoName);
  EXPECT_EQ(prefs.Root, QStringLiteral("Vacances à Noël"));
  EXPECT_EQ(prefs.WindowHeight, 600);

  prefs.JpegQuality = 60;
  ASSERT_TRUE(SavePrefs(prefs, where, stamp()));
  const QByteArray bytes = read(where.programIni);
  const QString text = QString::fromUtf8(bytes);
  EXPECT_EQ(text.toUtf8(), bytes) << "written as UTF-8";
  EXPECT_EQ(bytes.count("\r\n"), bytes.count("\n")) << "line breaks kept as CR LF";
  EXPECT_TRUE(text.contains("[Other]\r\nKeep=this\r\n"));
  EXPECT_TRUE(text.contains("Unrelated=value\r\n"));
  EXPECT_TRUE(text.contains("[Tail]\r\nLast=one\r\n"));
  EXPECT_TRUE(text.startsWith("; written on Windows\r\n"));
  EXPECT_EQ(text.count("compression jpeg", Qt::CaseInsensitive), 1) << "replaced, not added";
  EXPECT_EQ(text.count("[\\Software\\Velmoran\\Pictorel]", Qt::CaseInsensitive), 1);
  // Our keys stay in our section: nothing of ours after the next header.
  EXPECT_FALSE(text.mid(text.indexOf("[Tail]")).contains("Imagette"));

  const TPrefs again = loaded();
  EXPECT_EQ(again, prefs);
}

TEST_F(PreferencesTest, FailedWriteLeavesTheExistingFileAsItWas) {
  const QByteArray before = section("Width=800\nUnrelated=keep me\n");
  write(where.programIni, before);
  TPrefs prefs = loaded();
  prefs.Root = QString(400, 'x');  // the new file is larger than the limit below

  struct rlimit previous;
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
  const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = previous;
  small.rlim_cur = 200;
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = SavePrefs(prefs, where, stamp());
  ::setrlimit(RLIMIT_FSIZE, &previous);
  ::signal(SIGXFSZ, previousHandler);

  EXPECT_FALSE(saved);
  EXPECT_EQ(read(where.programIni).toStdString(), before.toStdString());
  EXPECT_EQ(entries(path("program")), QStringList{"Pictorel.ini"}) << "no temporary file left";
}

TEST_F(PreferencesTest, SaveFailsQuietlyWhenTheStoreFolderCannotExist) {
  write(path("blocker"), "a file, not a folder");
  where.userFile = path("blocker/Velmoran/Pictorel.conf");
  TPrefs prefs;
  prefs.PrefsStore = StoreRegistry;
  EXPECT_FALSE(SavePrefs(prefs, where, stamp()));
  EXPECT_EQ(read(path("blocker")), "a file, not a folder");
}

TEST_F(PreferencesTest, FileTooLargeToReadIsNeverReplaced) {
  {
    QFile f(where.programIni);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_TRUE(f.resize(17 * 1024 * 1024));  // sparse: costs nothing
  }
  TPrefs prefs = loaded();
  EXPECT_EQ(prefs.PrefsStore, StoreProgramIni);
  EXPECT_EQ(prefs.WindowWidth, 686);
  EXPECT_FALSE(SavePrefs(prefs, where, stamp()));
  EXPECT_EQ(QFileInfo(where.programIni).size(), 17 * 1024 * 1024);
}

TEST_F(PreferencesTest, SaveCreatesTheUserFileAndItsFolder) {
  TPrefs prefs = loaded();
  ASSERT_EQ(prefs.PrefsStore, StoreRegistry);
  ASSERT_TRUE(SavePrefs(prefs, where, stamp()));
  EXPECT_TRUE(QFileInfo(where.userFile).isFile());
  EXPECT_EQ(loaded(), prefs);
}

struct SelectCase {
  int index;
  uint8_t store;
  bool programLeft, systemLeft;
};

TEST_F(PreferencesTest, ChoosingAStoreDeletesTheIniFilesThatWouldHideIt) {
  const SelectCase cases[] = {
      {0, StoreRegistry, false, false},
      {1, StoreSystemIni, false, true},
      {2, StoreProgramIni, true, true},
      {-1, StoreNone, true, true},  // no item selected: nothing happens
      {3, StoreNone, true, true},
  };
  for (const auto& c : cases) {
    write(where.programIni, section("Width=301\n"));
    write(where.systemIni, section("Width=302\n"));
    write(where.userFile, section("Width=303\n"));
    QFile::setPermissions(where.programIni, QFile::ReadOwner);  // read-only files go all the same
    TPrefs prefs;
    SelectPrefsStore(prefs, c.index, where);
    EXPECT_EQ(prefs.PrefsStore, c.store) << c.index;
    EXPECT_EQ(QFile::exists(where.programIni), c.programLeft) << c.index;
    EXPECT_EQ(QFile::exists(where.systemIni), c.systemLeft) << c.index;
    EXPECT_TRUE(QFile::exists(where.userFile)) << c.index;
    EXPECT_EQ(read(where.userFile), section("Width=303\n")) << "nothing written yet";
  }
}

TEST_F(PreferencesTest, ChosenProgramFolderIniIsCreatedAtTheNextSaveAndWinsFromThen) {
  TPrefs prefs = loaded();
  SelectPrefsStore(prefs, 2, where);
  EXPECT_FALSE(QFile::exists(where.programIni));
  prefs.WindowWidth = 777;
  ASSERT_TRUE(SavePrefs(prefs, where, stamp()));
  const TPrefs next = loaded();
  EXPECT_EQ(next.PrefsStore, StoreProgramIni);
  EXPECT_EQ(next.WindowWidth, 777);
}

const QString DeleteQuestion =
    "Do you really want to delete all the preferences of Pictorel\r\nfrom your system?";
const QString Erased = "Pictorel has been completely erased from your system.";
const QString NotFound = "The preferences of Pictorel were not found on your system.";

TEST_F(PreferencesTest, DeleteAnsweredNoOrClosedDeletesNothing) {
  for (const bool closed : {false, true}) {
    write(where.programIni, section(""));
    write(where.userFile, section(""));
    ScriptedDialogs dialogs;
    if (!closed) dialogs.answers = {DialogButton::No};
    DeletePrefs(where, dialogs);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, ScriptedDialogs::Kind::Ask);
    EXPECT_EQ(dialogs.shown[0].text, DeleteQuestion);
    EXPECT_EQ(dialogs.shown[0].buttons,
              (std::vector<DialogButton>{DialogButton::Yes, DialogButton::No}));
    EXPECT_TRUE(QFile::exists(where.programIni));
    EXPECT_TRUE(QFile::exists(where.userFile));
  }
}

TEST_F(PreferencesTest, DeleteRemovesTheUserFileAndTheEmptyMakerFolderThenReportsSuccess) {
  write(where.userFile, section("Width=303\n"));
  ScriptedDialogs dialogs;
  dialogs.answers = {DialogButton::Yes};
  DeletePrefs(where, dialogs);
  EXPECT_FALSE(QFile::exists(where.userFile));
  EXPECT_FALSE(QFileInfo::exists(where.makerFolder()));
  EXPECT_TRUE(QFileInfo(path("config")).isDir()) << "only the maker's folder goes";
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].kind, ScriptedDialogs::Kind::Inform);
  EXPECT_EQ(dialogs.shown[1].text, Erased);
}

TEST_F(PreferencesTest, DeleteRemovesEveryStoreButKeepsAMakerFolderThatHoldsOtherFiles) {
  write(where.programIni, section(""));
  write(where.systemIni, section(""));
  write(where.userFile, section(""));
  write(where.makerFolder() + "/Other.conf", "other program");
  QFile::setPermissions(where.systemIni, QFile::ReadOwner);
  ScriptedDialogs dialogs;
  dialogs.answers = {DialogButton::Yes};
  DeletePrefs(where, dialogs);
  EXPECT_FALSE(QFile::exists(where.programIni));
  EXPECT_FALSE(QFile::exists(where.systemIni));
  EXPECT_FALSE(QFile::exists(where.userFile));
  EXPECT_EQ(entries(where.makerFolder()), QStringList{"Other.conf"});
  EXPECT_EQ(dialogs.texts(), (QStringList{DeleteQuestion, Erased}));
}

TEST_F(PreferencesTest, DeleteWithNothingStoredWarnsThatNothingWasFound) {
  ScriptedDialogs dialogs;
  dialogs.answers = {DialogButton::Yes};
  DeletePrefs(where, dialogs);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].kind, ScriptedDialogs::Kind::Ask);
  EXPECT_EQ(dialogs.shown[1].text, NotFound);
  EXPECT_EQ(dialogs.shown[1].buttons, std::vector<DialogButton>{DialogButton::Ok});
  EXPECT_TRUE(dialogs.scriptUsedUp());
}

struct QuitCase {
  bool saveOnQuit;
  std::optional<DialogButton> answer;  // nothing: no question expected
  QuitSaving result;
};

TEST_F(PreferencesTest, ClosingAsksUnlessSaveOnQuitAndMapsTheAnswers) {
  const QString question =
      "Do you want to save the preferences of Pictorel to find them again at next start?\r\n\r\n"
      "If you answer \"All\", then Pictorel will save them automatically when quitting.";
  const QuitCase cases[] = {
      {true, std::nullopt, QuitSaving::Save},
      {false, DialogButton::Yes, QuitSaving::Save},
      {false, DialogButton::No, QuitSaving::DontSave},
      {false, DialogButton::All, QuitSaving::SaveAndSaveOnQuit},
  };
  for (const auto& c : cases) {
    ScriptedDialogs dialogs;
    if (c.answer) dialogs.answers = {*c.answer};
    EXPECT_EQ(QuitPrompt(c.saveOnQuit, dialogs), c.result);
    if (!c.answer) {
      EXPECT_TRUE(dialogs.shown.empty());
      continue;
    }
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].text, question);
    EXPECT_EQ(dialogs.shown[0].buttons,
              (std::vector<DialogButton>{DialogButton::Yes, DialogButton::No, DialogButton::All}));
  }
}

TEST_F(PreferencesTest, AnsweringAllSavesSaveOnQuitSoTheNextCloseDoesNotAsk) {
  TPrefs prefs = loaded();
  ScriptedDialogs dialogs;
  dialogs.answers = {DialogButton::All};
  ASSERT_EQ(QuitPrompt(prefs.SaveOnQuit, dialogs), QuitSaving::SaveAndSaveOnQuit);
  prefs.SaveOnQuit = true;  // the window ticks its box
  ASSERT_TRUE(SavePrefs(prefs, where, stamp()));
  const QString text = QString::fromUtf8(read(where.userFile));
  EXPECT_TRUE(text.contains("Sauver préférences en quittant=1"));

  const TPrefs next = loaded();
  ScriptedDialogs nextDialogs;
  EXPECT_EQ(QuitPrompt(next.SaveOnQuit, nextDialogs), QuitSaving::Save);
  EXPECT_TRUE(nextDialogs.shown.empty());
}

}  // namespace
