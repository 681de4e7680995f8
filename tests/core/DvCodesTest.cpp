#include <gtest/gtest.h>

#include <vector>

#include "sources/dvcodes.h"

namespace {

constexpr size_t PalFrameBytes = 12 * DifSequenceBytes;

// A whole frame of zeros with the date pack (id, -, day, month, year) and the time pack
// (id, -, seconds, minutes, hours) of sequence n set.
std::vector<uint8_t> frameWithPacks(uint8_t dateId, uint8_t day, uint8_t month, uint8_t year,
                                    uint8_t timeId, uint8_t seconds, uint8_t minutes,
                                    uint8_t hours, unsigned n = 0) {
  std::vector<uint8_t> frame(PalFrameBytes, 0);
  uint8_t* base = frame.data() + n * DifSequenceBytes;
  const uint8_t date[5] = {dateId, 0xFF, day, month, year};
  const uint8_t time[5] = {timeId, 0xFF, seconds, minutes, hours};
  std::copy(date, date + 5, base + 458);
  std::copy(time, time + 5, base + 463);
  return frame;
}

struct DecodeCase {
  const char* what;
  uint8_t dateId, day, month, year, timeId, seconds, minutes, hours;
  int32_t wantYear;
  uint8_t wantMonth, wantDay, wantHours, wantMinutes, wantSeconds;
};

// The fields of a record left alone by the decoder keep this mark.
constexpr uint8_t Untouched = 0xAA;

const DecodeCase decodeCases[] = {
    {"christmas afternoon", 0x62, 0x25, 0x12, 0x03, 0x63, 0x59, 0x30, 0x14,
     2003, 12, 25, 14, 30, 59},
    {"year 39 is in this century", 0x62, 0x01, 0x01, 0x39, 0x63, 0x00, 0x00, 0x00,
     2039, 1, 1, 0, 0, 0},
    {"year 40 is in the last century", 0x62, 0x01, 0x01, 0x40, 0x63, 0x00, 0x00, 0x00,
     1940, 1, 1, 0, 0, 0},
    {"year 99", 0x62, 0x01, 0x01, 0x99, 0x63, 0x00, 0x00, 0x00, 1999, 1, 1, 0, 0, 0},
    // What a camcorder (and ffmpeg) puts in the bits above the tens: flags, not digits.
    {"bits outside the masks are ignored", 0x62, 0xE5, 0xF2, 0x03, 0x63, 0xD9, 0xB0, 0xD4,
     2003, 12, 25, 14, 30, 59},
    {"identifiers of 0 are read as packs", 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
     2000, 0, 0, 0, 0, 0},
    {"date id 0x61 means no date", 0x61, 0x25, 0x12, 0x03, 0x63, 0x59, 0x30, 0x14,
     -1, Untouched, Untouched, Untouched, Untouched, Untouched},
    {"time id 0xFF means no date", 0x62, 0x25, 0x12, 0x03, 0xFF, 0xFF, 0xFF, 0xFF,
     -1, Untouched, Untouched, Untouched, Untouched, Untouched},
};

TDVRecordingDate markedRecord() {
  TDVRecordingDate r;
  r.Year = 1234;
  r.Month = r.Day = r.Hours = r.Minutes = r.Seconds = Untouched;
  return r;
}

TEST(DvCodes, DecodesTheDateAndTimePacksOfSequenceZero) {
  for (const DecodeCase& c : decodeCases) {
    SCOPED_TRACE(c.what);
    const auto frame = frameWithPacks(c.dateId, c.day, c.month, c.year, c.timeId, c.seconds,
                                      c.minutes, c.hours);
    TDVRecordingDate r = markedRecord();
    DecodeRecordingDateTime(frame.data(), frame.size(), 0, r);
    EXPECT_EQ(r.Year, c.wantYear);
    EXPECT_EQ(r.Month, c.wantMonth);
    EXPECT_EQ(r.Day, c.wantDay);
    EXPECT_EQ(r.Hours, c.wantHours);
    EXPECT_EQ(r.Minutes, c.wantMinutes);
    EXPECT_EQ(r.Seconds, c.wantSeconds);
  }
}

TEST(DvCodes, ReadsTheSequenceAskedFor) {
  const auto frame = frameWithPacks(0x62, 0x07, 0x08, 0x05, 0x63, 0x01, 0x02, 0x03, 1);
  TDVRecordingDate r;
  DecodeRecordingDateTime(frame.data(), frame.size(), 1, r);
  EXPECT_EQ(r.Year, 2005);
  EXPECT_EQ(r.Month, 8);
  EXPECT_EQ(r.Day, 7);
  EXPECT_EQ(r.Hours, 3);
  // Sequence 0 of that frame holds zeros: identifiers 0, decoded as day 0.
  DecodeRecordingDateTime(frame.data(), frame.size(), 0, r);
  EXPECT_EQ(r.Day, 0);
}

TEST(DvCodes, ABufferEndingBeforeThePacksHasNoDate) {
  const auto frame = frameWithPacks(0x62, 0x25, 0x12, 0x03, 0x63, 0x59, 0x30, 0x14);
  struct {
    size_t size;
    unsigned n;
    int32_t wantYear;
  } cases[] = {
      {467, 0, -1},                       // one byte short of the hours
      {468, 0, 2003},                     // just enough
      {DifSequenceBytes + 467, 1, -1},    // sequence 1 cut short
      {0, 0, -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "size " << c.size << " n " << c.n);
    // A copy of exactly `size` bytes, so a read past the end shows under a memory checker.
    std::vector<uint8_t> cut(frame.begin(), frame.begin() + std::min(c.size, frame.size()));
    TDVRecordingDate r;
    DecodeRecordingDateTime(cut.data(), cut.size(), c.n, r);
    EXPECT_EQ(r.Year, c.wantYear);
  }
  TDVRecordingDate r;
  DecodeRecordingDateTime(nullptr, 0, 0, r);
  EXPECT_EQ(r.Year, -1);
}

TDVRecordingDate date(int32_t year, uint8_t month, uint8_t day, uint8_t hours = 0,
                      uint8_t minutes = 0, uint8_t seconds = 0) {
  TDVRecordingDate r;
  r.Year = year;
  r.Month = month;
  r.Day = day;
  r.Hours = hours;
  r.Minutes = minutes;
  r.Seconds = seconds;
  return r;
}

TEST(DvCodes, StampsCountWholeSecondsFromTheEndOf1899) {
  EXPECT_EQ(RecordingStampSeconds(date(1899, 12, 30)), 0);
  EXPECT_EQ(RecordingStampSeconds(date(1900, 1, 1, 0, 0, 1)), 2 * 86400 + 1);
  // 2003-12-25 is day 37980 of that count.
  EXPECT_EQ(RecordingStampSeconds(date(2003, 12, 25, 14, 30, 59)),
            37980LL * 86400 + 14 * 3600 + 30 * 60 + 59);
  // Across midnight and the turn of a year the difference stays exact.
  EXPECT_EQ(*RecordingStampSeconds(date(2004, 1, 1, 0, 0, 1)) -
                *RecordingStampSeconds(date(2003, 12, 31, 23, 59, 59)),
            2);
}

TEST(DvCodes, ARecordWithoutDateStampsZeroAndANonDateStampsNothing) {
  TDVRecordingDate none;
  none.Year = -1;
  EXPECT_EQ(RecordingStampSeconds(none), 0);

  struct {
    const char* what;
    TDVRecordingDate record;
    bool valid;
  } cases[] = {
      {"zero packs: day and month 0", date(2000, 0, 0), false},
      {"day 0", date(2004, 5, 0), false},
      {"month 13", date(2004, 13, 1), false},
      {"31 April", date(2004, 4, 31), false},
      {"29 February of a leap year", date(2004, 2, 29), true},
      {"29 February of 2000", date(2000, 2, 29), true},
      {"29 February of another year", date(2003, 2, 29), false},
      {"hour 24", date(2004, 5, 1, 24, 0, 0), false},
      {"minute 60", date(2004, 5, 1, 0, 60, 0), false},
      {"second 60", date(2004, 5, 1, 0, 0, 60), false},
      {"last second of a day", date(2004, 5, 1, 23, 59, 59), true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(RecordingStampSeconds(c.record).has_value(), c.valid);
  }
}

TEST(DvCodes, NibblesAboveNineMakeDatesThatDoNotExist) {
  // Day byte 0x1F reads 10 + 15 = 25; month byte 0x1F reads 25: no such month.
  const auto frame = frameWithPacks(0x62, 0x1F, 0x1F, 0x04, 0x63, 0x00, 0x00, 0x00);
  TDVRecordingDate r;
  DecodeRecordingDateTime(frame.data(), frame.size(), 0, r);
  EXPECT_EQ(r.Day, 25);
  EXPECT_EQ(r.Month, 25);
  EXPECT_FALSE(RecordingStampSeconds(r).has_value());
}

}  // namespace
