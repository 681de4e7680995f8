// The main window's fixed layout: every region and control at its place and size, in client
// pixels. Later operations (aspect, picture size) move controls relative to these places.
#include <QCheckBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QToolBar>

#include "main/NeedleGauge.h"
#include "main/VideoWidget.h"
#include "main/main.h"

namespace {

constexpr int ClientWidth = 680;
constexpr int ToolBarHeight = 33;
constexpr int InfoBarTop = 33;
constexpr int BarHeight = 33;
constexpr int PanelsTop = 66;
constexpr int VideoPanelWidth = 438;
constexpr int SidePanelWidth = 242;
constexpr int PanelsHeight = 412;
constexpr int BottomBarTop = 476;
constexpr int BottomBarHeight = 31;

const QColor Maroon(128, 0, 0);

QFrame* makePanel(QWidget* parent, const char* name, const QRect& place) {
  auto* panel = new QFrame(parent);
  panel->setObjectName(name);
  panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel->setGeometry(place);
  return panel;
}

// A place kept for a panel or bar that fills itself.
QFrame* makeFrame(QWidget* parent, const char* name, const QRect& place) {
  auto* frame = new QFrame(parent);
  frame->setObjectName(name);
  frame->setGeometry(place);
  return frame;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QRect& place,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  label->setGeometry(place);
  label->setAlignment(alignment);
  return label;
}

void setTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

}  // namespace

void TGrabForm::buildLayout() {
  ToolBar1 = new QToolBar(this);
  ToolBar1->setObjectName("ToolBar1");
  ToolBar1->setGeometry(0, 0, ClientWidth, ToolBarHeight);
  ToolBar1->setIconSize(QSize(22, 22));
  ToolBar1->setMovable(false);
  ToolBar1->setFloatable(false);

  // --- Info bar
  Panel1 = makePanel(this, "Panel1", QRect(0, InfoBarTop, ClientWidth, BarHeight));
  EnCoursLab = makeLabel(Panel1, "EnCoursLab", QRect(16, 9, 420, 16));
  setTextColour(EnCoursLab, Maroon);
  EnCoursLab->setCursor(Qt::PointingHandCursor);
  DureeLab = makeLabel(Panel1, "DureeLab", QRect(632 - 180, 9, 180, 16),
                       Qt::AlignRight | Qt::AlignVCenter);
  setTextColour(DureeLab, Maroon);

  // --- Video panel
  Panel3 = makePanel(this, "Panel3", QRect(0, PanelsTop, VideoPanelWidth, PanelsHeight));
  CurrentEdit = new QLineEdit(Panel3);
  CurrentEdit->setObjectName("CurrentEdit");
  CurrentEdit->setGeometry(131, 14, 176, 21);
  CurrentEdit->setAlignment(Qt::AlignCenter);
  scnLab = makeLabel(Panel3, "scnLab", QRect(344, 16, 22, 15));
  srtlab = makeLabel(Panel3, "srtlab", QRect(368, 16, 22, 15));
  for (QLabel* indicator : {scnLab, srtlab}) {
    indicator->setCursor(Qt::PointingHandCursor);
    indicator->hide();
  }
  // The video surface at its largest, its bottom on the slider; the aspect rule resizes it.
  VideoWindow1 = new VideoWidget(Panel3);
  VideoWindow1->setObjectName("VideoWindow1");
  VideoWindow1->setGeometry(24, 336 - 288, 384, 288);
  labTaille = makeLabel(Panel3, "labTaille", QRect(24, 336 - 288 - 12, 384, 12));
  tb = new QSlider(Qt::Horizontal, Panel3);
  tb->setObjectName("tb");
  tb->setGeometry(24, 336, 385, 40);
  tb->setRange(0, 1'000'000);
  tb->setPageStep(50'000);
  tb->setTickPosition(QSlider::NoTicks);
  // The four navigation bars share one place; the one of the current source is shown.
  nav_fileframe1 = makeFrame(Panel3, "nav_fileframe1", QRect(2, 372, 434, 33));
  nav_CDframe1 = makeFrame(Panel3, "nav_CDframe1", QRect(2, 372, 434, 33));
  nav_captureframe1 = makeFrame(Panel3, "nav_captureframe1", QRect(2, 372, 434, 33));
  nav_videframe1 = makeFrame(Panel3, "nav_videframe1", QRect(2, 372, 434, 33));
  intervalloframe1 = makeFrame(Panel3, "intervalloframe1", QRect(2, 339, 434, 68));
  intervalloframe1->hide();

  // --- Side area: the picture panel, or the options or About panel in its place.
  Panel4 = makePanel(this, "Panel4", QRect(0, PanelsTop, SidePanelWidth, PanelsHeight));
  Bevel1 = makeFrame(Panel4, "Bevel1", QRect(24, 136, 192, 25));
  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  SnapLab = makeLabel(Panel4, "SnapLab", QRect(26, 176 - 34, 188, 13), Qt::AlignCenter);
  labImagetteTaille = makeLabel(Panel4, "labImagetteTaille", QRect(24, 176 - 12, 192, 12));
  Bevel3 = makeFrame(Panel4, "Bevel3", QRect(24, 176, 192, 144));
  Bevel3->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Image = makeLabel(Panel4, "Image", QRect(24, 176, 192, 144), Qt::AlignCenter);
  Image->setScaledContents(true);
  labsnapname = makeLabel(Panel4, "labsnapname", QRect(24, 320, 192, 16), Qt::AlignCenter);
  labsnapname->setAutoFillBackground(true);
  labsnapname->setBackgroundRole(QPalette::Button);
  GroupBox1 = new QGroupBox(Panel4);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(24, 336, 192, 57);
  cbDeinterlaceImage = new QCheckBox(GroupBox1);
  cbDeinterlaceImage->setObjectName("cbDeinterlaceImage");
  cbDeinterlaceImage->setGeometry(8, 8, 124, 18);
  cbMuteVideo = new QCheckBox(GroupBox1);
  cbMuteVideo->setObjectName("cbMuteVideo");
  cbMuteVideo->setGeometry(8, 31, 124, 18);
  GaugeVolume = new NeedleGauge(GroupBox1);
  GaugeVolume->setObjectName("GaugeVolume");
  GaugeVolume->setGeometry(136, 19, 48, 20);
  GaugeVolume->SetRange(0, 100);

  OptionsFrame1 = makeFrame(this, "OptionsFrame1", QRect(0, PanelsTop, SidePanelWidth, PanelsHeight));
  AproposFrame1 = makeFrame(this, "AproposFrame1", QRect(0, PanelsTop, SidePanelWidth, PanelsHeight));
  OptionsFrame1->hide();
  AproposFrame1->hide();

  // --- Bottom bar
  Panel2 = makePanel(this, "Panel2", QRect(0, BottomBarTop, ClientWidth, BottomBarHeight));
  DestLab = makeLabel(Panel2, "DestLab", QRect(16, 7, 440, 16));
  setTextColour(DestLab, Maroon);
  DestLab->setCursor(Qt::PointingHandCursor);
  DestLab->setAutoFillBackground(true);  // turns red when the next name exists already
  intervallolab = makeLabel(Panel2, "intervallolab", QRect(464, 5, 200, 20),
                            Qt::AlignRight | Qt::AlignVCenter);
  intervallolab->hide();

  // --- Error panel, over the video area and above everything else.
  Erreur_Frame1 = makeFrame(this, "Erreur_Frame1", QRect(128, 81, 457, 310));
  Erreur_Frame1->setAutoFillBackground(true);
  Erreur_Frame1->hide();
  Erreur_Frame1->raise();
}

void TGrabForm::ApplyPictureSide(bool atLeft) {
  const int sideLeft = atLeft ? 0 : VideoPanelWidth;
  for (QFrame* side : {Panel4, OptionsFrame1, AproposFrame1}) side->move(sideLeft, PanelsTop);
  Panel3->move(atLeft ? SidePanelWidth : 0, PanelsTop);
}
