#pragma once
// The only window: a caption-less pop-up from dialog template 138 with the picture above a
// progress bar. No message loop runs, so the window paints itself when its bar moves.
#include <windows.h>
#include <commctrl.h>

#include <climits>

#include "base/ProgressMessage.h"
#include "ui/BarColumns.h"
#include "ui/BarFill.h"
#include "ui/JpegResource.h"

class ProgressWindow {
 public:
  static constexpr int kTemplateId = 138;
  static constexpr int kPictureId = 139;
  static constexpr int kProgressBarId = 1000;
  static constexpr int kPictureControlId = 1026;
  // The strip below the picture that the bar sits in, in pixels.
  static constexpr int kBarStripHeight = 25;

  ProgressWindow();
  virtual ~ProgressWindow();
  ProgressWindow(const ProgressWindow&) = delete;
  ProgressWindow& operator=(const ProgressWindow&) = delete;

  // Creates the modeless dialog from template 138 of `module` (null: the executable), no parent.
  // The picture comes from the same module. False when the window could not be made.
  bool Create(HINSTANCE module = nullptr);
  HWND GetSafeHwnd() const { return window_; }
  // Upper bound of the bar (lower bound 0); the position is kept.
  void SetRangeMax(int upperBound);
  // Destroys the window (if any); the object can create a new one afterwards.
  void DestroyWindow();
  // The bar's position as advanced so far. The control itself may lag by less than a column
  // until anything asks it (its own messages, a paint, printing).
  int Position() const { return position_; }
  // How often Advance has redrawn the bar since the window was made (tests, benchmarks).
  int Redraws() const { return redraws_; }

 protected:
  // Binds the two controls of the template to their members.
  virtual void DoDataExchange();
  // Picture and title, range 0 to 100 at position 1. TRUE: focus as the dialog manager sets it.
  virtual BOOL OnInitDialog();
  // kProgressMessage: adds `amount` to the position, held at the upper bound. The bar is redrawn
  // on the screen before the handler returns whenever its drawing changes: its filled part moves
  // to another column or the position reaches the upper bound; a message that changes no
  // drawing costs a comparison. Position() is always exact.
  LRESULT Advance(WPARAM amount, LPARAM);

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
  // Takes kProgressMessage ahead of the dialog manager, which would add several times the
  // handler's own cost to every message; hands every other message on.
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // Where the bar is drawn from the control's own drawings: paints its WM_PAINT from them, and
  // tells the control its position before any message that reads or changes its state, taking
  // what that message left as the window's position and range.
  static LRESULT CALLBACK BarProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);
  static ProgressWindow* FromWindow(HWND window);
  void OnDestroy();
  bool DrawsFromDrawings() const { return !fill_.full.empty() && fill_.cuts != fill_.rounds; }
  // The next Advance redraws the bar, whatever it moved.
  void ForgetDrawnBar();
  BarScale Scale() const;
  int DrawnColumns(int position) const;
  void RepaintBar();
  // Copies `area` of the bar with `columns` filled from the drawings.
  void CopyBar(HDC dc, const RECT& area, int columns) const;
  LRESULT HandOnToBar(UINT message, WPARAM wParam, LPARAM lParam);

  HINSTANCE module_ = nullptr;
  HWND window_ = nullptr;
  HWND progressBar_ = nullptr;
  HWND picture_ = nullptr;
  // Shown by the picture control, which does not own it: freed when the window goes.
  UniqueBitmap bitmap_;
  // The true position and range. Where the bar is drawn from the drawings, the control is told
  // only when something asks it; else whenever its drawing changes.
  int position_ = 0;
  PBRANGE range_ = {0, 100};
  BarFill fill_;  // how the control fills, as measured when the window was made
  // The highest position that the bar as last drawn still shows exactly; Advance draws only
  // past it. Below every position until the bar is first drawn in the current range.
  int drawnUpTo_ = INT_MIN;
  int drawnColumns_ = -1;   // as last drawn from the drawings; -1: not drawn in this range
  int controlPosition_ = 0;  // what the control was last told, where it is drawn from drawings
  int redraws_ = 0;
};
