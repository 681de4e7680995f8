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

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  mutable std::mutex m_lock;
  Bitmap m_frame;
  bool m_updatePending = false;
};
