// A small needle gauge: a half dial whose needle points at a value between a minimum and a
// maximum (the sound volume, 0..100).
#pragma once

#include <QWidget>

class NeedleGauge : public QWidget {
  Q_OBJECT
 public:
  explicit NeedleGauge(QWidget* parent = nullptr);

  int MinValue() const { return m_minValue; }
  int MaxValue() const { return m_maxValue; }
  int Progress() const { return m_progress; }
  void SetRange(int minValue, int maxValue);
  // Clamped to the range.
  void SetProgress(int value);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int m_minValue = 0;
  int m_maxValue = 100;
  int m_progress = 0;
};
