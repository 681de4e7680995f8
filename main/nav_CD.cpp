#include "main/nav_CD.h"

#include <QPushButton>
#include <QToolButton>

#include "resources/restext.h"

Tnav_CDframe::Tnav_CDframe(QFrame* place) : TNavBar(place) {
  setObjectName("Tnav_CDframe");
  ReculeTrackBtn = addGlyphButton("ReculeTrackBtn", 27, NavGlyph::PreviousTrack);
  ReculeHighBtn = addGlyphButton("ReculeHighBtn", 60, NavGlyph::BackMinute);
  ReculeMediumBtn = addGlyphButton("ReculeMediumBtn", 93, NavGlyph::BackSecond);
  ReculeLowBtn = addGlyphButton("ReculeLowBtn", 127, NavGlyph::BackFrame);
  PlayBtn = addTextButton("PlayBtn", 181, 75);
  AvanceLowBtn = addGlyphButton("AvanceLowBtn", 288, NavGlyph::ForwardFrame);
  AvanceMediumBtn = addGlyphButton("AvanceMediumBtn", 321, NavGlyph::ForwardSecond);
  AvanceHighBtn = addGlyphButton("AvanceHighBtn", 354, NavGlyph::ForwardMinute);
  AvanceTrackBtn = addGlyphButton("AvanceTrackBtn", 387, NavGlyph::NextTrack);
}

void Tnav_CDframe::ApplyEnglishTexts() {
  ReculeTrackBtn->setToolTip(restext::NavPreviousTrack);
  ReculeHighBtn->setToolTip(restext::NavBackMinute);
  ReculeMediumBtn->setToolTip(restext::NavBackSecond);
  ReculeLowBtn->setToolTip(restext::NavBackFrame);
  PlayBtn->setText(restext::CmdPlay);
  PlayBtn->setToolTip(restext::NavPlayHint);
  AvanceLowBtn->setToolTip(restext::NavForwardFrame);
  AvanceMediumBtn->setToolTip(restext::NavForwardSecond);
  AvanceHighBtn->setToolTip(restext::NavForwardMinute);
  AvanceTrackBtn->setToolTip(restext::NavNextTrack);
}
