#include "ui/BarColumns.h"

#include <algorithm>
#include <climits>

namespace {
// The smallest whole number at least numerator / denominator, both positive.
long long CeilDivide(long long numerator, long long denominator) {
  return (numerator + denominator - 1) / denominator;
}

// Whether the count that a way of counting yields is followed: both when it is not known.
bool Cuts(const BarScale& scale) { return scale.counting != BarCounting::kRounds; }
bool Rounds(const BarScale& scale) { return scale.counting != BarCounting::kCuts; }
}  // namespace

BarColumns FilledColumns(const BarScale& scale, int position) {
  const long long span = static_cast<long long>(scale.high) - scale.low;
  if (span <= 0) return BarColumns();
  const long long scaled = (static_cast<long long>(position) - scale.low) * scale.width;
  return BarColumns{Cuts(scale) ? static_cast<int>(scaled / span) : 0,
                    Rounds(scale) ? static_cast<int>((2 * scaled + span) / (2 * span)) : 0};
}

int LastPositionFilledAlike(const BarScale& scale, int position) {
  if (position >= scale.high) return INT_MAX;
  const long long span = static_cast<long long>(scale.high) - scale.low;
  long long last = static_cast<long long>(scale.high) - 1;
  if (span <= 0 || scale.width <= 0 || position < scale.low) return static_cast<int>(std::min<long long>(last, position));
  const BarColumns now = FilledColumns(scale, position);
  // The next column is reached where (p - low) * width >= (cut + 1) * span, and for a rounding
  // control where 2 (p - low) * width + span >= 2 (rounded + 1) * span.
  if (Cuts(scale)) last = std::min(last, scale.low + CeilDivide((now.cut + 1LL) * span, scale.width) - 1);
  if (Rounds(scale)) {
    last = std::min(last, scale.low + CeilDivide((2LL * now.rounded + 1) * span, 2LL * scale.width) - 1);
  }
  return static_cast<int>(last);
}
