#include "settings/Preferences.h"

TPrefs Prefs;
