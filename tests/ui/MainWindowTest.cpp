// The main window's spine: start-up state, fixed layout, key preview and closing.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <typeinfo>
#include <vector>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "main/NeedleGauge.h"
#include "main/VideoWidget.h"
#include "main/main.h"
#include "resources/restext.h"
#include "sources/FlagWait.h"
#include "sources/ProgramFlags.h"

namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // Tests close windows outside the application's own loop: that must not end the run.
    qApp->setQuitOnLastWindowClosed(false);
  }
};

TEST_F(MainWindowTest, StartsWithVersionCaptionAndTheEmptySource) {
  TGrabForm form;
  form.show();

  EXPECT_EQ(form.windowTitle(), "Pictorel 4.1.3 by Velmoran");
  EXPECT_EQ(form.VersionText, "4.1.3");
  EXPECT_EQ(form.BuildDateText,
            QLocale::system().toString(QDate(2007, 6, 8), QLocale::ShortFormat));

  ASSERT_NE(form.CurrentSource, nullptr);
  ASSERT_NE(form.CurrentPosition, nullptr);
  EXPECT_EQ(typeid(*form.CurrentSource), typeid(TGrab));
  EXPECT_EQ(form.EnCoursLab->text(), "Click on a button to load a video");
  EXPECT_EQ(form.DureeLab->text(), "");
  EXPECT_EQ(form.CurrentEdit->text(), "");
  EXPECT_FALSE(form.tb->isVisible());
  EXPECT_FALSE(form.Timer1->isActive());
  EXPECT_EQ(form.Timer1->interval(), 25);

  EXPECT_TRUE(form.nav_videframe1->isVisible());
  for (QFrame* bar : {form.nav_fileframe1, form.nav_CDframe1, form.nav_captureframe1})
    EXPECT_FALSE(bar->isVisible()) << bar->objectName().toStdString();
  for (QWidget* hidden : std::initializer_list<QWidget*>{
           form.intervalloframe1, form.Erreur_Frame1, form.OptionsFrame1, form.AproposFrame1,
           form.scnLab, form.srtlab, form.intervallolab})
    EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();

  for (const auto* buffer : {form.FrameBitmap.get(), form.DeinterlacedBitmap.get(),
                             form.PictureBitmap.get()}) {
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->PixelFormat(), Bitmap::Format::BGR24);
  }
}

TEST_F(MainWindowTest, ClientAreaIsFixedAt680By507WithoutMaximise) {
  TGrabForm form;
  form.show();
  EXPECT_EQ(form.size(), QSize(680, 507));
  EXPECT_EQ(form.minimumSize(), QSize(680, 507));
  EXPECT_EQ(form.maximumSize(), QSize(680, 507));
  EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
  form.resize(900, 700);
  EXPECT_EQ(form.size(), QSize(680, 507));
}

TEST_F(MainWindowTest, StartsCentredOnTheScreenForTheDefaultOuterSize) {
  TGrabForm form;
  const QRect area = form.screen()->availableGeometry();
  EXPECT_EQ(form.pos(), QPoint(area.x() + (area.width() - 686) / 2,
                               area.y() + (area.height() - 541) / 2));
}

// Places that the aspect rule and the picture sizing compute against.
TEST_F(MainWindowTest, RegionsStandWhereThePictureAndVideoSizingExpectThem) {
  TGrabForm form;
  EXPECT_EQ(form.ToolBar1->geometry(), QRect(0, 0, 680, 33));
  EXPECT_EQ(form.Panel1->geometry(), QRect(0, 33, 680, 33));
  EXPECT_EQ(form.Panel3->size(), QSize(438, 412));
  EXPECT_EQ(form.Panel3->y(), 66);
  EXPECT_EQ(form.Panel4->size(), QSize(242, 412));
  EXPECT_EQ(form.Panel2->geometry(), QRect(0, 476, 680, 31));
  EXPECT_EQ(form.Erreur_Frame1->geometry(), QRect(128, 81, 457, 310));

  const QRect video = form.VideoWindow1->geometry();
  EXPECT_EQ(form.VideoWindow1->parentWidget(), form.Panel3);
  EXPECT_EQ(video.y() + video.height(), 336);
  EXPECT_LE(video.width(), 384);
  EXPECT_LE(video.height(), 288);
  EXPECT_EQ(video.size(), QSize(384, 288));
  EXPECT_EQ(form.tb->geometry(), QRect(24, 336, 385, 40));
  EXPECT_EQ(form.tb->minimum(), 0);
  EXPECT_EQ(form.tb->maximum(), 1'000'000);
  // The aspect rule, run by Empty, puts the timecode edit 40 pixels above the video surface.
  EXPECT_EQ(form.CurrentEdit->geometry(), QRect(131, 48 - 40, 176, 21));
  for (QFrame* bar : {form.nav_fileframe1, form.nav_CDframe1, form.nav_captureframe1,
                      form.nav_videframe1}) {
    EXPECT_EQ(bar->parentWidget(), form.Panel3);
    EXPECT_EQ(bar->size(), QSize(434, 33));
    EXPECT_EQ(bar->x(), 2);
  }
  EXPECT_EQ(form.intervalloframe1->geometry(), QRect(2, 339, 434, 68));
  EXPECT_EQ(form.Image->geometry(), QRect(24, 176, 192, 144));
  EXPECT_EQ(form.GaugeVolume->size(), QSize(48, 20));
}

struct SideCase {
  bool atLeft;
  int videoPanelX;
  int sidePanelsX;
};

void PrintTo(const SideCase& side, std::ostream* out) {
  *out << (side.atLeft ? "picture at left" : "picture at right");
}

class PictureSideTest : public MainWindowTest, public ::testing::WithParamInterface<SideCase> {};

TEST_P(PictureSideTest, SidePanelsAndVideoPanelSwapPlaces) {
  TGrabForm form;
  // From the other side, so that each case really moves the panels.
  form.ApplyPictureSide(!GetParam().atLeft);
  form.ApplyPictureSide(GetParam().atLeft);
  EXPECT_EQ(form.Panel3->pos(), QPoint(GetParam().videoPanelX, 66));
  for (QFrame* side : {form.Panel4, form.OptionsFrame1, form.AproposFrame1})
    EXPECT_EQ(side->pos(), QPoint(GetParam().sidePanelsX, 66)) << side->objectName().toStdString();
  EXPECT_EQ(form.Erreur_Frame1->pos(), QPoint(128, 81));
}

INSTANTIATE_TEST_SUITE_P(BothSides, PictureSideTest,
                         ::testing::Values(SideCase{true, 242, 0}, SideCase{false, 0, 438}));

TEST_F(MainWindowTest, StartsWithThePictureAtTheLeft) {
  TGrabForm form;
  EXPECT_EQ(form.Panel4->x(), 0);
  EXPECT_EQ(form.Panel3->x(), 242);
}

TEST_F(MainWindowTest, HintsShowLineBreaksAndSurviveBeingHidden) {
  TGrabForm form;
  EXPECT_EQ(form.CurrentEdit->toolTip(),
            "Current Timecode.\nCan be modified to go to a given timecode.");
  EXPECT_FALSE(form.DestLab->toolTip().contains('\r'));
  // Empty hides the source labels' hints; a loaded source shows them again unchanged.
  EXPECT_EQ(form.EnCoursLab->toolTip(), "");
  form.showHint(form.EnCoursLab, true);
  EXPECT_EQ(form.EnCoursLab->toolTip(),
            "Current video loaded in Pictorel\nClick to open the parent folder.");
  form.showHint(form.DureeLab, true);
  EXPECT_EQ(form.DureeLab->toolTip(), "Duration of the current video");
}

TEST_F(MainWindowTest, EnglishTextsReachThePanelsControlsOnceTheyExist) {
  TGrabForm form;
  auto* units = new QComboBox(form.intervalloframe1);
  units->setObjectName("cboxIntervallo");
  auto* play = new QPushButton(form.nav_captureframe1);
  play->setObjectName("PlayBtn");
  form.ApplyEnglishTexts();
  ASSERT_EQ(units->count(), 3);
  EXPECT_EQ(units->itemText(0), "seconds");
  EXPECT_EQ(units->itemText(2), "minutes");
  EXPECT_EQ(units->currentText(), "frames");
  EXPECT_EQ(play->font().family(), "Times New Roman");
  EXPECT_EQ(form.sd.Filter, "Bitmap Images (*.bmp);;Jpeg Images (*.jpg)");
}

// --- Key preview

class KeyRecordingForm : public TGrabForm {
 public:
  struct Seen {
    int key;
    QString editTextThen;  // what the edit held when the window saw the key
  };
  std::vector<Seen> seen;
  int consumedKey = 0;

 protected:
  bool FormKeyDown(QKeyEvent* key) override {
    seen.push_back({key->key(), CurrentEdit->text()});
    return key->key() == consumedKey;
  }
};

class KeyPreviewTest : public MainWindowTest {
 protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    form.show();
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.CurrentEdit->setFocus();
    ASSERT_TRUE(form.CurrentEdit->hasFocus());
  }
  KeyRecordingForm form;
};

TEST_F(KeyPreviewTest, KeyTypedIntoTheTimecodeEditReachesTheWindowFirstAndOnce) {
  QTest::keyClicks(form.CurrentEdit, "ab");
  ASSERT_EQ(form.seen.size(), 2u);
  EXPECT_EQ(form.seen[0].key, Qt::Key_A);
  EXPECT_EQ(form.seen[0].editTextThen, "");
  EXPECT_EQ(form.seen[1].key, Qt::Key_B);
  EXPECT_EQ(form.seen[1].editTextThen, "a");
  EXPECT_EQ(form.CurrentEdit->text(), "ab");
}

TEST_F(KeyPreviewTest, KeyUsedUpByTheWindowNeverReachesTheControl) {
  form.consumedKey = Qt::Key_X;
  QTest::keyClicks(form.CurrentEdit, "axb");
  EXPECT_EQ(form.seen.size(), 3u);
  EXPECT_EQ(form.CurrentEdit->text(), "ab");
}

TEST_F(KeyPreviewTest, WindowSeesAShortcutKeyBeforeTheShortcutAndCanStopIt) {
  auto* action = new QAction(&form);
  action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  form.addAction(action);
  int triggered = 0;
  QObject::connect(action, &QAction::triggered, [&] { ++triggered; });

  // The modifier keys are offered too; count the K presses.
  const auto offersOfK = [&] {
    return std::count_if(form.seen.begin(), form.seen.end(),
                         [](const auto& seen) { return seen.key == Qt::Key_K; });
  };
  QTest::keyClick(form.CurrentEdit, Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(triggered, 1);
  EXPECT_EQ(offersOfK(), 1);

  form.consumedKey = Qt::Key_K;
  QTest::keyClick(form.CurrentEdit, Qt::Key_K, Qt::ControlModifier);
  EXPECT_EQ(triggered, 1);
  EXPECT_EQ(offersOfK(), 2);
}

TEST_F(KeyPreviewTest, KeysOfOtherWindowsAreNotOffered) {
  QLineEdit other;
  other.show();
  QTest::keyClicks(&other, "q");
  EXPECT_TRUE(form.seen.empty());
  EXPECT_EQ(other.text(), "q");
}

// --- Closing

struct FlagCase {
  const char* name;
  std::atomic<bool>* flag;
};

void PrintTo(const FlagCase& flag, std::ostream* out) { *out << flag.name; }

class ClosingTest : public MainWindowTest, public ::testing::WithParamInterface<FlagCase> {};

// A long operation waits on a flag in a nested loop; the user closes the window meanwhile.
TEST_P(ClosingTest, ClosingEndsANestedWaitAndLeavesNothingToTouch) {
  std::atomic<bool>& flag = *GetParam().flag;
  auto form = std::make_unique<TGrabForm>();
  form->show();
  flag = false;

  bool waitReturned = false;
  bool flagSeen = false;
  bool failSafeFired = false;
  QTimer failSafe;  // ends a wait that closing failed to end, so the test fails instead of hanging
  failSafe.setSingleShot(true);
  QObject::connect(&failSafe, &QTimer::timeout, [&] {
    failSafeFired = true;
    RaiseFlag(flag);
  });

  QTimer::singleShot(0, form.get(), [&] {
    QTimer::singleShot(20, form.get(), [&] { form->close(); });
    failSafe.start(5000);
    flagSeen = WaitForFlag(flag);
    waitReturned = true;
    // The operation that waited carries on: window operations find nothing to use.
    form->ViderActionExecute();
  });
  ASSERT_TRUE(WaitUntil([&] { return waitReturned; }, 10000));
  EXPECT_FALSE(failSafeFired);
  EXPECT_TRUE(flagSeen);
  EXPECT_FALSE(form->isVisible());
  EXPECT_TRUE(form->aliveToken().expired());
  EXPECT_EQ(form->CurrentSource, nullptr);
  EXPECT_EQ(form->CurrentPosition, nullptr);
  EXPECT_EQ(form->FrameBitmap, nullptr);
  EXPECT_EQ(form->DeinterlacedBitmap, nullptr);
  EXPECT_EQ(form->PictureBitmap, nullptr);
  EXPECT_FALSE(form->Timer1->isActive());
  form.reset();
}

INSTANTIATE_TEST_SUITE_P(
    EveryFlagAWaitCanUse, ClosingTest,
    ::testing::Values(FlagCase{"StopRequested", &StopRequested},
                      FlagCase{"RenderFrameArrived", &RenderFrameArrived},
                      FlagCase{"SeekFrameArrived", &SeekFrameArrived},
                      FlagCase{"ErrorPanelClosed", &ErrorPanelClosed}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, AWaitTiedToTheWindowEndsWhenItCloses) {
  TGrabForm form;
  form.show();
  SourceReady = false;  // a flag closing does not raise
  bool stillAlive = true;
  bool waitReturned = false;
  QTimer::singleShot(0, &form, [&] {
    QTimer::singleShot(20, &form, [&] { form.close(); });
    stillAlive = WaitForFlag(SourceReady, form.aliveToken());
    waitReturned = true;
  });
  ASSERT_TRUE(WaitUntil([&] { return waitReturned; }, 10000));
  EXPECT_FALSE(stillAlive);
}

TEST_F(MainWindowTest, ClosingTwiceIsHarmless) {
  TGrabForm form;
  form.show();
  EXPECT_TRUE(form.close());
  form.show();
  EXPECT_TRUE(form.close());
  EXPECT_EQ(form.CurrentSource, nullptr);
}

}  // namespace
