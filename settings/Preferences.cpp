#include "settings/Preferences.h"

#include <algorithm>
#include <climits>
#include <variant>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include "resources/restext.h"
#include "settings/Dialogs.h"
#include "settings/IniFile.h"
#include "settings/PSFunctions.h"

TPrefs Prefs;

namespace {

using Field = std::variant<int TPrefs::*, bool TPrefs::*, QString TPrefs::*>;

struct KeyField {
  QStringView key;
  Field field;
};

// The window's keys come first and are handled apart: their order differs between reading
// and writing, and the position's default depends on the size.
constexpr QStringView KeyTop = u"Top";
constexpr QStringView KeyLeft = u"Left";
constexpr QStringView KeyHeight = u"Height";
constexpr QStringView KeyWidth = u"Width";
constexpr QStringView KeyPicturesFolder = u"Dossier Images";

// Every other field, in the order it is read and written.
const KeyField Fields[] = {
    {u"Sauver préférences en quittant", &TPrefs::SaveOnQuit},
    {u"Extension de l'image", &TPrefs::ImageExtension},
    {u"Qualité de la compression Jpeg", &TPrefs::JpegQuality},
    {u"Ratio de l'image", &TPrefs::ImageRatio},
    {u"Ajouter au nom de l'image", &TPrefs::NameSuffixKind},
    {u"Racine", &TPrefs::Root},
    {u"Longueur de Racine", &TPrefs::RootLength},
    {u"Nb de Digits", &TPrefs::Digits},
    {u"Tri des raccourcis par nom", &TPrefs::SortShortcutsByName},
    {u"Confirmer Delete", &TPrefs::ConfirmOverwrite},
    {u"Mute", &TPrefs::MuteSound},
    {u"Deinterlace", &TPrefs::DeinterlacePictures},
    {u"Volume", &TPrefs::SoundVolume},
    {u"Beep", &TPrefs::BeepOn},
    {KeyPicturesFolder, &TPrefs::PicturesFolder},
    {u"Intervallo Value", &TPrefs::IntervalloValue},
    {u"Intervallo Unit", &TPrefs::IntervalloUnit},
    {u"Utiliser nom vidéo", &TPrefs::UseVideoName},
    {u"Limiter longueur", &TPrefs::LimitLength},
    {u"Imagette Gauche", &TPrefs::PictureAtLeft},
};

QString withProductName(QString text) {
  return text.replace(QLatin1String("%s"), restext::ProductName);
}

class Reader {
 public:
  explicit Reader(const IniFile& ini) : m_ini(ini) {}

  int integer(QStringView key, int fallback) const {
    const auto text = m_ini.value(PrefsSectionName, key.toString());
    if (!text) return fallback;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok, 10);
    return ok ? value : fallback;
  }
  bool boolean(QStringView key, bool fallback) const { return integer(key, fallback ? 1 : 0) != 0; }
  QString string(QStringView key, const QString& fallback) const {
    return m_ini.value(PrefsSectionName, key.toString()).value_or(fallback);
  }

 private:
  const IniFile& m_ini;
};

// Half the free space, rounded toward zero; no overflow whatever the stored size.
int centred(int screen, int window) {
  const long long offset = (static_cast<long long>(screen) - window) / 2;
  return static_cast<int>(std::clamp<long long>(offset, INT_MIN, INT_MAX));
}

QString flag(bool value) { return value ? QStringLiteral("1") : QStringLiteral("0"); }

}  // namespace

QString prefsVersionValue(const QString& versionText) {
  return restext::ProductName + u' ' + versionText + QStringLiteral(" En by ") +
         restext::AuthorName;
}

SaveStamp currentSaveStamp(const QString& versionText) {
  SaveStamp stamp;
  stamp.versionText = versionText;
  if (QCoreApplication::instance()) stamp.exeName = QCoreApplication::applicationFilePath();
  stamp.when = QDateTime::currentDateTime();
  return stamp;
}

void LoadPrefs(TPrefs& prefs, const PrefsLocations& where, QSize screenSize) {
  const TPrefs defaults;
  prefs.PrefsStore = chooseStore(where);
  const IniFile ini = IniFile::load(where.fileOf(prefs.PrefsStore));
  const Reader read(ini);

  prefs.WindowWidth = read.integer(KeyWidth, defaults.WindowWidth);
  prefs.WindowHeight = read.integer(KeyHeight, defaults.WindowHeight);
  prefs.WindowTop = read.integer(KeyTop, centred(screenSize.height(), prefs.WindowHeight));
  prefs.WindowLeft = read.integer(KeyLeft, centred(screenSize.width(), prefs.WindowWidth));

  for (const KeyField& kf : Fields) {
    if (kf.key == KeyPicturesFolder) {
      QString folder = read.string(kf.key, {});
      // An empty folder would send every picture to the root of the file system.
      if (folder.trimmed().isEmpty()) folder = where.defaultPicturesFolder;
      if (folder.isEmpty()) folder = GetPersonalFolder();
      prefs.PicturesFolder = withTrailingSlash(folder);
      createFolderWithParents(prefs.PicturesFolder);
      continue;
    }
    std::visit(
        [&](auto member) {
          using T = std::remove_cvref_t<decltype(prefs.*member)>;
          if constexpr (std::is_same_v<T, int>)
            prefs.*member = read.integer(kf.key, defaults.*member);
          else if constexpr (std::is_same_v<T, bool>)
            prefs.*member = read.boolean(kf.key, defaults.*member);
          else
            prefs.*member = read.string(kf.key, defaults.*member);
        },
        kf.field);
  }
}

bool SavePrefs(const TPrefs& prefs, const PrefsLocations& where, const SaveStamp& stamp) {
  const QString path = where.fileOf(prefs.PrefsStore);
  if (path.isEmpty()) return false;
  IniFile ini = IniFile::load(path);
  // Never replace a file whose other contents could not be read.
  if (ini.unreadable()) return false;

  auto put = [&](QStringView key, const QString& value) {
    ini.setValue(PrefsSectionName, key.toString(), value);
  };
  put(u"Version", prefsVersionValue(stamp.versionText));
  put(u"Dernière Sauvegarde", stamp.when.toString(QStringLiteral("yyyy/MM/dd hh:mm:ss")));
  put(u"Exename", stamp.exeName);
  put(KeyTop, QString::number(prefs.WindowTop));
  put(KeyLeft, QString::number(prefs.WindowLeft));
  put(KeyHeight, QString::number(prefs.WindowHeight));
  put(KeyWidth, QString::number(prefs.WindowWidth));
  for (const KeyField& kf : Fields) {
    std::visit(
        [&](auto member) {
          using T = std::remove_cvref_t<decltype(prefs.*member)>;
          if constexpr (std::is_same_v<T, int>)
            put(kf.key, QString::number(prefs.*member));
          else if constexpr (std::is_same_v<T, bool>)
            put(kf.key, flag(prefs.*member));
          else
            put(kf.key, prefs.*member);
        },
        kf.field);
  }

  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return false;
  return ini.save(path);
}

void SelectPrefsStore(TPrefs& prefs, int index, const PrefsLocations& where) {
  if (index < 0 || index > 2) return;
  prefs.PrefsStore = static_cast<uint8_t>(index + 1);
  // The ini files found first at start would hide the chosen store: they go.
  if (prefs.PrefsStore == StoreRegistry || prefs.PrefsStore == StoreSystemIni) {
    if (storeFileExists(where.programIni)) DeleteFileForced(where.programIni);
  }
  if (prefs.PrefsStore == StoreRegistry) {
    if (storeFileExists(where.systemIni)) DeleteFileForced(where.systemIni);
  }
}

void DeletePrefs(const PrefsLocations& where, Dialogs& dialogs) {
  if (dialogs.Ask(withProductName(restext::DeletePrefsQuestion),
                  {DialogButton::Yes, DialogButton::No}) != DialogButton::Yes)
    return;

  bool found = false;
  for (const QString& ini : {where.programIni, where.systemIni}) {
    if (storeFileExists(ini)) {
      DeleteFileForced(ini);
      found = true;
    }
  }
  if (storeFileExists(where.userFile)) {
    found = true;
    DeleteFileForced(where.userFile);
  }
  // The maker's folder goes with its last file, as its registry key would.
  const QString maker = where.makerFolder();
  if (!maker.isEmpty() && QFileInfo(maker).isDir()) QDir().rmdir(maker);  // fails unless empty

  if (found)
    dialogs.Inform(withProductName(restext::PrefsErased));
  else
    dialogs.Ask(withProductName(restext::PrefsNotFound), {DialogButton::Ok});
}

QuitSaving QuitPrompt(bool saveOnQuit, Dialogs& dialogs) {
  if (saveOnQuit) return QuitSaving::Save;
  switch (dialogs.Ask(withProductName(restext::QuitPromptText),
                      {DialogButton::Yes, DialogButton::No, DialogButton::All})) {
    case DialogButton::All: return QuitSaving::SaveAndSaveOnQuit;
    case DialogButton::Yes: return QuitSaving::Save;
    default: return QuitSaving::DontSave;
  }
}

void LoadPrefs(QSize screenSize) { LoadPrefs(Prefs, standardPrefsLocations(), screenSize); }

bool SavePrefs(const QString& versionText) {
  return SavePrefs(Prefs, standardPrefsLocations(), currentSaveStamp(versionText));
}

void SelectPrefsStore(int index) { SelectPrefsStore(Prefs, index, standardPrefsLocations()); }

void DeletePrefs(Dialogs& dialogs) { DeletePrefs(standardPrefsLocations(), dialogs); }
