// The engine speed dial of the live view: the face is drawn once into a
// picture and kept; a change of speed repaints only the strip the old and the
// new needle cover.
#pragma once

#include <QPixmap>
#include <QWidget>

#include "DialGeometry.h"

namespace monitor {

class EngineSpeedDial : public QWidget {
  Q_OBJECT

 public:
  explicit EngineSpeedDial(QWidget* parent = nullptr);

  // Places the dial over a frame of the window; the dial sits in its middle.
  void PlaceOver(const QRect& frame);
  // Moves the needle; nothing is repainted when the speed is the same.
  void SetRpm(int rpm);
  int Rpm() const { return rpm_; }

  // Geometry in the dial's own coordinates.
  const DialGeometry& Geometry() const { return dial_; }
  // How often the face has been drawn, and the pixels asked to be repainted
  // by needle moves so far (for measuring).
  int FaceRenders() const { return faceRenders_; }
  long long NeedlePixels() const { return needlePixels_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void DrawFace();
  QRect NeedleRect(int rpm) const;

  DialGeometry dial_;
  QPixmap face_;
  int rpm_ = 0;
  int faceRenders_ = 0;
  long long needlePixels_ = 0;
};

}  // namespace monitor
