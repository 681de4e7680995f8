#include "settings/Erreur_unit.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>

#include "resources/restext.h"
#include "sources/FlagWait.h"
#include "sources/ProgramFlags.h"

TErreur_Frame::TErreur_Frame(QFrame* place) : QWidget(place), m_place(place) {
  setObjectName("TErreur_Frame");
  setGeometry(0, 0, place->width(), place->height());
  place->setFrameStyle(QFrame::Panel | QFrame::Raised);
  QPalette grey = place->palette();
  grey.setColor(QPalette::Window, QColor(192, 192, 192));
  place->setPalette(grey);
  place->setAutoFillBackground(true);

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(8, 8, 57, 39);
  Image1->setScaledContents(true);
  Image1->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(57, 39));

  labErreur = new QLabel(this);
  labErreur->setObjectName("labErreur");
  labErreur->setGeometry(76, 14, 260, 24);
  QPalette red = labErreur->palette();
  red.setColor(QPalette::WindowText, Qt::red);
  labErreur->setPalette(red);

  linkHomepage = new QLabel(this);
  linkHomepage->setObjectName("linkHomepage");
  linkHomepage->setGeometry(350, 18, 99, 18);
  linkHomepage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  linkHomepage->setCursor(Qt::PointingHandCursor);
  linkHomepage->setTextFormat(Qt::RichText);
  linkHomepage->setOpenExternalLinks(true);  // the desktop's browser

  Memo2 = new QPlainTextEdit(this);
  Memo2->setObjectName("Memo2");
  Memo2->setGeometry(8, 56, 441, 177);
  Memo2->setReadOnly(true);

  OkBtn = new QPushButton(this);
  OkBtn->setObjectName("OkBtn");
  OkBtn->setGeometry(183, 252, 91, 33);
  OkBtn->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  OkBtn->installEventFilter(this);
  connect(OkBtn, &QPushButton::clicked, this, &TErreur_Frame::CloseError);

  place->hide();
}

void TErreur_Frame::ApplyEnglishTexts() {
  labErreur->setText(restext::ErrorTitle);
  QFont title(restext::FontSansSerif);
  title.setPixelSize(20);
  title.setBold(true);
  labErreur->setFont(title);
  linkHomepage->setText(QStringLiteral("<a href=\"%1\" style=\"color:blue\">%2</a>")
                            .arg(restext::HomepageUrl.toHtmlEscaped(),
                                 restext::ErrorHomepage.toHtmlEscaped()));
  QFont link(QStringLiteral("Verdana"));
  link.setPointSize(8);
  linkHomepage->setFont(link);
  OkBtn->setText(restext::ErrorOkCaption);
  OkBtn->setToolTip(restext::ForDisplay(restext::ErrorOkHint));
  Memo2->clear();
}

QString TErreur_Frame::PanelText(const QString& message, bool fatal) {
  // Appended, never formatted: a "%" in the message stays as it is.
  return restext::FillPercentS(restext::ErrorHead, {restext::ProductName}) +
         (fatal ? restext::ErrorFatalWord : QString()) + restext::ErrorOnSystem + message +
         restext::FillPercentS(restext::ErrorTail, {restext::ProductName});
}

void TErreur_Frame::ShowError(const QString& message, bool fatal) {
  Memo2->setPlainText(restext::ForDisplay(PanelText(message, fatal)));
  FatalError = fatal;
  m_windowClosing = false;
  m_place->show();
  m_place->raise();
  OkBtn->setFocus(Qt::OtherFocusReason);
}

void TErreur_Frame::CloseError() {
  RaiseFlag(ErrorPanelClosed);
  HidePanel();
  // The window's close path acknowledges the panel again: that must not close it twice.
  if (FatalError && !m_windowClosing) {
    m_windowClosing = true;
    window()->close();
  }
}

void TErreur_Frame::HidePanel() { m_place->hide(); }

bool TErreur_Frame::IsShown() const { return m_place->isVisible(); }

bool TErreur_Frame::eventFilter(QObject* watched, QEvent* event) {
  // Return on the focused OK button accepts the message, as on any push button of the desktop.
  if (watched == OkBtn && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OkBtn->click();
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}
