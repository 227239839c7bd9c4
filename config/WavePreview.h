// The drawing surface of the emulation preview: paints the strokes it is given
// with the preview's three pens and stays transparent elsewhere, so the frame's
// caption shows through when there is nothing to draw.
#pragma once

#include <QWidget>

#include "WaveGeometry.h"

namespace config {

class WavePreview : public QWidget {
 public:
  explicit WavePreview(QWidget* parent = nullptr);
  void SetDrawing(WaveDrawing drawing);
  const WaveDrawing& Drawing() const { return drawing_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  WaveDrawing drawing_;
};

}  // namespace config
