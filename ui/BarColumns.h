#pragma once
// Which columns of the bar a position fills, and how far the position can go before that
// changes: pure arithmetic, so that a progress message that moves no column costs a comparison.

// How the control turns a position into whole filled columns: it cuts the exact width or rounds
// it; kUnknown when that could not be told, and a position then counts as moved when either
// count moves.
enum class BarCounting { kCuts, kRounds, kUnknown };

// The bar's range and how the control counts its filled columns.
struct BarScale {
  int low = 0;
  int high = 0;
  int width = 0;  // columns filled over the whole range
  BarCounting counting = BarCounting::kUnknown;
};

// The filled width at `position`, cut and rounded (0 for a way the control does not count).
struct BarColumns {
  int cut = 0;
  int rounded = 0;
  bool operator==(const BarColumns& other) const { return cut == other.cut && rounded == other.rounded; }
  bool operator!=(const BarColumns& other) const { return !(*this == other); }
};

BarColumns FilledColumns(const BarScale& scale, int position);

// The highest position that fills the same columns as `position`; below `high`, since the last
// position is always drawn. At or above `high` (nothing more can change): INT_MAX.
int LastPositionFilledAlike(const BarScale& scale, int position);
