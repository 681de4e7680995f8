#include "sources/GrabUnit.h"

#include "media/Bitmap.h"
#include "resources/restext.h"
#include "settings/PSFunctions.h"
#include "settings/Preferences.h"
#include "sources/ProgramFlags.h"

uint32_t TTimecode::Packed() const {
  return uint32_t(uint8_t(Hours)) | uint32_t(Minutes) << 8 | uint32_t(Seconds) << 16 |
         uint32_t(Frames) << 24;
}

TTimecode TTimecode::FromPacked(uint32_t value) {
  return {int8_t(uint8_t(value)), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)};
}

TTimecode TimeToTimecode(int64_t time, int64_t frameDuration, int64_t offset) {
  const int64_t t = time + offset;
  TTimecode code;
  code.Frames = uint8_t(frameDuration != 0 ? (t % UnitsPerSecond) / frameDuration : 0);
  const int64_t seconds = t / UnitsPerSecond;
  code.Seconds = uint8_t(seconds % 60);
  const int64_t minutes = seconds / 60;
  code.Minutes = uint8_t(minutes % 60);
  code.Hours = int8_t(uint8_t(minutes / 60));
  return code;
}

int64_t TimecodeToTime(const TTimecode& code, int64_t frameDuration) {
  const int64_t seconds = int64_t(code.Hours) * 3600 + int64_t(code.Minutes) * 60 + code.Seconds;
  return seconds * UnitsPerSecond + int64_t(code.Frames) * frameDuration;
}

QString TimecodeText(const TTimecode& code) {
  return QString::asprintf("%d:%.2d:%.2d:%.2d", int(code.Hours), int(code.Minutes),
                           int(code.Seconds), int(code.Frames));
}

TTimecode ParseTimecodeText(const QString& text) {
  // Each of hours, minutes and seconds is the text before the next ":" (empty when there is none).
  QString rest = text;
  auto nextField = [&rest]() {
    const qsizetype colon = rest.indexOf(':');
    if (colon < 0) return 0;
    const int value = StrToIntSafe(rest.left(colon));
    rest = rest.mid(colon + 1);
    return value;
  };
  TTimecode code;
  code.Hours = int8_t(uint8_t(nextField()));
  code.Minutes = uint8_t(nextField());
  code.Seconds = uint8_t(nextField());
  code.Frames = uint8_t(StrToIntSafe(rest));
  return code;
}

int64_t TimeToProgress(int64_t time, int64_t duration) {
  if (duration <= 0) return 0;
  // 128-bit intermediate: a long recording times a million overflows 64 bits.
  return int64_t(__int128(ProgressScale) * time / duration);
}

int64_t ProgressToTime(int64_t progress, int64_t duration) {
  return int64_t(__int128(duration) * progress / ProgressScale);
}

TGrab::TGrab() : Volume(Prefs.SoundVolume * 100), Description(restext::ClickToLoad) {
  HasAudio = false;
}

void TGrab::GrabFrame(Bitmap& bitmap) {
  SourceReady = false;
  bitmap.SetWidth(384);
  bitmap.SetHeight(288);
}
