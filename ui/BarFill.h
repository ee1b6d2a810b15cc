#pragma once
// How a progress bar fills, as the control itself draws it: its border and theme leave it less
// than its client width, and it may cut or round the filled width; only the control knows. A
// bar whose every filling is its full drawing up to the filled width and its empty drawing after
// is then drawn from those two drawings: a copy, where the control's own paint costs hundreds of
// times as much.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "base/UniqueHandle.h"

// A memory device context, to draw the bar into.
struct MemoryDcTraits {
  using Type = HDC;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DeleteDC(h); }
};
using UniqueMemoryDc = UniqueHandle<MemoryDcTraits>;

struct BarFill {
  int width = 0;  // columns filled over the whole range; 0 when it could not be told
  bool cuts = true;
  bool rounds = true;  // both when it could not be told which
  int left = 0;        // the first column that filling changes
  // The client area drawn empty and full, 32-bit pixels, top row first; empty unless a
  // part-filled drawing was found to be made of them.
  int imageWidth = 0;
  int imageHeight = 0;
  std::vector<uint32_t> empty;
  std::vector<uint32_t> full;
};

// Draws the bar empty, full and part-filled into memory (it is left at `position` of `low` to
// `high`, as it was) and compares the drawings.
BarFill MeasureBarFill(HWND bar, int low, int high, int position);

// Paints `area` of the bar's client area into `dc` as the bar looks with `columns` filled, from
// the kept drawings. False when there are no drawings to paint it from.
bool PaintFilledBar(HDC dc, const RECT& area, const BarFill& fill, int columns);
