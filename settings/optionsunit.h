// The settings panel of the main window: four tabs (shortcuts, preferences store, advanced naming
// and folder settings, picture format). Each control writes its setting into Prefs as soon as it
// changes; what the window must recompute (names, aspect, panel places) it announces through a
// signal, which the window connects to its own operations.
#pragma once

#include <QFrame>
#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QSpinBox;
class QTabWidget;
class QTableWidget;
class QToolButton;

// A captioned group of radio items, one of which (or none) is selected.
class TRadioGroup : public QGroupBox {
  Q_OBJECT
 public:
  explicit TRadioGroup(QWidget* parent = nullptr);

  // Replaces the items; none is selected afterwards.
  void SetItems(const QStringList& items);
  QStringList Items() const;
  QRadioButton* Item(int index) const;
  // -1 when none is selected.
  int ItemIndex() const;
  // Selects an item (-1: none). Selecting another item than the one selected emits Click, as a
  // click would; an index out of range selects none.
  void SetItemIndex(int index);

 signals:
  // The selected item changed (by the user or by SetItemIndex).
  void Click(int index);

 private:
  QButtonGroup* m_buttons;
};

class TOptionsFrame : public QFrame {
  Q_OBJECT
 public:
  explicit TOptionsFrame(QWidget* parent = nullptr);

  // Puts the English texts and hints over the controls.
  void ApplyEnglishTexts();
  // Makes the panel visible and brings it to the front.
  void ShowOptions();

  // Shows or hides the length box, the length field and its label from the two naming boxes.
  void updateNamingVisibility();
  // The folder field's text, as typed or as set.
  QString folderText() const;

  QTabWidget* PageControl1 = nullptr;
  QWidget* TabShortcuts = nullptr;
  QWidget* TabPreferences = nullptr;
  QWidget* TabAdvanced = nullptr;
  QWidget* TabPictures = nullptr;

  // --- Shortcuts
  QTableWidget* ValueListEditor1 = nullptr;
  QCheckBox* cbSortShortcut = nullptr;

  // --- Preferences
  QCheckBox* cbPrefsQuittant = nullptr;
  QToolButton* sbSavePrefs = nullptr;
  QLabel* LabelSauverNow = nullptr;
  QToolButton* sbDeletePrefs = nullptr;
  QLabel* LabelEffacerPrefs = nullptr;
  TRadioGroup* rgPrefs = nullptr;
  QCheckBox* cbImagetteGauche = nullptr;

  // --- Advanced
  QLabel* Memo4 = nullptr;
  QCheckBox* cbConfirm = nullptr;
  QCheckBox* cbUtiliserNomVideo = nullptr;
  QCheckBox* cbLimiterLongueur = nullptr;
  QLabel* labelMax = nullptr;
  QSpinBox* RacineLengthEdit = nullptr;
  QLabel* Label6 = nullptr;
  QLineEdit* deDossierSave = nullptr;
  QToolButton* deDossierSaveButton = nullptr;  // the folder field's browse button
  QPushButton* BitBtn2 = nullptr;

  // --- Pictures
  TRadioGroup* rgImageExtension = nullptr;
  QGroupBox* GroupBox2 = nullptr;
  QSlider* TrackBar1 = nullptr;
  QLabel* Label1 = nullptr;
  TRadioGroup* rgImageRatio = nullptr;
  QGroupBox* gbImageName = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* NomRacineEdit = nullptr;
  QRadioButton* rbNumero = nullptr;
  QLineEdit* numEdit = nullptr;
  QLabel* LabDigits = nullptr;
  QSpinBox* DigitsEdit = nullptr;
  QRadioButton* rbTimecode = nullptr;
  QRadioButton* rbDatecode = nullptr;

  QLabel* labFermerF6 = nullptr;

 signals:
  // The sort order of the shortcut list changed: the list is to be built again.
  void sortShortcutsChanged();
  void savePrefsClicked();
  void deletePrefsClicked();
  void prefsStoreChosen(int index);
  // The picture-on-the-left box was clicked to this state.
  void imagetteGaucheClicked(bool checked);
  // The video-name box, the length box or the length field changed: root and name again.
  void rootRuleChanged();
  // The fixed root was edited.
  void rootTextChanged();
  // The number field changed.
  void numberChanged();
  // The format changed: the name's extension follows.
  void imageExtensionChanged();
  void imageRatioChanged();
  void numeroChosen();
  void timecodeChosen();
  void browseFolderClicked();
  void secretClicked();
  void closeClicked();

 private:
  void buildShortcutsTab();
  void buildPreferencesTab();
  void buildAdvancedTab();
  void buildPicturesTab();
  void connectControls();

  void numEditChange();
  void DigitsEditChange(int digits);
};
