// The real progress window under Wine: picture and title, the bar's range and position, the
// immediate repaint, messages from another thread, broken pictures and GDI clean-up.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "tests/support/DebugOutputListener.h"
#include "tests/ui/UiTestHelpers.h"
#include "ui/BarFill.h"
#include "ui/JpegResource.h"
#include "ui/ProgressWindow.h"

namespace {
constexpr int kBarId = 1000;
constexpr int kPictureId = 1026;

HWND Bar(const ProgressWindow& window) { return ::GetDlgItem(window.GetSafeHwnd(), kBarId); }
int Position(const ProgressWindow& window) {
  return static_cast<int>(::SendMessageW(Bar(window), PBM_GETPOS, 0, 0));
}
PBRANGE Range(const ProgressWindow& window) {
  PBRANGE range = {};
  ::SendMessageW(Bar(window), PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  return range;
}
void Advance(const ProgressWindow& window, WPARAM amount) {
  ::SendMessageW(window.GetSafeHwnd(), kProgressMessage, amount, 0);
}
HBITMAP ShownBitmap(const ProgressWindow& window) {
  return reinterpret_cast<HBITMAP>(::SendDlgItemMessageW(window.GetSafeHwnd(), kPictureId,
                                                         STM_GETIMAGE, IMAGE_BITMAP, 0));
}

using Rgb = std::array<int, 3>;

// Mean colour of each cell of a 4 x 4 grid over the bitmap, row by row; empty when unreadable.
std::vector<Rgb> CellMeans(HBITMAP bitmap) {
  constexpr int kCells = 4;
  BITMAP info = {};
  if (!::GetObjectW(bitmap, sizeof(info), &info) || info.bmWidth < kCells) return {};
  const int width = info.bmWidth;
  const int height = std::abs(info.bmHeight);
  if (height < kCells) return {};
  BITMAPINFO request = {};
  request.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  request.bmiHeader.biWidth = width;
  request.bmiHeader.biHeight = -height;  // top row first
  request.bmiHeader.biPlanes = 1;
  request.bmiHeader.biBitCount = 32;
  request.bmiHeader.biCompression = BI_RGB;
  std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
  const HDC screen = ::GetDC(nullptr);
  const int rows = ::GetDIBits(screen, bitmap, 0, height, pixels.data(), &request, DIB_RGB_COLORS);
  ::ReleaseDC(nullptr, screen);
  if (rows != height) return {};

  std::vector<std::array<long long, 4>> sums(kCells * kCells);  // red, green, blue, pixels
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t pixel = pixels[static_cast<size_t>(y) * width + x];
      auto& sum = sums[(y * kCells / height) * kCells + x * kCells / width];
      sum[0] += (pixel >> 16) & 0xFF;
      sum[1] += (pixel >> 8) & 0xFF;
      sum[2] += pixel & 0xFF;
      ++sum[3];
    }
  }
  std::vector<Rgb> means;
  for (const auto& sum : sums) {
    means.push_back({static_cast<int>(sum[0] / sum[3]), static_cast<int>(sum[1] / sum[3]),
                     static_cast<int>(sum[2] / sum[3])});
  }
  return means;
}

// The colour the bar shows on screen at `percent` of its width, half-way down.
COLORREF BarPixel(HWND bar, int percent) {
  RECT client = {};
  ::GetClientRect(bar, &client);
  const HDC dc = ::GetDC(bar);
  const COLORREF color =
      ::GetPixel(dc, client.right * percent / 100, client.bottom / 2);
  ::ReleaseDC(bar, dc);
  return color;
}

// The redraws of the bar since it was made, counted from the test's start.
class RedrawCounter {
 public:
  explicit RedrawCounter(const ProgressWindow& window) : window_(window), start_(window.Redraws()) {}
  int paints() const { return window_.Redraws() - start_; }

 private:
  const ProgressWindow& window_;
  int start_;
};

}  // namespace

TEST(ProgressWindowTest, OpensCaptionlessWithTitlePictureAndBarAtOneOfHundred) {
  ProgressWindow window;
  ASSERT_TRUE(window.Create());
  const HWND hwnd = window.GetSafeHwnd();
  EXPECT_EQ(WindowText(hwnd), L"Velmar's Projects");
  EXPECT_EQ(::GetAncestor(hwnd, GA_PARENT), ::GetDesktopWindow());
  const LONG style = ::GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_BORDER);  // a thin border, no caption bar
  EXPECT_TRUE(style & WS_POPUP);

  EXPECT_EQ(Position(window), 1);
  const PBRANGE range = Range(window);
  EXPECT_EQ(range.iLow, 0);
  EXPECT_EQ(range.iHigh, 100);

  RECT outer = {};
  ::GetWindowRect(hwnd, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top - 25;
  const HBITMAP shown = ShownBitmap(window);
  ASSERT_NE(shown, nullptr);
  BITMAP info = {};
  ASSERT_NE(::GetObjectW(shown, sizeof(info), &info), 0);
  EXPECT_EQ(info.bmWidth, width);
  EXPECT_EQ(info.bmHeight, height);

  // The decoded picture itself, against the same file decoded by ImageMagick at build time:
  // whatever picture res/ holds, the mean colours of a grid's cells barely move when stretched.
  const UniqueBitmap reference(static_cast<HBITMAP>(
      ::LoadImageW(nullptr, WinePath(PICTURE_REFERENCE).c_str(), IMAGE_BITMAP, 0, 0,
                   LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
  ASSERT_TRUE(reference) << PICTURE_REFERENCE;
  const std::vector<Rgb> expected = CellMeans(reference.get());
  const std::vector<Rgb> actual = CellMeans(shown);
  ASSERT_EQ(actual.size(), expected.size());
  for (size_t cell = 0; cell < expected.size(); ++cell) {
    for (int channel = 0; channel < 3; ++channel) {
      EXPECT_NEAR(actual[cell][channel], expected[cell][channel], 16)
          << "cell " << cell << ", channel " << channel;
    }
  }
}

TEST(ProgressWindowTest, BrokenPictureStillOpensTitledProblem) {
  for (const char* module : {NO_PICTURE_MODULE, HEADER_ONLY_PICTURE_MODULE,
                             NOT_A_PICTURE_MODULE}) {
    SCOPED_TRACE(module);
    const LoadedModule library(module);
    ASSERT_NE(library.get(), nullptr);
    ProgressWindow window;
    ASSERT_TRUE(window.Create(library.get()));
    EXPECT_EQ(WindowText(window.GetSafeHwnd()), L"Velmar's Projects: problem");
    EXPECT_EQ(ShownBitmap(window), nullptr);
    EXPECT_EQ(Position(window), 1);
    Advance(window, 4);
    EXPECT_EQ(Position(window), 5);
  }
}

TEST(ProgressWindowTest, BarFollowsAdvanceAndRange) {
  struct Step {
    const char* what;
    int rangeMax;  // 0: leave the range alone
    WPARAM amount;
    int position;
  };
  const Step cases[][3] = {
      {{"zero changes nothing", 0, 0, 1}, {"then a real step", 0, 9, 10}, {"zero again", 0, 0, 10}},
      {{"advance", 0, 20, 21}, {"new range keeps the position", 5000, 0, 21},
       {"counts in the new units", 0, 1000, 1021}},
      {{"past the bound", 0, 500, 100}, {"stays at the bound", 0, 1, 100},
       {"a larger range frees it", 300, 50, 150}},
      {{"whole int range", INT_MAX, 0, 1}, {"huge amount held at the bound", 0, ~WPARAM(0), INT_MAX},
       {"and stays there", 0, 1024, INT_MAX}},
  };
  // Every sequence starts from the state that initialisation leaves, 1 of 0 to 100.
  for (const auto& sequence : cases) {
    ProgressWindow window;
    ASSERT_TRUE(window.Create());
    for (const Step& step : sequence) {
      SCOPED_TRACE(step.what);
      if (step.rangeMax) window.SetRangeMax(step.rangeMax);
      Advance(window, step.amount);
      EXPECT_EQ(window.Position(), step.position);
      if (step.rangeMax) {
        EXPECT_EQ(Range(window).iHigh, step.rangeMax);
      }
    }
  }
}

TEST(ProgressWindowTest, AdvanceRepaintsWhenTheDrawnBarChanges) {
  ProgressWindow window;
  ASSERT_TRUE(window.Create());
  PumpMessages();  // the first paint of a new window is not what this test counts
  const HWND bar = Bar(window);
  const RedrawCounter counter(window);

  Advance(window, 0);
  EXPECT_EQ(counter.paints(), 0);
  const COLORREF start = BarPixel(bar, 20);
  Advance(window, 30);  // no message loop runs: the paint must happen inside the handler
  EXPECT_EQ(counter.paints(), 1);
  EXPECT_NE(BarPixel(bar, 20), start);

  // A download's steps: 1 KB of 100 MB moves a bar of some 500 pixels by a pixel only every
  // couple of hundred steps; in between the drawing stays the same and is not repeated.
  const int total = 100 * 1000 * 1024;
  window.SetRangeMax(total);
  int stepsWithoutPaint = 0;
  for (int i = 0; i < 300; ++i) {
    const int paints = counter.paints();
    Advance(window, 1024);
    if (counter.paints() == paints) ++stepsWithoutPaint;
  }
  EXPECT_GE(stepsWithoutPaint, 295);
  EXPECT_LT(stepsWithoutPaint, 300);  // the new range and a pixel or two were drawn
  const COLORREF emptyEnd = BarPixel(bar, 95);

  const int paints = counter.paints();
  Advance(window, total);  // the end of the last file: the bar on screen is full
  EXPECT_EQ(Position(window), total);
  EXPECT_EQ(counter.paints(), paints + 1);
  EXPECT_NE(BarPixel(bar, 95), emptyEnd);
  EXPECT_EQ(BarPixel(bar, 95), BarPixel(bar, 5));
  Advance(window, 1024);  // held at the bound: nothing new to draw
  EXPECT_EQ(counter.paints(), paints + 1);
}

// What the bar shows along its middle row.
std::vector<COLORREF> BarRow(HWND bar) {
  RECT client = {};
  ::GetClientRect(bar, &client);
  const HDC dc = ::GetDC(bar);
  std::vector<COLORREF> row;
  for (int x = 0; x < client.right; ++x) row.push_back(::GetPixel(dc, x, client.bottom / 2));
  ::ReleaseDC(bar, dc);
  return row;
}

// The middle row of the control's own drawing of itself at its position, as GetPixel reads it.
std::vector<COLORREF> ControlsOwnRow(HWND bar) {
  RECT client = {};
  ::GetClientRect(bar, &client);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = client.right;
  info.bmiHeader.biHeight = -client.bottom;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  const UniqueBitmap canvas(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  const UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  if (!canvas || !dc || !bits) return {};
  const HGDIOBJ previous = ::SelectObject(dc.get(), canvas.get());
  ::SendMessageW(bar, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT | PRF_ERASEBKGND);
  ::GdiFlush();
  std::vector<COLORREF> row;
  const auto* pixels = static_cast<const uint32_t*>(bits) + static_cast<size_t>(client.bottom / 2) * client.right;
  for (int x = 0; x < client.right; ++x) {
    row.push_back(RGB((pixels[x] >> 16) & 0xFF, (pixels[x] >> 8) & 0xFF, pixels[x] & 0xFF));
  }
  ::SelectObject(dc.get(), previous);
  return row;
}

// The pixels skipped between paints are never ones the control would draw: after every step,
// the bar on screen is the control's own drawing of itself at the exact position, whichever way
// it is painted, also after the drawings were measured again for new system colours. Each
// choice of the control's own paint leaves its line; Wine's bar composes from its drawings.
TEST(ProgressWindowTest, TheBarOnScreenIsTheBarAtTheExactPosition) {
  for (const BarPainting painting : {BarPainting::kFromDrawings, BarPainting::kByControl}) {
    SCOPED_TRACE(painting == BarPainting::kByControl ? "painted by the control" : "from the drawings");
    DebugOutputListener debugOutput;
    ProgressWindow window(painting);
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(window.Painting(), painting);
    PumpMessages();
    const HWND bar = Bar(window);
    for (const int total : {1000, 999983, 100 * 1000 * 1024}) {
      SCOPED_TRACE(total);
      ::SendMessageW(window.GetSafeHwnd(), WM_SYSCOLORCHANGE, 0, 0);
      window.SetRangeMax(total);
      Advance(window, static_cast<WPARAM>(total));  // from full
      ::SendMessageW(bar, PBM_SETPOS, 0, 0);
      window.SetRangeMax(total);  // back to empty: the window takes the position from the bar
      for (int step = 1; step <= 60; ++step) {
        Advance(window, static_cast<WPARAM>(total / 1500 + step));  // about a third of a column
        const std::vector<COLORREF> shown = BarRow(bar);
        ASSERT_EQ(Position(window), window.Position());  // the control is told when asked
        ASSERT_EQ(shown, ControlsOwnRow(bar)) << "step " << step << ", position " << window.Position();
      }
    }
    std::vector<std::wstring> reasons;
    if (painting == BarPainting::kByControl) {
      reasons = {L"progress bar painted by its control (the window was made): the program asked for it"};
      reasons.insert(reasons.end(), 3, L"progress bar painted by its control (the theme or the colours changed): "
                                       L"the program asked for it");
    }
    EXPECT_EQ(debugOutput.FailureLines(), reasons);
  }
}

TEST(ProgressWindowTest, MessagesFromAnotherThreadAreHandledWhileTheOwnerPumps) {
  ProgressWindow window;
  ASSERT_TRUE(window.Create());
  window.SetRangeMax(100000);
  const HWND target = window.GetSafeHwnd();
  ASSERT_TRUE(RunOnThreadWhilePumping([target] {
    // As a download does it: the sender waits until the owner's thread has handled it.
    for (int i = 0; i < 500; ++i) ::SendMessageW(target, kProgressMessage, 3, 0);
  }));
  EXPECT_EQ(window.Position(), 1 + 500 * 3);
  EXPECT_EQ(Position(window), window.Position());
}

TEST(ProgressWindowTest, WindowsComeAndGoWithoutLeakingGdiObjects) {
  const LoadedModule noPicture(NO_PICTURE_MODULE);
  ASSERT_NE(noPicture.get(), nullptr);
  const auto cycle = [&](HMODULE module) {
    ProgressWindow window;
    EXPECT_TRUE(window.Create(module));
    Advance(window, 7);
    return ShownBitmap(window);
  };
  cycle(nullptr);  // the first windows load fonts and caches that stay
  cycle(noPicture.get());
  HBITMAP lastShown = nullptr;
  for (int i = 0; i < 3; ++i) {
    lastShown = cycle(nullptr);
    cycle(noPicture.get());
  }
  ASSERT_NE(lastShown, nullptr);
  EXPECT_EQ(::GetObjectType(lastShown), 0u);  // the scaled picture went with its window
}

TEST(ProgressWindowTest, DestroyedWindowCanBeCreatedAgain) {
  ProgressWindow window;
  ASSERT_TRUE(window.Create());
  const HWND first = window.GetSafeHwnd();
  window.DestroyWindow();
  EXPECT_EQ(window.GetSafeHwnd(), nullptr);
  EXPECT_FALSE(::IsWindow(first));
  window.DestroyWindow();  // twice is harmless
  ASSERT_TRUE(window.Create());
  EXPECT_TRUE(::IsWindow(window.GetSafeHwnd()));
  EXPECT_EQ(Position(window), 1);
}
