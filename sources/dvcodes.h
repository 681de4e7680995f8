// The recording date and time that a DV camcorder stamps into every frame it records, read from
// the video auxiliary data of one frame. Works on plain bytes: nothing here needs the media layer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

// One DIF sequence: 150 blocks of 80 bytes. A frame holds 10 (525/60) or 12 (625/50) of them.
constexpr size_t DifSequenceBytes = 12000;
// The recording date pack (0x62) and time pack (0x63) of the third video auxiliary block.
constexpr size_t RecordingDatePackOffset = 458;
constexpr size_t RecordingTimePackOffset = 463;
// The last byte read (the hours of the time pack) is at 467.
constexpr size_t RecordingPacksEnd = 468;

struct TDVRecordingDate {
  int32_t Year = -1;  // -1: the frame carries no recording date
  uint8_t Month = 0;
  uint8_t Day = 0;
  uint8_t Hours = 0;
  uint8_t Minutes = 0;
  uint8_t Seconds = 0;
};

// Decodes the date and time packs of DIF sequence n of the frame in `buffer` (`size` bytes).
// Sets record.Year to -1, leaving the other fields as they were, when the pack identifiers are
// neither the date/time identifiers nor 0, or when the buffer ends before sequence n's packs.
void DecodeRecordingDateTime(const uint8_t* buffer, size_t size, unsigned n,
                             TDVRecordingDate& record);

// The record as a point in time, in whole seconds since 30 December 1899 00:00:00. A record
// without a date gives 0 (that instant itself, which no DV stamp can reach: DV years run from
// 1940 to 2039). A record whose fields do not form a real date and time (day 0, 31 April,
// hour 24, ...) gives nothing.
std::optional<int64_t> RecordingStampSeconds(const TDVRecordingDate& record);
