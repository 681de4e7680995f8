#include "settings/intervallo.h"

#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPainter>
#include <QSpinBox>
#include <QTimer>
#include <QToolButton>

#include "resources/restext.h"

namespace {

// The switch's two pictures: a lever at the left on grey (off), at the right on green (on).
QPixmap switchPicture(bool on) {
  QPixmap picture(44, 22);
  picture.fill(Qt::transparent);
  QPainter p(&picture);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(64, 64, 64), 1));
  p.setBrush(on ? QColor(40, 170, 60) : QColor(170, 170, 170));
  p.drawRoundedRect(QRectF(1.5, 3.5, 41, 15), 7.5, 7.5);
  p.setBrush(QColor(245, 245, 245));
  p.drawEllipse(QRectF(on ? 23.5 : 1.5, 1.5, 19, 19));
  return picture;
}

}  // namespace

Tintervalloframe::Tintervalloframe(QFrame* place) : QWidget(place) {
  setObjectName("Tintervalloframe");
  setGeometry(0, 0, place->width(), place->height());
  // In front of the slider and the navigation bar it covers.
  place->setAutoFillBackground(true);
  setAutoFillBackground(true);

  gbIntervallo = new QGroupBox(this);
  gbIntervallo->setObjectName("gbIntervallo");
  gbIntervallo->setGeometry(0, 0, width(), height());

  RxSpinEdit7 = new QSpinBox(gbIntervallo);
  RxSpinEdit7->setObjectName("RxSpinEdit7");
  RxSpinEdit7->setGeometry(10, 26, 82, 24);
  // Zero would be an interval without length: refused like any value out of range.
  RxSpinEdit7->setRange(MinValue, MaxValue);
  RxSpinEdit7->setValue(10);

  cboxIntervallo = new QComboBox(gbIntervallo);
  cboxIntervallo->setObjectName("cboxIntervallo");
  cboxIntervallo->setGeometry(98, 26, 88, 24);

  RxSwitch1 = new QToolButton(gbIntervallo);
  RxSwitch1->setObjectName("RxSwitch1");
  RxSwitch1->setGeometry(194, 24, 50, 28);
  RxSwitch1->setCheckable(true);
  RxSwitch1->setAutoRaise(true);
  QIcon pictures;
  pictures.addPixmap(switchPicture(false), QIcon::Normal, QIcon::Off);
  pictures.addPixmap(switchPicture(true), QIcon::Normal, QIcon::On);
  RxSwitch1->setIcon(pictures);
  RxSwitch1->setIconSize(QSize(44, 22));

  cbBeep = new QCheckBox(gbIntervallo);
  cbBeep->setObjectName("cbBeep");
  cbBeep->setGeometry(252, 28, 64, 20);

  chronolab = new QLabel(gbIntervallo);
  chronolab->setObjectName("chronolab");
  chronolab->setGeometry(318, 12, 108, 50);
  chronolab->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  QFont big(restext::FontSansSerif);
  big.setPixelSize(32);
  big.setBold(true);
  chronolab->setFont(big);
  QPalette purple = chronolab->palette();
  purple.setColor(QPalette::WindowText, QColor(128, 0, 128));
  chronolab->setPalette(purple);
  chronolab->hide();

  chrono = new QTimer(this);
  chrono->setObjectName("chrono");
  chrono->setSingleShot(true);
  chrono->setTimerType(Qt::PreciseTimer);

  connect(RxSpinEdit7, &QSpinBox::valueChanged, this, &Tintervalloframe::valueChanged);
  connect(cboxIntervallo, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (index >= 0) emit unitChanged(index);
  });
  connect(RxSwitch1, &QToolButton::clicked, this, &Tintervalloframe::switchClicked);
  connect(cbBeep, &QCheckBox::clicked, this, &Tintervalloframe::beepClicked);
}

void Tintervalloframe::ApplyEnglishTexts() {
  gbIntervallo->setTitle(restext::IntervalloCaption);
  gbIntervallo->setToolTip(restext::ForDisplay(restext::IntervalloHint));
  RxSpinEdit7->setToolTip(restext::ForDisplay(restext::IntervalloValueHint));
  {
    const QSignalBlocker quiet(cboxIntervallo);  // filling the list changes no setting
    cboxIntervallo->clear();
    cboxIntervallo->addItems(restext::IntervalloUnits);
    cboxIntervallo->setCurrentText(restext::IntervalloUnitShown);
  }
  cboxIntervallo->setToolTip(restext::ForDisplay(restext::IntervalloUnitHint));
  RxSwitch1->setToolTip(restext::ForDisplay(restext::IntervalloSwitchHint));
  cbBeep->setText(restext::BeepCaption);
  cbBeep->setToolTip(restext::ForDisplay(restext::BeepHint));
  chronolab->setText(restext::ChronoLabInitial);
  chronolab->setToolTip(restext::ForDisplay(restext::ChronoLabHint));
}

void Tintervalloframe::setValue(int value) {
  RxSpinEdit7->setValue(std::clamp(value, MinValue, MaxValue));
}
