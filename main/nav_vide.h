// The empty bar: in front when there is nothing to move through (no source, or a live stream).
#pragma once

#include "main/nav_bar.h"

class Tnav_videframe : public TNavBar {
  Q_OBJECT
 public:
  explicit Tnav_videframe(QFrame* place);
};
