#include "main/main.h"

#include <QCloseEvent>
#include <QLabel>

#include "main/VideoWidget.h"
#include "resources/restext.h"

TGrabForm::TGrabForm(QWidget* parent) : QWidget(parent) {
  setFixedSize(680, 507);
  m_videoWindow1 = new VideoWidget(this);
  m_videoWindow1->setObjectName("VideoWindow1");
  m_videoWindow1->setGeometry(242 + 27, 66 + 48, 384, 288);
  m_enCoursLab = new QLabel(this);
  m_enCoursLab->setGeometry(16, 33 + 8, 500, 16);
  FormCreate();
}

TGrabForm::~TGrabForm() = default;

void TGrabForm::FormCreate() {
  VersionText = QString::asprintf("%d.%d.%d", 4, 1, 3);
  setWindowTitle(restext::ProductName + " " + VersionText + " by " + restext::AuthorName);
  ViderActionExecute();
}

void TGrabForm::ViderActionExecute() {
  m_currentSource.reset();
  m_currentSource = std::make_unique<TGrab>();
  m_currentPosition = std::make_unique<TGrabPosition>();
  m_enCoursLab->setText(m_currentSource->Description);
}

void TGrabForm::closeEvent(QCloseEvent* event) {
  m_currentPosition.reset();
  m_currentSource.reset();
  event->accept();
}
