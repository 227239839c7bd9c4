// The geometry of the lambda emulation preview: how a square wave of a given
// high time, low time, tri-state time and wave count is drawn in a box of a
// given width. Pure functions, so the drawing can be checked number by number.
#pragma once

#include <vector>

namespace config {

// Milliseconds per pixel and the two pulse widths in pixels.
struct WaveScale {
  int msPerPixel = 0;
  int highPixels = 0;
  int lowPixels = 0;
};

// Scale = max(high, low) / 255 + 20 (integer division); a time of at least
// 20 ms that is shorter than one pixel still draws one pixel wide, shorter
// times draw nothing.
WaveScale ScaleOfWave(int highMs, int lowMs);

struct WavePoint {
  int x = 0;
  int y = 0;
  bool operator==(const WavePoint&) const = default;
};

// The three pens of the preview.
enum class WavePen {
  Wave,          // solid yellow, two pixels wide
  TriState,      // dotted red, one pixel, at the middle level
  Continuation,  // dotted yellow: the wave goes on beyond what is drawn
};

// One line through two or more points.
struct WaveStroke {
  WavePen pen = WavePen::Wave;
  std::vector<WavePoint> points;
  bool operator==(const WaveStroke&) const = default;
};

struct WaveDrawing {
  WaveScale scale;
  // Nothing can be drawn: the frame shows its "not available" caption.
  bool nothingToDraw = false;
  std::vector<WaveStroke> strokes;
};

// Levels of the drawing, in pixels from the top of the box.
constexpr int kHighLevel = 30;
constexpr int kLowLevel = 70;
constexpr int kTriStateLevel = 50;
// Left margin, tri-state gap and continuation lengths, in pixels.
constexpr int kWaveMargin = 30;
constexpr int kTriStateGap = 30;
constexpr int kContinuation = 80;

// The whole preview for a box width pixels wide. highMs and lowMs are the
// times in milliseconds; triState and waves the whole numbers of the fields.
WaveDrawing DrawWave(int width, int highMs, int lowMs, int triState, int waves);

}  // namespace config
