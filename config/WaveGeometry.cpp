#include "WaveGeometry.h"

#include <algorithm>

namespace config {
namespace {

// Builds the strokes the way a pen moves over a canvas: a line continues the
// current stroke when it starts where the pen is, otherwise the pen is lifted
// and a new stroke begins.
class PenPath {
 public:
  explicit PenPath(std::vector<WaveStroke>& strokes) : strokes_(strokes) {}

  void MoveTo(WavePen pen, WavePoint point) {
    strokes_.push_back({pen, {point}});
    open_ = true;
  }
  void LineTo(WavePoint point) {
    std::vector<WavePoint>& points = strokes_.back().points;
    if (points.back() != point) points.push_back(point);
  }
  // A horizontal line at level from x to the x given (either direction).
  void Level(int from, int to, int level) {
    const WavePoint start{from, level};
    if (!open_ || strokes_.back().pen != WavePen::Wave || strokes_.back().points.back() != start)
      MoveTo(WavePen::Wave, start);
    LineTo({to, level});
  }
  // A vertical edge where the pen stands, to the level given.
  void EdgeTo(int level) {
    if (!open_) return;
    LineTo({Here().x, level});
  }
  WavePoint Here() const { return strokes_.back().points.back(); }
  bool Open() const { return open_; }
  void Close() { open_ = false; }

 private:
  std::vector<WaveStroke>& strokes_;
  bool open_ = false;
};

// One period drawn rightwards from x (low, then high); returns its end.
// fallingEdge: whether the closing edge back to the low level is drawn.
int PeriodRight(PenPath& path, int x, const WaveScale& s, bool fallingEdge) {
  const int hp = s.highPixels;
  const int lp = s.lowPixels;
  if (lp > 0) path.Level(x, x + lp, kLowLevel);
  if (hp > 0 && lp > 0) path.EdgeTo(kHighLevel);
  if (hp > 0) path.Level(x + lp, x + lp + hp, kHighLevel);
  if (fallingEdge) path.EdgeTo(kLowLevel);
  return x + lp + hp;
}

// The mirror image drawn leftwards from x (high, then low); returns its end.
int PeriodLeft(PenPath& path, int x, const WaveScale& s) {
  const int hp = s.highPixels;
  const int lp = s.lowPixels;
  if (hp > 0) path.Level(x, x - hp, kHighLevel);
  if (hp > 0 && lp > 0) path.EdgeTo(kLowLevel);
  if (lp > 0) path.Level(x - hp, x - hp - lp, kLowLevel);
  if (hp > 0 && lp > 0) path.EdgeTo(kHighLevel);
  return x - hp - lp;
}

void TriStateLine(std::vector<WaveStroke>& strokes, int from, int to) {
  strokes.push_back({WavePen::TriState, {{from, kTriStateLevel}, {to, kTriStateLevel}}});
}

// The dotted continuation from where the pen stands, twice one pixel apart.
void Continue(std::vector<WaveStroke>& strokes, WavePoint from, int length) {
  for (int offset : {0, 1})
    strokes.push_back({WavePen::Continuation,
                       {{from.x, from.y + offset}, {from.x + length, from.y + offset}}});
}

// Groups of waves separated by tri-state gaps, from the left margin across.
void DrawGroups(WaveDrawing& drawing, int width, int waves) {
  PenPath path(drawing.strokes);
  for (int x = kWaveMargin; x < width - 2 * kWaveMargin;) {
    path.Close();
    // Every period but the group's last falls back to the low level.
    const bool fall = drawing.scale.lowPixels > 0;
    for (int i = 0; i < waves; ++i) x = PeriodRight(path, x, drawing.scale, fall && i + 1 < waves);
    TriStateLine(drawing.strokes, x, x + kTriStateGap);
    x += kTriStateGap;
  }
}

// One period on each side of a centred tri-state gap, with dotted
// continuations: used when a whole group would not fit in the box.
void DrawCentred(WaveDrawing& drawing, int width) {
  const int left = width / 2 - kTriStateGap / 2;
  const int right = left + kTriStateGap;
  TriStateLine(drawing.strokes, left, right);
  const WaveScale& s = drawing.scale;
  const bool bothLevels = s.highPixels > 0 && s.lowPixels > 0;

  PenPath toRight(drawing.strokes);
  PeriodRight(toRight, right, s, bothLevels);
  const WavePoint rightEnd = toRight.Here();
  Continue(drawing.strokes, rightEnd, kContinuation);

  PenPath toLeft(drawing.strokes);
  PeriodLeft(toLeft, left, s);
  const WavePoint leftEnd = toLeft.Here();
  Continue(drawing.strokes, leftEnd, -kContinuation);
}

// Without tri-state: one polyline of square waves across the box.
void DrawPolyline(WaveDrawing& drawing, int width) {
  const int hp = drawing.scale.highPixels;
  const int lp = drawing.scale.lowPixels;
  const int count = (4 * width - 8 * kWaveMargin) / (hp + lp);
  WaveStroke line{WavePen::Wave, {}};
  int x = kWaveMargin;
  for (int j = 0; j < count; ++j) {
    const int phase = j % 4;
    if (phase == 1) x += lp;
    if (phase == 3) x += hp;
    int y = phase < 2 ? kLowLevel : kHighLevel;
    if (hp == 0 || lp == 0) y = hp > 0 ? kHighLevel : kLowLevel;
    line.points.push_back({x, y});
  }
  drawing.strokes.push_back(std::move(line));
}

int PulsePixels(int ms, int scale) {
  if (ms >= 20 && ms < scale) return 1;
  return ms / scale;
}

}  // namespace

WaveScale ScaleOfWave(int highMs, int lowMs) {
  WaveScale s;
  s.msPerPixel = std::max(highMs, lowMs) / 255 + 20;
  s.highPixels = PulsePixels(highMs, s.msPerPixel);
  s.lowPixels = PulsePixels(lowMs, s.msPerPixel);
  return s;
}

WaveDrawing DrawWave(int width, int highMs, int lowMs, int triState, int waves) {
  WaveDrawing drawing;
  drawing.scale = ScaleOfWave(highMs, lowMs);
  const int period = drawing.scale.highPixels + drawing.scale.lowPixels;
  if (triState != 0) {
    if (period == 0)
      TriStateLine(drawing.strokes, kWaveMargin, width - kWaveMargin);
    else if (static_cast<long long>(period) * waves < width - 4 * kWaveMargin)
      DrawGroups(drawing, width, waves);
    else
      DrawCentred(drawing, width);
  } else if (period <= 0) {
    drawing.nothingToDraw = true;
  } else {
    DrawPolyline(drawing, width);
  }
  return drawing;
}

}  // namespace config
