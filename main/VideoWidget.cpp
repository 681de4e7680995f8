#include "main/VideoWidget.h"

#include <QImage>
#include <QMetaObject>
#include <QMouseEvent>
#include <QPainter>

VideoWidget::VideoWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAutoFillBackground(false);
}

void VideoWidget::ShowFrame(const Bitmap& frame) {
  {
    std::lock_guard lock(m_lock);
    m_frame = frame;  // shares the pixels: no copy on the streaming thread
    if (m_updatePending) return;  // one repaint request in flight is enough
    m_updatePending = true;
  }
  QMetaObject::invokeMethod(this, [this] { update(); }, Qt::QueuedConnection);
}

void VideoWidget::SetVideoVisible(bool visible) {
  QMetaObject::invokeMethod(
      this,
      [this, visible] {
        if (!visible) {
          std::lock_guard lock(m_lock);
          m_frame = Bitmap();
        }
        update();
      },
      Qt::QueuedConnection);
}

Bitmap VideoWidget::CurrentFrame() const {
  std::lock_guard lock(m_lock);
  return m_frame;
}

void VideoWidget::paintEvent(QPaintEvent*) {
  Bitmap frame;
  {
    std::lock_guard lock(m_lock);
    frame = m_frame;
    m_updatePending = false;
  }
  QPainter painter(this);
  if (frame.IsEmpty()) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  const QImage::Format format = frame.PixelFormat() == Bitmap::Format::BGR24
                                    ? QImage::Format_BGR888
                                    : QImage::Format_RGB32;
  const QImage image(frame.Row(0), frame.Width(), frame.Height(), frame.Stride(), format);
  // Stretched to the surface: the surface's own size carries the chosen aspect.
  painter.drawImage(rect(), image);
}

void VideoWidget::mousePressEvent(QMouseEvent* event) {
  event->accept();
  emit mousePressed(event->button(), event->modifiers());
}
