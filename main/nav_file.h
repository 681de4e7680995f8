// The file bar: scene, minute, second and frame steps both ways around play/pause.
#pragma once

#include "main/nav_bar.h"

class Tnav_fileframe : public TNavBar {
  Q_OBJECT
 public:
  explicit Tnav_fileframe(QFrame* place);
  void ApplyEnglishTexts();

  QToolButton* ReculeTrackBtn;
  QToolButton* ReculeHighBtn;
  QToolButton* ReculeMediumBtn;
  QToolButton* ReculeLowBtn;
  QPushButton* PlayBtn;
  QToolButton* AvanceLowBtn;
  QToolButton* AvanceMediumBtn;
  QToolButton* AvanceHighBtn;
  QToolButton* AvanceTrackBtn;
};
