// Saving the picture: the overwrite question and its answers, the file's contents and format,
// the running number, and a write that fails.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>

#include "resources/restext.h"
#include "tests/ui/PicturesFixture.h"

namespace {

using pictures::PicturesTest;
using pictures::patternFrame;

QByteArray contents(const QString& file) {
  QFile in(file);
  return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

// The picture a saved file decodes to, as 24-bit rows.
Bitmap decoded(const QString& file) {
  const QImage image = QImage(file).convertToFormat(QImage::Format_BGR888);
  Bitmap picture(image.width(), image.height(), Bitmap::Format::BGR24);
  for (int y = 0; y < image.height(); ++y)
    std::memcpy(picture.MutableRow(y), image.constScanLine(y), size_t(image.width()) * 3);
  return picture;
}

TEST_F(PicturesTest, SavedBmpHoldsThePictureExactlyAndTheNumberMovesOn) {
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(352, 288));
  window.Ratio4x3ActionExecute();
  window.SnapPicture();
  const QString file = window.PictureFileName;
  window.SavePicture();

  EXPECT_TRUE(pictures::samePixels(decoded(file), *window.PictureBitmap));
  EXPECT_EQ(decoded(file).Height(), 264);
  EXPECT_EQ(window.labsnapname->toolTip(), "This picture has already been saved");
  EXPECT_EQ(window.labsnapname->palette().color(QPalette::Button), QColor(192, 220, 192));
  EXPECT_EQ(options().numEdit->text(), "0001");
  EXPECT_EQ(window.PictureCounter, 1);
  EXPECT_EQ(window.DestLab->text(), path("Pictures/holiday__0001.bmp"));
  EXPECT_TRUE(dialogs.shown.empty()) << "a new file needs no question";
}

TEST_F(PicturesTest, JpegChosenAfterTheSnapWritesJpegUnderTheBmpName) {
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(160, 120));
  window.SnapPicture();
  ASSERT_TRUE(window.PictureFileName.endsWith(".bmp"));
  window.JpegActionExecute();
  window.SavePicture();

  const QByteArray bytes = contents(window.PictureFileName);
  ASSERT_GE(bytes.size(), 3);
  EXPECT_EQ(bytes.left(3), QByteArray("\xFF\xD8\xFF", 3)) << "JPEG data";
  EXPECT_TRUE(window.DestLab->text().endsWith("_0001.jpg")) << "later names take the format";
}

struct OverwriteCase {
  const char* name;
  DialogButton answer;
  bool written;
  bool aborted;
  bool stillConfirming;
};

void PrintTo(const OverwriteCase& c, std::ostream* out) { *out << c.name; }

class OverwriteTest : public PicturesTest, public ::testing::WithParamInterface<OverwriteCase> {};

TEST_P(OverwriteTest, AnswerDecidesWhetherTheExistingFileIsReplaced) {
  const OverwriteCase& c = GetParam();
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(64, 48));
  window.SnapPicture();
  const QString file = window.PictureFileName;
  {
    QFile existing(file);
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old");
  }
  dialogs.answers = {c.answer};
  window.SavePicture();

  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "The file " + file +
                " exists already .Do you want to overwrite it?\r\n\r\nClick on \"Yes to All\" if "
                "you do no more want to be prompted for confirmation.");
  EXPECT_EQ(dialogs.shown[0].buttons,
            (std::vector<DialogButton>{DialogButton::Yes, DialogButton::No, DialogButton::Cancel,
                                       DialogButton::YesToAll}));
  EXPECT_EQ(contents(file) != "old", c.written);
  EXPECT_EQ(StopRequested.load(), c.aborted);
  EXPECT_EQ(Prefs.ConfirmOverwrite, c.stillConfirming);
  EXPECT_EQ(options().cbConfirm->isChecked(), c.stillConfirming);
  EXPECT_EQ(options().numEdit->text(), c.written ? "0001" : "0000");

  // Saving the same picture again asks again only while confirmation is on.
  dialogs.shown.clear();
  dialogs.answers = {DialogButton::No};
  window.SavePicture();
  EXPECT_EQ(dialogs.shown.size(), c.stillConfirming ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, OverwriteTest,
    ::testing::Values(OverwriteCase{"Yes", DialogButton::Yes, true, false, true},
                      OverwriteCase{"No", DialogButton::No, false, false, true},
                      OverwriteCase{"Cancel", DialogButton::Cancel, false, true, true},
                      OverwriteCase{"YesToAll", DialogButton::YesToAll, true, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PicturesTest, ExistingFileIsReplacedWithoutAQuestionWhenConfirmationIsOff) {
  TGrabForm& window = makeForm();
  options().cbConfirm->setChecked(false);
  EXPECT_FALSE(Prefs.ConfirmOverwrite);
  loadFakeFile(patternFrame(64, 48));
  window.SnapPicture();
  QFile existing(window.PictureFileName);
  ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
  existing.close();
  window.SavePicture();
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_GT(QFileInfo(window.PictureFileName).size(), 54);
}

TEST_F(PicturesTest, FailedWriteIsReportedAndLosesNothing) {
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(64, 48));
  window.SnapPicture();
  const Bitmap picture = *window.PictureBitmap;
  const QString file = window.PictureFileName;
  ASSERT_TRUE(QDir(path("Pictures")).removeRecursively());  // the folder is gone

  window.SavePicture();

  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, ScriptedDialogs::Kind::ErrorBox);
  EXPECT_TRUE(dialogs.shown[0].text.contains(file)) << dialogs.shown[0].text.toStdString();
  EXPECT_TRUE(dialogs.shown[0].text.contains("No such file or directory"))
      << dialogs.shown[0].text.toStdString();
  EXPECT_EQ(options().numEdit->text(), "0000");
  EXPECT_EQ(window.PictureCounter, 0);
  EXPECT_EQ(window.labsnapname->toolTip(), "This picture has not yet been saved");
  EXPECT_TRUE(pictures::samePixels(*window.PictureBitmap, picture));
  EXPECT_FALSE(window.Image->pixmap().isNull());

  // Once the folder is back, the same picture saves under the same name.
  ASSERT_TRUE(QDir().mkpath(path("Pictures")));
  window.SavePicture();
  EXPECT_TRUE(pictures::samePixels(decoded(file), picture));
  EXPECT_EQ(options().numEdit->text(), "0001");
}

TEST_F(PicturesTest, NothingIsSavedBeforeAnySourceOrAnySnap) {
  TGrabForm& window = makeForm();
  window.SavePicture();  // no source ever loaded
  loadFakeFile(patternFrame(64, 48));
  window.SavePicture();  // loaded, but nothing taken yet
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_TRUE(QDir(path("Pictures")).isEmpty());
  EXPECT_EQ(options().numEdit->text(), "0000");
}

TEST_F(PicturesTest, NumberWrapsAroundToItsDigitCount) {
  TGrabForm& window = makeForm();
  options().numEdit->setText("9999");
  loadFakeFile(patternFrame(32, 24));
  window.GrabActionExecute();
  EXPECT_TRUE(QFileInfo::exists(path("Pictures/holiday__9999.bmp")));
  EXPECT_EQ(options().numEdit->text(), "0000");
  EXPECT_EQ(window.PictureCounter, 0);
}

TEST_F(PicturesTest, TimecodeNamesCarryTheTimecodeOfThePictureTaken) {
  TGrabForm& window = makeForm();
  window.AjouterTimecodeActionExecute();
  dm.graph.position = 65 * UnitsPerSecond + 12 * 400'000;
  loadFakeFile(patternFrame(32, 24));
  window.CurrentEdit->setText("0:00:00:00");  // a display that has not caught up yet
  window.GrabActionExecute();
  EXPECT_EQ(window.PictureFileName, path("Pictures/holiday__0.01.05.12.bmp"));
  EXPECT_TRUE(QFileInfo::exists(window.PictureFileName));
  EXPECT_EQ(options().numEdit->text(), "0000") << "the number only moves with numbered names";
}

TEST_F(PicturesTest, CopyPutsThePictureOnTheClipboard) {
  TGrabForm& window = makeForm();
  loadFakeFile(patternFrame(48, 32));
  window.SnapPicture();
  window.CopierActionExecute();
  EXPECT_EQ(shell.copies, 1);
  EXPECT_TRUE(pictures::samePixels(shell.clipboardPicture, *window.PictureBitmap));
}

}  // namespace
