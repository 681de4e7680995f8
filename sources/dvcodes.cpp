#include "sources/dvcodes.h"

namespace {

constexpr uint8_t DatePackId = 0x62;
constexpr uint8_t TimePackId = 0x63;

// Two BCD digits: units in the low nibble, tens in the bits of tensMask.
uint8_t bcd(uint8_t byte, uint8_t tensMask) {
  return static_cast<uint8_t>((byte & 0x0F) + 10 * ((byte & tensMask) >> 4));
}

bool isLeapYear(int64_t year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int64_t year, int month) {
  static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

// Days from 1970-01-01 to the given civil date (proleptic Gregorian calendar).
int64_t daysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const unsigned yearOfEra = static_cast<unsigned>(year - era * 400);
  const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + static_cast<int64_t>(dayOfEra) - 719468;
}

constexpr int64_t SecondsPerDay = 86400;

}  // namespace

void DecodeRecordingDateTime(const uint8_t* buffer, size_t size, unsigned n,
                             TDVRecordingDate& record) {
  const size_t base = static_cast<size_t>(n) * DifSequenceBytes;
  // A short or missing buffer has no packs to read; never read past its end.
  if (buffer == nullptr || size < base + RecordingPacksEnd) {
    record.Year = -1;
    return;
  }
  const uint8_t* date = buffer + base + RecordingDatePackOffset;
  const uint8_t* time = buffer + base + RecordingTimePackOffset;
  // An identifier of 0 is read like a real pack; its zero day and month are rejected later.
  if ((date[0] != DatePackId && date[0] != 0) || (time[0] != TimePackId && time[0] != 0)) {
    record.Year = -1;
    return;
  }
  record.Day = bcd(date[2], 0x30);
  record.Month = bcd(date[3], 0x10);
  const int year = bcd(date[4], 0xF0);
  record.Year = year < 40 ? 2000 + year : 1900 + year;
  record.Seconds = bcd(time[2], 0x70);
  record.Minutes = bcd(time[3], 0x70);
  record.Hours = bcd(time[4], 0x30);
}

std::optional<int64_t> RecordingStampSeconds(const TDVRecordingDate& record) {
  if (record.Year == -1) return 0;
  if (record.Year < 1 || record.Year > 9999) return std::nullopt;
  if (record.Month < 1 || record.Month > 12) return std::nullopt;
  if (record.Day < 1 || record.Day > daysInMonth(record.Year, record.Month)) return std::nullopt;
  if (record.Hours > 23 || record.Minutes > 59 || record.Seconds > 59) return std::nullopt;
  static const int64_t epochDays = daysFromCivil(1899, 12, 30);
  const int64_t days = daysFromCivil(record.Year, record.Month, record.Day) - epochDays;
  return days * SecondsPerDay + record.Hours * 3600 + record.Minutes * 60 + record.Seconds;
}
