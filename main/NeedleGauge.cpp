#include "main/NeedleGauge.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <QPainter>

NeedleGauge::NeedleGauge(QWidget* parent) : QWidget(parent) {}

void NeedleGauge::SetRange(int minValue, int maxValue) {
  m_minValue = minValue;
  m_maxValue = std::max(minValue, maxValue);
  SetProgress(m_progress);
}

void NeedleGauge::SetProgress(int value) {
  const int clamped = std::clamp(value, m_minValue, m_maxValue);
  if (clamped == m_progress) return;
  m_progress = clamped;
  update();
}

void NeedleGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const QRectF area = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
  painter.setPen(palette().color(QPalette::Mid));
  painter.setBrush(palette().color(QPalette::Base));
  painter.drawRect(area);

  // The dial is the upper half of an ellipse standing on the bottom edge.
  const QPointF pivot(area.center().x(), area.bottom() - 1.0);
  const double radiusX = area.width() / 2.0 - 2.0;
  const double radiusY = area.height() - 3.0;
  painter.setPen(palette().color(QPalette::Dark));
  painter.setBrush(Qt::NoBrush);
  painter.drawArc(QRectF(pivot.x() - radiusX, pivot.y() - radiusY, 2 * radiusX, 2 * radiusY),
                  0, 180 * 16);

  const int span = m_maxValue - m_minValue;
  const double fraction = span > 0 ? double(m_progress - m_minValue) / span : 0.0;
  const double angle = std::numbers::pi * (1.0 - fraction);  // minimum at the left
  const QPointF tip(pivot.x() + radiusX * std::cos(angle), pivot.y() - radiusY * std::sin(angle));
  painter.setPen(QPen(palette().color(QPalette::WindowText), 1.5));
  painter.drawLine(pivot, tip);
}
