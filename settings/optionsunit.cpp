#include "settings/optionsunit.h"

#include <climits>
#include <QAbstractItemView>
#include <QFontMetrics>
#include <QButtonGroup>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>

#include "main/ClickFilter.h"
#include "main/naming.h"
#include "resources/restext.h"
#include "settings/Preferences.h"

namespace {

constexpr int PanelWidth = 242;
constexpr int PanelHeight = 412;
constexpr int RadioItemTop = 18;
constexpr int RadioItemStep = 20;

template <typename T>
T* make(QWidget* parent, const char* name, const QRect& place) {
  auto* widget = new T(parent);
  widget->setObjectName(name);
  widget->setGeometry(place);
  return widget;
}

void setHint(QWidget* control, const QString& hint) {
  control->setToolTip(restext::ForDisplay(hint));
}

QString withProductName(QString text) {
  return text.replace(QLatin1String("%s"), restext::ProductName);
}

// The caption of a check box or radio item broken into lines at blanks, so that it stays inside
// `width` pixels (the indicator included) in the control's font.
QString fittedCaption(const QAbstractButton* button, const QString& text, int width) {
  const QFontMetrics metrics(button->font());
  const QStyle* style = button->style();
  const int room = width - style->pixelMetric(QStyle::PM_IndicatorWidth) -
                   style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing) - 4;
  if (room <= 0 || metrics.horizontalAdvance(text) <= room) return text;
  QStringList lines;
  QString line;
  for (const QString& word : text.split(u' ')) {
    const QString longer = line.isEmpty() ? word : line + u' ' + word;
    if (!line.isEmpty() && metrics.horizontalAdvance(longer) > room) {
      lines << line;
      line = word;
    } else {
      line = longer;
    }
  }
  lines << line;
  return lines.join(u'\n');
}

// The caption, in as many lines as it needs; the control grows downwards to hold them.
void setCaption(QAbstractButton* button, const QString& text) {
  button->setText(fittedCaption(button, text, button->width()));
  const int lines = int(button->text().count(u'\n')) + 1;
  const int height = 18 + (lines - 1) * button->fontMetrics().lineSpacing();
  if (button->height() < height) button->resize(button->width(), height);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent), m_buttons(new QButtonGroup(this)) {
  m_buttons->setExclusive(true);
  connect(m_buttons, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
    if (checked) emit Click(id);
  });
}

void TRadioGroup::SetItems(const QStringList& items) {
  for (QAbstractButton* old : m_buttons->buttons()) {
    m_buttons->removeButton(old);
    delete old;
  }
  int top = RadioItemTop;
  for (int i = 0; i < items.size(); ++i) {
    auto* item = new QRadioButton(this);
    item->setObjectName(objectName() + QString::number(i));
    item->setProperty("itemText", items[i]);
    item->setGeometry(8, top, width() - 12, 18);
    setCaption(item, items[i]);
    top += RadioItemStep + item->height() - 18;
    item->setToolTip(toolTip());
    item->show();
    m_buttons->addButton(item, i);
  }
}

QStringList TRadioGroup::Items() const {
  QStringList items;
  for (QAbstractButton* button : m_buttons->buttons())
    items << button->property("itemText").toString();
  return items;
}

QRadioButton* TRadioGroup::Item(int index) const {
  return qobject_cast<QRadioButton*>(m_buttons->button(index));
}

int TRadioGroup::ItemIndex() const { return m_buttons->checkedId(); }

void TRadioGroup::SetItemIndex(int index) {
  if (QAbstractButton* item = m_buttons->button(index)) {
    item->setChecked(true);
    return;
  }
  // None selected: an exclusive group cannot uncheck its last item by itself.
  if (QAbstractButton* checked = m_buttons->checkedButton()) {
    m_buttons->setExclusive(false);
    checked->setChecked(false);
    m_buttons->setExclusive(true);
  }
}

// ---------------------------------------------------------------------------------------------
TOptionsFrame::TOptionsFrame(QWidget* parent) : QFrame(parent) {
  setObjectName("TOptionsFrame");
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setAutoFillBackground(true);
  resize(PanelWidth, PanelHeight);

  PageControl1 = make<QTabWidget>(this, "PageControl1", QRect(2, 4, 238, 378));
  PageControl1->setUsesScrollButtons(true);
  PageControl1->setElideMode(Qt::ElideNone);
  // Four tabs side by side in the narrow panel.
  PageControl1->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 3px; font-size: 7pt; }"));
  buildShortcutsTab();
  buildPreferencesTab();
  buildAdvancedTab();
  buildPicturesTab();
  PageControl1->setCurrentWidget(TabAdvanced);

  labFermerF6 = make<QLabel>(this, "labFermerF6", QRect(8, 388, 226, 16));
  labFermerF6->setCursor(Qt::PointingHandCursor);
  labFermerF6->setAlignment(Qt::AlignCenter);
  QFont underlined = labFermerF6->font();
  underlined.setUnderline(true);
  labFermerF6->setFont(underlined);

  connectControls();
}

void TOptionsFrame::buildShortcutsTab() {
  TabShortcuts = new QWidget;
  TabShortcuts->setObjectName("TabShortcuts");
  PageControl1->addTab(TabShortcuts, QString());
  ValueListEditor1 = make<QTableWidget>(TabShortcuts, "ValueListEditor1", QRect(2, 4, 226, 310));
  ValueListEditor1->setColumnCount(2);
  ValueListEditor1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ValueListEditor1->setSelectionBehavior(QAbstractItemView::SelectRows);
  ValueListEditor1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ValueListEditor1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ValueListEditor1->verticalHeader()->hide();
  ValueListEditor1->verticalHeader()->setDefaultSectionSize(18);
  ValueListEditor1->horizontalHeader()->setStretchLastSection(true);
  cbSortShortcut = make<QCheckBox>(TabShortcuts, "cbSortShortcut", QRect(6, 320, 216, 18));
}

void TOptionsFrame::buildPreferencesTab() {
  TabPreferences = new QWidget;
  TabPreferences->setObjectName("TabPreferences");
  PageControl1->addTab(TabPreferences, QString());
  cbPrefsQuittant = make<QCheckBox>(TabPreferences, "cbPrefsQuittant", QRect(6, 10, 222, 18));
  sbSavePrefs = make<QToolButton>(TabPreferences, "sbSavePrefs", QRect(8, 40, 24, 24));
  sbSavePrefs->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
  LabelSauverNow = make<QLabel>(TabPreferences, "LabelSauverNow", QRect(38, 44, 184, 16));
  sbDeletePrefs = make<QToolButton>(TabPreferences, "sbDeletePrefs", QRect(8, 72, 24, 24));
  sbDeletePrefs->setIcon(style()->standardIcon(QStyle::SP_TrashIcon));
  LabelEffacerPrefs = make<QLabel>(TabPreferences, "LabelEffacerPrefs", QRect(38, 76, 184, 16));
  rgPrefs = make<TRadioGroup>(TabPreferences, "rgPrefs", QRect(4, 108, 224, 100));
  cbImagetteGauche = make<QCheckBox>(TabPreferences, "cbImagetteGauche", QRect(8, 218, 214, 18));
  cbImagetteGauche->setChecked(true);  // Prefs.PictureAtLeft's default
}

void TOptionsFrame::buildAdvancedTab() {
  TabAdvanced = new QWidget;
  TabAdvanced->setObjectName("TabAdvanced");
  PageControl1->addTab(TabAdvanced, QString());
  Memo4 = make<QLabel>(TabAdvanced, "Memo4", QRect(4, 4, 224, 86));
  Memo4->setWordWrap(true);
  Memo4->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Memo4->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
  QFont italic = Memo4->font();
  italic.setItalic(true);
  Memo4->setFont(italic);

  cbConfirm = make<QCheckBox>(TabAdvanced, "cbConfirm", QRect(6, 96, 222, 18));
  cbConfirm->setChecked(true);
  cbUtiliserNomVideo = make<QCheckBox>(TabAdvanced, "cbUtiliserNomVideo", QRect(6, 120, 222, 18));
  cbUtiliserNomVideo->setChecked(true);
  cbLimiterLongueur = make<QCheckBox>(TabAdvanced, "cbLimiterLongueur", QRect(18, 144, 210, 32));
  cbLimiterLongueur->setChecked(true);
  labelMax = make<QLabel>(TabAdvanced, "labelMax", QRect(36, 182, 110, 18));
  RacineLengthEdit = make<QSpinBox>(TabAdvanced, "RacineLengthEdit", QRect(148, 180, 64, 22));
  // A length below 0 means nothing more than 0 does (the empty root).
  RacineLengthEdit->setRange(0, INT_MAX);
  RacineLengthEdit->setValue(8);

  Label6 = make<QLabel>(TabAdvanced, "Label6", QRect(6, 212, 222, 16));
  deDossierSave = make<QLineEdit>(TabAdvanced, "deDossierSave", QRect(6, 230, 196, 22));
  deDossierSaveButton = make<QToolButton>(TabAdvanced, "deDossierSaveButton", QRect(204, 230, 24, 22));
  deDossierSaveButton->setIcon(style()->standardIcon(QStyle::SP_DirOpenIcon));

  BitBtn2 = make<QPushButton>(TabAdvanced, "BitBtn2", QRect(6, 270, 96, 26));
}

void TOptionsFrame::buildPicturesTab() {
  TabPictures = new QWidget;
  TabPictures->setObjectName("TabPictures");
  PageControl1->addTab(TabPictures, QString());

  rgImageExtension = make<TRadioGroup>(TabPictures, "rgImageExtension", QRect(4, 4, 92, 64));
  GroupBox2 = make<QGroupBox>(TabPictures, "GroupBox2", QRect(100, 4, 124, 64));
  TrackBar1 = make<QSlider>(GroupBox2, "TrackBar1", QRect(6, 24, 84, 24));
  TrackBar1->setOrientation(Qt::Horizontal);
  TrackBar1->setRange(1, 100);
  TrackBar1->setValue(50);
  TrackBar1->setPageStep(10);
  Label1 = make<QLabel>(GroupBox2, "Label1", QRect(94, 26, 26, 18));
  GroupBox2->hide();  // shown for JPEG only

  rgImageRatio = make<TRadioGroup>(TabPictures, "rgImageRatio", QRect(4, 72, 220, 82));

  gbImageName = make<QGroupBox>(TabPictures, "gbImageName", QRect(4, 158, 220, 150));
  Label3 = make<QLabel>(gbImageName, "Label3", QRect(8, 24, 40, 18));
  NomRacineEdit = make<QLineEdit>(gbImageName, "NomRacineEdit", QRect(50, 22, 160, 22));
  NomRacineEdit->setText(QStringLiteral("Pictorel"));  // Prefs.Root's default
  rbNumero = make<QRadioButton>(gbImageName, "rbNumero", QRect(8, 54, 100, 18));
  numEdit = make<QLineEdit>(gbImageName, "numEdit", QRect(110, 52, 100, 22));
  LabDigits = make<QLabel>(gbImageName, "LabDigits", QRect(24, 82, 110, 18));
  DigitsEdit = make<QSpinBox>(gbImageName, "DigitsEdit", QRect(140, 80, 70, 22));
  DigitsEdit->setRange(0, MaxDigits);
  DigitsEdit->setValue(4);
  rbTimecode = make<QRadioButton>(gbImageName, "rbTimecode", QRect(8, 110, 200, 18));
  rbDatecode = make<QRadioButton>(gbImageName, "rbDatecode", QRect(8, 128, 200, 18));
  rbDatecode->hide();  // never offered
  rbNumero->setChecked(true);  // numbered names by default
}

void TOptionsFrame::ApplyEnglishTexts() {
  for (int i = 0; i < PageControl1->count() && i < restext::OptionsTabs.size(); ++i)
    PageControl1->setTabText(i, restext::OptionsTabs[i]);

  setCaption(cbSortShortcut, restext::SortShortcutCaption);
  setHint(cbSortShortcut, restext::SortShortcutHint);

  setCaption(cbPrefsQuittant, restext::PrefsQuittantCaption);
  setHint(cbPrefsQuittant, restext::PrefsQuittantHint);
  LabelSauverNow->setText(restext::SauverNowCaption);
  for (QWidget* w : {static_cast<QWidget*>(sbSavePrefs), static_cast<QWidget*>(LabelSauverNow)})
    setHint(w, withProductName(restext::SauverNowHint));
  LabelEffacerPrefs->setText(restext::EffacerPrefsCaption);
  for (QWidget* w : {static_cast<QWidget*>(sbDeletePrefs), static_cast<QWidget*>(LabelEffacerPrefs)})
    setHint(w, restext::EffacerPrefsHint);
  rgPrefs->setTitle(restext::PrefsStoreCaption);
  setHint(rgPrefs, restext::PrefsStoreHint);
  {
    const int selected = rgPrefs->ItemIndex();
    const QSignalBlocker quiet(rgPrefs);
    rgPrefs->SetItems(restext::PrefsStoreItems);
    rgPrefs->SetItemIndex(selected);
  }
  cbImagetteGauche->setText(restext::ImagetteGaucheCaption);

  Memo4->setText(restext::AdvancedNote);
  setCaption(cbConfirm, restext::ConfirmCaption);
  setHint(cbConfirm, restext::ConfirmHint);
  setCaption(cbUtiliserNomVideo, restext::UtiliserNomVideoCaption);
  setHint(cbUtiliserNomVideo, restext::UtiliserNomVideoHint);
  setCaption(cbLimiterLongueur, restext::LimiterLongueurCaption);
  setHint(cbLimiterLongueur, restext::LimiterLongueurHint);
  labelMax->setText(restext::MaxLengthCaption);
  Label6->setText(restext::DossierSaveCaption);
  setHint(deDossierSave, restext::DossierSaveHint);
  setHint(deDossierSaveButton, restext::DossierSaveHint);
  BitBtn2->setText(restext::SecretCaption);
  setHint(BitBtn2, restext::SecretHint);

  rgImageExtension->setTitle(restext::ImageExtensionCaption);
  setHint(rgImageExtension, restext::ImageExtensionHint);
  {
    const int selected = rgImageExtension->ItemIndex();
    const QSignalBlocker quiet(rgImageExtension);
    rgImageExtension->SetItems(restext::ImageExtensionItems);
    rgImageExtension->SetItemIndex(selected < 0 ? 0 : selected);
  }
  GroupBox2->setTitle(restext::JpegQualityCaption);
  setHint(GroupBox2, restext::JpegQualityHint);
  setHint(TrackBar1, restext::TrackBarHint);
  Label1->setText(restext::JpegQualityShown);
  rgImageRatio->setTitle(restext::ImageRatioCaption);
  setHint(rgImageRatio, restext::ImageRatioHint);
  {
    const int selected = rgImageRatio->ItemIndex();
    const QSignalBlocker quiet(rgImageRatio);
    rgImageRatio->SetItems(restext::ImageRatioItems);
    rgImageRatio->SetItemIndex(selected < 0 ? 0 : selected);
  }
  gbImageName->setTitle(restext::ImageNameCaption);
  Label3->setText(restext::RootCaption);
  setHint(NomRacineEdit, restext::RootHint);
  rbNumero->setText(restext::NumeroCaption);
  setHint(rbNumero, restext::NumeroHint);
  {
    const QSignalBlocker quiet(numEdit);
    numEdit->setText(restext::NumberShown);
  }
  LabDigits->setText(restext::DigitsCaption);
  rbTimecode->setText(restext::TimecodeCaption);
  setHint(rbTimecode, restext::TimecodeHint);
  rbDatecode->setText(restext::DatecodeCaption);

  labFermerF6->setText(restext::CloseOptionsCaption);
}

void TOptionsFrame::connectControls() {
  connect(cbSortShortcut, &QCheckBox::toggled, this, [this](bool checked) {
    Prefs.SortShortcutsByName = !checked;
    emit sortShortcutsChanged();
  });

  connect(cbPrefsQuittant, &QCheckBox::toggled, this,
          [](bool checked) { Prefs.SaveOnQuit = checked; });
  connect(sbSavePrefs, &QToolButton::clicked, this, &TOptionsFrame::savePrefsClicked);
  connect(sbDeletePrefs, &QToolButton::clicked, this, &TOptionsFrame::deletePrefsClicked);
  connect(rgPrefs, &TRadioGroup::Click, this, &TOptionsFrame::prefsStoreChosen);
  connect(cbImagetteGauche, &QCheckBox::toggled, this, &TOptionsFrame::imagetteGaucheClicked);

  connect(cbConfirm, &QCheckBox::toggled, this,
          [](bool checked) { Prefs.ConfirmOverwrite = checked; });
  connect(cbUtiliserNomVideo, &QCheckBox::toggled, this, [this](bool checked) {
    Prefs.UseVideoName = checked;
    updateNamingVisibility();
    emit rootRuleChanged();
  });
  connect(cbLimiterLongueur, &QCheckBox::toggled, this, [this](bool checked) {
    Prefs.LimitLength = checked;
    updateNamingVisibility();
    emit rootRuleChanged();
  });
  connect(RacineLengthEdit, &QSpinBox::valueChanged, this, [this](int value) {
    Prefs.RootLength = value;
    emit rootRuleChanged();
  });
  connect(deDossierSaveButton, &QToolButton::clicked, this, &TOptionsFrame::browseFolderClicked);
  connect(BitBtn2, &QPushButton::clicked, this, &TOptionsFrame::secretClicked);

  connect(rgImageExtension, &TRadioGroup::Click, this, [this](int index) {
    Prefs.ImageExtension = index;
    GroupBox2->setVisible(index == 1);
    emit imageExtensionChanged();
  });
  connect(TrackBar1, &QSlider::valueChanged, this, [this](int position) {
    Label1->setText(QString::number(position));
    Prefs.JpegQuality = position;
  });
  connect(rgImageRatio, &TRadioGroup::Click, this, [this](int index) {
    Prefs.ImageRatio = index;
    emit imageRatioChanged();
  });
  connect(NomRacineEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
    Prefs.Root = text;
    emit rootTextChanged();
  });
  connect(rbNumero, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) emit numeroChosen();
  });
  connect(rbTimecode, &QRadioButton::toggled, this, [this](bool checked) {
    if (checked) emit timecodeChosen();
  });
  connect(numEdit, &QLineEdit::textChanged, this, &TOptionsFrame::numEditChange);
  connect(DigitsEdit, &QSpinBox::valueChanged, this, &TOptionsFrame::DigitsEditChange);

  ClickFilter::install(labFermerF6, [this] { emit closeClicked(); });
}

// The digits field follows the number's length; the number is re-padded to the digits. Each
// feeds the other once, then both agree and nothing changes any more.
void TOptionsFrame::numEditChange() {
  DigitsEdit->setValue(int(numEdit->text().size()));
  emit numberChanged();
}

void TOptionsFrame::DigitsEditChange(int digits) {
  Prefs.Digits = digits;
  numEdit->setText(padNumberText(numEdit->text(), digits));
}

void TOptionsFrame::updateNamingVisibility() {
  const bool useVideoName = cbUtiliserNomVideo->isChecked();
  const bool limited = useVideoName && cbLimiterLongueur->isChecked();
  cbLimiterLongueur->setVisible(useVideoName);
  labelMax->setVisible(limited);
  RacineLengthEdit->setVisible(limited);
}

QString TOptionsFrame::folderText() const { return deDossierSave->text(); }

void TOptionsFrame::ShowOptions() {
  show();
  raise();
  // Inside the window's place for the panel: that place is what shows and hides.
  QWidget* place = parentWidget();
  if (place && place != window()) {
    place->show();
    place->raise();
  }
}
