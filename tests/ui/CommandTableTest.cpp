// The command table: its order and keys, the key rule, the toolbar and menus, the panel commands,
// the shortcut list.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QToolButton>

#include "main/VideoWidget.h"
#include "main/actions.h"
#include "settings/Erreur_unit.h"
#include "settings/optionsunit.h"
#include "tests/ui/CommandFixture.h"

namespace {

using window::CommandWindowTest;

// --- The table ---------------------------------------------------------------------------------

struct CommandRow {
  const char* name;
  const char* caption;
  const char* key;  // the primary shortcut as the shortcut list shows it
  bool onOff;
  bool video;
};

// In table order: the order decides which command a shared key reaches.
const CommandRow Table[] = {
    {"optionsAction", "Settings", "F10", true, false},
    {"AproposAction", "About", "F1", true, false},
    {"BmpAction", "bmp format", "Ctrl+B", false, false},
    {"JpegAction", "Jpeg format", "Ctrl+J", false, false},
    {"SecretAction", "Secret", "Ctrl+ScrollLock", false, false},
    {"snapAction", "Snap the picture", "F5", false, false},
    {"GrabAction", "Grab the picture", "F12", false, false},
    {"FullscreenAction", "Fullscreen", "Alt+Enter", false, false},
    {"AjouterNumeroAction", "Add a Number", "Ctrl+N", false, false},
    {"AjouterTimecodeAction", "Add Timecode", "Ctrl+T", false, false},
    {"SauverImageAction", "Save the picture", "F7", false, false},
    {"RatioNormalAction", "Image ratio normal", "F2", false, false},
    {"Ratio4x3Action", "Image Ratio 4x3", "F3", false, false},
    {"Ratio16x9Action", "Image ratio 16x9", "F4", false, false},
    {"AbortAction", "Cancel", "Esc", false, false},
    {"MuteAction", "Mute the sound", "Ctrl+M", false, false},
    {"DeinterlaceAction", "Deinterlace", "Ctrl+D", false, false},
    {"ReculeHomeAction", "backwards to Home", "Ctrl+Home", false, true},
    {"AvanceEndAction", "advance to End", "Ctrl+End", false, true},
    {"ReculeLowAction", "backwards of one frame", "Ctrl+Left", false, true},
    {"AvanceLowAction", "advance of one frame", "Ctrl+Right", false, true},
    {"ReculeMediumAction", "backwards of a second", "Ctrl+Up", false, true},
    {"AvanceMediumAction", "advance of a second", "Ctrl+Down", false, true},
    {"ReculeHighAction", "backwards of a minute", "Ctrl+PgUp", false, true},
    {"AvancehighAction", "advance of a minute", "Ctrl+PgDown", false, true},
    {"ReculetrackAction", "Previous scene", "F8", false, true},
    {"AvanceTrackAction", "Next scene", "F9", false, true},
    {"TogglePlayAction", "Play", "Space", false, true},
    {"IntervalloGoAction", "Start the intervalometer", "Ctrl+I", false, false},
    {"BeepAction", "Beep", "Ctrl+Z", false, false},
    {"VCRPauseAction", "Pause VCR", "Space", false, true},
    {"VCRPlayAction", "Play VCR", "Space", false, true},
    {"VCRStopAction", "Stop VCR", "Ctrl+Del", false, true},
    {"DossierSaveAction", "Pictures folder", "Ctrl+S", false, false},
    {"ImagePanelAction", "Image panel", "F6", true, false},
    {"incVolumeAction", "Increase Volume", "Num +", false, false},
    {"decVolumeAction", "Decrease Volume", "Num -", false, false},
    {"IntervalloShowAction", "Display the intervalometer", "Alt+I", false, false},
    {"PasteAction", "Paste", "Ctrl+V", false, false},
    {"ViderAction", "Empty", "Ctrl+X", false, false},
    {"OuvrirFichierAction", "Open a video file", "Ctrl+F", false, false},
    {"OuvrirCDAction", "Open a VCD or SVCD", "Ctrl+H", false, false},
    {"QuitterAction", "Quit", "Alt+F4", false, false},
    {"CopierAction", "Copy", "Ctrl+C", false, false},
    {"OuvrirListeAction", "Open a command list", "Ctrl+L", false, false},
    {"ImagetteGaucheAction", "Picture to left", "Alt+W", true, false},
    {"VertFlipAction", "Vertical Flip", "F11", true, false},
};

TEST_F(CommandWindowTest, CommandTableHoldsEveryCommandInOrderWithCaptionKeyStateAndCategory) {
  TGrabForm& w = makeForm();
  const auto& actions = w.ActionList1.Actions();
  ASSERT_EQ(actions.size(), std::size(Table));
  for (size_t i = 0; i < actions.size(); ++i) {
    const TAction* a = actions[i];
    const CommandRow& row = Table[i];
    SCOPED_TRACE(row.name);
    EXPECT_EQ(a->Name(), row.name);
    EXPECT_EQ(a->text(), row.caption);
    EXPECT_EQ(KeyText(a->ShortCut()), row.key);
    EXPECT_EQ(a->isCheckable(), row.onOff);
    EXPECT_EQ(a->Category, row.video ? "Video" : "");
    EXPECT_TRUE(a->isEnabled());
  }
  EXPECT_EQ(w.GrabAction->SecondaryShortCuts, QList{KeyFromText("Ctrl+G")});
  EXPECT_EQ(w.incVolumeAction->SecondaryShortCuts, QList{KeyFromText("Alt+P")});
  EXPECT_EQ(w.decVolumeAction->SecondaryShortCuts, QList{KeyFromText("Alt+M")});
  EXPECT_EQ(w.GrabAction->Hint(),
            "Grab the current video frame to the picture and save it on your system");
  EXPECT_EQ(w.TogglePlayAction->Hint(), "");  // none until first used
}

TEST(CommandKeys, KeyTextsReadInEitherCaseAndKeypadKeysStayApart) {
  EXPECT_EQ(KeyFromText("CTRL+G"), QKeyCombination(Qt::ControlModifier, Qt::Key_G));
  EXPECT_EQ(KeyFromText("ALT+P"), QKeyCombination(Qt::AltModifier, Qt::Key_P));
  EXPECT_EQ(KeyFromText("Num +"), QKeyCombination(Qt::KeypadModifier, Qt::Key_Plus));
  EXPECT_EQ(KeyFromText("+"), QKeyCombination(Qt::NoModifier, Qt::Key_Plus));
  EXPECT_NE(NormalisedKey(Qt::Key_Plus, Qt::KeypadModifier), NormalisedKey(Qt::Key_Plus, {}));
  // The keypad's arrows and Enter are the same keys as the main keyboard's.
  EXPECT_EQ(NormalisedKey(Qt::Key_Right, Qt::ControlModifier | Qt::KeypadModifier),
            QKeyCombination(Qt::ControlModifier, Qt::Key_Right));
  EXPECT_EQ(NormalisedKey(Qt::Key_Enter, Qt::AltModifier | Qt::KeypadModifier),
            QKeyCombination(Qt::AltModifier, Qt::Key_Return));
}

// --- The key rule --------------------------------------------------------------------------------

TEST_F(CommandWindowTest, SpaceReachesPlayPauseAndNeverTheTapeCommands) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  int tapeCommands = 0;
  w.VCRPauseAction->OnExecute = [&] { ++tapeCommands; };
  w.VCRPlayAction->OnExecute = [&] { ++tapeCommands; };

  w.CurrentEdit->setFocus();
  press(w.CurrentEdit, Qt::Key_Space);
  EXPECT_EQ(w.CurrentSource->GetState(), 3);
  EXPECT_EQ(w.TogglePlayAction->text(), "Pause");
  EXPECT_TRUE(w.Timer1->isActive());
  press(w.CurrentEdit, Qt::Key_Space);
  EXPECT_EQ(w.CurrentSource->GetState(), 2);
  EXPECT_EQ(w.TogglePlayAction->text(), "Play");
  EXPECT_EQ(w.TogglePlayAction->Hint(), "Play");
  EXPECT_EQ(tapeCommands, 0);
  EXPECT_FALSE(w.CurrentEdit->text().contains(' '));
}

struct DisabledKeyCase {
  const char* name;
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  const char* editBefore;
  int cursorAt;
  const char* editAfter;
};

void PrintTo(const DisabledKeyCase& c, std::ostream* out) { *out << c.name; }

class DisabledCommandKeyTest : public CommandWindowTest,
                               public ::testing::WithParamInterface<DisabledKeyCase> {};

// The first command carrying the key is disabled: the key goes on to the edit, and no later
// command carrying the same key runs.
TEST_P(DisabledCommandKeyTest, KeyOfADisabledCommandReachesTheFocusedEdit) {
  const DisabledKeyCase& c = GetParam();
  TGrabForm& w = makeForm();
  TAction* first = w.ActionList1.FindByKey(NormalisedKey(c.key, c.modifiers));
  ASSERT_NE(first, nullptr);
  int runs = 0;
  for (TAction* each : w.ActionList1.Actions())
    if (each->CarriesKey(NormalisedKey(c.key, c.modifiers))) each->OnExecute = [&] { ++runs; };
  first->setEnabled(false);

  w.CurrentEdit->setText(c.editBefore);
  w.CurrentEdit->setCursorPosition(c.cursorAt);
  press(w.CurrentEdit, c.key, c.modifiers);
  EXPECT_EQ(w.CurrentEdit->text(), c.editAfter);
  EXPECT_EQ(runs, 0);

  first->setEnabled(true);
  w.CurrentEdit->setText(c.editBefore);
  w.CurrentEdit->setCursorPosition(c.cursorAt);
  press(w.CurrentEdit, c.key, c.modifiers);
  EXPECT_EQ(w.CurrentEdit->text(), c.editBefore);
  EXPECT_EQ(runs, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DisabledCommandKeyTest,
    ::testing::Values(
        DisabledKeyCase{"SpaceOfPlayPause", Qt::Key_Space, Qt::NoModifier, "0:00", 4, "0:00 "},
        DisabledKeyCase{"CtrlDelOfStopVcr", Qt::Key_Delete, Qt::ControlModifier, "12 34", 0, "34"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandWindowTest, CtrlGAndF12BothGrabAndSave) {
  TGrabForm& w = makeForm();
  load("frames25.avi");
  press(&w, Qt::Key_F12);
  press(&w, Qt::Key_G, Qt::ControlModifier);
  const QStringList saved = QDir(path("Pictures")).entryList(QDir::Files, QDir::Name);
  EXPECT_EQ(saved, (QStringList{"frames25_0000.bmp", "frames25_0001.bmp"}));
}

TEST_F(CommandWindowTest, KeypadPlusAndMinusChangeTheVolumeButNotTheMainKeyboardsKeys) {
  TGrabForm& w = makeForm();
  Prefs.SoundVolume = 50;
  press(&w, Qt::Key_Plus, Qt::KeypadModifier);
  EXPECT_EQ(Prefs.SoundVolume, 60);
  press(&w, Qt::Key_Plus);
  EXPECT_EQ(Prefs.SoundVolume, 60);
  press(&w, Qt::Key_Minus, Qt::KeypadModifier);
  press(&w, Qt::Key_M, Qt::AltModifier);
  EXPECT_EQ(Prefs.SoundVolume, 40);
  press(&w, Qt::Key_P, Qt::AltModifier);
  EXPECT_EQ(Prefs.SoundVolume, 50);
  EXPECT_EQ(w.GaugeVolume->Progress(), 50);
}

// --- Panels and their toolbar buttons ------------------------------------------------------------

struct PanelButtons {
  bool picture, options, about;
};

PanelButtons panelButtons(const TGrabForm& w) {
  return {w.ImagetteBtn->isChecked(), w.OptionsBtn->isChecked(), w.AProposBtn->isChecked()};
}

TEST_F(CommandWindowTest, F10TwiceOpensTheSettingsThenBringsThePicturePanelBack) {
  TGrabForm& w = makeForm();
  const auto expectButtons = [&](PanelButtons expected) {
    const PanelButtons shown = panelButtons(w);
    EXPECT_EQ(shown.picture, expected.picture);
    EXPECT_EQ(shown.options, expected.options);
    EXPECT_EQ(shown.about, expected.about);
  };
  expectButtons({true, false, false});
  press(&w, Qt::Key_F10);
  EXPECT_TRUE(w.OptionsFrame1->isVisible());
  expectButtons({false, true, false});
  press(&w, Qt::Key_F10);
  EXPECT_FALSE(w.OptionsFrame1->isVisible());
  expectButtons({true, false, false});
}

TEST_F(CommandWindowTest, F1TwiceTurnsTheAboutCommandOnThenOff) {
  TGrabForm& w = makeForm();
  press(&w, Qt::Key_F1);
  EXPECT_TRUE(w.AproposAction->isChecked());
  EXPECT_TRUE(w.AProposBtn->isChecked());
  press(&w, Qt::Key_F1);
  EXPECT_FALSE(w.AproposAction->isChecked());
  EXPECT_FALSE(w.AProposBtn->isChecked());
}

TEST_F(CommandWindowTest, EscapeLeavesFullScreenAndClosesTheErrorPanelInOnePress) {
  TGrabForm& w = makeForm();
  w.ShowError("Something went wrong", false);
  press(&w, Qt::Key_Return, Qt::AltModifier);
  ASSERT_TRUE(w.IsFullscreen());
  EXPECT_TRUE(w.VideoWindow1->isFullScreen());
  EXPECT_EQ(w.FullscreenAction->text(), "Quit fullscreen");
  StopRequested = false;
  ErrorPanelClosed = false;

  // In full screen the keys go to the video's own window.
  press(w.VideoWindow1, Qt::Key_Escape);
  EXPECT_FALSE(w.IsFullscreen());
  EXPECT_EQ(w.VideoWindow1->parentWidget(), w.Panel3);
  EXPECT_EQ(w.FullscreenAction->text(), "Fullscreen");
  EXPECT_FALSE(w.Erreur_Frame1->isVisible());
  EXPECT_TRUE(StopRequested);
  EXPECT_TRUE(ErrorPanelClosed);
}

// --- Toolbar and menus ---------------------------------------------------------------------------

TEST_F(CommandWindowTest, ToolbarButtonsStandInOrderWithTheirHints) {
  TGrabForm& w = makeForm();
  struct Place {
    QToolButton* button;
    int x;
    QString hint;
  };
  const Place places[] = {
      {w.OpenBtn, 0, "Open a video file"},
      {w.PasteBtn, 29, "Paste a video file from the clipboard"},
      {w.OuvrirCDBtn, 58, "Open a SVCD or VCD file"},
      {w.ListeBtn, 87, "Open a command file (text file with command-line style text)"},
      {w.ViderBtn, 116, "Empty Pictorel"},
      {w.CaptureBtn, 145, "Open a video stream"},
      {w.SettingsBtn, 174, "Settings of the video stream"},
      {w.GrabBtn, 235, "Grab the current video frame to the picture and save it on your system"},
      {w.SnapBtn, 264,
       "Snap the current video frame to the picture, without saving it yet on the system."},
      {w.SaveBtn, 293, "Save the picture to the system"},
      {w.CopierBtn, 322, "Copy the picture to the clipboard"},
      {w.FullscreenBtn, 383, "Fullscreen"},
      {w.ToolButton1, 412, "Flip the video top <=> down"},
      {w.ScnBtn, 441, "Create a scn file"},
      {w.chronoBtn, 470, "Display the intervalometer"},
      {w.ChangerSaveBtn, 499, "Set the folder where the pictures will be saved"},
      {w.ImagetteBtn, 560, "Display the picture panel (and close the Settings and About panels)"},
      {w.OptionsBtn, 589, "Display the Settings"},
      {w.AProposBtn, 618, "Display the About panel"},
      {w.QuitterBtn, 647, "Quit Pictorel"},
  };
  for (const Place& p : places) {
    SCOPED_TRACE(p.button->objectName().toStdString());
    EXPECT_EQ(p.button->geometry(), QRect(p.x, 2, 29, 28));
    EXPECT_EQ(p.button->toolTip(), p.hint);
  }
  EXPECT_FALSE(w.SettingsBtn->isEnabled());
  EXPECT_FALSE(w.ScnBtn->isEnabled());
  EXPECT_EQ(w.pmEcran->actions(), QList<QAction*>{w.FullscreenAction});
  EXPECT_EQ(w.pmImagette->actions(), (QList<QAction*>{w.CopierAction, w.SauverImageAction}));
}

TEST_F(CommandWindowTest, ToolbarButtonRunsItsCommandAndShowsItsState) {
  TGrabForm& w = makeForm();
  w.OptionsBtn->click();
  EXPECT_TRUE(w.optionsAction->isChecked());
  EXPECT_TRUE(w.OptionsFrame1->isVisible());
  w.ImagetteBtn->click();
  EXPECT_FALSE(w.OptionsBtn->isChecked());
  EXPECT_TRUE(w.ImagetteBtn->isChecked());
  // A disabled command leaves its button disabled and does nothing when clicked.
  w.ViderAction->setEnabled(false);
  EXPECT_FALSE(w.ViderBtn->isEnabled());
}

// --- Shortcut list -------------------------------------------------------------------------------

QStringList column(const QTableWidget* list, int index) {
  QStringList texts;
  for (int row = 0; row < list->rowCount(); ++row) texts << list->item(row, index)->text();
  return texts;
}

TEST_F(CommandWindowTest, ShortcutListSortsByNameOrByKeyAndSwapsItsColumns) {
  TGrabForm& w = makeForm();
  QTableWidget* list = w.options()->ValueListEditor1;
  ASSERT_TRUE(Prefs.SortShortcutsByName);
  ASSERT_EQ(list->rowCount(), 47);
  EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "Functions");
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "Keys");
  EXPECT_EQ(list->columnWidth(0), 140);
  const QStringList names = column(list, 0);
  EXPECT_EQ(names.first(), "About");
  // Sorted over the whole row, "caption=keys".
  QStringList rows;
  for (int row = 0; row < list->rowCount(); ++row) rows << names[row] + "=" + list->item(row, 1)->text();
  EXPECT_TRUE(std::is_sorted(rows.begin(), rows.end(), [](const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseInsensitive) < 0;
  }));
  const qsizetype increase = names.indexOf("Increase Volume");
  ASSERT_GE(increase, 0);
  EXPECT_EQ(list->item(int(increase), 1)->text(), "Num +");
  EXPECT_EQ(list->item(int(names.indexOf("Decrease Volume")), 1)->text(), "Num -");

  w.options()->cbSortShortcut->click();  // "Sort by keyboard shortcuts"
  EXPECT_FALSE(Prefs.SortShortcutsByName);
  EXPECT_EQ(list->horizontalHeaderItem(0)->text(), "Keys");
  EXPECT_EQ(list->horizontalHeaderItem(1)->text(), "Functions");
  EXPECT_EQ(list->columnWidth(0), 80);
  // The three commands carrying Space each keep a row.
  QStringList onSpace;
  for (int row = 0; row < list->rowCount(); ++row)
    if (list->item(row, 0)->text() == "Space") onSpace << list->item(row, 1)->text();
  EXPECT_EQ(onSpace, (QStringList{"Pause VCR", "Play", "Play VCR"}));
}

TEST(ShortcutRowsTest, RowsEqualButForLetterCaseAreListedOnce) {
  QObject owner;
  TActionList list;
  for (const char* caption : {"Beta", "alpha", "BETA"}) {
    auto* action = list.Add(new TAction(caption, &owner));
    action->setText(caption);
    action->SetShortCut(KeyFromText("F2"));
  }
  const std::vector<ShortcutRow> rows = ShortcutRows(list, true);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].left, "alpha");
  EXPECT_EQ(rows[1].left, "Beta");
  EXPECT_EQ(rows[1].right, "F2");
}

}  // namespace
