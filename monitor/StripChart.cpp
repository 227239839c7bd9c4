#include "StripChart.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace monitor {
namespace {

constexpr int kLabelWidth = 120;
constexpr int kAxisHeight = 22;
constexpr int kLanePadding = 4;
constexpr int kDragThreshold = 3;
constexpr double kWheelFactor = 0.8;  // one wheel notch in
constexpr double kPanFraction = 0.1;

QColor TraceColour(std::size_t channel) {
  static const QColor colours[] = {
      QColor(0x1F, 0x4E, 0xB4), QColor(0xC0, 0x39, 0x2B), QColor(0x1E, 0x84, 0x49),
      QColor(0x8E, 0x44, 0xAD), QColor(0xD3, 0x54, 0x00), QColor(0x11, 0x78, 0x64),
      QColor(0x6E, 0x2C, 0x00), QColor(0x2E, 0x40, 0x53), QColor(0xB0, 0x3A, 0x88),
      QColor(0x7D, 0x66, 0x08), QColor(0x00, 0x6D, 0x8F), QColor(0xA0, 0x20, 0x20),
      QColor(0x4A, 0x23, 0x5A), QColor(0x0B, 0x53, 0x45)};
  return colours[channel % std::size(colours)];
}

// The value range a lane spans: the channel's own, widened so a flat trace
// sits in the middle and an on/off channel fills its lane.
std::pair<float, float> LaneRange(const ChartChannel& c) {
  if (std::isnan(c.low)) return {0.0F, 1.0F};
  float low = c.low;
  float high = c.high;
  if (high - low < 1e-6F) {
    low -= 1;
    high += 1;
  }
  return {low, high};
}

}  // namespace

QString ChartTimeText(double seconds, bool tenths) {
  const bool negative = seconds < 0;
  double s = std::fabs(seconds);
  // Rounded once, so 59.96 s reads 1:00.0 rather than 0:60.0.
  const long long units = std::llround(s * (tenths ? 10 : 1));
  const long long whole = tenths ? units / 10 : units;
  const long long hours = whole / 3600;
  const long long minutes = (whole / 60) % 60;
  const long long secs = whole % 60;
  QString text = hours > 0 ? QStringLiteral("%1:%2:%3")
                                 .arg(hours)
                                 .arg(minutes, 2, 10, QLatin1Char('0'))
                                 .arg(secs, 2, 10, QLatin1Char('0'))
                           : QStringLiteral("%1:%2").arg(minutes).arg(secs, 2, 10, QLatin1Char('0'));
  if (tenths) text += QStringLiteral(".%1").arg(units % 10);
  return negative ? QLatin1Char('-') + text : text;
}

double TickStep(double minimum) {
  static const double steps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 900, 1800,
                                 3600, 7200, 14400, 28800, 86400};
  for (double step : steps)
    if (step >= minimum) return step;
  return std::ceil(minimum / 86400) * 86400;
}

StripChart::StripChart(QWidget* parent) : QWidget(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMinimumSize(200, 120);
}

void StripChart::SetData(const ChartData* chartData) {
  data_ = chartData;
  if (data_ != nullptr && visible_.empty()) {
    for (std::size_t i = 0; i < data_->Channels().size(); ++i) visible_.push_back(i);
  }
  KeepInRange();
  update();
}

void StripChart::SetCaptions(const std::vector<QString>& captions) {
  captions_ = captions;
  update();
}

QString StripChart::CaptionOf(std::size_t channel) const {
  if (channel < captions_.size() && !captions_[channel].isEmpty()) return captions_[channel];
  if (data_ != nullptr && channel < data_->Channels().size())
    return QString::fromStdString(data_->Channels()[channel].name);
  return QString();
}

void StripChart::SetVisibleChannels(const std::vector<std::size_t>& channels) {
  visible_.clear();
  for (std::size_t c : channels)
    if (data_ == nullptr || c < data_->Channels().size()) visible_.push_back(c);
  update();
}

void StripChart::SetView(double start, double span) {
  span_ = std::max(kMinimumSpan, span);
  start_ = start;
  KeepInRange();
  update();
  emit ViewChanged();
}

void StripChart::ShowAll() {
  following_ = false;
  if (data_ == nullptr || data_->Empty()) return;
  SetView(data_->FirstTime(), std::max(kMinimumSpan, data_->LastTime() - data_->FirstTime()));
}

void StripChart::SetFollowing(bool following) {
  following_ = following;
  KeepInRange();
  update();
  emit ViewChanged();
}

void StripChart::ZoomBy(double factor, double anchor) {
  if (!(factor > 0)) return;
  const double span = std::max(kMinimumSpan, span_ * factor);
  const double fraction = span_ > 0 ? (anchor - start_) / span_ : 0;
  SetView(anchor - fraction * span, span);
}

void StripChart::PanBy(double seconds) {
  following_ = false;
  SetView(start_ + seconds, span_);
}

void StripChart::DataAppended() {
  if (following_) KeepInRange();
  update();
}

// While following, the newest sample sits at the right edge (or the data
// starts at the left edge while it is shorter than the span). Otherwise the
// view stays over the data: it may not run past either end.
void StripChart::KeepInRange() {
  if (data_ == nullptr || data_->Empty()) return;
  const double first = data_->FirstTime();
  const double last = data_->LastTime();
  if (following_) {
    start_ = std::max(first, last - span_);
    return;
  }
  start_ = std::clamp(start_, first, std::max(first, last - span_));
}

void StripChart::SetCursor(double time) {
  cursor_ = time;
  update();
  emit CursorMoved(time);
}

QRect StripChart::PlotArea() const {
  return QRect(kLabelWidth, 0, std::max(1, width() - kLabelWidth - 1),
               std::max(1, height() - kAxisHeight));
}

double StripChart::TimeAtX(double x) const {
  const QRect plot = PlotArea();
  return start_ + (x - plot.left()) * span_ / plot.width();
}

double StripChart::XOfTime(double time) const {
  const QRect plot = PlotArea();
  return plot.left() + (time - start_) * plot.width() / span_;
}

QRect StripChart::LaneRect(int lane) const {
  const QRect plot = PlotArea();
  const int lanes = std::max<int>(1, static_cast<int>(visible_.size()));
  const int top = plot.top() + plot.height() * lane / lanes;
  const int bottom = plot.top() + plot.height() * (lane + 1) / lanes;
  return QRect(plot.left(), top, plot.width(), bottom - top);
}

QString StripChart::ValueText(std::size_t channel, float value) const {
  if (std::isnan(value)) return QStringLiteral("-");
  const ChartChannel& c = data_->Channels()[channel];
  QString text = QString::number(static_cast<double>(value), 'f', std::clamp(c.digits, 0, 6));
  if (!c.unit.empty()) text += QLatin1Char(' ') + QString::fromStdString(c.unit);
  return text;
}

void StripChart::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), palette().color(QPalette::Base));
  const QRect plot = PlotArea();
  if (data_ != nullptr) {
    for (int lane = 0; lane < static_cast<int>(visible_.size()); ++lane) DrawLane(p, lane, plot);
    DrawMarkers(p, plot);
  }
  DrawTimeAxis(p, plot);
  DrawCursor(p, plot);
  if (hasFocus()) {
    p.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    p.drawRect(rect().adjusted(0, 0, -1, -1));
  }
}

void StripChart::DrawLane(QPainter& p, int lane, const QRect& plot) {
  const std::size_t channel = visible_[static_cast<std::size_t>(lane)];
  const ChartChannel& c = data_->Channels()[channel];
  const QRect box = LaneRect(lane);
  if (lane % 2 == 1) p.fillRect(box, palette().color(QPalette::AlternateBase));
  p.setPen(palette().color(QPalette::Mid));
  p.drawLine(0, box.bottom(), width(), box.bottom());

  const QColor colour = TraceColour(channel);
  const auto [low, high] = LaneRange(c);
  p.setPen(colour);
  const QRect labels(4, box.top() + 1, kLabelWidth - 8, box.height() - 2);
  const QFontMetrics metrics(p.font());
  p.drawText(labels, Qt::AlignLeft | Qt::AlignTop,
             metrics.elidedText(CaptionOf(channel), Qt::ElideRight, labels.width()));
  if (box.height() >= 3 * metrics.height()) {
    p.setPen(palette().color(QPalette::Dark));
    p.drawText(labels, Qt::AlignRight | Qt::AlignBottom, ValueText(channel, low));
  }

  // Value to y inside the lane, high values at the top.
  const double top = box.top() + kLanePadding;
  const double usable = std::max(1, box.height() - 2 * kLanePadding);
  const double scale = usable / (high - low);
  const auto y = [&](float v) { return top + (high - v) * scale; };

  DecimateInto(data_->Times(), c.values, start_, start_ + span_, plot.width(), scratch_);
  QVector<QLineF> lines;
  lines.reserve(static_cast<int>(scratch_.columns.size()) * 2 + 2);
  std::optional<QPointF> previous;
  if (scratch_.before) previous = QPointF(XOfTime(scratch_.before->time), y(scratch_.before->value));
  for (const ColumnSpan& column : scratch_.columns) {
    const double x = plot.left() + column.column + 0.5;
    if (previous && !column.gapBefore) lines.append(QLineF(*previous, QPointF(x, y(column.first))));
    if (column.max != column.min) lines.append(QLineF(x, y(column.min), x, y(column.max)));
    else lines.append(QLineF(x, y(column.min), x + 0.01, y(column.min)));
    previous = QPointF(x, y(column.last));
  }
  if (scratch_.after && previous)
    lines.append(QLineF(*previous, QPointF(XOfTime(scratch_.after->time), y(scratch_.after->value))));
  p.save();
  p.setClipRect(box);
  p.setPen(QPen(colour, 1));
  p.drawLines(lines);
  p.restore();
}

void StripChart::DrawMarkers(QPainter& p, const QRect& plot) {
  const QFontMetrics metrics(p.font());
  // A label goes in the first of three rows where it clears the label
  // before it; where none is free (markers crowded in a long span) the line
  // is drawn without one, and zooming in brings the labels back.
  constexpr int kRows = 3;
  int rowEnd[kRows];
  std::fill(std::begin(rowEnd), std::end(rowEnd), plot.left() - 1);
  for (const ChartMarker& marker : data_->Markers()) {
    if (marker.time < start_ || marker.time >= start_ + span_) continue;
    const int x = static_cast<int>(std::lround(XOfTime(marker.time)));
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1, Qt::DashLine));
    p.drawLine(x, plot.top(), x, plot.bottom());
    const QString text = QString::fromStdString(marker.text);
    for (int row = 0; row < kRows; ++row) {
      QRect label(x + 2, plot.top() + 2 + row * (metrics.height() + 2),
                  metrics.horizontalAdvance(text) + 6, metrics.height());
      if (label.right() > plot.right()) label.moveRight(x - 2);
      if (label.left() <= rowEnd[row]) continue;
      rowEnd[row] = label.right() + 2;
      p.fillRect(label, QColor(0xFF, 0xF5, 0xC8));
      p.setPen(QColor(0x40, 0x40, 0x40));
      p.drawText(label, Qt::AlignCenter, text);
      break;
    }
  }
}

// The seconds between two ticks for the span shown: ticks at least about
// 90 pixels apart.
static double AxisStep(double span, int plotWidth) {
  return TickStep(span * 90.0 / plotWidth);
}

std::vector<StripChart::AxisLabel> StripChart::AxisLabels(const QFontMetrics& metrics) const {
  const QRect plot = PlotArea();
  const double step = AxisStep(span_, plot.width());
  const bool tenths = step < 1;
  std::vector<AxisLabel> labels;
  int previousRight = std::numeric_limits<int>::min();
  for (double t = std::ceil(start_ / step) * step; t < start_ + span_; t += step) {
    const int x = static_cast<int>(std::lround(XOfTime(t)));
    const QString text = ChartTimeText(t, tenths);
    const int textWidth = metrics.horizontalAdvance(text) + 4;
    const int left = std::clamp(x - textWidth / 2, 0, std::max(0, width() - 1 - textWidth));
    if (left <= previousRight) continue;
    labels.push_back({QRect(left, plot.bottom() + 4, textWidth, metrics.height()), text});
    previousRight = left + textWidth + 2;
  }
  return labels;
}

void StripChart::DrawTimeAxis(QPainter& p, const QRect& plot) {
  const QFontMetrics metrics(p.font());
  p.setPen(palette().color(QPalette::Text));
  p.drawLine(plot.left(), plot.bottom() + 1, plot.right(), plot.bottom() + 1);
  const double step = AxisStep(span_, plot.width());
  for (double t = std::ceil(start_ / step) * step; t < start_ + span_; t += step) {
    const int x = static_cast<int>(std::lround(XOfTime(t)));
    p.setPen(palette().color(QPalette::Midlight));
    p.drawLine(x, plot.top(), x, plot.bottom());
    p.setPen(palette().color(QPalette::Text));
    p.drawLine(x, plot.bottom() + 1, x, plot.bottom() + 5);
  }
  for (const AxisLabel& label : AxisLabels(metrics))
    p.drawText(label.box, Qt::AlignHCenter, label.text);
}

void StripChart::DrawCursor(QPainter& p, const QRect& plot) {
  if (!cursor_ || *cursor_ < start_ || *cursor_ >= start_ + span_) return;
  const int x = static_cast<int>(std::lround(XOfTime(*cursor_)));
  p.setPen(QPen(QColor(0xD0, 0x00, 0x00), 1));
  p.drawLine(x, plot.top(), x, plot.bottom());
  const QFontMetrics metrics(p.font());
  if (data_ != nullptr) {
    for (int lane = 0; lane < static_cast<int>(visible_.size()); ++lane) {
      const std::size_t channel = visible_[static_cast<std::size_t>(lane)];
      const QString text = ValueText(channel, data_->ValueAt(channel, *cursor_));
      const QRect box = LaneRect(lane);
      QRect label(x + 3, box.top() + 1, metrics.horizontalAdvance(text) + 6, metrics.height());
      if (label.right() > plot.right()) label.moveRight(x - 3);
      p.fillRect(label, QColor(0xFF, 0xFF, 0xFF, 0xD0));
      p.setPen(TraceColour(channel));
      p.drawText(label, Qt::AlignCenter, text);
    }
  }
  const QString time = ChartTimeText(*cursor_, true);
  QRect label(0, plot.bottom() + 3, metrics.horizontalAdvance(time) + 8, metrics.height() + 2);
  label.moveLeft(std::clamp(x - label.width() / 2, plot.left(), plot.right() - label.width()));
  p.fillRect(label, QColor(0xD0, 0x00, 0x00));
  p.setPen(Qt::white);
  p.drawText(label, Qt::AlignCenter, time);
}

void StripChart::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (notches == 0) return;
  const double anchor = TimeAtX(event->position().x());
  const bool followingBefore = following_;
  ZoomBy(std::pow(kWheelFactor, notches), following_ ? start_ + span_ : anchor);
  following_ = followingBefore;
  KeepInRange();
  event->accept();
}

void StripChart::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  setFocus();
  pressAt_ = event->position().toPoint();
  pressStart_ = start_;
  dragging_ = false;
}

void StripChart::mouseMoveEvent(QMouseEvent* event) {
  if (!pressAt_ || !(event->buttons() & Qt::LeftButton)) return;
  const int dx = event->position().toPoint().x() - pressAt_->x();
  if (!dragging_ && std::abs(dx) < kDragThreshold) return;
  dragging_ = true;
  following_ = false;
  SetView(pressStart_ - dx * span_ / PlotArea().width(), span_);
}

void StripChart::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressAt_) return;
  if (!dragging_ && PlotArea().contains(event->position().toPoint()))
    SetCursor(TimeAtX(event->position().x()));
  pressAt_.reset();
  dragging_ = false;
}

void StripChart::keyPressEvent(QKeyEvent* event) {
  const double pixel = span_ / PlotArea().width();
  const bool shift = event->modifiers() & Qt::ShiftModifier;
  switch (event->key()) {
    case Qt::Key_Left:
      if (shift) SetCursor(cursor_.value_or(start_ + span_ / 2) - pixel);
      else PanBy(-span_ * kPanFraction);
      break;
    case Qt::Key_Right:
      if (shift) SetCursor(cursor_.value_or(start_ + span_ / 2) + pixel);
      else PanBy(span_ * kPanFraction);
      break;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
    case Qt::Key_Up:
      ZoomBy(kWheelFactor, cursor_.value_or(start_ + span_ / 2));
      break;
    case Qt::Key_Minus:
    case Qt::Key_Down:
      ZoomBy(1 / kWheelFactor, cursor_.value_or(start_ + span_ / 2));
      break;
    case Qt::Key_Home:
      ShowAll();
      break;
    case Qt::Key_End:
      SetFollowing(true);
      break;
    default:
      QWidget::keyPressEvent(event);
      return;
  }
  event->accept();
}

}  // namespace monitor
