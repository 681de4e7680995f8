#include "main/actions.h"

#include <algorithm>
#include <functional>
#include <QHash>
#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>
#include <QTableWidget>
#include <QToolBar>
#include <QToolButton>

#include "main/VideoWidget.h"
#include "main/main.h"
#include "main/nav_bar.h"
#include "media/scenes.h"
#include "resources/restext.h"
#include "settings/Erreur_unit.h"
#include "settings/Preferences.h"
#include "settings/optionsunit.h"
#include "sources/FlagWait.h"
#include "sources/ProgramFlags.h"

// --- The command ---------------------------------------------------------------------------------

TAction::TAction(const QString& name, QObject* parent) : QAction(parent) {
  setObjectName(name);
  // Shortcuts shown in menus only work while the menu itself has the keyboard; everywhere else
  // the window's own key rule hands keys to commands.
  setShortcutContext(Qt::WidgetShortcut);
  // A click on a control, a menu item or Execute: an on/off command has flipped already.
  connect(this, &QAction::triggered, this, [this] {
    if (OnExecute) OnExecute();
  });
}

void TAction::SetHint(const QString& hint) {
  m_hint = hint;
  setToolTip(restext::ForDisplay(hint));
  emit changed();  // bound controls show the new hint even when the tool tip text is unchanged
}

void TAction::SetShortCut(QKeyCombination key) {
  m_shortCut = key;
  setShortcut(key.key() == Qt::Key_unknown || int(key.key()) == 0 ? QKeySequence()
                                                                     : QKeySequence(key));
}

bool TAction::CarriesKey(QKeyCombination key) const {
  if (int(key.key()) == 0) return false;
  return m_shortCut == key || SecondaryShortCuts.contains(key);
}

bool TAction::Execute() {
  if (!isEnabled()) return false;
  trigger();
  return true;
}

TAction* TActionList::Add(TAction* action) {
  m_actions.push_back(action);
  return action;
}

TAction* TActionList::Find(const QString& name) const {
  for (TAction* action : m_actions)
    if (action->Name() == name) return action;
  return nullptr;
}

TAction* TActionList::FindByKey(QKeyCombination key) const {
  for (TAction* action : m_actions)
    if (action->CarriesKey(key)) return action;
  return nullptr;
}

// --- Keys ----------------------------------------------------------------------------------------

QKeyCombination NormalisedKey(int key, Qt::KeyboardModifiers modifiers) {
  Qt::KeyboardModifiers kept = modifiers & (Qt::ControlModifier | Qt::AltModifier |
                                            Qt::ShiftModifier | Qt::MetaModifier);
  if (key == Qt::Key_Enter) key = Qt::Key_Return;
  if ((key == Qt::Key_Plus || key == Qt::Key_Minus) && modifiers.testFlag(Qt::KeypadModifier))
    kept |= Qt::KeypadModifier;
  return QKeyCombination(kept, Qt::Key(key));
}

QKeyCombination KeyFromText(const QString& text) {
  QString portable = text.trimmed();
  bool keypad = false;
  if (portable.startsWith(QStringLiteral("Num "), Qt::CaseInsensitive)) {
    keypad = true;
    portable = portable.mid(4).trimmed();
  }
  // The toolkit reads "Ctrl+G"; stored texts may be in capitals ("CTRL+G").
  QStringList parts = portable.split(QLatin1Char('+'));
  for (int i = 0; i + 1 < parts.size(); ++i)
    parts[i] = parts[i].left(1).toUpper() + parts[i].mid(1).toLower();
  if (portable.endsWith(QLatin1String("++")) || portable == QLatin1String("+")) {
    // The key itself is "+": the split left an empty last part.
    parts.removeLast();
    parts.last() = QStringLiteral("+");
  }
  const QKeySequence sequence = QKeySequence::fromString(parts.join(QLatin1Char('+')),
                                                         QKeySequence::PortableText);
  if (sequence.isEmpty()) return QKeyCombination();
  const QKeyCombination key = sequence[0];
  return NormalisedKey(key.key(), key.keyboardModifiers() |
                                      (keypad ? Qt::KeypadModifier : Qt::NoModifier));
}

QString KeyText(QKeyCombination key) {
  if (int(key.key()) == 0) return QString();
  const bool keypad = key.keyboardModifiers().testFlag(Qt::KeypadModifier);
  const QKeyCombination plain(key.keyboardModifiers() & ~Qt::KeypadModifier, key.key());
  QString text = QKeySequence(plain).toString(QKeySequence::NativeText);
  // The key is called Enter on most keyboards, whichever of the two was pressed.
  if (key.key() == Qt::Key_Return) text.replace(QStringLiteral("Return"), QStringLiteral("Enter"));
  return keypad ? QStringLiteral("Num ") + text : text;
}

// --- Controls bound to commands ------------------------------------------------------------------

void BindButtonToAction(QAbstractButton* button, TAction* action, const ActionBinding& how) {
  // Without a hint of its own the control keeps the one it was given before.
  const QString ownHint = how.ownHint.isEmpty() ? button->toolTip() : restext::ForDisplay(how.ownHint);
  auto sync = [button, action, how, ownHint] {
    if (how.showCaption) button->setText(action->text());
    if (how.showIcon) button->setIcon(action->icon());
    button->setToolTip(action->Hint().isEmpty() ? ownHint : restext::ForDisplay(action->Hint()));
    if (how.followEnabled) button->setEnabled(action->isEnabled());
    if (action->isCheckable()) {
      button->setCheckable(true);
      button->setChecked(action->isChecked());
    }
  };
  sync();
  QObject::connect(action, &QAction::changed, button, sync);
  QObject::connect(action, &QAction::toggled, button, sync);
  if (how.runOnClick)
    QObject::connect(button, &QAbstractButton::clicked, action, [action, sync] {
      action->Execute();
      sync();  // a disabled command leaves the control as it was
    });
}

// --- Shortcut list -------------------------------------------------------------------------------

std::vector<ShortcutRow> ShortcutRows(const TActionList& list, bool byName) {
  std::vector<QString> rows;
  for (const TAction* action : list.Actions()) {
    const QString keys = KeyText(action->ShortCut());
    const QString caption = action->text();
    const QString row = byName ? caption + QLatin1Char('=') + keys : keys + QLatin1Char('=') + caption;
    const auto at = std::lower_bound(rows.begin(), rows.end(), row, [](const QString& a, const QString& b) {
      return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    if (at != rows.end() && QString::compare(*at, row, Qt::CaseInsensitive) == 0) continue;
    rows.insert(at, row);
  }
  std::vector<ShortcutRow> split;
  for (const QString& row : rows) {
    const qsizetype equals = row.indexOf(QLatin1Char('='));
    split.push_back({row.left(equals), row.mid(equals + 1)});
  }
  return split;
}

// --- Pictures of the commands --------------------------------------------------------------------

namespace {

constexpr int IconSize = 22;

enum class Picture {
  Paste, List, Capture, Settings, Grab, Snap, Copy, Flip, SceneIdle, SceneRunning, Chrono,
  PicturePanel, Options,
};

// Small drawings for the commands the desktop's standard pictures do not cover.
QIcon drawnIcon(Picture picture) {
  QPixmap pixmap(IconSize, IconSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink(40, 40, 60);
  const QColor paper(250, 250, 245);
  const QColor accent(30, 90, 170);
  p.setPen(QPen(ink, 1.2));
  auto sheet = [&](QRectF r) {
    p.setBrush(paper);
    p.drawRect(r);
  };
  auto camera = [&](QColor body) {
    p.setBrush(body);
    p.drawRoundedRect(QRectF(2.5, 6.5, 17, 12), 2, 2);
    p.drawRect(QRectF(7.5, 4.5, 6, 2));
    p.setBrush(paper);
    p.drawEllipse(QPointF(11, 12.5), 3.6, 3.6);
  };
  switch (picture) {
    case Picture::Paste:
      p.setBrush(QColor(190, 150, 90));
      p.drawRoundedRect(QRectF(3.5, 3.5, 13, 16), 1.5, 1.5);
      sheet(QRectF(8.5, 8.5, 11, 12));
      p.drawRect(QRectF(7.5, 2.5, 5, 3));
      break;
    case Picture::List:
      sheet(QRectF(4.5, 2.5, 13, 17));
      for (int y = 6; y <= 16; y += 3) p.drawLine(QPointF(7, y + 0.5), QPointF(15, y + 0.5));
      break;
    case Picture::Capture:
      camera(QColor(120, 120, 130));
      p.setBrush(Qt::red);
      p.setPen(Qt::NoPen);
      p.drawEllipse(QPointF(17, 8.5), 1.6, 1.6);
      break;
    case Picture::Settings:
      camera(QColor(120, 120, 130));
      p.setPen(QPen(accent, 2));
      p.drawLine(QPointF(13, 21), QPointF(21, 13));
      break;
    case Picture::Grab:
      camera(accent);
      p.setPen(QPen(QColor(0, 140, 0), 2));
      p.drawLine(QPointF(15, 19), QPointF(20, 19));
      p.drawLine(QPointF(17.5, 16.5), QPointF(17.5, 21.5));
      break;
    case Picture::Snap:
      camera(accent);
      break;
    case Picture::Copy:
      sheet(QRectF(2.5, 2.5, 11, 13));
      sheet(QRectF(8.5, 7.5, 11, 13));
      break;
    case Picture::Flip:
      p.setBrush(accent);
      p.drawPolygon(QPolygonF({QPointF(11, 1.5), QPointF(17, 8), QPointF(5, 8)}));
      p.drawPolygon(QPolygonF({QPointF(11, 20.5), QPointF(17, 14), QPointF(5, 14)}));
      p.drawLine(QPointF(3, 11), QPointF(19, 11));
      break;
    case Picture::SceneIdle:
    case Picture::SceneRunning: {
      p.setBrush(picture == Picture::SceneRunning ? QColor(230, 60, 40) : paper);
      p.drawRect(QRectF(2.5, 4.5, 17, 13));
      QFont font = QApplication::font();
      font.setPixelSize(8);
      font.setBold(true);
      p.setFont(font);
      p.setPen(picture == Picture::SceneRunning ? Qt::white : ink);
      p.drawText(QRectF(2.5, 4.5, 17, 13), Qt::AlignCenter, QStringLiteral("scn"));
      break;
    }
    case Picture::Chrono:
      p.setBrush(paper);
      p.drawEllipse(QPointF(11, 12), 8, 8);
      p.drawRect(QRectF(9.5, 1.5, 3, 2));
      p.setPen(QPen(Qt::red, 1.5));
      p.drawLine(QPointF(11, 12), QPointF(11, 6.5));
      p.drawLine(QPointF(11, 12), QPointF(15, 12));
      break;
    case Picture::PicturePanel:
      p.setBrush(QColor(170, 210, 240));
      p.drawRect(QRectF(2.5, 4.5, 17, 13));
      p.setBrush(QColor(60, 140, 60));
      p.setPen(Qt::NoPen);
      p.drawPolygon(QPolygonF({QPointF(3, 17), QPointF(9, 9), QPointF(14, 15), QPointF(16, 12),
                               QPointF(19, 17)}));
      p.setBrush(QColor(250, 200, 40));
      p.drawEllipse(QPointF(15.5, 8), 1.8, 1.8);
      break;
    case Picture::Options:
      p.setPen(QPen(ink, 1.5));
      for (int i = 0; i < 3; ++i) {
        const double y = 5.5 + i * 5.5;
        p.drawLine(QPointF(3, y), QPointF(19, y));
        p.setBrush(accent);
        p.drawRect(QRectF(5 + i * 5, y - 2, 3.5, 4));
      }
      break;
  }
  return QIcon(pixmap);
}

QIcon standardIcon(QStyle::StandardPixmap which) {
  return QApplication::style()->standardIcon(which);
}

// The picture a command shows on its controls, by the command's name.
QIcon commandIcon(const QString& name) {
  static const QHash<QString, std::function<QIcon()>> pictures = {
      {"OuvrirFichierAction", [] { return standardIcon(QStyle::SP_DialogOpenButton); }},
      {"PasteAction", [] { return drawnIcon(Picture::Paste); }},
      {"OuvrirListeAction", [] { return drawnIcon(Picture::List); }},
      {"ViderAction", [] { return standardIcon(QStyle::SP_TrashIcon); }},
      {"GrabAction", [] { return drawnIcon(Picture::Grab); }},
      {"snapAction", [] { return drawnIcon(Picture::Snap); }},
      {"SauverImageAction", [] { return standardIcon(QStyle::SP_DialogSaveButton); }},
      {"CopierAction", [] { return drawnIcon(Picture::Copy); }},
      {"FullscreenAction", [] { return standardIcon(QStyle::SP_TitleBarMaxButton); }},
      {"VertFlipAction", [] { return drawnIcon(Picture::Flip); }},
      {"IntervalloShowAction", [] { return drawnIcon(Picture::Chrono); }},
      {"DossierSaveAction", [] { return standardIcon(QStyle::SP_DirIcon); }},
      {"ImagePanelAction", [] { return drawnIcon(Picture::PicturePanel); }},
      {"optionsAction", [] { return drawnIcon(Picture::Options); }},
      {"AproposAction", [] { return standardIcon(QStyle::SP_MessageBoxInformation); }},
      {"QuitterAction", [] { return standardIcon(QStyle::SP_DialogCloseButton); }},
      {"TogglePlayAction", [] { return standardIcon(QStyle::SP_MediaPlay); }},
      {"ReculeHomeAction", [] { return standardIcon(QStyle::SP_MediaSkipBackward); }},
      {"AvanceEndAction", [] { return standardIcon(QStyle::SP_MediaSkipForward); }},
      {"ReculeLowAction", [] { return navGlyphIcon(NavGlyph::BackFrame); }},
      {"AvanceLowAction", [] { return navGlyphIcon(NavGlyph::ForwardFrame); }},
      {"ReculeMediumAction", [] { return navGlyphIcon(NavGlyph::BackSecond); }},
      {"AvanceMediumAction", [] { return navGlyphIcon(NavGlyph::ForwardSecond); }},
      {"ReculeHighAction", [] { return navGlyphIcon(NavGlyph::BackMinute); }},
      {"AvancehighAction", [] { return navGlyphIcon(NavGlyph::ForwardMinute); }},
      {"ReculetrackAction", [] { return navGlyphIcon(NavGlyph::PreviousTrack); }},
      {"AvanceTrackAction", [] { return navGlyphIcon(NavGlyph::NextTrack); }},
  };
  const auto found = pictures.find(name);
  return found == pictures.end() ? QIcon() : found.value()();
}

// The hourglass over the whole program for as long as it lives.
class WaitCursor {
 public:
  WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

// --- The window's command table ------------------------------------------------------------------

void TGrabForm::buildWindowCommands() {
  m_errorPanel = new TErreur_Frame(Erreur_Frame1);
  m_errorPanel->ApplyEnglishTexts();
  createCommands();
  buildNavigationBars();
  buildToolbar();
  buildMenus();
  bindCommandHandlers();
  connectNavigationControls();
  connectLoadControls();
  if (m_options)
    connect(m_options, &TOptionsFrame::sortShortcutsChanged, this, &TGrabForm::BuildShortcutList);
}

void TGrabForm::createCommands() {
  struct Row {
    TAction** action;
    const char* name;
    const QString& caption;
    QString hint;
    QString keys;  // primary shortcut, portable text
    bool onOff;
    bool video;
  };
  const QString none;
  // The table's order decides which command gets a key that several carry.
  const Row table[] = {
      {&optionsAction, "optionsAction", restext::CmdSettings, none, "F10", true, false},
      {&AproposAction, "AproposAction", restext::CmdAbout, none, "F1", true, false},
      {&BmpAction, "BmpAction", restext::CmdBmp, none, "Ctrl+B", false, false},
      {&JpegAction, "JpegAction", restext::CmdJpeg, none, "Ctrl+J", false, false},
      {&SecretAction, "SecretAction", restext::CmdSecret, none, "Ctrl+ScrollLock", false, false},
      {&snapAction, "snapAction", restext::CmdSnap, restext::CmdSnapHint, "F5", false, false},
      {&GrabAction, "GrabAction", restext::CmdGrab, restext::CmdGrabHint, "F12", false, false},
      {&FullscreenAction, "FullscreenAction", restext::CmdFullscreen, restext::CmdFullscreenHint,
       "Alt+Return", false, false},
      {&AjouterNumeroAction, "AjouterNumeroAction", restext::CmdAddNumber, none, "Ctrl+N", false, false},
      {&AjouterTimecodeAction, "AjouterTimecodeAction", restext::CmdAddTimecode, none, "Ctrl+T", false,
       false},
      {&SauverImageAction, "SauverImageAction", restext::CmdSave, restext::CmdSaveHint, "F7", false,
       false},
      {&RatioNormalAction, "RatioNormalAction", restext::CmdRatioNormal, none, "F2", false, false},
      {&Ratio4x3Action, "Ratio4x3Action", restext::CmdRatio4x3, none, "F3", false, false},
      {&Ratio16x9Action, "Ratio16x9Action", restext::CmdRatio16x9, none, "F4", false, false},
      {&AbortAction, "AbortAction", restext::CmdCancel, none, "Esc", false, false},
      {&MuteAction, "MuteAction", restext::CmdMute, none, "Ctrl+M", false, false},
      {&DeinterlaceAction, "DeinterlaceAction", restext::CmdDeinterlace, none, "Ctrl+D", false, false},
      {&ReculeHomeAction, "ReculeHomeAction", restext::CmdHome, none, "Ctrl+Home", false, true},
      {&AvanceEndAction, "AvanceEndAction", restext::CmdEnd, none, "Ctrl+End", false, true},
      {&ReculeLowAction, "ReculeLowAction", restext::CmdBackFrame, none, "Ctrl+Left", false, true},
      {&AvanceLowAction, "AvanceLowAction", restext::CmdForwardFrame, none, "Ctrl+Right", false, true},
      {&ReculeMediumAction, "ReculeMediumAction", restext::CmdBackSecond, none, "Ctrl+Up", false, true},
      {&AvanceMediumAction, "AvanceMediumAction", restext::CmdForwardSecond, none, "Ctrl+Down", false,
       true},
      {&ReculeHighAction, "ReculeHighAction", restext::CmdBackMinute, none, "Ctrl+PgUp", false, true},
      {&AvancehighAction, "AvancehighAction", restext::CmdForwardMinute, none, "Ctrl+PgDown", false,
       true},
      {&ReculetrackAction, "ReculetrackAction", restext::CmdPreviousScene, none, "F8", false, true},
      {&AvanceTrackAction, "AvanceTrackAction", restext::CmdNextScene, none, "F9", false, true},
      {&TogglePlayAction, "TogglePlayAction", restext::CmdPlay, none, "Space", false, true},
      {&IntervalloGoAction, "IntervalloGoAction", restext::CmdIntervalloGo, none, "Ctrl+I", false, false},
      {&BeepAction, "BeepAction", restext::CmdBeep, none, "Ctrl+Z", false, false},
      {&VCRPauseAction, "VCRPauseAction", restext::CmdPauseVcr, none, "Space", false, true},
      {&VCRPlayAction, "VCRPlayAction", restext::CmdPlayVcr, none, "Space", false, true},
      {&VCRStopAction, "VCRStopAction", restext::CmdStopVcr, none, "Ctrl+Del", false, true},
      {&DossierSaveAction, "DossierSaveAction", restext::CmdPicturesFolder, none, "Ctrl+S", false,
       false},
      {&ImagePanelAction, "ImagePanelAction", restext::CmdImagePanel, none, "F6", true, false},
      // The keypad keys are given when the window is first shown (BuildShortcutList).
      {&incVolumeAction, "incVolumeAction", restext::CmdIncVolume, none, "", false, false},
      {&decVolumeAction, "decVolumeAction", restext::CmdDecVolume, none, "", false, false},
      {&IntervalloShowAction, "IntervalloShowAction", restext::CmdIntervalloShow, none, "Alt+I", false,
       false},
      {&PasteAction, "PasteAction", restext::CmdPaste, restext::CmdPasteHint, "Ctrl+V", false, false},
      {&ViderAction, "ViderAction", restext::CmdEmpty, restext::CmdEmptyHint, "Ctrl+X", false, false},
      {&OuvrirFichierAction, "OuvrirFichierAction", restext::CmdOpenFile, restext::CmdOpenFileHint,
       "Ctrl+F", false, false},
      {&OuvrirCDAction, "OuvrirCDAction", restext::CmdOpenDisc, none, "Ctrl+H", false, false},
      {&QuitterAction, "QuitterAction", restext::CmdQuit, restext::CmdQuitHint, "Alt+F4", false, false},
      {&CopierAction, "CopierAction", restext::CmdCopy, restext::CmdCopyHint, "Ctrl+C", false, false},
      {&OuvrirListeAction, "OuvrirListeAction", restext::CmdOpenList, none, "Ctrl+L", false, false},
      {&ImagetteGaucheAction, "ImagetteGaucheAction", restext::CmdPictureLeft, none, "Alt+W", true,
       false},
      {&VertFlipAction, "VertFlipAction", restext::CmdVertFlip, restext::CmdVertFlipHint, "F11", true,
       false},
  };
  for (const Row& row : table) {
    auto* action = new TAction(QString::fromLatin1(row.name), this);
    action->setText(row.caption);
    action->SetHint(row.hint);
    if (row.video) action->Category = restext::VideoCategory;
    action->SetShortCut(KeyFromText(row.keys));
    action->setCheckable(row.onOff);
    action->setIcon(commandIcon(action->Name()));
    *row.action = ActionList1.Add(action);
  }
  GrabAction->SecondaryShortCuts << KeyFromText(restext::GrabSecondKey);
  incVolumeAction->SecondaryShortCuts << KeyFromText(restext::IncVolumeSecondKey);
  decVolumeAction->SecondaryShortCuts << KeyFromText(restext::DecVolumeSecondKey);
  ImagePanelAction->setChecked(true);  // the picture panel is in front at start
}

void TGrabForm::bindCommandHandlers() {
  const auto bind = [this](TAction* action, void (TGrabForm::*handler)()) {
    action->OnExecute = [this, handler] { (this->*handler)(); };
  };
  // Picture side.
  bind(optionsAction, &TGrabForm::optionsActionExecute);
  bind(BmpAction, &TGrabForm::BmpActionExecute);
  bind(JpegAction, &TGrabForm::JpegActionExecute);
  bind(SecretAction, &TGrabForm::SecretActionExecute);
  bind(snapAction, &TGrabForm::snapActionExecute);
  bind(GrabAction, &TGrabForm::GrabActionExecute);
  bind(AjouterNumeroAction, &TGrabForm::AjouterNumeroActionExecute);
  bind(AjouterTimecodeAction, &TGrabForm::AjouterTimecodeActionExecute);
  bind(SauverImageAction, &TGrabForm::SauverImageActionExecute);
  bind(RatioNormalAction, &TGrabForm::RatioNormalActionExecute);
  bind(Ratio4x3Action, &TGrabForm::Ratio4x3ActionExecute);
  bind(Ratio16x9Action, &TGrabForm::Ratio16x9ActionExecute);
  bind(DeinterlaceAction, &TGrabForm::DeinterlaceActionExecute);
  bind(DossierSaveAction, &TGrabForm::DossierSaveActionExecute);
  bind(ImagePanelAction, &TGrabForm::ImagePanelActionExecute);
  bind(CopierAction, &TGrabForm::CopierActionExecute);
  bind(ImagetteGaucheAction, &TGrabForm::ImagetteGaucheActionExecute);
  bind(VertFlipAction, &TGrabForm::VertFlipActionExecute);
  // Until the About panel exists, its command only turns its on/off state.
  AproposAction->OnExecute = [this] { setAproposActionChecked(!AproposActionChecked()); };
  // Loading, stopping, quitting.
  bind(AbortAction, &TGrabForm::AbortActionExecute);
  bind(PasteAction, &TGrabForm::PasteActionExecute);
  bind(ViderAction, &TGrabForm::ViderActionExecute);
  bind(OuvrirFichierAction, &TGrabForm::OuvrirFichierActionExecute);
  QuitterAction->OnExecute = [this] { close(); };
  // Navigation, sound and full screen.
  bind(FullscreenAction, &TGrabForm::FullscreenActionExecute);
  bind(MuteAction, &TGrabForm::MuteActionExecute);
  bind(ReculeHomeAction, &TGrabForm::ReculeHomeActionExecute);
  bind(AvanceEndAction, &TGrabForm::AvanceEndActionExecute);
  bind(ReculeLowAction, &TGrabForm::ReculeLowActionExecute);
  bind(AvanceLowAction, &TGrabForm::AvanceLowActionExecute);
  bind(ReculeMediumAction, &TGrabForm::ReculeMediumActionExecute);
  bind(AvanceMediumAction, &TGrabForm::AvanceMediumActionExecute);
  bind(ReculeHighAction, &TGrabForm::ReculeHighActionExecute);
  bind(AvancehighAction, &TGrabForm::AvancehighActionExecute);
  bind(ReculetrackAction, &TGrabForm::ReculetrackActionExecute);
  bind(AvanceTrackAction, &TGrabForm::AvanceTrackActionExecute);
  bind(TogglePlayAction, &TGrabForm::TogglePlayActionExecute);
  bind(VCRPauseAction, &TGrabForm::VCRPauseActionExecute);
  bind(VCRPlayAction, &TGrabForm::VCRPlayActionExecute);
  bind(VCRStopAction, &TGrabForm::VCRStopActionExecute);
  bind(incVolumeAction, &TGrabForm::incVolumeActionExecute);
  bind(decVolumeAction, &TGrabForm::decVolumeActionExecute);

  // After every command: the on/off states kept by the panels' owners show again.
  for (TAction* action : ActionList1.Actions())
    connect(action, &QAction::triggered, this, &TGrabForm::SyncActionStates);
  SyncActionStates();
}

void TGrabForm::SyncActionStates() {
  if (!optionsAction) return;
  optionsAction->setChecked(optionsActionChecked());
  AproposAction->setChecked(AproposActionChecked());
  ImagePanelAction->setChecked(ImagePanelActionChecked());
  ImagetteGaucheAction->setChecked(ImagetteGaucheActionChecked());
  VertFlipAction->setChecked(VertFlipActionChecked());
}

// --- Toolbar and menus ---------------------------------------------------------------------------

void TGrabForm::buildToolbar() {
  ToolBar1->setToolButtonStyle(Qt::ToolButtonIconOnly);
  // The buttons stand at fixed places, 29 wide, with 32 pixels for each separator.
  const auto place = [this](const char* name, int x) {
    auto* button = new QToolButton(ToolBar1);
    button->setObjectName(name);
    button->setGeometry(x, 2, 29, 28);
    button->setIconSize(QSize(IconSize, IconSize));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    return button;
  };
  const auto bound = [&](const char* name, int x, TAction* action, const QString& ownHint = {},
                         bool followEnabled = true) {
    QToolButton* button = place(name, x);
    ActionBinding how;
    how.ownHint = ownHint;
    how.followEnabled = followEnabled;
    BindButtonToAction(button, action, how);
    return button;
  };
  const auto dropDown = [&](const char* name, int x, QMenu*& menu, QIcon icon, const QString& hint) {
    QToolButton* button = place(name, x);
    menu = new QMenu(button);
    menu->setObjectName(QString::fromLatin1(name).replace("Btn", "Menu"));
    button->setMenu(menu);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setIcon(icon);
    button->setToolTip(restext::ForDisplay(hint));
    // No arrow: the button's picture says what it opens.
    button->setStyleSheet(QStringLiteral("QToolButton::menu-indicator { image: none; width: 0px; }"));
    return button;
  };

  OpenBtn = bound("OpenBtn", 0, OuvrirFichierAction);
  // The paste button follows the clipboard, not the command, which stays enabled.
  PasteBtn = bound("PasteBtn", 29, PasteAction, {}, false);
  OuvrirCDBtn = dropDown("OuvrirCDBtn", 58, CDMenu,
                         QApplication::style()->standardIcon(QStyle::SP_DriveCDIcon),
                         restext::OpenDiscBtnHint);
  ListeBtn = bound("ListeBtn", 87, OuvrirListeAction, restext::ListeBtnHint);
  ViderBtn = bound("ViderBtn", 116, ViderAction);
  CaptureBtn = dropDown("CaptureBtn", 145, CaptureMenu, drawnIcon(Picture::Capture),
                        restext::CaptureBtnHint);
  SettingsBtn = dropDown("SettingsBtn", 174, SettingsMenu, drawnIcon(Picture::Settings),
                         restext::SettingsBtnHint);
  SettingsBtn->setEnabled(false);
  GrabBtn = bound("GrabBtn", 235, GrabAction);
  SnapBtn = bound("SnapBtn", 264, snapAction);
  SaveBtn = bound("SaveBtn", 293, SauverImageAction);
  CopierBtn = bound("CopierBtn", 322, CopierAction);
  FullscreenBtn = bound("FullscreenBtn", 383, FullscreenAction);
  ToolButton1 = bound("ToolButton1", 412, VertFlipAction);
  ScnBtn = place("ScnBtn", 441);
  ScnBtn->setIcon(drawnIcon(Picture::SceneIdle));
  ScnBtn->setToolTip(restext::ScnBtnHint);
  ScnBtn->setEnabled(false);
  connect(ScnBtn, &QToolButton::clicked, this, &TGrabForm::scnBtnClick);
  chronoBtn = bound("chronoBtn", 470, IntervalloShowAction, restext::ChronoBtnHint);
  ChangerSaveBtn = bound("ChangerSaveBtn", 499, DossierSaveAction, restext::ChangerSaveBtnHint);
  ImagetteBtn = bound("ImagetteBtn", 560, ImagePanelAction, restext::ImagetteBtnHint);
  OptionsBtn = bound("OptionsBtn", 589, optionsAction, restext::OptionsBtnHint);
  AProposBtn = bound("AProposBtn", 618, AproposAction, restext::AproposBtnHint);
  QuitterBtn = bound("QuitterBtn", 647, QuitterAction);

  // Separators between the groups.
  for (int x : {203, 351, 528}) {
    auto* separator = new QFrame(ToolBar1);
    separator->setFrameStyle(QFrame::VLine | QFrame::Sunken);
    separator->setGeometry(x + 15, 4, 2, 24);
  }
}

void TGrabForm::buildMenus() {
  pmEcran = new QMenu(this);
  pmEcran->setObjectName("pmEcran");
  pmEcran->addAction(FullscreenAction);
  VideoWindow1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(VideoWindow1, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pmEcran->popup(VideoWindow1->mapToGlobal(at)); });

  pmImagette = new QMenu(this);
  pmImagette->setObjectName("pmImagette");
  pmImagette->addAction(CopierAction);
  pmImagette->addAction(SauverImageAction);
  Image->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(Image, &QWidget::customContextMenuRequested, this,
          [this](const QPoint& at) { pmImagette->popup(Image->mapToGlobal(at)); });
}

// --- Keys, shortcut list, scene button -----------------------------------------------------------

bool TGrabForm::RunCommandKey(QKeyEvent* key) {
  if (isTornDown() || !optionsAction) return false;
  const QKeyCombination combination = NormalisedKey(key->key(), key->modifiers());
  // A command run from a key's shortcut override may wait for the user (a message, a dialog)
  // and see other keys meanwhile; the key press that follows its override then comes back
  // here. Its command has run already.
  if (key->type() == QEvent::KeyPress && !IsFullscreen()) {
    const auto ran = std::find_if(m_keysRunEarly.begin(), m_keysRunEarly.end(), [&](const auto& k) {
      return k.first == combination && k.second == key->timestamp();
    });
    if (ran != m_keysRunEarly.end()) {
      m_keysRunEarly.erase(ran);
      return true;
    }
  }
  TAction* action = ActionList1.FindByKey(combination);
  // A disabled command keeps the key from every later one: the focused control gets it.
  if (!action || !action->isEnabled()) return false;
  if (key->type() == QEvent::ShortcutOverride) {
    m_keysRunEarly.emplace_back(combination, key->timestamp());
    // Only keys whose press is still to come matter: a few are enough.
    if (m_keysRunEarly.size() > 8) m_keysRunEarly.pop_front();
  }
  action->Execute();
  return true;
}

void TGrabForm::BuildShortcutList() {
  incVolumeAction->SetShortCut(QKeyCombination(Qt::KeypadModifier, Qt::Key_Plus));
  decVolumeAction->SetShortCut(QKeyCombination(Qt::KeypadModifier, Qt::Key_Minus));
  if (!m_options || !m_options->ValueListEditor1) return;

  const bool byName = Prefs.SortShortcutsByName;
  const std::vector<ShortcutRow> rows = ShortcutRows(ActionList1, byName);
  QTableWidget* list = m_options->ValueListEditor1;
  list->clearContents();
  list->setColumnCount(2);
  list->setRowCount(int(rows.size()));
  for (int i = 0; i < int(rows.size()); ++i) {
    list->setItem(i, 0, new QTableWidgetItem(rows[size_t(i)].left));
    list->setItem(i, 1, new QTableWidgetItem(rows[size_t(i)].right));
  }
  list->setHorizontalHeaderLabels(byName ? QStringList{restext::ShortcutFunctions, restext::ShortcutKeys}
                                         : QStringList{restext::ShortcutKeys, restext::ShortcutFunctions});
  list->setColumnWidth(0, byName ? 140 : 80);
}

void TGrabForm::scnBtnClick() {
  WaitCursor hourglass;
  const QIcon idle = drawnIcon(Picture::SceneIdle);
  if (m_sceneRunning) {
    // A second press during a detection: its waiting loop brought the click here.
    RaiseFlag(StopRequested);
    m_sceneRunning = false;
    ScnBtn->setIcon(idle);
    return;
  }
  if (!m_sceneModule) return;
  m_sceneRunning = true;
  ScnBtn->setIcon(drawnIcon(Picture::SceneRunning));
  Tsm* sm = m_sceneModule;
  sm->TimerProgress = nullptr;
  sm->SceneProgress = [this](int64_t progress) { SeekFromScene(progress); };
  const std::weak_ptr<void> alive = aliveToken();
  const bool finished = sm->WriteSceneFile(CurrentSource->Description, true);
  sm->SceneProgress = nullptr;
  if (alive.expired()) return;  // the window closed during the detection
  if (finished) {
    CurrentSource->AvanceEnd();
    Timer1Timer();
  }
  m_sceneRunning = false;
  ScnBtn->setIcon(idle);
}
