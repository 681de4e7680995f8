#include "main/nav_file.h"

#include <QPushButton>
#include <QToolButton>

#include "resources/restext.h"

Tnav_fileframe::Tnav_fileframe(QFrame* place) : TNavBar(place) {
  setObjectName("Tnav_fileframe");
  ReculeTrackBtn = addGlyphButton("ReculeTrackBtn", 27, NavGlyph::PreviousTrack);
  ReculeHighBtn = addGlyphButton("ReculeHighBtn", 61, NavGlyph::BackMinute);
  ReculeMediumBtn = addGlyphButton("ReculeMediumBtn", 95, NavGlyph::BackSecond);
  ReculeLowBtn = addGlyphButton("ReculeLowBtn", 129, NavGlyph::BackFrame);
  PlayBtn = addTextButton("PlayBtn", 180, 72);
  AvanceLowBtn = addGlyphButton("AvanceLowBtn", 280, NavGlyph::ForwardFrame);
  AvanceMediumBtn = addGlyphButton("AvanceMediumBtn", 314, NavGlyph::ForwardSecond);
  AvanceHighBtn = addGlyphButton("AvanceHighBtn", 350, NavGlyph::ForwardMinute);
  AvanceTrackBtn = addGlyphButton("AvanceTrackBtn", 384, NavGlyph::NextTrack);
}

void Tnav_fileframe::ApplyEnglishTexts() {
  ReculeTrackBtn->setToolTip(restext::NavPreviousScene);
  ReculeHighBtn->setToolTip(restext::NavBackMinute);
  ReculeMediumBtn->setToolTip(restext::NavBackSecond);
  ReculeLowBtn->setToolTip(restext::NavBackFrame);
  PlayBtn->setText(restext::CmdPlay);
  PlayBtn->setToolTip(restext::NavPlayHint);
  AvanceLowBtn->setToolTip(restext::NavForwardFrame);
  AvanceMediumBtn->setToolTip(restext::NavForwardSecond);
  AvanceHighBtn->setToolTip(restext::NavForwardMinute);
  AvanceTrackBtn->setToolTip(restext::NavNextScene);
}
