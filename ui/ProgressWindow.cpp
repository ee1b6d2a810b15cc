#include "ui/ProgressWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <string>

#include "base/FailureLog.h"
#include "res/resource.h"

static_assert(ProgressWindow::kTemplateId == IDD_PROGRESS_WINDOW &&
                  ProgressWindow::kPictureId == IDR_PICTURE &&
                  ProgressWindow::kProgressBarId == IDC_PROGRESS_BAR &&
                  ProgressWindow::kPictureControlId == IDC_PICTURE,
              "the window's identifiers follow the resource script");

namespace {
const wchar_t kTitle[] = L"Velmar's Projects";
const wchar_t kProblemTitle[] = L"Velmar's Projects: problem";

constexpr LPARAM kInitialRange = MAKELPARAM(0, 100);
constexpr int kInitialPosition = 1;

// The bar's class belongs to the common controls, which register it on request.
void RegisterProgressBarClass() {
  INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_PROGRESS_CLASS};
  ::InitCommonControlsEx(&controls);
}

// Holds a window's painting while alive: the control is told positions without painting them
// while its drawings are measured.
class RedrawSuspended {
 public:
  explicit RedrawSuspended(HWND window) : window_(window) {
    ::SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  }
  ~RedrawSuspended() { ::SendMessageW(window_, WM_SETREDRAW, TRUE, 0); }
  RedrawSuspended(const RedrawSuspended&) = delete;
  RedrawSuspended& operator=(const RedrawSuspended&) = delete;

 private:
  HWND window_;
};

// Shows what was drawn outside a paint on Wine's display, which happens only when the thread
// waits for messages (on Windows the wait returns at once and changes nothing).
void ShowDrawing() { ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_PAINT); }

// A position far beyond the int range is held at its edge instead of wrapping round.
int AddClamped(int position, WPARAM amount) {
  const long long step = amount > static_cast<WPARAM>(INT_MAX) ? INT_MAX : amount;
  return static_cast<int>(std::min<long long>(position + step, INT_MAX));
}
}  // namespace

ProgressWindow::ProgressWindow(BarPainting preferred) : preferred_(preferred) {}

ProgressWindow::~ProgressWindow() { DestroyWindow(); }

bool ProgressWindow::Create(HINSTANCE module) {
  DestroyWindow();
  module_ = module ? module : ::GetModuleHandleW(nullptr);
  RegisterProgressBarClass();
  // WM_INITDIALOG stores the window handle before OnInitDialog runs.
  ::CreateDialogParamW(module_, MAKEINTRESOURCEW(kTemplateId), nullptr, DialogProcedure,
                       reinterpret_cast<LPARAM>(this));
  return window_ != nullptr;
}

void ProgressWindow::SetRangeMax(int upperBound) {
  // The bar's procedure takes the range and the position the control is left with.
  ::SendMessageW(progressBar_, PBM_SETRANGE32, 0, upperBound);
  ForgetDrawnBar();  // the same position fills other columns now
}

void ProgressWindow::DestroyWindow() {
  if (window_) ::DestroyWindow(window_);  // WM_DESTROY releases the picture
  window_ = nullptr;
}

void ProgressWindow::DoDataExchange() {
  progressBar_ = ::GetDlgItem(window_, kProgressBarId);
  picture_ = ::GetDlgItem(window_, kPictureControlId);
}

BOOL ProgressWindow::OnInitDialog() {
  DoDataExchange();
  RECT outer = {};
  ::GetWindowRect(window_, &outer);
  const int width = outer.right - outer.left;
  const int height = outer.bottom - outer.top;
  bitmap_ = LoadJpegResource(module_, kPictureId, width, height - kBarStripHeight);
  if (bitmap_) {
    ::SendMessageW(picture_, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_.get()));
    ::SetWindowTextW(window_, kTitle);
  } else {
    ::SetWindowTextW(window_, kProblemTitle);
  }
  ::SendMessageW(progressBar_, PBM_SETRANGE, 0, kInitialRange);
  ::SendMessageW(progressBar_, PBM_SETPOS, kInitialPosition, 0);
  ::SendMessageW(progressBar_, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range_));
  position_ = static_cast<int>(::SendMessageW(progressBar_, PBM_GETPOS, 0, 0));
  redraws_ = 0;
  ::SetWindowLongPtrW(progressBar_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  barControl_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
      progressBar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProgressWindow::BarProcedure)));
  ChoosePainting(L"the window was made");
  return TRUE;
}

void ProgressWindow::ChoosePainting(const wchar_t* occasion) {
  {
    measuring_ = true;
    const RedrawSuspended quiet(progressBar_);
    fill_ = MeasureBarFill(progressBar_, range_.iLow, range_.iHigh, position_);
    measuring_ = false;
  }
  if (fill_.width <= 0) {
    RECT client = {};
    ::GetClientRect(progressBar_, &client);
    fill_.width = client.right - client.left;
  }
  const bool composes = fill_.drawings == BarDrawings::kComposeTheBar;
  painting_ = preferred_ == BarPainting::kFromDrawings && composes ? BarPainting::kFromDrawings
                                                                    : BarPainting::kByControl;
  if (painting_ == BarPainting::kByControl) {
    const std::wstring reason = preferred_ == BarPainting::kByControl
                                    ? L"the program asked for it"
                                    : BarDrawingsReason(fill_.drawings);
    LogFailure(std::wstring(L"progress bar painted by its control (") + occasion + L"): " + reason);
  }
  ForgetDrawnBar();
  ::InvalidateRect(progressBar_, nullptr, FALSE);
}

LRESULT ProgressWindow::Advance(WPARAM amount, LPARAM) {
  if (amount == 0) return 0;
  position_ = std::min(AddClamped(position_, amount), range_.iHigh);
  // A download sends a message per kilobyte, and most of them leave every pixel as it is.
  if (position_ > drawnUpTo_) {
    RepaintBar();
  } else if (::GetTickCount() - answeredAt_ >= kAnswerEveryMs) {
    AnswerSentMessages();
  }
  return 0;
}

// The download runs on the window's thread and takes no message, and a window that leaves the
// messages other threads and processes send it waiting for seconds is judged hung. Posted
// messages stay queued, in their order.
void ProgressWindow::AnswerSentMessages() {
  answeredAt_ = ::GetTickCount();
  MSG message;
  ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void ProgressWindow::ForgetDrawnBar() {
  drawnUpTo_ = INT_MIN;
  drawnColumns_ = -1;
}

BarScale ProgressWindow::Scale() const {
  return BarScale{range_.iLow, range_.iHigh, fill_.width, fill_.counting};
}

int ProgressWindow::DrawnColumns(int position) const {
  const BarColumns columns = FilledColumns(Scale(), position);
  return fill_.counting == BarCounting::kRounds ? columns.rounded : columns.cut;
}

// Shown before the handler returns. From the drawings, the columns that moved are copied into
// the bar and the control is not told: under Wine telling it costs a paint of its own, seven
// requests to the server.
void ProgressWindow::RepaintBar() {
  ++redraws_;
  if (painting_ == BarPainting::kFromDrawings) {
    const int columns = DrawnColumns(position_);
    RECT area = {0, 0, fill_.imageWidth, fill_.imageHeight};
    if (drawnColumns_ >= 0) {
      area.left = fill_.left + std::min(columns, drawnColumns_);
      area.right = fill_.left + std::max(columns, drawnColumns_);
    }
    if (const HDC dc = ::GetDC(progressBar_)) {
      CopyBar(dc, area, columns);
      ::ReleaseDC(progressBar_, dc);
    } else {
      const DWORD error = ::GetLastError();
      LogFailure(L"progress bar not drawn: no device context" + ErrorSuffix(error));
    }
    drawnColumns_ = columns;
  } else {
    ::CallWindowProcW(barControl_, progressBar_, PBM_SETPOS, position_, 0);
    ::UpdateWindow(progressBar_);
  }
  drawnUpTo_ = LastPositionFilledAlike(Scale(), position_);
  ShowDrawing();
  AnswerSentMessages();  // last: a message answered here may advance the bar
}

void ProgressWindow::CopyBar(HDC dc, const RECT& area, int columns) const {
  if (PaintFilledBar(dc, area, fill_, columns)) return;
  const DWORD error = ::GetLastError();
  LogFailure(L"progress bar not drawn: its drawings were not copied" + ErrorSuffix(error));
}

LRESULT ProgressWindow::HandOnToBar(UINT message, WPARAM wParam, LPARAM lParam) {
  ::CallWindowProcW(barControl_, progressBar_, PBM_SETPOS, position_, 0);
  const LRESULT result = ::CallWindowProcW(barControl_, progressBar_, message, wParam, lParam);
  PBRANGE range = {};
  ::CallWindowProcW(barControl_, progressBar_, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const int position = static_cast<int>(::CallWindowProcW(barControl_, progressBar_, PBM_GETPOS, 0, 0));
  if (position != position_ || range.iLow != range_.iLow || range.iHigh != range_.iHigh) {
    position_ = position;
    range_ = range;
    ForgetDrawnBar();
  }
  return result;
}

void ProgressWindow::OnDestroy() {
  // A picture control of the newer common controls may show a copy of the bitmap it was given;
  // that copy is handed back here and is ours to free as well.
  const HBITMAP shown = reinterpret_cast<HBITMAP>(
      ::SendMessageW(picture_, STM_SETIMAGE, IMAGE_BITMAP, 0));
  if (shown && shown != bitmap_.get()) ::DeleteObject(shown);
  bitmap_.reset();
}

// The controls are gone by now; the window's own procedure is handed back.
void ProgressWindow::OnNcDestroy() {
  ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(dialogManager_));
  ::SetWindowLongPtrW(window_, DWLP_USER, 0);
  progressBar_ = nullptr;
  picture_ = nullptr;
  window_ = nullptr;
}

INT_PTR CALLBACK ProgressWindow::DialogProcedure(HWND window, UINT message, WPARAM, LPARAM lParam) {
  if (message != WM_INITDIALOG) return FALSE;
  auto* self = reinterpret_cast<ProgressWindow*>(lParam);
  ::SetWindowLongPtrW(window, DWLP_USER, lParam);
  self->window_ = window;
  self->dialogManager_ = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
      window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProgressWindow::WindowProcedure)));
  return self->OnInitDialog();
}

LRESULT CALLBACK ProgressWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ProgressWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
  const WNDPROC next = self->dialogManager_;
  switch (message) {
    case kProgressMessage:
      return self->Advance(wParam, lParam);
    case WM_DESTROY:
      self->OnDestroy();
      break;
    case WM_NCDESTROY:
      self->OnNcDestroy();
      break;
    // The control's drawings follow the theme and the system colours; the bar learns of them
    // from its window.
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
      ::SendMessageW(self->progressBar_, message, wParam, lParam);
      break;
    case WM_DPICHANGED: {
      const LRESULT result = ::CallWindowProcW(next, window, message, wParam, lParam);
      self->ChoosePainting(L"the DPI changed");
      return result;
    }
    default:
      break;
  }
  return ::CallWindowProcW(next, window, message, wParam, lParam);
}

LRESULT CALLBACK ProgressWindow::BarProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<ProgressWindow*>(::GetWindowLongPtrW(bar, GWLP_USERDATA));
  const WNDPROC next = self->barControl_;
  if (self->measuring_) return ::CallWindowProcW(next, bar, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
      if (self->painting_ == BarPainting::kByControl) break;
      {
        PAINTSTRUCT paint = {};
        if (const HDC dc = ::BeginPaint(bar, &paint)) {
          self->CopyBar(dc, paint.rcPaint, self->DrawnColumns(self->position_));
        }
        ::EndPaint(bar, &paint);
      }
      return 0;
    case WM_THEMECHANGED:
    case WM_SYSCOLORCHANGE:
    case WM_SIZE: {
      const LRESULT result = ::CallWindowProcW(next, bar, message, wParam, lParam);
      self->ChoosePainting(message == WM_SIZE ? L"the bar's size changed" : L"the theme or the colours changed");
      return result;
    }
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(next));
      return ::CallWindowProcW(next, bar, message, wParam, lParam);
    default:
      break;
  }
  // The control's own messages (PBM_*, CCM_*) and printing read or change its position.
  if (message >= WM_USER || message == WM_PRINT || message == WM_PRINTCLIENT) {
    return self->HandOnToBar(message, wParam, lParam);
  }
  return ::CallWindowProcW(next, bar, message, wParam, lParam);
}
