// The disc bar: the file bar's buttons, with tracks instead of scenes for the outer two.
#pragma once

#include "main/nav_bar.h"

class Tnav_CDframe : public TNavBar {
  Q_OBJECT
 public:
  explicit Tnav_CDframe(QFrame* place);
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
