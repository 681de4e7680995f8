// The aspect rule: the picture's size, the size text, and where the video surface and the
// picture go for each aspect; the scaling of the frame into the picture.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include "main/VideoWidget.h"
#include "media/deinter.h"
#include "tests/ui/PicturesFixture.h"

namespace {

using pictures::PicturesTest;
using pictures::patternFrame;

struct AspectCase {
  const char* name;
  int frameWidth;  // 0 x 0: the source gives no frame
  int frameHeight;
  int ratio;
  QSize picture;
  QString sizeText;
  QRect video;  // in the video panel
};

void PrintTo(const AspectCase& c, std::ostream* out) { *out << c.name; }

class AspectTest : public PicturesTest, public ::testing::WithParamInterface<AspectCase> {};

void chooseRatio(TGrabForm& form, int ratio) {
  if (ratio == 0) form.RatioNormalActionExecute();
  if (ratio == 1) form.Ratio4x3ActionExecute();
  if (ratio == 2) form.Ratio16x9ActionExecute();
}

TEST_P(AspectTest, PictureSizeSizeTextAndVideoSurfaceFollowTheAspect) {
  const AspectCase& c = GetParam();
  TGrabForm& window = makeForm();
  loadFakeFile(c.frameWidth ? patternFrame(c.frameWidth, c.frameHeight) : Bitmap());
  chooseRatio(window, c.ratio);

  EXPECT_EQ(Prefs.ImageRatio, c.ratio);
  EXPECT_EQ(options().rgImageRatio->ItemIndex(), c.ratio);
  EXPECT_EQ(QSize(window.PictureWidth, window.PictureHeight), c.picture);
  EXPECT_EQ(window.labTaille->text(), c.sizeText);
  EXPECT_EQ(window.VideoWindow1->geometry(), c.video);
  // The timecode edit, the indicators and the size text ride above the surface.
  EXPECT_EQ(window.CurrentEdit->y(), c.video.top() - 40);
  EXPECT_EQ(window.srtlab->y(), c.video.top() - 38);
  EXPECT_EQ(window.scnLab->y(), c.video.top() - 38);
  EXPECT_EQ(window.labTaille->pos(), QPoint(c.video.left(), c.video.top() - 12));
}

INSTANTIATE_TEST_SUITE_P(
    Aspects, AspectTest,
    ::testing::Values(
        AspectCase{"PalNative", 720, 576, 0, {720, 576}, "720 x 576  =>  720 x 576 [native]",
                   {36, 48, 360, 288}},
        AspectCase{"PalForced4x3", 720, 576, 1, {720, 540}, "720 x 576  =>  720 x 540 [4x3]",
                   {24, 48, 384, 288}},
        AspectCase{"PalForced16x9", 720, 576, 2, {720, 405}, "720 x 576  =>  720 x 405 [16x9]",
                   {24, 120, 384, 216}},
        AspectCase{"CifForced4x3", 352, 288, 1, {352, 264}, "352 x 288  =>  352 x 264 [4x3]",
                   {24, 48, 384, 288}},
        AspectCase{"CifForced16x9", 352, 288, 2, {352, 198}, "352 x 288  =>  352 x 198 [16x9]",
                   {24, 120, 384, 216}},
        AspectCase{"VgaForced16x9", 640, 480, 2, {640, 360}, "640 x 480  =>  640 x 360 [16x9]",
                   {24, 120, 384, 216}},
        AspectCase{"VgaForced4x3", 640, 480, 1, {640, 480}, "640 x 480  =>  640 x 480 [4x3]",
                   {24, 48, 384, 288}},
        AspectCase{"PortraitNative", 480, 720, 0, {480, 720}, "480 x 720  =>  480 x 720 [native]",
                   {120, 48, 192, 288}},
        AspectCase{"NoFrameNative", 0, 0, 0, {384, 288}, "", {24, 48, 384, 288}},
        AspectCase{"NoFrame16x9", 0, 0, 2, {384, 216}, "", {24, 120, 384, 216}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PicturesTest, EmptyWindowTakesNoFrameAndSizesTheSurfaceForNone) {
  TGrabForm& window = makeForm();
  dm.holder.held = patternFrame(64, 48);  // a frame the empty source must not take
  window.Ratio16x9ActionExecute();
  EXPECT_EQ(window.FrameBitmap->Height(), 0);
  EXPECT_EQ(window.labTaille->text(), "");
  EXPECT_EQ(window.VideoWindow1->geometry(), QRect(24, 120, 384, 216));
  window.RatioNormalActionExecute();
  EXPECT_EQ(window.VideoWindow1->geometry(), QRect(24, 48, 384, 288));
}

struct PanelCase {
  const char* name;
  int frameWidth;
  int frameHeight;
  QRect image;  // in the picture panel
};

void PrintTo(const PanelCase& c, std::ostream* out) { *out << c.name; }

class PicturePanelTest : public PicturesTest, public ::testing::WithParamInterface<PanelCase> {};

TEST_P(PicturePanelTest, PictureIsFittedWithItsBottomAboveItsName) {
  const PanelCase& c = GetParam();
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(c.frameWidth, c.frameHeight));
  window.SnapPicture();

  EXPECT_EQ(window.Image->geometry(), c.image);
  EXPECT_EQ(window.Image->y() + window.Image->height(), 320);
  EXPECT_EQ(window.SnapLab->y(), c.image.top() - 34);
  EXPECT_EQ(window.Bevel1->y(), c.image.top() - 42);
  EXPECT_EQ(window.Bevel3->geometry(), c.image);
  EXPECT_EQ(window.labImagetteTaille->pos(), QPoint(window.Bevel1->x(), c.image.top() - 12));
  EXPECT_EQ(window.labImagetteTaille->text(),
            QStringLiteral("%1 x %2").arg(c.frameWidth).arg(c.frameHeight));
}

INSTANTIATE_TEST_SUITE_P(Pictures, PicturePanelTest,
                         ::testing::Values(PanelCase{"Landscape", 768, 576, {24, 176, 192, 144}},
                                           PanelCase{"Portrait", 480, 720, {24, 56, 176, 264}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PicturesTest, SnapShowsTheFrameItsTimecodeAndItsComingName) {
  TGrabForm& window = makeForm();
  dm.graph.position = 65 * UnitsPerSecond + 12 * 400'000;  // 0:01:05:12
  const Bitmap frame = patternFrame(320, 240);
  loadFakeFile(frame);
  window.SnapPicture();

  // Native aspect: the picture is the frame itself, pixel for pixel.
  EXPECT_TRUE(pictures::samePixels(*window.PictureBitmap, frame));
  ASSERT_FALSE(window.Image->pixmap().isNull());
  EXPECT_EQ(window.Image->pixmap().size(), QSize(320, 240));
  EXPECT_EQ(window.SnapLab->text(), "0:01:05:12");
  EXPECT_EQ(window.PictureFileName, path("Pictures/holiday__0000.bmp"));
  EXPECT_EQ(window.labsnapname->text(), "holiday__0000.bmp");
  EXPECT_EQ(window.labsnapname->toolTip(), "This picture has not yet been saved");
}

TEST_F(PicturesTest, ScalingAveragesRatherThanPicksPixels) {
  // Rows alternately black and white: halved in height, a good filter gives grey everywhere.
  Bitmap stripes(64, 96, Bitmap::Format::BGR24);
  for (int y = 0; y < stripes.Height(); ++y)
    std::memset(stripes.MutableRow(y), y % 2 ? 255 : 0, size_t(stripes.Width()) * 3);
  TGrabForm& window = makeForm();
  loadFakeFile(stripes);
  window.Ratio16x9ActionExecute();  // 64 x 96 -> 64 x 36
  window.SnapPicture();
  ASSERT_EQ(QSize(window.PictureBitmap->Width(), window.PictureBitmap->Height()), QSize(64, 36));
  const Bitmap& picture = *window.PictureBitmap;
  for (int y = 1; y < picture.Height() - 1; ++y) {
    const int grey = picture.Row(y)[3 * 32];
    EXPECT_GT(grey, 60) << "row " << y;
    EXPECT_LT(grey, 195) << "row " << y;
  }
}

TEST_F(PicturesTest, SnapWithoutAFrameChangesNothingInThePanel) {
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(100, 80));
  window.SnapPicture();
  const Bitmap before = *window.PictureBitmap;
  const QString name = window.labsnapname->text();

  dm.holder.held = Bitmap();  // the source now gives nothing
  window.SnapPicture();
  EXPECT_TRUE(pictures::samePixels(*window.PictureBitmap, before));
  EXPECT_EQ(window.labsnapname->text(), name);
  EXPECT_EQ(window.labTaille->text(), "");
}

TEST_F(PicturesTest, DeinterlacedSnapTakesTheRepairedFrame) {
  // Alternate rows far apart over a flat area: a comb the deinterlacer must repair.
  Bitmap combed(64, 48, Bitmap::Format::BGR24);
  for (int y = 0; y < combed.Height(); ++y)
    std::memset(combed.MutableRow(y), y % 2 ? 230 : 20, size_t(combed.Width()) * 3);
  Bitmap repaired;
  Deinterlace(combed, repaired);
  ASSERT_FALSE(pictures::samePixels(repaired, combed)) << "the fixture must be combed";

  TGrabForm& window = makeForm();
  loadFakeFile(combed);
  window.DeinterlaceActionExecute();
  EXPECT_TRUE(Prefs.DeinterlacePictures);
  EXPECT_TRUE(window.cbDeinterlaceImage->isChecked());
  window.SnapPicture();
  EXPECT_TRUE(pictures::samePixels(*window.PictureBitmap, repaired));

  window.cbDeinterlaceImage->setChecked(false);  // the box alone turns it off again
  EXPECT_FALSE(Prefs.DeinterlacePictures);
  window.SnapPicture();
  EXPECT_TRUE(pictures::samePixels(*window.PictureBitmap, combed));
}

}  // namespace
