// Turns a left click (press and release inside) on any widget, labels included, into a call.
#pragma once

#include <functional>
#include <QEvent>
#include <QMouseEvent>
#include <QObject>
#include <QWidget>

class ClickFilter : public QObject {
 public:
  // Owned by `widget`; `onClick` runs on each left click.
  static void install(QWidget* widget, std::function<void()> onClick) {
    widget->installEventFilter(new ClickFilter(widget, std::move(onClick)));
  }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = static_cast<QWidget*>(parent());
    if (watched != widget) return false;
    if (event->type() == QEvent::MouseButtonPress) {
      m_pressed = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease) {
      auto* mouse = static_cast<QMouseEvent*>(event);
      const bool click = m_pressed && mouse->button() == Qt::LeftButton &&
                         widget->rect().contains(mouse->position().toPoint());
      m_pressed = false;
      if (click && widget->isEnabled()) m_onClick();
    }
    return false;
  }

 private:
  ClickFilter(QWidget* widget, std::function<void()> onClick)
      : QObject(widget), m_onClick(std::move(onClick)) {}

  std::function<void()> m_onClick;
  bool m_pressed = false;
};
