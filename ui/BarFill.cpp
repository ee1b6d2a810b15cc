#include "ui/BarFill.h"

#include <commctrl.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "ui/JpegResource.h"

namespace {
struct MemoryDcTraits {
  using Type = HDC;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { ::DeleteDC(h); }
};

// The middle row of what the bar draws at `position`, 32-bit pixels; empty on failure.
std::vector<uint32_t> DrawnRow(HWND bar, int position, int width, int height) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const UniqueBitmap canvas(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const UniqueHandle<MemoryDcTraits> dc(::CreateCompatibleDC(nullptr));
  if (!canvas || !dc || !bits) return {};
  const HGDIOBJ previous = ::SelectObject(dc.get(), canvas.get());
  ::SendMessageW(bar, PBM_SETPOS, position, 0);
  ::SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
  ::GdiFlush();
  std::vector<uint32_t> row(static_cast<size_t>(width));
  std::memcpy(row.data(), static_cast<const uint32_t*>(bits) + static_cast<size_t>(height / 2) * width,
              row.size() * sizeof(uint32_t));
  ::SelectObject(dc.get(), previous);
  return row;
}


int DifferingColumns(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  int differing = 0;
  for (size_t x = 0; x < a.size() && x < b.size(); ++x) differing += a[x] != b[x] ? 1 : 0;
  return differing;
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
}  // namespace

BarFill MeasureBarFill(HWND bar, int low, int high, int position) {
  BarFill fill;
  RECT client = {};
  if (!::GetClientRect(bar, &client) || client.right <= 0 || client.bottom <= 0 || high <= low) return fill;
  const std::vector<uint32_t> empty = DrawnRow(bar, low, client.right, client.bottom);
  const std::vector<uint32_t> full = DrawnRow(bar, high, client.right, client.bottom);
  fill.width = empty.empty() || full.empty() ? 0 : DifferingColumns(empty, full);
  const int halfway = HalfwayPosition(low, high, fill.width);
  if (fill.width > 0 && halfway < high) {
    const long long scaled = static_cast<long long>(halfway - low) * fill.width;
    const int drawn = DifferingColumns(empty, DrawnRow(bar, halfway, client.right, client.bottom));
    const bool cut = drawn == scaled / (high - low);
    const bool rounded = drawn == scaled / (high - low) + 1;
    if (cut != rounded) {
      fill.cuts = cut;
      fill.rounds = rounded;
    }
  }
  ::SendMessageW(bar, PBM_SETPOS, position, 0);
  return fill;
}
