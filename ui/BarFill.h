#pragma once
// How a progress bar fills, as the control itself draws it: its border and theme leave it less
// than its client width, and it may cut or round the filled width; only the control knows. A
// bar whose every filling is its full drawing up to the filled width and its empty drawing after
// is then drawn from those two drawings: a copy, where the control's own paint costs hundreds of
// times as much.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "ui/BarColumns.h"

// What the measurement found the control's drawings to be. Only kComposeTheBar lets the bar be
// copied from them; every other value names why the control has to paint itself.
enum class BarDrawings {
  kComposeTheBar,    // every filling is the full drawing up to its width, the empty one after
  kUnreadable,       // the control could not be drawn into memory
  kNoFilling,        // its empty and full drawings do not differ
  kCountingUnknown,  // whether it cuts or rounds could not be told
  kNotComposed,      // a part-filled drawing is not made of the two (an animated theme, say)
};

struct BarFill {
  BarDrawings drawings = BarDrawings::kUnreadable;
  int width = 0;  // columns filled over the whole range; 0 when it could not be told
  BarCounting counting = BarCounting::kUnknown;
  int left = 0;  // the first column that filling changes
  // The client area drawn empty and full, 32-bit pixels, top row first; kept only when the
  // drawings compose the bar.
  int imageWidth = 0;
  int imageHeight = 0;
  std::vector<uint32_t> empty;
  std::vector<uint32_t> full;
};

// Draws the bar empty, full and part-filled into memory (it is left at `position` of `low` to
// `high`, as it was) and compares the drawings.
BarFill MeasureBarFill(HWND bar, int low, int high, int position);

// Why the control paints itself, in words, for a value other than kComposeTheBar.
const wchar_t* BarDrawingsReason(BarDrawings drawings);

// Paints `area` of the bar's client area into `dc` as the bar looks with `columns` filled, from
// the kept drawings. False when the drawings do not compose the bar or a copy failed.
bool PaintFilledBar(HDC dc, const RECT& area, const BarFill& fill, int columns);
