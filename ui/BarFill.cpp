#include "ui/BarFill.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "base/UniqueHandle.h"

namespace {
BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

// What the bar draws at `position`, 32-bit pixels top row first; empty on failure.
std::vector<uint32_t> Drawing(HWND bar, int position, int width, int height) {
  const BITMAPINFO info = TopDown32(width, height);
  void* bits = nullptr;
  const UniqueBitmap canvas(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!canvas || !dc || !bits) return {};
  const HGDIOBJ previous = ::SelectObject(dc.get(), canvas.get());
  ::SendMessageW(bar, PBM_SETPOS, position, 0);
  ::SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
  ::GdiFlush();
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  std::memcpy(pixels.data(), bits, pixels.size() * sizeof(uint32_t));
  ::SelectObject(dc.get(), previous);
  return pixels;
}

// The full drawing's columns before left + columns, the empty one's from there on.
std::vector<uint32_t> Composed(const BarFill& fill, int columns) {
  std::vector<uint32_t> pixels = fill.empty;
  const int split = std::clamp(fill.left + columns, 0, fill.imageWidth);
  for (int y = 0; y < fill.imageHeight; ++y) {
    const size_t row = static_cast<size_t>(y) * fill.imageWidth;
    std::copy(fill.full.begin() + row, fill.full.begin() + row + split, pixels.begin() + row);
  }
  return pixels;
}

// Columns of the middle row where two drawings differ: how many, and the first.
void CompareMiddleRows(const BarFill& fill, const std::vector<uint32_t>& a, const std::vector<uint32_t>& b,
                       int& differing, int& first) {
  differing = 0;
  first = -1;
  const size_t row = static_cast<size_t>(fill.imageHeight / 2) * fill.imageWidth;
  for (int x = 0; x < fill.imageWidth; ++x) {
    if (a[row + x] == b[row + x]) continue;
    if (first < 0) first = x;
    ++differing;
  }
}

// A position whose exact filled width lies between a half column and the next whole one, so
// that cutting and rounding tell apart; `high` when there is none.
int HalfwayPosition(int low, int high, int width) {
  const long long span = static_cast<long long>(high) - low;
  for (long long done = 1; done < span && done < 1000; ++done) {
    if ((done * width % span) * 2 >= span) return static_cast<int>(low + done);
  }
  return high;
}

// Which way the control counts, from its drawing at a halfway position, and whether that
// drawing is the two others composed.
BarDrawings TellRounding(HWND bar, int low, int high, BarFill& fill) {
  const int halfway = HalfwayPosition(low, high, fill.width);
  if (halfway >= high) return BarDrawings::kCountingUnknown;
  const std::vector<uint32_t> part = Drawing(bar, halfway, fill.imageWidth, fill.imageHeight);
  if (part.empty()) return BarDrawings::kUnreadable;
  int drawn = 0, first = 0;
  CompareMiddleRows(fill, fill.empty, part, drawn, first);
  const int cut = static_cast<int>(static_cast<long long>(halfway - low) * fill.width / (high - low));
  if ((drawn == cut) == (drawn == cut + 1)) return BarDrawings::kCountingUnknown;
  fill.counting = drawn == cut ? BarCounting::kCuts : BarCounting::kRounds;
  return Composed(fill, drawn) == part ? BarDrawings::kComposeTheBar : BarDrawings::kNotComposed;
}

BarDrawings Judge(HWND bar, int low, int high, BarFill& fill) {
  if (fill.empty.empty() || fill.full.empty()) return BarDrawings::kUnreadable;
  CompareMiddleRows(fill, fill.empty, fill.full, fill.width, fill.left);
  if (fill.width <= 0) return BarDrawings::kNoFilling;
  return TellRounding(bar, low, high, fill);
}
}  // namespace

BarFill MeasureBarFill(HWND bar, int low, int high, int position) {
  BarFill fill;
  RECT client = {};
  if (!::GetClientRect(bar, &client) || client.right <= 0 || client.bottom <= 0 || high <= low) return fill;
  fill.imageWidth = client.right;
  fill.imageHeight = client.bottom;
  fill.empty = Drawing(bar, low, fill.imageWidth, fill.imageHeight);
  fill.full = Drawing(bar, high, fill.imageWidth, fill.imageHeight);
  fill.drawings = Judge(bar, low, high, fill);
  if (fill.drawings != BarDrawings::kComposeTheBar) {
    fill.empty.clear();
    fill.full.clear();
  }
  ::SendMessageW(bar, PBM_SETPOS, position, 0);
  return fill;
}

const wchar_t* BarDrawingsReason(BarDrawings drawings) {
  switch (drawings) {
    case BarDrawings::kComposeTheBar: return L"its drawings compose the bar";
    case BarDrawings::kUnreadable: return L"its drawings could not be read";
    case BarDrawings::kNoFilling: return L"its empty and full drawings are alike";
    case BarDrawings::kCountingUnknown: return L"it neither cuts nor rounds its filling";
    case BarDrawings::kNotComposed: return L"its drawings do not compose its filling";
  }
  return L"";
}

bool PaintFilledBar(HDC dc, const RECT& area, const BarFill& fill, int columns) {
  if (fill.drawings != BarDrawings::kComposeTheBar) return false;
  const BITMAPINFO info = TopDown32(fill.imageWidth, fill.imageHeight);
  // Whole columns of one drawing, from `from` up to `to`: only the columns, never the rows, are
  // picked, so the way a top-down picture counts its rows does not matter.
  const auto copy = [&](const std::vector<uint32_t>& pixels, int from, int to) {
    from = std::max(from, 0);
    to = std::min(to, fill.imageWidth);
    return to <= from || ::SetDIBitsToDevice(dc, from, 0, to - from, fill.imageHeight, from, 0, 0,
                                             fill.imageHeight, pixels.data(), &info, DIB_RGB_COLORS) != 0;
  };
  const int split = std::clamp(fill.left + columns, 0, fill.imageWidth);
  const bool filled = copy(fill.full, area.left, std::min<int>(area.right, split));
  const bool empty = copy(fill.empty, std::max<int>(area.left, split), area.right);
  return filled && empty;
}
