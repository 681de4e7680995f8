// The error panel: its text, closing it, fatal messages closing the window, and what the
// start-up checks leave on it.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "resources/restext.h"
#include "settings/Erreur_unit.h"
#include "tests/ui/CommandFixture.h"

namespace {

using window::CommandWindowTest;

const QString HelpText = QStringLiteral(
    "\n\nIf you want help about Pictorel, tips and informations, updates, then visit my webpage.\n\n"
    "You may also send me an e-mail, but don't forget to tell me which software you used, what is "
    "your operating system, the video file and his codec... and be aware that I have no time to "
    "answer all the e-mails that I receive.");

TEST(ErrorPanelText, OrdinaryAndFatalHeadLinesAndAMessageKeptAsItIs) {
  EXPECT_EQ(TErreur_Frame::PanelText("The file 100%s.avi is 50% gone", false),
            "An error occured with Pictorel  on your system.\r\n\r\n"
            "The file 100%s.avi is 50% gone" + QString(HelpText).replace("\n", "\r\n"));
  EXPECT_TRUE(TErreur_Frame::PanelText("x", true)
                  .startsWith("An error occured with Pictorel fatale on your system.\r\n\r\nx\r\n"));
}

TEST_F(CommandWindowTest, StartsWithNoReportWhenTheMediaFrameworkHasEverything) {
  TGrabForm& w = makeForm();
  EXPECT_FALSE(w.Erreur_Frame1->isVisible());
  EXPECT_EQ(w.errorPanel()->labErreur->text(), "Error of Pictorel");
  EXPECT_EQ(w.errorPanel()->OkBtn->toolTip(),
            "Accept the \"Read/Write\" mode\nin order to modify the registry.");
  EXPECT_TRUE(w.errorPanel()->linkHomepage->text().contains("Homepage"));
  EXPECT_TRUE(w.errorPanel()->Memo2->toPlainText().isEmpty());
}

TEST_F(CommandWindowTest, OrdinaryMessageShowsInFrontAndOkOnlyHidesIt) {
  TGrabForm& w = makeForm();
  w.ShowError("first", false);
  w.ShowError("second", false);  // replaces the first
  EXPECT_TRUE(w.Erreur_Frame1->isVisible());
  EXPECT_TRUE(w.errorPanel()->OkBtn->hasFocus() || !QApplication::focusWidget());
  EXPECT_TRUE(w.errorPanel()->Memo2->toPlainText().contains("\n\nsecond\n\n"));
  EXPECT_FALSE(w.errorPanel()->Memo2->toPlainText().contains("first"));
  ErrorPanelClosed = false;

  // Return on the focused OK accepts the message, as a click does.
  press(w.errorPanel()->OkBtn, Qt::Key_Return);
  EXPECT_FALSE(w.Erreur_Frame1->isVisible());
  EXPECT_TRUE(ErrorPanelClosed);
  EXPECT_TRUE(w.isVisible());
  EXPECT_NE(w.CurrentSource, nullptr);
}

struct FatalCloser {
  const char* name;
  bool byEscape;
};

void PrintTo(const FatalCloser& c, std::ostream* out) { *out << c.name; }

class FatalMessageTest : public CommandWindowTest, public ::testing::WithParamInterface<FatalCloser> {};

TEST_P(FatalMessageTest, ClosingAFatalMessageAsksAboutThePreferencesThenClosesTheWindowOnce) {
  TGrabForm& w = makeForm();
  Prefs.SaveOnQuit = false;
  dialogs.answers = {DialogButton::No};
  w.ShowError("The filter is missing", true);
  if (GetParam().byEscape) press(&w, Qt::Key_Escape);
  else w.errorPanel()->OkBtn->click();

  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(w.CurrentSource, nullptr);  // the close path ran
  const QString question =
      restext::FillPercentS(restext::QuitPromptText, {"Pictorel", "Pictorel"});
  EXPECT_EQ(dialogs.texts(), QStringList{question});  // asked once: the window closed once
}

INSTANTIATE_TEST_SUITE_P(Closers, FatalMessageTest,
                         ::testing::Values(FatalCloser{"OkButton", false}, FatalCloser{"Escape", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandWindowTest, FatalMessageHiddenBySettingsKeepsTheProgramUntilTheNextEscape) {
  TGrabForm& w = makeForm();
  Prefs.SaveOnQuit = true;
  w.ShowError("The filter is missing", true);
  press(&w, Qt::Key_F10);
  EXPECT_FALSE(w.Erreur_Frame1->isVisible());
  EXPECT_TRUE(w.isVisible());
  press(&w, Qt::Key_Escape);
  EXPECT_FALSE(w.isVisible());
}

TEST_F(CommandWindowTest, LoadFailureWaitGoesOnWhileSettingsHideThePanelUntilEscape) {
  TGrabForm& w = makeForm();
  bool panelHidden = false;
  bool stillWaiting = false;
  whenErrorShown([&] {
    press(&w, Qt::Key_F10);
    panelHidden = !w.Erreur_Frame1->isVisible();
    QTimer::singleShot(50, &w, [&] {
      stillWaiting = dynamic_cast<TgrabFile*>(w.CurrentSource.get()) != nullptr;
      press(&w, Qt::Key_Escape);
    });
  });
  w.LoadVideoFile("/v/missing.avi");
  EXPECT_TRUE(panelHidden);
  EXPECT_TRUE(stillWaiting);
  EXPECT_EQ(typeid(*w.CurrentSource), typeid(TGrab));
}

}  // namespace
