#include "main/nav_bar.h"

#include <QFrame>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QToolButton>

#include "resources/restext.h"

namespace {

constexpr int GlyphSize = 16;

// A triangle pointing left or right whose flat side stands at x.
void triangle(QPainter& painter, double x, bool right, double width) {
  const double top = 3.5, bottom = GlyphSize - 3.5, middle = GlyphSize / 2.0;
  QPainterPath path;
  path.moveTo(x, top);
  path.lineTo(x, bottom);
  path.lineTo(right ? x + width : x - width, middle);
  path.closeSubpath();
  painter.drawPath(path);
}

void bar(QPainter& painter, double x) { painter.drawRect(QRectF(x, 3.5, 1.8, GlyphSize - 7)); }

}  // namespace

QIcon navGlyphIcon(NavGlyph glyph) {
  QPixmap pixmap(GlyphSize, GlyphSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 96));
  // Backward glyphs are drawn as their forward partner mirrored.
  const bool back = glyph <= NavGlyph::BackFrame;
  if (back) {
    painter.translate(GlyphSize, 0);
    painter.scale(-1, 1);
  }
  switch (glyph) {
    case NavGlyph::PreviousTrack:
    case NavGlyph::NextTrack:
      triangle(painter, 2, true, 5.5);
      triangle(painter, 7.5, true, 5.5);
      bar(painter, 13);
      break;
    case NavGlyph::BackMinute:
    case NavGlyph::ForwardMinute:
      triangle(painter, 1, true, 4.5);
      triangle(painter, 5.5, true, 4.5);
      triangle(painter, 10, true, 4.5);
      break;
    case NavGlyph::BackSecond:
    case NavGlyph::ForwardSecond:
      triangle(painter, 3, true, 5);
      triangle(painter, 8, true, 5);
      break;
    case NavGlyph::BackFrame:
    case NavGlyph::ForwardFrame:
      bar(painter, 3.5);
      triangle(painter, 7, true, 6);
      break;
  }
  return QIcon(pixmap);
}

TNavBar::TNavBar(QFrame* place) : QWidget(place) {
  setGeometry(0, 0, place->width(), place->height());
}

QToolButton* TNavBar::addGlyphButton(const char* name, int x, NavGlyph glyph) {
  auto* button = new QToolButton(this);
  button->setObjectName(name);
  button->setGeometry(x, (height() - 22) / 2, 23, 22);
  button->setIcon(navGlyphIcon(glyph));
  button->setIconSize(QSize(GlyphSize, GlyphSize));
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->setFocusPolicy(Qt::NoFocus);
  QFont font = button->font();
  font.setFamilies({restext::FontSansSerif});
  button->setFont(font);
  return button;
}

QPushButton* TNavBar::addTextButton(const char* name, int x, int width) {
  auto* button = new QPushButton(this);
  button->setObjectName(name);
  button->setGeometry(x, (height() - 26) / 2, width, 26);
  button->setFocusPolicy(Qt::NoFocus);
  QFont font = button->font();
  font.setFamilies({restext::FontTimes});
  button->setFont(font);
  return button;
}
