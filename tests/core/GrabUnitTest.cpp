#include <gtest/gtest.h>

#include "media/Bitmap.h"
#include "settings/PSFunctions.h"
#include "sources/GrabUnit.h"
#include "sources/ProgramFlags.h"

namespace {

struct TimeToTextCase {
  const char* what;
  int64_t time;
  int64_t offset;
  const char* text;
};

TEST(TimecodeTest, TimeToTextFollowsTheRoundingOfEachSourceKind) {
  const TimeToTextCase cases[] = {
      {"file, zero", 0, FileTimecodeOffset, "0:00:00:00"},
      {"file, 100 before frame 1 carries into it", 400'000 - 100, FileTimecodeOffset, "0:00:00:01"},
      {"file, 100 before second 1", UnitsPerSecond - 100, FileTimecodeOffset, "0:00:01:00"},
      {"file, one hour", 3600 * UnitsPerSecond, FileTimecodeOffset, "1:00:00:00"},
      {"disc, 100 before frame 1 stays", 400'000 - 100, DiscTimecodeOffset, "0:00:00:00"},
      {"disc, 100 before second 1", UnitsPerSecond - 100, DiscTimecodeOffset, "0:00:00:24"},
      {"file, 65 s and 12 frames", 65 * UnitsPerSecond + 12 * 400'000, FileTimecodeOffset,
       "0:01:05:12"},
      {"file, 12 hours", 12 * 3600 * UnitsPerSecond, FileTimecodeOffset, "12:00:00:00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TimecodeText(TimeToTimecode(c.time, DefaultFrameDuration, c.offset)),
              QString(c.text))
        << c.what;
  }
}

struct ParseCase {
  const char* text;
  int64_t time;
};

TEST(TimecodeTest, ParsedTextConvertsToTheStartOfItsFrame) {
  const ParseCase cases[] = {
      {"0:10:00:00", 600 * UnitsPerSecond},
      {"1:2:3:4", 3723 * UnitsPerSecond + 4 * 400'000},
      {"5", 2'000'000},
      {"90", 90 * 400'000},  // frames beyond 24 are kept as they are
      {"1:30", 3600 * UnitsPerSecond + 30 * 400'000},
      {"", 0},
      {"a:b:c:d", 0},
      {":::", 0},
      {" 0 : 00 : 02 : 05 ", 2 * UnitsPerSecond + 5 * 400'000},
      {"0:61:00:00", 61 * 60 * UnitsPerSecond},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TimecodeToTime(ParseTimecodeText(c.text), DefaultFrameDuration), c.time) << c.text;
  }
}

TEST(TimecodeTest, ParseReadsOneTo1_02_03_04AndKeepsBytesAsGiven) {
  EXPECT_EQ(TimecodeText(ParseTimecodeText("1:2:3:4")), "1:02:03:04");
  const TTimecode wide = ParseTimecodeText("300:70:99:260");
  EXPECT_EQ(wide.Hours, int8_t(uint8_t(300 & 0xFF)));
  EXPECT_EQ(wide.Minutes, 70);
  EXPECT_EQ(wide.Seconds, 99);
  EXPECT_EQ(wide.Frames, 260 & 0xFF);
  EXPECT_EQ(TimecodeText(ParseTimecodeText("-1:00:00:00")), "-1:00:00:00");
}

TEST(TimecodeTest, RoundTripOnEveryFrameStartOfAMinute) {
  for (int64_t t = 0; t < 60 * UnitsPerSecond; t += DefaultFrameDuration) {
    const TTimecode code = TimeToTimecode(t, DefaultFrameDuration, FileTimecodeOffset);
    ASSERT_EQ(TimecodeToTime(code, DefaultFrameDuration), t);
    ASSERT_EQ(TimecodeToTime(ParseTimecodeText(TimecodeText(code)), DefaultFrameDuration), t);
  }
}

TEST(TimecodeTest, PackedFormHoldsHoursMinutesSecondsFramesFromTheLowByte) {
  const TTimecode code{-2, 3, 4, 5};
  EXPECT_EQ(code.Packed(), 0x050403FEu);
  EXPECT_EQ(TTimecode::FromPacked(0x050403FEu), code);
}

TEST(ProgressTest, MillionthsOfTheDurationTruncated) {
  EXPECT_EQ(TimeToProgress(5, 0), 0);
  EXPECT_EQ(TimeToProgress(5, -1), 0);
  EXPECT_EQ(TimeToProgress(100 * UnitsPerSecond, 100 * UnitsPerSecond), 1'000'000);
  EXPECT_EQ(TimeToProgress(1, 3), 333'333);
  EXPECT_EQ(ProgressToTime(500'000, 100 * UnitsPerSecond), 50 * UnitsPerSecond);
  // Ten days of media: the product exceeds 64 bits and must still come out right.
  const int64_t tenDays = 10 * 86400 * UnitsPerSecond;
  EXPECT_EQ(TimeToProgress(tenDays / 2, tenDays), 500'000);
}

TEST(StrToIntSafeTest, TrimsAndGivesZeroOnAnyFailure) {
  const std::pair<const char*, int> cases[] = {
      {"42", 42},   {"  -7\t", -7}, {"+8", 8},        {"\r\n12\r\n", 12}, {"", 0},
      {"abc", 0},   {"12a", 0},     {"1 2", 0},       {"2147483647", 2147483647},
      {"2147483648", 0}, {"-2147483648", int(-2147483648LL)}, {"0x10", 0}, {"3.5", 0},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(StrToIntSafe(text), value) << text;
}

TEST(EmptySourceTest, BehavesAsTheEmptyWindow) {
  HasAudio = true;
  TGrab empty;
  EXPECT_FALSE(HasAudio) << "creating any source clears HasAudio";
  EXPECT_EQ(empty.GetState(), 2);
  EXPECT_EQ(empty.GetVolume(), 10000);
  EXPECT_EQ(empty.Volume, 100 * 100) << "the volume preference as a 0..10000 value";
  EXPECT_EQ(empty.FrameDuration, 400'000);
  EXPECT_FALSE(empty.IsTape);
  EXPECT_EQ(empty.Description, "Click on a button to load a video");
  EXPECT_EQ(empty.Render(nullptr), 0);
  EXPECT_FALSE(empty.AvanceTrack());
  EXPECT_FALSE(empty.ReculeTrack());

  TGrabPosition position;
  empty.GetPosition(position);
  empty.GetDuration(position);
  EXPECT_EQ(position.GetText(), "");
  EXPECT_EQ(position.GetProgress(), 0);

  empty.SetVolume(1234);
  EXPECT_EQ(empty.Volume, 1234);
  EXPECT_EQ(empty.GetVolume(), 10000);
}

TEST(EmptySourceTest, GrabFrameClearsSourceReadyAndSizesTheBitmapOnly) {
  SourceReady = true;
  TGrab empty;
  Bitmap bitmap(2, 2);
  bitmap.MutableRow(0)[0] = 77;
  empty.GrabFrame(bitmap);
  EXPECT_FALSE(SourceReady);
  EXPECT_EQ(bitmap.Width(), 384);
  EXPECT_EQ(bitmap.Height(), 288);
  EXPECT_EQ(bitmap.Row(0)[0], 77) << "pixels are not touched";
}

}  // namespace
