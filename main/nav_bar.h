// What the navigation bars of the video panel share: the bar fills the place the window keeps for
// it, and carries picture buttons (23 x 22) and text buttons (26 high) at fixed places.
#pragma once

#include <QIcon>
#include <QWidget>

class QFrame;
class QPushButton;
class QToolButton;

// The pictures of the navigation buttons and of the commands that move through the video.
enum class NavGlyph {
  PreviousTrack,
  BackMinute,
  BackSecond,
  BackFrame,
  ForwardFrame,
  ForwardSecond,
  ForwardMinute,
  NextTrack,
};
QIcon navGlyphIcon(NavGlyph glyph);

class TNavBar : public QWidget {
  Q_OBJECT
 public:
  // Fills `place`; shown and hidden with it.
  explicit TNavBar(QFrame* place);

 protected:
  QToolButton* addGlyphButton(const char* name, int x, NavGlyph glyph);
  QPushButton* addTextButton(const char* name, int x, int width);
};
