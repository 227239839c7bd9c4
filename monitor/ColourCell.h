// A coloured rectangle with a black outline (the cells of the lambda bar and
// of the TPS zones, the actuator's windows). Repaints only when its colour
// changes.
#pragma once

#include <QColor>
#include <QWidget>

namespace monitor {

class ColourCell : public QWidget {
  Q_OBJECT

 public:
  ColourCell(const QColor& colour, int penWidth, QWidget* parent = nullptr);

  void SetColour(const QColor& colour);
  QColor Colour() const { return colour_; }
  // Times the colour actually changed (for measuring).
  int Recolours() const { return recolours_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor colour_;
  int penWidth_;
  int recolours_ = 0;
};

}  // namespace monitor
