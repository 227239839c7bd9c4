// The emulation preview's geometry, checked with worked numbers: the scale and
// pulse widths, the plain square wave, the groups between tri-state gaps and
// the centred single period.
#include <QTest>

#include "WaveGeometry.h"

using config::DrawWave;
using config::ScaleOfWave;
using config::WaveDrawing;
using config::WavePen;
using config::WavePoint;
using config::WaveStroke;

Q_DECLARE_METATYPE(config::WaveScale)

namespace {

constexpr int kWidth = 498;  // the paint box at design size

std::vector<WaveStroke> StrokesOf(const WaveDrawing& drawing, WavePen pen) {
  std::vector<WaveStroke> out;
  for (const WaveStroke& s : drawing.strokes)
    if (s.pen == pen) out.push_back(s);
  return out;
}

}  // namespace

class WaveGeometryTest : public QObject {
  Q_OBJECT

 private slots:
  void scale_data() {
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("scale");
    QTest::addColumn<int>("highPixels");
    QTest::addColumn<int>("lowPixels");
    QTest::newRow("standard 360/360") << 360 << 360 << 21 << 17 << 17;
    QTest::newRow("15 ms draws nothing") << 15 << 360 << 21 << 0 << 17;
    QTest::newRow("21 ms under one pixel of 22 draws one") << 21 << 600 << 22 << 1 << 27;
    QTest::newRow("exactly 20 ms is one pixel") << 20 << 0 << 20 << 1 << 0;
    QTest::newRow("19 ms draws nothing") << 19 << 0 << 20 << 0 << 0;
    QTest::newRow("longest time 5.1 s") << 5100 << 5100 << 40 << 127 << 127;
    QTest::newRow("both zero") << 0 << 0 << 20 << 0 << 0;
  }
  void scale() {
    QFETCH(int, high);
    QFETCH(int, low);
    const config::WaveScale s = ScaleOfWave(high, low);
    QTEST(s.msPerPixel, "scale");
    QTEST(s.highPixels, "highPixels");
    QTEST(s.lowPixels, "lowPixels");
  }

  // Standard wave without tri-state: one polyline of 51 points, 17-pixel half
  // periods, from (30, 70) to (455, 30).
  void standardWaveIsOnePolylineOf51Points() {
    const WaveDrawing d = DrawWave(kWidth, 360, 360, 0, 1);
    QVERIFY(!d.nothingToDraw);
    QCOMPARE(d.strokes.size(), std::size_t{1});
    const std::vector<WavePoint>& p = d.strokes[0].points;
    QCOMPARE(p.size(), std::size_t{51});
    const std::vector<WavePoint> first = {{30, 70}, {47, 70}, {47, 30}, {64, 30}, {64, 70}, {81, 70}};
    QCOMPARE(std::vector<WavePoint>(p.begin(), p.begin() + 6), first);
    QCOMPARE(p.back(), (WavePoint{455, 30}));
  }

  // One time below a pixel: every point at the level that remains.
  void oneLevelOnlyStaysFlat_data() {
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("level");
    QTest::newRow("high 15 ms: low only") << 15 << 360 << config::kLowLevel;
    QTest::newRow("low 0: high only") << 360 << 0 << config::kHighLevel;
  }
  void oneLevelOnlyStaysFlat() {
    QFETCH(int, high);
    QFETCH(int, low);
    QFETCH(int, level);
    const WaveDrawing d = DrawWave(kWidth, high, low, 0, 1);
    QCOMPARE(d.strokes.size(), std::size_t{1});
    QCOMPARE(static_cast<int>(d.strokes[0].points.size()), (4 * kWidth - 240) / 17);
    for (const WavePoint& p : d.strokes[0].points) QCOMPARE(p.y, level);
  }

  void nothingToDrawWithoutTimesOrTriState() {
    const WaveDrawing d = DrawWave(kWidth, 15, 0, 0, 1);
    QVERIFY(d.nothingToDraw);
    QVERIFY(d.strokes.empty());
  }

  void triStateAloneIsOneRedLineAcross() {
    const WaveDrawing d = DrawWave(kWidth, 0, 0, 5, 1);
    QVERIFY(!d.nothingToDraw);
    QCOMPARE(d.strokes.size(), std::size_t{1});
    QCOMPARE(d.strokes[0],
             (WaveStroke{WavePen::TriState, {{30, 50}, {kWidth - 30, 50}}}));
  }

  // Tri-state 2 s, three waves of 34 pixels: groups of three periods, the last
  // without its falling edge, each followed by a 30-pixel red gap; the next
  // group starts at the gap's end, while x stays under W - 60.
  void groupsOfThreeBetweenTriStateGaps() {
    const WaveDrawing d = DrawWave(kWidth, 360, 360, 2, 3);
    const auto waves = StrokesOf(d, WavePen::Wave);
    const auto gaps = StrokesOf(d, WavePen::TriState);
    // Groups start at 30, 162, 294, 426 (132 pixels apart: 3 × 34 + 30).
    QCOMPARE(waves.size(), std::size_t{4});
    QCOMPARE(gaps.size(), std::size_t{4});
    for (std::size_t g = 0; g < waves.size(); ++g) {
      const int x = 30 + static_cast<int>(g) * 132;
      const std::vector<WavePoint> expected = {
          {x, 70},       {x + 17, 70},  {x + 17, 30}, {x + 34, 30}, {x + 34, 70},  // period 1
          {x + 51, 70},  {x + 51, 30},  {x + 68, 30}, {x + 68, 70},              // period 2
          {x + 85, 70},  {x + 85, 30},  {x + 102, 30},  // period 3, no falling edge
      };
      QCOMPARE(waves[g].points, expected);
      QCOMPARE(gaps[g].points, (std::vector<WavePoint>{{x + 102, 50}, {x + 132, 50}}));
    }
  }

  // Tri-state 1 s with twenty waves: 34 × 20 = 680 does not fit in 378, so one
  // period each side of a centred 30-pixel gap, with dotted continuations.
  void tooManyWavesDrawTheCentredForm() {
    const WaveDrawing d = DrawWave(kWidth, 360, 360, 1, 20);
    const int left = kWidth / 2 - 15;  // 234
    const int right = left + 30;       // 264
    QCOMPARE(StrokesOf(d, WavePen::TriState),
             (std::vector<WaveStroke>{{WavePen::TriState, {{left, 50}, {right, 50}}}}));
    const auto waves = StrokesOf(d, WavePen::Wave);
    QCOMPARE(waves.size(), std::size_t{2});
    // Rightwards: low, rise, high, fall.
    QCOMPARE(waves[0].points, (std::vector<WavePoint>{{right, 70},
                                                      {right + 17, 70},
                                                      {right + 17, 30},
                                                      {right + 34, 30},
                                                      {right + 34, 70}}));
    // Leftwards, the mirror image: high, fall, low, rise.
    QCOMPARE(waves[1].points, (std::vector<WavePoint>{{left, 30},
                                                      {left - 17, 30},
                                                      {left - 17, 70},
                                                      {left - 34, 70},
                                                      {left - 34, 30}}));
    // 80-pixel dotted continuations at the level reached, twice a pixel apart.
    QCOMPARE(StrokesOf(d, WavePen::Continuation),
             (std::vector<WaveStroke>{
                 {WavePen::Continuation, {{right + 34, 70}, {right + 114, 70}}},
                 {WavePen::Continuation, {{right + 34, 71}, {right + 114, 71}}},
                 {WavePen::Continuation, {{left - 34, 30}, {left - 114, 30}}},
                 {WavePen::Continuation, {{left - 34, 31}, {left - 114, 31}}}}));
  }

  // The edge between the groups and the centred form: a group of exactly
  // W - 120 pixels no longer fits.
  void groupWidthAtTheLimitIsCentred() {
    // 378 = 21 × 18: 18 waves of 21 pixels (at scale 21 high 20 ms is 1 pixel, low 420 ms 20).
    const config::WaveScale s = ScaleOfWave(20, 420);
    QCOMPARE(s.highPixels + s.lowPixels, 21);
    QVERIFY(StrokesOf(DrawWave(kWidth, 20, 420, 1, 18), WavePen::Continuation).size() == 4);
    QVERIFY(StrokesOf(DrawWave(kWidth, 20, 420, 1, 17), WavePen::Continuation).empty());
  }
};

QTEST_GUILESS_MAIN(WaveGeometryTest)
#include "WaveGeometryTest.moc"
