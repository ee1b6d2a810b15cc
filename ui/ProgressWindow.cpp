#include "ui/ProgressWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <climits>

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

// Holds a window's painting while alive: the control is told a position without painting it,
// for the measurement of the bar or for a bar drawn from its drawings.
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

// The dialog manager's window procedure, the same for every dialog of the process.
WNDPROC dialogManager = nullptr;

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
  drawn_ = DrawnBar();
  return TRUE;
}

LRESULT ProgressWindow::Advance(WPARAM amount, LPARAM) {
  if (amount == 0) return 0;
  position_ = std::min(AddClamped(position_, amount), range_.iHigh);
  if (BarLooksDifferent()) RepaintBar();
  return 0;
}

// The control draws itself: a repaint costs hundreds of times the message (see
// scripts/bench-window.sh), and a download sends one message per kilobyte, most of which leave
// every pixel as it is. The filled width is counted as the control counts it (both ways when
// it could not be told whether it cuts or rounds); the last position is always drawn.
bool ProgressWindow::BarLooksDifferent() const {
  if (position_ == drawn_.position) return false;
  return FilledColumns(position_) != drawn_.columns || position_ >= range_.iHigh;
}

ProgressWindow::Columns ProgressWindow::FilledColumns(int position) const {
  const long long span = static_cast<long long>(range_.iHigh) - range_.iLow;
  if (span <= 0) return Columns();
  const long long scaled = (static_cast<long long>(position) - range_.iLow) * fill_.width;
  return Columns{fill_.cuts ? static_cast<int>(scaled / span) : 0,
                 fill_.rounds ? static_cast<int>((2 * scaled + span) / (2 * span)) : 0};
}

// The control is told the position and the bar is shown at it before the handler returns:
// copied from the control's own drawings where it fills by them, else painted by the control.
void ProgressWindow::RepaintBar() {
  const Columns columns = FilledColumns(position_);
  bool drawn = false;
  if (!fill_.full.empty()) {
    {
      const RedrawSuspended quiet(progressBar_);
      ::SendMessageW(progressBar_, PBM_SETPOS, position_, 0);
    }
    drawn = DrawFilledBar(progressBar_, fill_, fill_.cuts ? columns.cut : columns.rounded);
  }
  if (!drawn) {
    ::SendMessageW(progressBar_, PBM_SETPOS, position_, 0);
    ::UpdateWindow(progressBar_);
  }
  drawn_.position = position_;
  drawn_.columns = columns;
}

void ProgressWindow::OnDestroy() {
  // A picture control of the newer common controls may show a copy of the bitmap it was given;
  // that copy is handed back here and is ours to free as well.
  const HBITMAP shown = reinterpret_cast<HBITMAP>(
      ::SendMessageW(picture_, STM_SETIMAGE, IMAGE_BITMAP, 0));
  if (shown && shown != bitmap_.get()) ::DeleteObject(shown);
  bitmap_.reset();
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
    const auto previous = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ProgressWindow::WindowProcedure)));
    if (previous != &ProgressWindow::WindowProcedure) dialogManager = previous;
    return self->OnInitDialog();
  }
  auto* self = reinterpret_cast<ProgressWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
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
    auto* self = reinterpret_cast<ProgressWindow*>(::GetWindowLongPtrW(window, DWLP_USER));
    return self ? self->Advance(wParam, lParam) : 0;
  }
  return ::CallWindowProcW(dialogManager, window, message, wParam, lParam);
}
