// Small helpers shared by every module that turns text into values, plus the few file and
// folder services the preferences and the picture names rely on.
#pragma once

#include <QString>

// Trims blanks and control characters, parses a 32-bit decimal integer (optional sign);
// anything else, overflow included, gives 0. Never fails.
int StrToIntSafe(const QString& text);

// Makes the file writable, then deletes it. True when the file is gone because of this call
// (a folder is never deleted).
bool DeleteFileForced(const QString& fileName);

// The home folder ($HOME); "/" when there is none.
QString GetPersonalFolder();
// The desktop's pictures folder (XDG_PICTURES_DIR of $XDG_CONFIG_HOME/user-dirs.dirs); the home
// folder when it is not configured, or configured as the home folder itself (xdg-user-dirs'
// way of turning a folder off).
QString GetMyPicturesFolder();
// The same lookup with its inputs passed in, for callers that know them and for tests.
QString myPicturesFolderFrom(const QString& configHome, const QString& homeFolder);

// Trims; then, when the rest is longer than one character and begins and ends with a double
// quote, removes that one pair.
QString Unquote(const QString& text);

// Replaces each %NAME% by the value of the environment variable NAME. A name that is not set,
// and a "%" without its closing partner, are kept as written.
QString ExpandEnvVars(const QString& text);

// A folder text as the picture names need it: ending with "/". The empty text stays empty.
QString withTrailingSlash(const QString& folder);
// Creates the folder and every missing parent; true when it exists afterwards.
bool createFolderWithParents(const QString& folder);
