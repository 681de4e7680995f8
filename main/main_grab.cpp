// Taking the current frame into the picture panel and saving it: the aspect rule (which also
// sizes the video surface), the snapshot, the save with its overwrite question, the clipboard,
// the clicks on the picture and the video, the flip, the side of the picture panel, and the
// format, aspect and deinterlace commands.
#include <algorithm>
#include <cstring>
#include <typeinfo>
#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QSignalBlocker>

#include "main/ClickFilter.h"
#include "main/PictureFile.h"
#include "main/VideoWidget.h"
#include "main/main.h"
#include "main/naming.h"
#include "media/GraphModule.h"
#include "media/deinter.h"
#include "resources/restext.h"
#include "settings/Dialogs.h"
#include "settings/PSFunctions.h"
#include "settings/Preferences.h"
#include "settings/ShellServices.h"
#include "settings/optionsunit.h"
#include "sources/ProgramFlags.h"

namespace {

// The video surface at its largest, its bottom on the slider.
constexpr int VideoMaxWidth = 384;
constexpr int VideoMaxHeight = 288;
constexpr int VideoBottom = 336;
constexpr int VideoLeft = 24;
// The picture at its largest, its bottom just above the picture's name.
constexpr int PictureMaxWidth = 192;
constexpr int PictureMaxHeight = 264;
constexpr int PictureBottom = 320;

const QColor MoneyGreen(192, 220, 192);

struct Size {
  int width = 0;
  int height = 0;
};

// The larger side is reduced, so that scaling (not cropping) gives the aspect.
Size forced43(int w, int h) {
  if (3LL * w < 4LL * h) return {w, int(3LL * w / 4)};
  if (4LL * h < 3LL * w) return {int(4LL * h / 3), h};
  return {w, h};
}

Size forced169(int w, int h) {
  if (9LL * w < 16LL * h) return {w, int(9LL * w / 16)};
  if (16LL * h < 9LL * w) return {int(16LL * h / 9), h};
  return {w, h};
}

// The largest size of the picture's aspect inside maxWidth x maxHeight.
Size fitInto(int width, int height, int maxWidth, int maxHeight) {
  if (int64_t(height) * maxWidth <= int64_t(width) * maxHeight)
    return {maxWidth, int(int64_t(height) * maxWidth / width)};
  return {int(int64_t(width) * maxHeight / height), maxHeight};
}

QImage imageOf(const Bitmap& bitmap) {
  const QImage::Format format = bitmap.PixelFormat() == Bitmap::Format::BGR24
                                    ? QImage::Format_BGR888
                                    : QImage::Format_RGB32;
  return QImage(bitmap.Row(0), bitmap.Width(), bitmap.Height(), bitmap.Stride(), format);
}

// Draws `source` scaled into the whole of `destination` (24 bits per pixel).
void drawScaled(const Bitmap& source, Bitmap& destination, int width, int height) {
  destination = Bitmap(width, height, Bitmap::Format::BGR24);
  QImage scaled = imageOf(source);
  if (scaled.width() != width || scaled.height() != height)
    scaled = scaled.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  if (scaled.format() != QImage::Format_BGR888)
    scaled = scaled.convertToFormat(QImage::Format_BGR888);
  for (int y = 0; y < height; ++y)
    std::memcpy(destination.MutableRow(y), scaled.constScanLine(y), size_t(width) * 3);
}

void setBackground(QWidget* widget, QPalette::ColorRole role, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(role, colour);
  widget->setPalette(palette);
}

QColor buttonFace() { return QApplication::palette().color(QPalette::Button); }

}  // namespace

void TGrabForm::connectPictureControls() {
  connect(VideoWindow1, &VideoWidget::mousePressed, this,
          [this](Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
            VideoWindow1MouseDown(button, modifiers);
          });
  ClickFilter::install(Image, [this] { ImageClick(); });
  ClickFilter::install(DestLab, [this] { DestLabClick(); });
  connect(cbDeinterlaceImage, &QCheckBox::toggled, this, [this] { cbDeinterlaceImageClick(); });
}

void TGrabForm::ApplyAspectRatio() {
  if (isTornDown() || !CurrentSource || !FrameBitmap) return;
  int w = 0;
  int h = 0;
  // The plain source stands for an empty window: it has no frame to give.
  if (typeid(*CurrentSource) != typeid(TGrab)) {
    CurrentSource->GrabFrame(*FrameBitmap);
    w = std::max(0, FrameBitmap->Width());
    h = std::max(0, FrameBitmap->Height());
  }

  Size picture{w, h};
  QString aspectName = restext::AspectNative;
  if (Prefs.ImageRatio == 1) {
    picture = forced43(w, h);
    aspectName = restext::Aspect4x3;
  } else if (Prefs.ImageRatio == 2) {
    picture = forced169(w, h);
    aspectName = restext::Aspect16x9;
  }
  PictureWidth = picture.width;
  PictureHeight = picture.height;
  // No usable frame (a frame of one pixel's height can lose its height to 4:3): nothing to take.
  if (PictureWidth <= 0 || PictureHeight <= 0) {
    FrameBitmap->SetHeight(0);
    PictureWidth = VideoMaxWidth;
    PictureHeight = Prefs.ImageRatio == 2 ? 216 : VideoMaxHeight;
  }

  labTaille->setText(w > 0 && h > 0 ? QStringLiteral("%1 x %2  =>  %3 x %4 [%5]")
                                          .arg(w)
                                          .arg(h)
                                          .arg(PictureWidth)
                                          .arg(PictureHeight)
                                          .arg(aspectName)
                                    : QString());

  // The renderer fills the surface: the surface's own size shows the aspect.
  const Size video = fitInto(PictureWidth, PictureHeight, VideoMaxWidth, VideoMaxHeight);
  const int videoTop = VideoBottom - video.height;
  const int videoLeft = VideoLeft + (VideoMaxWidth - video.width) / 2;
  VideoWindow1->setGeometry(videoLeft, videoTop, video.width, video.height);
  CurrentEdit->move(CurrentEdit->x(), videoTop - 40);
  srtlab->move(srtlab->x(), CurrentEdit->y() + 2);
  scnLab->move(scnLab->x(), srtlab->y());
  labTaille->move(videoLeft, videoTop - 12);
}

void TGrabForm::SnapPicture() {
  if (isTornDown()) return;
  UpdateNextName();
  ApplyAspectRatio();
  if (Prefs.DeinterlacePictures) {
    Deinterlace(*FrameBitmap, *DeinterlacedBitmap);
    *FrameBitmap = *DeinterlacedBitmap;
  }
  if (FrameBitmap->Height() <= 0 || FrameBitmap->Width() <= 0) return;

  drawScaled(*FrameBitmap, *PictureBitmap, PictureWidth, PictureHeight);
  labImagetteTaille->setText(QStringLiteral("%1 x %2").arg(PictureWidth).arg(PictureHeight));

  if (SourceReady) {
    Image->setPixmap(QPixmap::fromImage(imageOf(*PictureBitmap).copy()));
    SnapLab->setText(CurrentPosition->GetText());
    // The name carries the timecode of the frame taken, not of a display that may lag behind.
    if (Prefs.NameSuffixKind == 0) buildTimecodeNameFrom(SnapLab->text());
    PictureFileName = NextFileName;
    labsnapname->setText(QFileInfo(PictureFileName).fileName());
    setBackground(labsnapname, QPalette::Button, buttonFace());
    setHint(labsnapname, restext::PictureNotYetSaved);
  }

  const Size shown = fitInto(PictureWidth, PictureHeight, PictureMaxWidth, PictureMaxHeight);
  Image->setGeometry(Image->x(), PictureBottom - shown.height, shown.width, shown.height);
  SnapLab->move(SnapLab->x(), Image->y() - 34);
  Bevel1->move(Bevel1->x(), Image->y() - 42);
  Bevel3->setGeometry(Image->geometry());

  // The picture taken is what the user wants to see: the side panels make way for it.
  if (m_optionsChecked)
    optionsActionExecute();
  else if (m_aproposChecked)
    ImagePanelActionExecute();

  labImagetteTaille->move(Bevel1->x(), Image->y() - 12);
}

void TGrabForm::SavePicture() {
  if (isTornDown() || !SourceReady) return;
  // Nothing was taken yet: there is no picture to write.
  if (PictureBitmap->IsEmpty() || PictureFileName.isEmpty()) return;
  if (!(QFileInfo::exists(PictureFileName) && Prefs.ConfirmOverwrite)) {
    WritePictureFile();
    return;
  }
  QString question = restext::OverwriteQuestion;
  question.replace(QLatin1String("%s"), PictureFileName);
  const DialogButton answer =
      dialogs() ? dialogs()->Ask(question, {DialogButton::Yes, DialogButton::No,
                                            DialogButton::Cancel, DialogButton::YesToAll})
                : DialogButton::No;
  if (isTornDown()) return;  // the window closed while the question was open
  switch (answer) {
    case DialogButton::Yes:
      WritePictureFile();
      break;
    case DialogButton::YesToAll:
      m_options->cbConfirm->setChecked(false);  // its handler turns the confirmation off
      WritePictureFile();
      break;
    case DialogButton::Cancel:
      AbortActionExecute();  // also stops a running intervalometer or command list
      break;
    default:
      break;
  }
}

void TGrabForm::WritePictureFile() {
  if (isTornDown() || !SourceReady) return;
  // The format chosen now; the name (with its extension) is the one fixed by the snapshot.
  const PictureFormat format = Prefs.ImageExtension == 0 ? PictureFormat::BMP : PictureFormat::JPEG;
  const PictureWriteResult written =
      ::WritePictureFile(*PictureBitmap, PictureFileName, format, Prefs.JpegQuality);
  if (!written) {
    // The picture stays in the panel, unsaved; the number does not move.
    if (dialogs()) dialogs()->ShowErrorBox(written.errorText);
    return;
  }
  if (isTornDown()) return;
  setBackground(labsnapname, QPalette::Button, MoneyGreen);
  setHint(labsnapname, restext::PictureAlreadySaved);
  if (Prefs.NameSuffixKind == 1) {
    const QString next = numberAfterWrite(PictureCounter, Prefs.Digits);
    PictureCounter = StrToIntSafe(next);
    m_options->numEdit->setText(next);  // its change rebuilds the numbered name
  }
  UpdateNextName();
}

void TGrabForm::GrabActionExecute() {
  SnapPicture();
  SavePicture();
}

void TGrabForm::CopierActionExecute() {
  if (isTornDown() || !shell()) return;
  shell()->CopyPicture(*PictureBitmap);
}

void TGrabForm::ImageClick() {
  if (isTornDown() || SnapLab->text().isEmpty()) return;
  CurrentPosition->SetText(SnapLab->text());
  CurrentSource->SetPosition(*CurrentPosition, true);
}

void TGrabForm::VideoWindow1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift) {
  if (button == Qt::RightButton) return;  // the video's own menu
  SnapPicture();
  if (shift.testFlag(Qt::ShiftModifier)) SavePicture();
}

void TGrabForm::VertFlipActionExecute() {
  m_vertFlip = !m_vertFlip;
  if (isTornDown()) return;
  CurrentSource->GetPosition(*CurrentPosition);
  if (graphModule()) graphModule()->Superposer().SetVerticalFlip(m_vertFlip);
  // The current frame comes again, through the flip or not.
  CurrentSource->SetPosition(*CurrentPosition, true);
}

void TGrabForm::ImagetteGaucheActionExecute() {
  m_pictureAtLeft = !m_pictureAtLeft;
  Prefs.PictureAtLeft = m_pictureAtLeft;
  ApplyPictureSide(m_pictureAtLeft);
  const QSignalBlocker quiet(m_options->cbImagetteGauche);
  m_options->cbImagetteGauche->setChecked(m_pictureAtLeft);
}

void TGrabForm::BmpActionExecute() {
  Prefs.ImageExtension = 0;
  m_options->rgImageExtension->SetItemIndex(0);  // its handler hides the quality, renames
}

void TGrabForm::JpegActionExecute() {
  Prefs.ImageExtension = 1;
  m_options->rgImageExtension->SetItemIndex(1);
}

namespace {
void selectQuietly(TRadioGroup* group, int index) {
  const QSignalBlocker quiet(group);
  group->SetItemIndex(index);
}
}  // namespace

void TGrabForm::RatioNormalActionExecute() {
  Prefs.ImageRatio = 0;
  selectQuietly(m_options->rgImageRatio, 0);
  ApplyAspectRatio();
}

void TGrabForm::Ratio4x3ActionExecute() {
  Prefs.ImageRatio = 1;
  selectQuietly(m_options->rgImageRatio, 1);
  ApplyAspectRatio();
}

void TGrabForm::Ratio16x9ActionExecute() {
  Prefs.ImageRatio = 2;
  selectQuietly(m_options->rgImageRatio, 2);
  ApplyAspectRatio();
}

void TGrabForm::DeinterlaceActionExecute() {
  Prefs.DeinterlacePictures = !Prefs.DeinterlacePictures;
  cbDeinterlaceImage->setChecked(Prefs.DeinterlacePictures);
}

void TGrabForm::cbDeinterlaceImageClick() {
  Prefs.DeinterlacePictures = cbDeinterlaceImage->isChecked();
}
