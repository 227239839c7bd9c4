// The actuator's track: a vertical slider over 0-255, high values at the top,
// that cannot be moved by hand and shows a selected range (the travel limits)
// as a band beside the groove.
#pragma once

#include <QSlider>

namespace monitor {

class ActuatorTrackBar : public QSlider {
  Q_OBJECT

 public:
  explicit ActuatorTrackBar(QWidget* parent = nullptr);

  void SetSelection(int start, int end);
  int SelectionStart() const { return selectionStart_; }
  int SelectionEnd() const { return selectionEnd_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int selectionStart_ = 0;
  int selectionEnd_ = 0;
};

}  // namespace monitor
