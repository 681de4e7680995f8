// The camcorder bar: winding and stepping the tape, and its play, pause and stop.
#pragma once

#include "main/nav_bar.h"

class Tnav_captureframe : public TNavBar {
  Q_OBJECT
 public:
  explicit Tnav_captureframe(QFrame* place);
  void ApplyEnglishTexts();

  QToolButton* ReculemediumBtn;
  QToolButton* ReculeLowBtn;
  QPushButton* PlayBtn;
  QPushButton* PauseBtn;
  QPushButton* StopBtn;
  QToolButton* AvanceLowBtn;
  QToolButton* AvancemediumBtn;
};
