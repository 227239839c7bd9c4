// Per-pixel-column min/max decimation of a trace: however many samples fall
// into one column of the plot, the column keeps the first, last, lowest and
// highest of them. Drawing a vertical stroke from the lowest to the highest
// value in every column, joined from one column's last value to the next
// column's first, looks exactly like drawing every sample, at the cost of a
// few thousand segments whatever the length of the trace. Plain C++.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

namespace monitor {

struct ColumnSpan {
  int column = 0;  // 0 .. columns - 1, left to right
  float first = 0;
  float last = 0;
  float min = 0;
  float max = 0;
  // A sample without a value (NaN) lies between this column and the one
  // drawn before it: the trace is broken there.
  bool gapBefore = false;
};

struct EdgePoint {
  double time = 0;
  float value = 0;
};

struct DecimatedTrace {
  // Only the columns holding at least one sample with a value, in order.
  std::vector<ColumnSpan> columns;
  // The nearest samples with a value just outside the window, so the trace
  // can be drawn up to both edges; absent when there is none or a sample
  // without a value lies between it and the window.
  std::optional<EdgePoint> before;
  std::optional<EdgePoint> after;
};

// Decimates the samples (times ascending, one value per time; NaN = no
// value) falling in [from, to) into `columns` equal columns. Nothing comes
// out for columns <= 0, to <= from or mismatched spans.
DecimatedTrace Decimate(std::span<const double> times, std::span<const float> values,
                        double from, double to, int columns);

// The same into a trace kept by the caller, to spare allocations when a
// chart redraws many traces many times a second.
void DecimateInto(std::span<const double> times, std::span<const float> values, double from,
                  double to, int columns, DecimatedTrace& out);

}  // namespace monitor
