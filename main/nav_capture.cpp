#include "main/nav_capture.h"

#include <QFrame>
#include <QPushButton>
#include <QToolButton>

#include "resources/restext.h"

Tnav_captureframe::Tnav_captureframe(QFrame* place) : TNavBar(place) {
  setObjectName("Tnav_captureframe");
  // Light blue, so that a tape at hand is told apart from a file at a glance.
  QPalette blue = place->palette();
  blue.setColor(QPalette::Window, QColor(240, 250, 255));
  place->setPalette(blue);
  place->setAutoFillBackground(true);

  ReculemediumBtn = addGlyphButton("ReculemediumBtn", 27, NavGlyph::BackSecond);
  ReculeLowBtn = addGlyphButton("ReculeLowBtn", 61, NavGlyph::BackFrame);
  PlayBtn = addTextButton("PlayBtn", 95, 75);
  PauseBtn = addTextButton("PauseBtn", 181, 75);
  StopBtn = addTextButton("StopBtn", 267, 75);
  AvanceLowBtn = addGlyphButton("AvanceLowBtn", 353, NavGlyph::ForwardFrame);
  AvancemediumBtn = addGlyphButton("AvancemediumBtn", 387, NavGlyph::ForwardSecond);
}

void Tnav_captureframe::ApplyEnglishTexts() {
  ReculemediumBtn->setToolTip(restext::NavFastRewind);
  ReculeLowBtn->setToolTip(restext::NavSlowRewind);
  PlayBtn->setText(restext::CmdPlay);
  PlayBtn->setToolTip(restext::NavTapePlayHint);
  PauseBtn->setText(restext::CmdPause);
  PauseBtn->setToolTip(restext::NavTapePauseHint);
  StopBtn->setText(restext::NavStop);
  StopBtn->setToolTip(restext::NavTapeStopHint);
  AvanceLowBtn->setToolTip(restext::NavSlowForward);
  AvancemediumBtn->setToolTip(restext::NavFastForward);
}
