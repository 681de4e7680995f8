#include "settings/aproposUnit.h"

#include <QFrame>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QUrl>
#include <QUrlQuery>

#include "resources/restext.h"

namespace {

constexpr int PanelWidth = 233;
constexpr int PanelHeight = 401;

// The program's mark: a frame of film with a picture being taken out of it.
QPixmap programMark(int width, int height) {
  QPixmap picture(width, height);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF film(1, height * 0.15, width - 2, height * 0.7);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 40, 40));
  p.drawRoundedRect(film, 3, 3);
  p.setBrush(QColor(230, 230, 230));
  const double hole = film.height() / 8;
  for (double x = film.left() + hole; x + hole < film.right(); x += hole * 2.2) {
    p.drawRect(QRectF(x, film.top() + hole * 0.5, hole, hole));
    p.drawRect(QRectF(x, film.bottom() - hole * 1.5, hole, hole));
  }
  p.setBrush(QColor(90, 150, 220));
  p.drawRect(QRectF(film.left() + width * 0.2, film.top() + hole * 2.2, width * 0.6,
                    film.height() - hole * 4.4));
  p.setBrush(QColor(128, 0, 0));
  p.drawEllipse(QPointF(width * 0.78, height * 0.78), width * 0.14, width * 0.14);
  return picture;
}

QString linkHtml(const QString& url, const QString& text) {
  return QStringLiteral("<a href=\"%1\" style=\"color:blue\">%2</a>")
      .arg(url.toHtmlEscaped(), text.toHtmlEscaped());
}

void setLinkFont(QLabel* label) {
  QFont link(QStringLiteral("Verdana"));
  link.setPointSize(8);
  link.setUnderline(true);
  label->setFont(link);
}

}  // namespace

TAproposFrame::TAproposFrame(QFrame* place) : QWidget(place), m_place(place) {
  setObjectName("TAproposFrame");
  setGeometry(0, 0, PanelWidth, PanelHeight);
  place->setFrameStyle(QFrame::Panel | QFrame::Raised);
  place->setAutoFillBackground(true);

  RxLabel1 = new QLabel(this);
  RxLabel1->setObjectName("RxLabel1");
  RxLabel1->setGeometry(6, 14, PanelWidth - 41 - 4 - 8, 26);
  QPalette maroon = RxLabel1->palette();
  maroon.setColor(QPalette::WindowText, QColor(128, 0, 0));
  RxLabel1->setPalette(maroon);
  auto* shadow = new QGraphicsDropShadowEffect(RxLabel1);
  shadow->setOffset(1.5, 1.5);
  shadow->setBlurRadius(0);
  shadow->setColor(QColor(160, 160, 160));
  RxLabel1->setGraphicsEffect(shadow);

  Image2 = new QLabel(this);
  Image2->setObjectName("Image2");
  Image2->setGeometry(PanelWidth - 41 - 4, 8, 41, 41);
  Image2->setPixmap(programMark(41, 41));

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setGeometry(10, 56, PanelWidth - 20, 214);
  Memo1->setReadOnly(true);
  Memo1->setFrameStyle(QFrame::NoFrame);
  Memo1->viewport()->setAutoFillBackground(false);
  QFont italic(restext::FontArial);
  italic.setPointSize(8);
  italic.setItalic(true);
  Memo1->setFont(italic);

  linkHomepage = new QLabel(this);
  linkHomepage->setObjectName("linkHomepage");
  linkHomepage->setGeometry(12, 278, 100, 18);
  linkMail = new QLabel(this);
  linkMail->setObjectName("linkMail");
  linkMail->setGeometry(12, 300, 100, 18);
  for (QLabel* link : {linkHomepage, linkMail}) {
    link->setCursor(Qt::PointingHandCursor);
    link->setTextFormat(Qt::RichText);
    link->setOpenExternalLinks(true);  // the desktop's browser and mail program
  }

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(PanelWidth - 80 - 12, 278, 80, 60);
  Image1->setScaledContents(true);
  Image1->setPixmap(programMark(160, 120));

  labFermerF6 = new QLabel(this);
  labFermerF6->setObjectName("labFermerF6");
  labFermerF6->setGeometry(12, 350, PanelWidth - 24, 36);
  labFermerF6->setAlignment(Qt::AlignCenter);
  labFermerF6->setCursor(Qt::PointingHandCursor);
  labFermerF6->installEventFilter(this);

  place->hide();
}

void TAproposFrame::ApplyEnglishTexts() {
  QFont title(restext::FontSansSerif);
  title.setPixelSize(19);
  title.setBold(true);
  RxLabel1->setFont(title);
  RxLabel1->clear();
  Memo1->clear();
  linkHomepage->setText(linkHtml(restext::HomepageUrl, restext::AboutHomepage));
  setLinkFont(linkHomepage);
  linkMail->setText(linkHtml(QStringLiteral("mailto:") + restext::AboutMailAddress,
                             restext::AboutMail));
  setLinkFont(linkMail);
  Image1->setToolTip(restext::ForDisplay(restext::AboutPictureHint));
  labFermerF6->setText(restext::ForDisplay(restext::AboutClose));
  QFont close(restext::FontArial);
  close.setPointSize(8);
  labFermerF6->setFont(close);
}

QString TAproposFrame::TitleText(const QString& versionText) {
  return restext::ProductName + " " + versionText + " " + restext::AboutLanguage;
}

QString TAproposFrame::AboutText(const QString& buildDateText) {
  return restext::FillPercentS(restext::AboutText,
                               {restext::AuthorName, restext::AboutCredits, buildDateText});
}

QString TAproposFrame::MailUrl(const QString& versionText) {
  QUrl url(QStringLiteral("mailto:") + restext::AboutMailAddress);
  QUrlQuery query;
  query.addQueryItem(
      QStringLiteral("subject"),
      restext::FillPercentS(restext::AboutMailSubject,
                            {restext::ProductName, versionText + " " + restext::AboutLanguage}));
  url.setQuery(query);
  return url.toString(QUrl::FullyEncoded);
}

void TAproposFrame::ShowAbout(const QString& versionText, const QString& buildDateText) {
  linkMail->setText(linkHtml(MailUrl(versionText), restext::AboutMail));
  RxLabel1->setText(TitleText(versionText));
  Memo1->setPlainText(restext::ForDisplay(AboutText(buildDateText)));
  m_place->show();
  m_place->raise();
}

bool TAproposFrame::eventFilter(QObject* watched, QEvent* event) {
  if (watched == labFermerF6 && event->type() == QEvent::MouseButtonRelease &&
      static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
    emit closeClicked();
    return true;
  }
  return QWidget::eventFilter(watched, event);
}
