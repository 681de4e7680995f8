// The About panel and its command, the Secret command (hidden mode) and the end on a
// termination signal.
#include <gtest/gtest.h>

#include <csignal>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTest>

#include "settings/aproposUnit.h"
#include "settings/optionsunit.h"
#include "sources/FlagWait.h"
#include "tests/ui/PicturesFixture.h"

namespace pictures {
namespace {

class AboutTest : public PicturesTest {
 protected:
  TAproposFrame& about() { return *form->aproposFrame(); }
  void pressF1() { QTest::keyClick(form.get(), Qt::Key_F1); }
};

TEST_F(AboutTest, PanelIsEmptyUntilShown) {
  makeForm();
  EXPECT_TRUE(form->AproposFrame1->isHidden());
  EXPECT_TRUE(about().RxLabel1->text().isEmpty());
  EXPECT_TRUE(about().Memo1->toPlainText().isEmpty());
  EXPECT_EQ(about().labFermerF6->text(), "Click here or type F6 \nto close this panel");
  EXPECT_TRUE(about().linkHomepage->text().contains("Homepage"));
  EXPECT_TRUE(about().linkMail->text().contains("E-mail"));
}

TEST_F(AboutTest, F1TwiceShowsTheAboutPanelThenThePicturePanelAgain) {
  makeForm();
  pressF1();
  EXPECT_FALSE(form->AproposFrame1->isHidden());
  EXPECT_TRUE(form->AproposActionChecked());
  EXPECT_TRUE(form->AProposBtn->isChecked());
  EXPECT_FALSE(form->ImagePanelActionChecked());
  EXPECT_EQ(about().RxLabel1->text(), "Pictorel 4.1.3 En");
  const QString text = about().Memo1->toPlainText();
  EXPECT_TRUE(text.contains("Velmoran"));
  EXPECT_TRUE(text.contains(form->BuildDateText));
  EXPECT_FALSE(text.contains("%s"));
  EXPECT_TRUE(about().linkMail->text().contains("subject=About%20Pictorel%204.1.3%20En"))
      << about().linkMail->text().toStdString();

  pressF1();
  EXPECT_TRUE(form->AproposFrame1->isHidden());
  EXPECT_FALSE(form->AproposActionChecked());
  EXPECT_TRUE(form->ImagePanelActionChecked());
  EXPECT_TRUE(form->ImagetteBtn->isChecked());
}

TEST_F(AboutTest, AboutReplacesTheSettingsAndItsCloseLabelBringsThePictureBack) {
  makeForm();
  QTest::keyClick(form.get(), Qt::Key_F10);
  EXPECT_TRUE(form->optionsActionChecked());
  pressF1();
  EXPECT_FALSE(form->optionsActionChecked());
  EXPECT_TRUE(form->OptionsFrame1->isHidden());
  EXPECT_FALSE(form->AproposFrame1->isHidden());

  QTest::mouseClick(about().labFermerF6, Qt::LeftButton);
  EXPECT_TRUE(form->AproposFrame1->isHidden());
  EXPECT_TRUE(form->ImagePanelActionChecked());
  EXPECT_FALSE(form->AproposActionChecked());
}

TEST_F(AboutTest, PanelCoversThePicturePanelOnEitherSide) {
  makeForm();
  pressF1();
  EXPECT_EQ(form->AproposFrame1->x(), 0);
  pressF1();
  form->ImagetteGaucheAction->Execute();  // picture panel to the right
  ASSERT_FALSE(form->ImagetteGaucheActionChecked());
  pressF1();
  EXPECT_EQ(form->AproposFrame1->x(), form->Panel4->x());
  EXPECT_EQ(form->AproposFrame1->x(), 438);
}

TEST_F(AboutTest, F1HidesTheErrorPanelWithoutEndingItsWait) {
  makeForm();
  form->ShowError("something failed", false);
  ErrorPanelClosed = false;
  pressF1();
  EXPECT_TRUE(form->Erreur_Frame1->isHidden());
  EXPECT_FALSE(ErrorPanelClosed);
}

TEST_F(AboutTest, SecretAnsweredNoChangesNothing) {
  makeForm();
  dialogs.answers.push_back(DialogButton::No);
  form->SecretAction->Execute();
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].text,
            "Do you really want to hide completely Pictorel?\r\n"
            "If you do, only ending its process (kill, system monitor) can close the program.");
  EXPECT_EQ(dialogs.shown[0].buttons, std::vector<DialogButton>({DialogButton::Yes, DialogButton::No}));
  EXPECT_FALSE(form->HiddenMode());
  EXPECT_TRUE(form->isVisible());
}

TEST_F(AboutTest, SecretButtonOfTheOptionsAsksToo) {
  makeForm();
  dialogs.answers.push_back(DialogButton::No);
  options().BitBtn2->click();
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(AboutTest, HiddenWindowKeepsTheProgramRunning) {
  makeForm();
  bool lastClosed = false;
  QObject::connect(qApp, &QGuiApplication::lastWindowClosed, form.get(), [&] { lastClosed = true; });
  dialogs.answers.push_back(DialogButton::Yes);
  form->SecretAction->Execute();
  EXPECT_TRUE(form->HiddenMode());
  EXPECT_TRUE(form->isHidden());
  EXPECT_FALSE(form->isTornDown());
  QTest::qWait(50);
  EXPECT_FALSE(lastClosed);
}

TEST_F(AboutTest, TerminationSignalClosesThroughTheClosePathWithoutQuestions) {
  makeForm();
  Prefs.SaveOnQuit = false;  // the quit question would come, were someone there to answer
  dialogs.answers.push_back(DialogButton::Yes);
  form->SecretAction->Execute();
  dialogs.shown.clear();
  form->CloseOnTerminationSignals();
  std::raise(SIGTERM);
  EXPECT_TRUE(WaitUntil([&] { return form->isTornDown(); }, 5000));
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(QFile::exists(where.userFile));  // not saved: nobody said so
}

}  // namespace
}  // namespace pictures
