#include "ui/ProgressWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

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

// The dialog manager's window procedure, the same for every dialog of the process; and the
// bar control's, the same for every progress bar.
WNDPROC dialogManager = nullptr;
WNDPROC barControl = nullptr;

// The window that this thread made last, found by a comparison: the system's own lookup
// (GetWindowLongPtrW) costs a third of a whole message under Wine. A window's messages are
// handled on the thread that made it, so each thread keeps its own.
struct Receiver {
  HWND window = nullptr;
  ProgressWindow* self = nullptr;
};
thread_local Receiver receiver;

// A position far beyond the int range is held at its edge instead of wrapping round.
int AddClamped(int position, WPARAM amount) {
  const long long step = amount > static_cast<WPARAM>(INT_MAX) ? INT_MAX : amount;
  return static_cast<int>(std::min<long long>(position + step, INT_MAX));
}
}  // namespace

ProgressWindow::ProgressWindow() = default;

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
  ::SendMessageW(progressBar_, PBM_SETRANGE32, 0, upperBound);
  ::SendMessageW(progressBar_, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range_));
  position_ = static_cast<int>(::SendMessageW(progressBar_, PBM_GETPOS, 0, 0));
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
  {
    const RedrawSuspended quiet(progressBar_);
    fill_ = MeasureBarFill(progressBar_, range_.iLow, range_.iHigh, position_);
  }
  if (fill_.width <= 0) {
    RECT client = {};
    ::GetClientRect(progressBar_, &client);
    fill_.width = client.right - client.left;
  }
  ForgetDrawnBar();
  controlPosition_ = position_;
  redraws_ = 0;
  const auto previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
      progressBar_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProgressWindow::BarProcedure)));
  if (previous != &ProgressWindow::BarProcedure) barControl = previous;
  return TRUE;
}

LRESULT ProgressWindow::Advance(WPARAM amount, LPARAM) {
  if (amount == 0) return 0;
  position_ = std::min(AddClamped(position_, amount), range_.iHigh);
  // A download sends a message per kilobyte, and most of them leave every pixel as it is.
  if (position_ > drawnUpTo_) RepaintBar();
  return 0;
}

void ProgressWindow::ForgetDrawnBar() {
  drawnUpTo_ = INT_MIN;
  drawnColumns_ = -1;
}

BarScale ProgressWindow::Scale() const {
  return BarScale{range_.iLow, range_.iHigh, fill_.width, fill_.cuts, fill_.rounds};
}

int ProgressWindow::DrawnColumns(int position) const {
  const BarColumns columns = FilledColumns(Scale(), position);
  return fill_.cuts ? columns.cut : columns.rounded;
}

// Shown before the handler returns. Where the drawings compose the bar, the columns that moved
// are copied into it and the control is not told: under Wine telling it costs a paint of its
// own, seven requests to the server. Drawing outside a paint reaches Wine's screen only when
// the thread waits for messages (no message loop runs here), so a wait of no time follows; on
// Windows it returns at once and changes nothing.
void ProgressWindow::RepaintBar() {
  ++redraws_;
  if (DrawsFromDrawings()) {
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
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_PAINT);
    drawnColumns_ = columns;
  } else {
    ::SendMessageW(progressBar_, PBM_SETPOS, position_, 0);
    ::UpdateWindow(progressBar_);
  }
  drawnUpTo_ = LastPositionFilledAlike(Scale(), position_);
}

void ProgressWindow::CopyBar(HDC dc, const RECT& area, int columns) const {
  if (PaintFilledBar(dc, area, fill_, columns)) return;
  const DWORD error = ::GetLastError();
  LogFailure(L"progress bar not drawn: its drawings were not copied" + ErrorSuffix(error));
}

// The control learns the window's position first; what the message leaves is the truth after.
LRESULT ProgressWindow::HandOnToBar(UINT message, WPARAM wParam, LPARAM lParam) {
  if (controlPosition_ != position_) {
    ::CallWindowProcW(barControl, progressBar_, PBM_SETPOS, position_, 0);
  }
  const LRESULT result = ::CallWindowProcW(barControl, progressBar_, message, wParam, lParam);
  PBRANGE range = {};
  ::CallWindowProcW(barControl, progressBar_, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  const int position = static_cast<int>(::CallWindowProcW(barControl, progressBar_, PBM_GETPOS, 0, 0));
  if (position != position_ || range.iLow != range_.iLow || range.iHigh != range_.iHigh) {
    position_ = position;
    range_ = range;
    ForgetDrawnBar();
  }
  controlPosition_ = position_;
  return result;
}

void ProgressWindow::OnDestroy() {
  // A picture control of the newer common controls may show a copy of the bitmap it was given;
  // that copy is handed back here and is ours to free as well.
  const HBITMAP shown = reinterpret_cast<HBITMAP>(
      ::SendMessageW(picture_, STM_SETIMAGE, IMAGE_BITMAP, 0));
  if (shown && shown != bitmap_.get()) ::DeleteObject(shown);
  bitmap_.reset();
  if (receiver.window == window_) receiver = Receiver();
  progressBar_ = nullptr;
  picture_ = nullptr;
  window_ = nullptr;
}

INT_PTR CALLBACK ProgressWindow::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<ProgressWindow*>(lParam);
    ::SetWindowLongPtrW(window, DWLP_USER, lParam);
    self->window_ = window;
    receiver = Receiver{window, self};
    const auto previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProgressWindow::WindowProcedure)));
    if (previous != &ProgressWindow::WindowProcedure) dialogManager = previous;
    return self->OnInitDialog();
  }
  ProgressWindow* self = FromWindow(window);
  if (!self) return FALSE;
  switch (message) {
    case kProgressMessage:  // only where the window procedure could not be put in front
      ::SetWindowLongPtrW(window, DWLP_MSGRESULT, self->Advance(wParam, lParam));
      return TRUE;
    case WM_DESTROY:
      self->OnDestroy();
      ::SetWindowLongPtrW(window, DWLP_USER, 0);
      return FALSE;
    default:
      return FALSE;
  }
}

LRESULT CALLBACK ProgressWindow::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kProgressMessage) {
    ProgressWindow* self = window == receiver.window ? receiver.self : FromWindow(window);
    return self ? self->Advance(wParam, lParam) : 0;
  }
  return ::CallWindowProcW(dialogManager, window, message, wParam, lParam);
}

LRESULT CALLBACK ProgressWindow::BarProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  ProgressWindow* self = FromWindow(::GetParent(bar));
  if (!self || self->progressBar_ != bar || !self->DrawsFromDrawings()) {
    return ::CallWindowProcW(barControl, bar, message, wParam, lParam);
  }
  if (message == WM_PAINT) {
    PAINTSTRUCT paint = {};
    if (const HDC dc = ::BeginPaint(bar, &paint)) {
      self->CopyBar(dc, paint.rcPaint, self->DrawnColumns(self->position_));
    }
    ::EndPaint(bar, &paint);
    return 0;
  }
  // The control's own messages (PBM_*, CCM_*) and printing read or change its position.
  if (message >= WM_USER || message == WM_PRINT || message == WM_PRINTCLIENT) {
    return self->HandOnToBar(message, wParam, lParam);
  }
  return ::CallWindowProcW(barControl, bar, message, wParam, lParam);
}

ProgressWindow* ProgressWindow::FromWindow(HWND window) {
  return reinterpret_cast<ProgressWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
}
