#include "Decimation.h"

#include <algorithm>
#include <cmath>

namespace monitor {

DecimatedTrace Decimate(std::span<const double> times, std::span<const float> values,
                        double from, double to, int columns) {
  DecimatedTrace out;
  DecimateInto(times, values, from, to, columns, out);
  return out;
}

void DecimateInto(std::span<const double> times, std::span<const float> values, double from,
                  double to, int columns, DecimatedTrace& out) {
  out.columns.clear();
  out.before.reset();
  out.after.reset();
  if (columns <= 0 || !(to > from) || times.size() != values.size()) return;

  const std::size_t begin =
      static_cast<std::size_t>(std::lower_bound(times.begin(), times.end(), from) - times.begin());
  const std::size_t end =
      static_cast<std::size_t>(std::lower_bound(times.begin() + static_cast<std::ptrdiff_t>(begin),
                                                times.end(), to) -
                               times.begin());

  if (begin > 0 && !std::isnan(values[begin - 1]))
    out.before = EdgePoint{times[begin - 1], values[begin - 1]};
  if (end < times.size() && !std::isnan(values[end]))
    out.after = EdgePoint{times[end], values[end]};

  const double perSecond = columns / (to - from);
  bool gap = false;
  ColumnSpan* current = nullptr;
  for (std::size_t i = begin; i < end; ++i) {
    const float v = values[i];
    if (std::isnan(v)) {
      gap = true;
      continue;
    }
    const int column = std::min(columns - 1, static_cast<int>((times[i] - from) * perSecond));
    if (current != nullptr && current->column == column) {
      // A break inside one column is not seen at this width: the column's
      // stroke covers it.
      current->last = v;
      current->min = std::min(current->min, v);
      current->max = std::max(current->max, v);
      gap = false;
      continue;
    }
    out.columns.push_back(ColumnSpan{column, v, v, v, v, gap});
    current = &out.columns.back();
    gap = false;
  }
  // A sample without a value after the last one breaks the way to the right edge.
  if (gap) out.after.reset();
  // ... and one before the first breaks the way from the left edge.
  if (!out.columns.empty() && out.columns.front().gapBefore) out.before.reset();
  if (out.columns.empty() && gap) out.before.reset();
}

}  // namespace monitor
