#pragma once
// How a progress bar fills, as the control itself draws it: its border and theme leave it less
// than its client width, and it may cut or round the filled width; only the control knows.
#include <windows.h>

struct BarFill {
  int width = 0;  // columns filled over the whole range; 0 when it could not be told
  bool cuts = true;
  bool rounds = true;  // both when it could not be told which
};

// Draws the bar empty, full and part-filled into memory (it is left at `position` of `low` to
// `high`, as it was) and compares the middle rows of the drawings.
BarFill MeasureBarFill(HWND bar, int low, int high, int position);
