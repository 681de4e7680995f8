// The main window.
#pragma once

#include <memory>
#include <QMainWindow>

#include "media/Bitmap.h"
#include "sources/GrabUnit.h"

class QLabel;
class VideoWidget;

class TGrabForm : public QWidget {
  Q_OBJECT
 public:
  explicit TGrabForm(QWidget* parent = nullptr);
  ~TGrabForm() override;

  TGrab& CurrentSource() { return *m_currentSource; }
  TGrabPosition& CurrentPosition() { return *m_currentPosition; }
  VideoWidget* VideoWindow1() const { return m_videoWindow1; }

  QString VersionText;
  QString BuildDateText;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void FormCreate();
  void ViderActionExecute();

  std::unique_ptr<TGrab> m_currentSource;
  std::unique_ptr<TGrabPosition> m_currentPosition;
  VideoWidget* m_videoWindow1 = nullptr;
  QLabel* m_enCoursLab = nullptr;
};
