// The picture commands and clicks: the video and picture clicks, the flip, the panel side, and
// the format choice.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include "main/VideoWidget.h"
#include "tests/ui/PicturesFixture.h"

namespace {

using pictures::PicturesTest;
using pictures::patternFrame;

struct ClickCase {
  const char* name;
  Qt::MouseButton button;
  Qt::KeyboardModifiers modifiers;
  bool snaps;
  bool saves;
};

void PrintTo(const ClickCase& c, std::ostream* out) { *out << c.name; }

class VideoClickTest : public PicturesTest, public ::testing::WithParamInterface<ClickCase> {};

TEST_P(VideoClickTest, ButtonAndShiftDecideSnapAndSave) {
  const ClickCase& c = GetParam();
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(64, 48));
  QTest::mouseClick(window.VideoWindow1, c.button, c.modifiers, QPoint(10, 10));
  EXPECT_EQ(!window.PictureBitmap->IsEmpty(), c.snaps);
  EXPECT_EQ(QFileInfo::exists(path("Pictures/holiday__0000.bmp")), c.saves);
}

INSTANTIATE_TEST_SUITE_P(
    Clicks, VideoClickTest,
    ::testing::Values(ClickCase{"Left", Qt::LeftButton, Qt::NoModifier, true, false},
                      ClickCase{"Middle", Qt::MiddleButton, Qt::NoModifier, true, false},
                      ClickCase{"ShiftLeft", Qt::LeftButton, Qt::ShiftModifier, true, true},
                      ClickCase{"Right", Qt::RightButton, Qt::NoModifier, false, false},
                      ClickCase{"ShiftRight", Qt::RightButton, Qt::ShiftModifier, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PicturesTest, ClickOnThePictureReturnsTheVideoToItsFrame) {
  TGrabForm& window = makeForm();
  dm.graph.position = 12 * 400'000;  // 0:00:00:12
  loadFakeFile(patternFrame(64, 48));
  window.SnapPicture();
  ASSERT_EQ(window.SnapLab->text(), "0:00:00:12");
  dm.graph.position = 90 * UnitsPerSecond;
  dm.graph.seeks.clear();

  QTest::mouseClick(window.Image, Qt::LeftButton);
  ASSERT_EQ(dm.graph.seeks.size(), 1u);
  EXPECT_EQ(dm.graph.seeks[0], 12 * 400'000);
  EXPECT_EQ(dm.graph.position, 12 * 400'000);
}

TEST_F(PicturesTest, ClickOnAnEmptyPictureMovesNothing) {
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(64, 48));
  dm.graph.seeks.clear();
  window.ImageClick();
  EXPECT_TRUE(dm.graph.seeks.empty());
}

TEST_F(PicturesTest, VerticalFlipTurnsTheFilterAndBringsTheFrameAgain) {
  TGrabForm& window = makeForm();
  dm.graph.position = 5 * 400'000;
  loadFakeFile(patternFrame(64, 48));
  dm.graph.seeks.clear();

  window.VertFlipActionExecute();
  EXPECT_TRUE(window.VertFlipActionChecked());
  EXPECT_TRUE(dm.holder.flip);
  ASSERT_EQ(dm.graph.seeks.size(), 1u);
  EXPECT_EQ(dm.graph.seeks[0], 5 * 400'000) << "the same frame, delivered again";

  window.VertFlipActionExecute();
  EXPECT_FALSE(window.VertFlipActionChecked());
  EXPECT_FALSE(dm.holder.flip);
  EXPECT_EQ(dm.graph.seeks.size(), 2u);
}

TEST_F(PicturesTest, PictureSideCommandAndItsBoxMoveThePanelsTogether) {
  TGrabForm& window = makeForm();
  ASSERT_TRUE(window.ImagetteGaucheActionChecked());
  window.ImagetteGaucheActionExecute();
  EXPECT_FALSE(Prefs.PictureAtLeft);
  EXPECT_FALSE(options().cbImagetteGauche->isChecked());
  EXPECT_EQ(window.Panel3->x(), 0);
  EXPECT_EQ(window.Panel4->x(), 438);
  EXPECT_EQ(window.OptionsFrame1->x(), 438);

  options().cbImagetteGauche->click();  // the box runs the command
  EXPECT_TRUE(window.ImagetteGaucheActionChecked());
  EXPECT_TRUE(Prefs.PictureAtLeft);
  EXPECT_EQ(window.Panel3->x(), 242);
  EXPECT_EQ(window.Panel4->x(), 0);
}

TEST_F(PicturesTest, FormatCommandsSelectTheFormatShowTheQualityAndRename) {
  TGrabForm& window = makeForm();
  window.JpegActionExecute();
  EXPECT_EQ(Prefs.ImageExtension, 1);
  EXPECT_EQ(options().rgImageExtension->ItemIndex(), 1);
  EXPECT_FALSE(options().GroupBox2->isHidden());
  EXPECT_TRUE(window.NextFileName.endsWith(".jpg"));
  window.BmpActionExecute();
  EXPECT_EQ(Prefs.ImageExtension, 0);
  EXPECT_EQ(options().rgImageExtension->ItemIndex(), 0);
  EXPECT_TRUE(options().GroupBox2->isHidden());
  EXPECT_TRUE(window.NextFileName.endsWith(".bmp"));
}

TEST_F(PicturesTest, SnapBringsThePicturePanelBackOverTheSettings) {
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(64, 48));
  window.optionsActionExecute();
  ASSERT_TRUE(window.OptionsFrame1->isVisible());
  window.SnapPicture();
  EXPECT_FALSE(window.optionsActionChecked());
  EXPECT_TRUE(window.ImagePanelActionChecked());
  EXPECT_FALSE(window.OptionsFrame1->isVisible());
}

}  // namespace
