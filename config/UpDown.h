// A pair of small up and down buttons that step a position through a range,
// wrapping around at both ends, and report each step.
#pragma once

#include <QWidget>

class QToolButton;

class UpDown : public QWidget {
  Q_OBJECT

 public:
  UpDown(int minimum, int maximum, QWidget* parent = nullptr);

  int Position() const { return position_; }
  void SetPosition(int position);
  // One step up or down, wrapping around; emits Stepped.
  void StepUp();
  void StepDown();

  QToolButton* UpButton() const { return up_; }

 signals:
  void Stepped(int position);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Step(int by);

  int minimum_;
  int maximum_;
  int position_;
  QToolButton* up_;
  QToolButton* down_;
};
