// The strip chart itself: the chosen channels as stacked traces against
// time, the session's markers as labelled lines and a cursor whose time and
// values are read out. Drawn with QPainter from per-pixel-column min/max
// decimation, so an hour of samples redraws as fast as a minute. The mouse
// wheel zooms around the pointer, a drag pans, a click places the cursor;
// the keys do the same (Left/Right pan, +/- or Up/Down zoom, Shift with
// Left/Right moves the cursor, Home shows everything, End follows the newest
// sample).
#pragma once

#include <QFontMetrics>
#include <QRect>
#include <QString>
#include <QWidget>
#include <optional>
#include <vector>

#include "ChartData.h"
#include "Decimation.h"

namespace monitor {

class StripChart : public QWidget {
  Q_OBJECT

 public:
  // Seconds shown while following a live session, until zoomed.
  static constexpr double kLiveSpan = 60;
  // The shortest span a zoom reaches.
  static constexpr double kMinimumSpan = 0.5;

  explicit StripChart(QWidget* parent = nullptr);

  // The data drawn (not owned; it must outlive the chart or be replaced).
  void SetData(const ChartData* chartData);
  const ChartData* Data() const { return data_; }
  // The name shown for each channel, in channel order (the channel's own
  // name where none is given).
  void SetCaptions(const std::vector<QString>& captions);
  QString CaptionOf(std::size_t channel) const;
  // Which channels are drawn, top to bottom.
  void SetVisibleChannels(const std::vector<std::size_t>& channels);
  const std::vector<std::size_t>& VisibleChannels() const { return visible_; }

  // The time window shown: [start, start + span).
  double ViewStart() const { return start_; }
  double ViewSpan() const { return span_; }
  void SetView(double start, double span);
  // The whole of the data; stops following.
  void ShowAll();
  // Keeps the newest sample at the right edge as samples arrive.
  void SetFollowing(bool following);
  bool Following() const { return following_; }
  // factor < 1 zooms in, > 1 out, keeping the time at anchor where it is.
  void ZoomBy(double factor, double anchor);
  void PanBy(double seconds);
  // To be called after samples were appended to the data.
  void DataAppended();

  std::optional<double> Cursor() const { return cursor_; }
  void SetCursor(double time);

  // Where the traces are drawn, and the mapping between time and x there.
  QRect PlotArea() const;
  double TimeAtX(double x) const;
  double XOfTime(double time) const;
  // The lane of a visible channel (index into VisibleChannels()).
  QRect LaneRect(int lane) const;

  // A time label under the axis: its text and where it is drawn.
  struct AxisLabel {
    QRect box;
    QString text;
  };
  // The time axis' labels for the view shown, as wide as their texts in
  // metrics: each centred on its tick, moved in where that would leave the
  // chart, and left out where it would run into the label before it.
  std::vector<AxisLabel> AxisLabels(const QFontMetrics& metrics) const;

 signals:
  void CursorMoved(double time);
  void ViewChanged();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void KeepInRange();
  void DrawTimeAxis(QPainter& p, const QRect& plot);
  void DrawLane(QPainter& p, int lane, const QRect& plot);
  void DrawMarkers(QPainter& p, const QRect& plot);
  void DrawCursor(QPainter& p, const QRect& plot);
  QString ValueText(std::size_t channel, float value) const;

  const ChartData* data_ = nullptr;
  std::vector<QString> captions_;
  std::vector<std::size_t> visible_;
  double start_ = 0;
  double span_ = kLiveSpan;
  bool following_ = true;
  std::optional<double> cursor_;
  // Dragging: where the press was and what the view was then.
  std::optional<QPoint> pressAt_;
  double pressStart_ = 0;
  bool dragging_ = false;
  DecimatedTrace scratch_;
};

// A short text for a time in seconds: m:ss, h:mm:ss past an hour, with
// tenths when asked.
QString ChartTimeText(double seconds, bool tenths);
// A step for the time axis' ticks of at least minimum seconds: 1, 2 or 5
// times a power of ten, or whole minutes and hours past a minute.
double TickStep(double minimum);

}  // namespace monitor
