// A first session as a new user has it, by keys: open a clip, step, play and pause, grab, cancel,
// close. Run under a real display with PICTOREL_SCREENSHOT_DIR set, it also leaves pictures of
// the window with the clip, of the options panel and of the error panel there.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QScreen>
#include <QTabWidget>

#include "settings/optionsunit.h"
#include "tests/ui/CommandFixture.h"

namespace {

using window::CommandWindowTest;

// Saves what the window shows when a folder for pictures was given.
void screenshot(QWidget& window, const QString& name) {
  const QString folder = qEnvironmentVariable("PICTOREL_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QTest::qWait(300);  // let the display catch up with the last frame
  QPixmap picture;
  if (QGuiApplication::platformName() == "xcb" && window.screen())
    picture = window.screen()->grabWindow(window.winId());
  if (picture.isNull()) picture = window.grab();
  ASSERT_TRUE(picture.save(folder + "/" + name));
}

TEST_F(CommandWindowTest, NewUserOpensStepsPlaysGrabsAndCloses) {
  TGrabForm& w = makeForm();
  QTest::qWaitForWindowExposed(&w);

  // Ctrl+F: the open dialog, answered with the clip.
  dialogs.paths = {TestMedia("frames25.avi")};
  press(&w, Qt::Key_F, Qt::ControlModifier);
  ASSERT_EQ(w.EnCoursLab->text(), TestMedia("frames25.avi"));
  ASSERT_TRUE(waitForHeldFrame(0));

  // Ctrl+Right: one frame on, the timecode follows.
  press(&w, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(w.CurrentEdit->text(), "0:00:00:01");
  EXPECT_TRUE(waitForHeldFrame(1));

  // Space plays, Space pauses.
  press(&w, Qt::Key_Space);
  EXPECT_EQ(w.CurrentSource->GetState(), 3);
  ASSERT_TRUE(WaitUntil([&] { return w.CurrentEdit->text() >= "0:00:00:20"; }, 5000));
  press(&w, Qt::Key_Space);
  EXPECT_EQ(w.CurrentSource->GetState(), 2);
  w.Timer1->stop();
  w.Timer1Timer();

  // F12: the picture is saved under the name the bottom bar showed.
  const QString announced = w.DestLab->text();
  ASSERT_FALSE(QFileInfo::exists(announced));
  press(&w, Qt::Key_F12);
  EXPECT_TRUE(QFileInfo(announced).isFile()) << announced.toStdString();
  EXPECT_NE(w.DestLab->text(), announced);
  screenshot(w, "window-loaded.png");

  press(&w, Qt::Key_F10);
  w.options()->PageControl1->setCurrentIndex(0);  // the shortcut list
  screenshot(w, "options-panel.png");
  press(&w, Qt::Key_F6);

  press(&w, Qt::Key_Escape);
  EXPECT_TRUE(StopRequested);
  EXPECT_TRUE(w.isVisible());

  // A file that cannot be read: the message waits for the user.
  whenErrorShown([&] {
    screenshot(w, "error-panel.png");
    w.errorPanel()->OkBtn->click();
  });
  w.LoadVideoFile("/v/x.avi");
  EXPECT_EQ(typeid(*w.CurrentSource), typeid(TGrab));

  dialogs.answers = {DialogButton::No};  // keep no preferences
  w.close();
  EXPECT_FALSE(w.isVisible());
}

}  // namespace
