// The process-wide record of user settings, and its loading from and saving to the stores.
#pragma once

#include <cstdint>
#include <QDateTime>
#include <QSize>
#include <QString>

#include "settings/PrefsStore.h"

class Dialogs;

struct TPrefs {
  int WindowTop = 0;   // computed at load: centred on the screen
  int WindowLeft = 0;  // computed at load: centred on the screen
  int WindowHeight = 541;
  int WindowWidth = 686;
  bool SaveOnQuit = false;
  int ImageExtension = 0;  // 0 BMP, 1 JPEG
  int JpegQuality = 50;    // 1..100
  int ImageRatio = 0;      // 0 native, 1 forced 4:3, 2 forced 16:9
  int NameSuffixKind = 1;  // 0 timecode, 1 running number
  QString Root = QStringLiteral("Pictorel");
  int RootLength = 8;
  int Digits = 4;
  bool SortShortcutsByName = true;
  bool ConfirmOverwrite = true;
  bool MuteSound = false;
  bool DeinterlacePictures = false;
  int SoundVolume = 100;  // percent, steps of 10
  bool BeepOn = false;
  QString PicturesFolder;  // computed at load; always ends with "/"
  int IntervalloValue = 10;
  int IntervalloUnit = 0;  // 0 seconds, 1 frames, 2 minutes
  bool UseVideoName = true;
  bool LimitLength = true;
  bool PictureAtLeft = true;
  uint8_t PrefsStore = StoreNone;  // not itself stored

  bool operator==(const TPrefs&) const = default;
};

extern TPrefs Prefs;

// What a save stamps into the store besides the settings.
struct SaveStamp {
  QString versionText;  // "4.1.3"
  QString exeName;      // full path of the program file
  QDateTime when;       // local time of the save
};
// The stamp of this process now.
SaveStamp currentSaveStamp(const QString& versionText);

// The value of "Version": "Pictorel 4.1.3 En by Velmoran".
QString prefsVersionValue(const QString& versionText);

// Chooses the store, sets prefs.PrefsStore and fills every field: missing or unparsable values
// take their defaults, the window is centred on `screenSize` unless a position is stored, and
// the pictures folder ends with "/" and is created.
void LoadPrefs(TPrefs& prefs, const PrefsLocations& where, QSize screenSize);
// Writes the stamp and every field into the store prefs.PrefsStore names, keeping the other
// sections and keys of that file. Nothing is written for StoreNone. A failure leaves the file
// as it was. True when the store was written.
bool SavePrefs(const TPrefs& prefs, const PrefsLocations& where, const SaveStamp& stamp);
// index 0, 1, 2: the user file, the system ini, the program-folder ini. Deletes the ini files
// that would win over the chosen store at the next start; writes nothing. Other indexes are
// ignored.
void SelectPrefsStore(TPrefs& prefs, int index, const PrefsLocations& where);
// Asks, then deletes the preferences from the three stores and reports what it found.
// The record is left as it is.
void DeletePrefs(const PrefsLocations& where, Dialogs& dialogs);

// The window's closing: what to do with the preferences.
enum class QuitSaving {
  Save,                  // save (SaveOnQuit was on, or the user answered Yes)
  SaveAndSaveOnQuit,     // the user answered All: tick the save-on-quit box, then save
  DontSave,              // the user answered No
};
// Asks the quit question unless `saveOnQuit` is on.
QuitSaving QuitPrompt(bool saveOnQuit, Dialogs& dialogs);

// The same operations on the process-wide record and this process's store locations.
void LoadPrefs(QSize screenSize);
bool SavePrefs(const QString& versionText);
void SelectPrefsStore(int index);
void DeletePrefs(Dialogs& dialogs);
