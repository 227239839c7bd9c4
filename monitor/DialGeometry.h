// Geometry of the engine speed dial: its radius and centre inside the frame it
// is drawn in, and where the needle points for a speed. Pure functions.
#pragma once

namespace monitor {

struct DialGeometry {
  int radius = 0;    // R
  int centreX = 0;   // cx
  int centreY = 0;   // cy
  int diagonal = 0;  // K = R / 1.414, where the diagonal marks sit
};

// The dial inside a frame at (left, top) of the given size.
DialGeometry DialOf(int left, int top, int width, int height);

struct NeedleOffset {
  int dx = 0;
  int dy = 0;
  bool operator==(const NeedleOffset&) const = default;
};

// Needle length for a dial radius.
int NeedleLength(int radius);
// End of the needle relative to the centre: 0 rpm to the lower left, 3000
// straight up, 6000 to the lower right, clockwise over 270 degrees; faster
// speeds carry on past the last mark.
NeedleOffset NeedleOffsetOf(int rpm, int length);

}  // namespace monitor
