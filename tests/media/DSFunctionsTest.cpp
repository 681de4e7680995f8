// The start-up check of the media framework, finding elements and devices, drive labels.
#include <gtest/gtest.h>

#include <vector>
#include <QTemporaryDir>

#include "media/DSFunctions.h"

namespace {

struct Report {
  QString message;
  bool fatal;
};

std::vector<Report> check(const QString& version, const QStringList& missing) {
  std::vector<Report> reports;
  CheckPlatform([&](const QString& message, bool fatal) { reports.push_back({message, fatal}); },
                version, [&](const QString& name) { return !missing.contains(name); });
  return reports;
}

TEST(CheckPlatformTest, EveryRequiredElementIsInstalledHere) {
  std::vector<Report> reports;
  CheckPlatform([&](const QString& message, bool fatal) { reports.push_back({message, fatal}); });
  for (const Report& r : reports) ADD_FAILURE() << r.message.toStdString();
  EXPECT_FALSE(IsOutdatedVersion(DirectXVersion()));
}

TEST(CheckPlatformTest, OneMissingElementGivesALineBreakItsTextAndTheVersion) {
  const auto reports = check("1.22.0", {"Null Renderer"});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_TRUE(reports[0].fatal);
  EXPECT_EQ(reports[0].message,
            "\r\nThe Null Renderer  filter is not available on your system. (element fakesink)"
            "\r\n\r\nYou have GStreamer version1.22.0");
}

TEST(CheckPlatformTest, FirstElementsTextStandsAloneAndTheOthersFollowOnNewLines) {
  const auto reports = check("1.22.0", {"Color Space Converter", "File Source (Async.)"});
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].message,
            "The filter Color Space Converter is not installed on your system. (element videoconvert)"
            "\r\nThe File Source (Async.) filter is not available on your system (element filesrc)"
            "\r\n\r\nYou have GStreamer version1.22.0");
}

struct VersionCase {
  const char* version;
  bool warned;
};

class VersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionTest, VersionsBelow1Point20AreWarnedAboutOnly) {
  const auto reports = check(GetParam().version, {});
  ASSERT_EQ(reports.size(), GetParam().warned ? 1u : 0u);
  if (GetParam().warned) {
    EXPECT_FALSE(reports[0].fatal);
    EXPECT_EQ(reports[0].message, QString("You have GStreamer version %1. You should update your version.")
                                      .arg(GetParam().version));
  }
}

INSTANTIATE_TEST_SUITE_P(Versions, VersionTest,
                         ::testing::Values(VersionCase{"1.18.4", true}, VersionCase{"1.19.90", true},
                                           VersionCase{"1.20.0", false}, VersionCase{"1.22.0", false},
                                           VersionCase{"2.0.0", false}, VersionCase{"0.10.36", true},
                                           VersionCase{"Error", true}));

TEST(FindFilterTest, NamesAndCategoriesMatchWhateverTheirLetterCase) {
  EXPECT_TRUE(FindFilter("DirectShow Filters", "Null Renderer"));
  EXPECT_TRUE(FindFilter("directshow FILTERS", "null renderer"));
  EXPECT_TRUE(FindFilter("DirectShow Filters", "smart tee"));
  EXPECT_EQ(ElementForFilter("SAMPLEGRABBER"), "appsink");
  // An element may be named directly.
  EXPECT_TRUE(FindFilter("DirectShow Filters", "videoconvert"));
  EXPECT_FALSE(FindFilter("DirectShow Filters", "No Such Filter"));
  EXPECT_FALSE(FindFilter("Audio Renderers", "Null Renderer"));
  EXPECT_FALSE(FindFilter("Video Capture Sources", "No Such Camera 3000"));
}

TEST(ListCaptureDevicesTest, ListsOnlyDevicesAndSaysItFilledTheList) {
  QStringList devices = {"left over"};
  EXPECT_TRUE(ListCaptureDevices(devices));
  EXPECT_FALSE(devices.contains("left over"));
  for (const QString& name : devices) EXPECT_TRUE(FindFilter("Video Capture Sources", name));
}

TEST(VolumeLabelTest, NoVolumeLeavesTheLabelAsItWas) {
  QString label = "kept";
  VolumeLabel("/no/such/mount/point", label);
  EXPECT_EQ(label, "kept");
}

}  // namespace
