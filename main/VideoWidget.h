// The video surface of the main window: paints the latest frame stretched to its own size.
#pragma once

#include <mutex>
#include <QWidget>

#include "media/Bitmap.h"
#include "media/VideoWindow.h"

class VideoWidget : public QWidget, public VideoWindow {
  Q_OBJECT
 public:
  explicit VideoWidget(QWidget* parent = nullptr);

  void ShowFrame(const Bitmap& frame) override;
  void SetVideoVisible(bool visible) override;

  // The frame currently painted (for tests and screenshots).
  Bitmap CurrentFrame() const;

 signals:
  // A mouse button went down on the video, with the keyboard modifiers held then.
  void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  mutable std::mutex m_lock;
  Bitmap m_frame;
  bool m_updatePending = false;
};
