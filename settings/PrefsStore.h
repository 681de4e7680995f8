// Where the preferences can live. The three stores keep their order of precedence: the ini file
// beside the program, then the ini file of the system configuration folder, then the user's
// own file (which takes the place of a per-user registry key and has the same ini layout).
#pragma once

#include <cstdint>
#include <QString>

enum : uint8_t {
  StoreNone = 0,        // nothing chosen yet: a save writes nothing
  StoreRegistry = 1,    // $XDG_CONFIG_HOME/Velmoran/Pictorel.conf
  StoreSystemIni = 2,   // Pictorel.ini in the first folder of $XDG_CONFIG_DIRS
  StoreProgramIni = 3,  // Pictorel.ini beside the program file
};

// The section of every store (the leading backslash is part of the name).
extern const QString PrefsSectionName;

struct PrefsLocations {
  QString userFile;    // StoreRegistry
  QString systemIni;   // StoreSystemIni
  QString programIni;  // StoreProgramIni
  // The pictures folder used when none is stored (GetMyPicturesFolder() for this process).
  QString defaultPicturesFolder;

  // The file of a store; empty for StoreNone and unknown values.
  QString fileOf(uint8_t store) const;
  // The folder that holds only this program maker's settings (the user file's folder): removed
  // when the last of its files is deleted.
  QString makerFolder() const;
};

// The locations of this process: from $XDG_CONFIG_HOME (default ~/.config), $XDG_CONFIG_DIRS
// (default /etc/xdg), the folder of the running program and the desktop's pictures folder.
PrefsLocations standardPrefsLocations();

// True when `path` names an existing file (a folder of that name does not count).
bool storeFileExists(const QString& path);

// The store a load uses: the first ini file that exists, else the user file (whether it exists
// or not).
uint8_t chooseStore(const PrefsLocations& where);
