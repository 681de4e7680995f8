// Taking pictures out of a real clip through the real graph module: the picture shows the frame
// the video stands on, the flip reaches the next picture, and a click on the picture brings the
// video back to it.
#include <gtest/gtest.h>

#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QTest>

#include "media/graph.h"
#include "tests/support/FrameIndex.h"
#include "tests/support/TestMedia.h"
#include "tests/ui/PicturesFixture.h"

namespace {

class GrabClipTest : public pictures::PicturesTest {
 protected:
  // The window playing through the real graph module, with the clip loaded as the open command
  // loads it.
  TGrabForm& loadClip(const char* name) {
    const QString clip = TestMedia(name);
    EXPECT_TRUE(QFileInfo::exists(clip)) << clip.toStdString()
                                         << " is missing: build the test-media target first";
    TGrabForm& window = makeForm();
    window.SetGraphModule(&m_real);
    window.LoadVideoFile(clip);
    EXPECT_TRUE(SourceReady.load());
    return window;
  }

  // Moves the video to a frame and waits for it, as a seek with wait does.
  void goToFrame(TGrabForm& window, int frame) {
    window.CurrentPosition->SetText(QStringLiteral("0:00:00:%1").arg(frame, 2, 10, QChar('0')));
    window.CurrentSource->SetPosition(*window.CurrentPosition, true);
  }

  Tdm m_real;
};

TEST_F(GrabClipTest, SnapShowsTheFrameTheVideoStandsOn) {
  TGrabForm& window = loadClip("frames25.avi");
  window.SnapPicture();
  EXPECT_EQ(ReadFrameIndex(*window.PictureBitmap), 0);
  EXPECT_EQ(QSize(window.PictureBitmap->Width(), window.PictureBitmap->Height()), QSize(320, 240));
  EXPECT_FALSE(window.Image->pixmap().isNull());
  EXPECT_EQ(window.SnapLab->text(), "0:00:00:00");
  EXPECT_EQ(window.labTaille->text(), "320 x 240  =>  320 x 240 [native]");

  goToFrame(window, 17);
  window.SnapPicture();
  EXPECT_EQ(ReadFrameIndex(*window.PictureBitmap), 17);
  EXPECT_EQ(window.SnapLab->text(), "0:00:00:17");
}

TEST_F(GrabClipTest, VerticalFlipShowsInTheNextPicture) {
  TGrabForm& window = loadClip("frames25.avi");
  goToFrame(window, 6);
  window.VertFlipActionExecute();
  window.SnapPicture();
  EXPECT_EQ(ReadFlippedFrameIndex(*window.PictureBitmap), 6);
  EXPECT_EQ(ReadFrameIndex(*window.PictureBitmap), -1);

  window.VertFlipActionExecute();
  window.SnapPicture();
  EXPECT_EQ(ReadFrameIndex(*window.PictureBitmap), 6);
}

TEST_F(GrabClipTest, ClickOnThePictureBringsTheVideoBackToItsFrame) {
  TGrabForm& window = loadClip("frames25.avi");
  goToFrame(window, 10);
  window.SnapPicture();
  goToFrame(window, 20);
  QTest::mouseClick(window.Image, Qt::LeftButton);
  Bitmap held;
  m_real.Superposer().CopyHeldFrame(held);
  EXPECT_EQ(ReadFrameIndex(held), 10);
}

TEST_F(GrabClipTest, GrabSavesTheFrameAsJpeg) {
  TGrabForm& window = loadClip("frames25.avi");
  window.JpegActionExecute();
  goToFrame(window, 3);
  window.GrabActionExecute();
  const QString file = path("Pictures/frames25_0000.jpg");
  ASSERT_TRUE(QFileInfo::exists(file));
  const QImage saved(file);
  ASSERT_FALSE(saved.isNull());
  const QImage rgb = saved.convertToFormat(QImage::Format_BGR888);
  Bitmap decoded(rgb.width(), rgb.height(), Bitmap::Format::BGR24);
  for (int y = 0; y < rgb.height(); ++y)
    std::memcpy(decoded.MutableRow(y), rgb.constScanLine(y), size_t(rgb.width()) * 3);
  EXPECT_EQ(ReadFrameIndex(decoded), 3);
}

}  // namespace
