#include <gtest/gtest.h>

#include <climits>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "main/naming.h"
#include "settings/Preferences.h"

namespace {

struct NameCase {
  const char* what;
  bool videoFile;
  const char* path;
  bool useVideoName, limitLength;
  int rootLength;
  int suffixKind;
  int extension;
  const char* number;
  const char* timecode;
  const char* expected;
};

TEST(NamingTest, NextNameFromFolderRootAndNumberOrTimecode) {
  const NameCase cases[] = {
      {"video name cut to 8", true, "/v/holiday_2007.avi", true, true, 8, 1, 0, "0000", "",
       "/pics/holiday__0000.bmp"},
      {"limit off", true, "/v/holiday_2007.avi", true, false, 8, 1, 0, "0000", "",
       "/pics/holiday_2007_0000.bmp"},
      {"jpeg", true, "/v/holiday_2007.avi", true, false, 8, 1, 1, "0000", "",
       "/pics/holiday_2007_0000.jpg"},
      {"timecode", true, "/v/holiday_2007.avi", true, false, 8, 0, 0, "0000", "0:01:05:12",
       "/pics/holiday_2007_0.01.05.12.bmp"},
      {"empty source, no position", false, "", true, true, 8, 0, 0, "0000", "",
       "/pics/Pictorel_{timecode}.bmp"},
      {"disc source uses the fixed root", false, "/media/cdrom/mpegav/avseq01.dat", true, true, 8,
       1, 0, "0000", "", "/pics/Pictorel_0000.bmp"},
      {"video names off", true, "/v/holiday_2007.avi", false, true, 8, 1, 0, "0000", "",
       "/pics/Pictorel_0000.bmp"},
      {"name without a dot", true, "/v/clip", true, true, 8, 1, 0, "0000", "", "/pics/_0000.bmp"},
      {"dot in the folder only", true, "/v.d/clip", true, true, 8, 1, 0, "0000", "",
       "/pics/_0000.bmp"},
      {"first dot ends the root", true, "/v/a.b.avi", true, true, 8, 1, 0, "0000", "",
       "/pics/a_0000.bmp"},
      {"hidden file name", true, "/v/.clip.avi", true, true, 8, 1, 0, "0000", "",
       "/pics/_0000.bmp"},
      {"length 0", true, "/v/holiday.avi", true, true, 0, 1, 0, "0000", "", "/pics/_0000.bmp"},
      {"negative length", true, "/v/holiday.avi", true, true, -3, 1, 0, "0000", "",
       "/pics/_0000.bmp"},
      {"negative length, limit off", true, "/v/holiday.avi", true, false, -3, 1, 0, "0000", "",
       "/pics/holiday_0000.bmp"},
      {"number text used as typed", true, "/v/a.avi", true, true, 8, 1, 0, " 41x", "",
       "/pics/a_ 41x.bmp"},
      {"unknown suffix kind gives timecode names", true, "/v/a.avi", true, true, 8, 7, 0, "0000",
       "1:00:00:00", "/pics/a_1.00.00.00.bmp"},
      {"unknown format gives bmp", true, "/v/a.avi", true, true, 8, 1, 5, "0000", "",
       "/pics/a_0000.bmp"},
  };
  for (const auto& c : cases) {
    TPrefs prefs;
    prefs.PicturesFolder = "/pics/";
    prefs.UseVideoName = c.useVideoName;
    prefs.LimitLength = c.limitLength;
    prefs.RootLength = c.rootLength;
    prefs.NameSuffixKind = c.suffixKind;
    prefs.ImageExtension = c.extension;
    const QString root = computeRoot(rootInputs(prefs, c.videoFile, c.path));
    const NextName next = nextName(nameInputs(prefs, root, c.number, c.timecode));
    EXPECT_EQ(next.NextFileName, QString(c.expected)) << c.what;
  }
}

TEST(NamingTest, NumberedNameReadsTheCounterFromTheNumberText) {
  const std::pair<const char*, int> cases[] = {
      {"0041", 41}, {" 0041 ", 41}, {"abc", 0}, {"", 0}, {"-5", -5}, {"99999999999", 0}};
  for (const auto& [text, counter] : cases) {
    NameInputs in;
    in.numberText = text;
    const NextName next = numberedName(in);
    EXPECT_TRUE(next.numbered);
    EXPECT_EQ(next.PictureCounter, counter) << text;
  }
  NameInputs in;
  in.timecodeText = "0:00:00:01";
  EXPECT_FALSE(timecodeName(in).numbered);
}

struct DigitsCase {
  int counter, digits;
  const char* expected;
};

TEST(NamingTest, NumberAfterAWriteHasExactlyDigitsDigitsAndWrapsAround) {
  const DigitsCase cases[] = {
      {41, 4, "0042"},   {9998, 4, "9999"},       {9999, 4, "0000"},   {0, 6, "000001"},
      {123456, 3, "457"}, {5, 0, ""},              {99, 1, "0"},        {-1, 4, "0000"},
      {INT_MAX, 4, "3648"}, {INT_MAX, 10, "2147483648"}, {7, 25, "00000000000000000008"},
      {7, -2, ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(numberAfterWrite(c.counter, c.digits), QString(c.expected))
        << c.counter << " on " << c.digits;
}

TEST(NamingTest, DigitsChangePadsOrCutsTheNumberOnTheLeft) {
  const std::tuple<const char*, int, const char*> cases[] = {
      {"0000", 6, "000000"}, {"123456", 3, "456"}, {"0042", 0, ""}, {"", 4, "0000"},
      {"42", 4, "0042"},
  };
  for (const auto& [text, digits, expected] : cases)
    EXPECT_EQ(padNumberText(text, digits), QString(expected)) << text << " on " << digits;
}

TEST(NamingTest, ExistingNextFileIsReportedForTheBottomBar) {
  QTemporaryDir dir;
  TPrefs prefs;
  prefs.PicturesFolder = dir.path() + "/";
  // After a write of number 0041, the field reads 0042; that name may exist too.
  const QString number = numberAfterWrite(41, 4);
  ASSERT_EQ(number, "0042");
  NextName next = nextName(nameInputs(prefs, "holiday_", number, ""));
  EXPECT_EQ(next.NextFileName, dir.path() + "/holiday__0042.bmp");
  EXPECT_FALSE(next.fileExists);

  QFile f(next.NextFileName);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();
  next = nextName(nameInputs(prefs, "holiday_", number, ""));
  EXPECT_TRUE(next.fileExists);
  EXPECT_EQ(next.PictureCounter, 42);
}

TEST(NamingTest, ClickOnTheNameShowsTheFileElseOpensAnExistingFolder) {
  QTemporaryDir dir;
  const QString file = dir.filePath("a_0000.bmp");
  QFile f(file);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.close();

  DestLabTarget t = destLabTarget(file);
  EXPECT_EQ(t.kind, DestLabTarget::ShowFile);
  EXPECT_EQ(t.path, file);

  t = destLabTarget(dir.filePath("a_0001.bmp"));
  EXPECT_EQ(t.kind, DestLabTarget::OpenFolder);
  EXPECT_EQ(t.path, dir.path() + "/");

  EXPECT_EQ(destLabTarget(dir.filePath("missing/a_0001.bmp")).kind, DestLabTarget::Nothing);
  EXPECT_EQ(destLabTarget("").kind, DestLabTarget::Nothing);
}

TEST(NamingTest, FolderChosenInTheSaveDialogIgnoresTheTypedFileName) {
  EXPECT_EQ(folderOfChosenPath("/a/b/typed name.bmp"), "/a/b/");
  EXPECT_EQ(folderOfChosenPath("/name.bmp"), "/");
  EXPECT_EQ(folderOfChosenPath(""), "");
}

}  // namespace
