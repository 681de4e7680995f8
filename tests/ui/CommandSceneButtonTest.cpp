// The scene button: a detection on the loaded DV file, with the video following it, and a second
// press that stops it.
#include <gtest/gtest.h>

#include "media/scenes.h"
#include "tests/ui/CommandFixture.h"

namespace {

using window::CommandWindowTest;

class SceneButtonTest : public CommandWindowTest {
 protected:
  void SetUp() override {
    CommandWindowTest::SetUp();
    clip = copyClip("dv_2s_apart.avi", "videos/takes.avi");
    makeForm();
    sm = std::make_unique<Tsm>(dialogs);
    form->SetSceneModule(sm.get());
    form->LoadVideoFile(clip);
    ASSERT_TRUE(form->ScnBtn->isEnabled());
  }
  void TearDown() override {
    form.reset();
    sm.reset();
    CommandWindowTest::TearDown();
  }

  QString clip;
  std::unique_ptr<Tsm> sm;
};

TEST_F(SceneButtonTest, DetectionWritesTheSceneFileAndLeavesTheVideoAtItsEnd) {
  TGrabForm& w = *form;
  const QIcon idle = w.ScnBtn->icon();
  w.ScnBtn->click();
  EXPECT_FALSE(w.SceneDetectionRunning());
  EXPECT_TRUE(QFileInfo(path("videos/takes.scn")).size() > 0);
  // At the last frame: the slider at its end but for that frame.
  w.Timer1->stop();
  w.Timer1Timer();
  EXPECT_GT(w.tb->value(), 950'000) << w.CurrentEdit->text().toStdString();
  EXPECT_TRUE(w.ScnBtn->icon().pixmap(22).toImage() == idle.pixmap(22).toImage());
  EXPECT_EQ(sm->SceneProgress, nullptr);  // the module no longer calls into the window
}

TEST_F(SceneButtonTest, SecondPressDuringTheDetectionStopsIt) {
  TGrabForm& w = *form;
  bool runningSeen = false;
  QTimer::singleShot(0, &w, [&] {
    runningSeen = w.SceneDetectionRunning();
    w.ScnBtn->click();
  });
  w.ScnBtn->click();
  EXPECT_TRUE(runningSeen);
  EXPECT_TRUE(StopRequested);
  EXPECT_FALSE(w.SceneDetectionRunning());
}

}  // namespace
