// The process-wide record of user settings.
#pragma once

struct TPrefs {
  int SoundVolume = 100;  // percent, steps of 10
  bool MuteSound = false;
};

extern TPrefs Prefs;
