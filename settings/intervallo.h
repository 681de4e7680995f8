// The intervalometer panel: interval value and unit, the on/off switch, the beep box and the
// large count of pictures or seconds left. It sits at the bottom of the video panel, hidden until
// shown; the window runs the intervalometer itself and listens to the panel's signals.
#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QSpinBox;
class QTimer;
class QToolButton;

class Tintervalloframe : public QWidget {
  Q_OBJECT
 public:
  // Fills `place` (the panel's place in the video panel).
  explicit Tintervalloframe(QFrame* place);

  // Captions, hints, the unit list and the count label's first text.
  void ApplyEnglishTexts();

  // The value field keeps what the program sets within its range.
  void setValue(int value);

  QGroupBox* gbIntervallo = nullptr;
  QSpinBox* RxSpinEdit7 = nullptr;
  QComboBox* cboxIntervallo = nullptr;
  QToolButton* RxSwitch1 = nullptr;  // on/off; a click flips it, then switchClicked
  QCheckBox* cbBeep = nullptr;
  QLabel* chronolab = nullptr;
  // The countdown timer of a capture run; single-shot, armed by the window for each tick.
  QTimer* chrono = nullptr;

  static constexpr int MinValue = 1;
  static constexpr int MaxValue = 999999;

 signals:
  void valueChanged(int value);
  void unitChanged(int unit);
  void switchClicked();
  void beepClicked(bool checked);
};
