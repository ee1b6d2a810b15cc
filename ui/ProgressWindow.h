#pragma once
// The only window: a caption-less pop-up from dialog template 138 with the picture above a
// progress bar. No message loop runs, so the window paints itself when its bar moves, and
// answers there what other threads and processes have sent it meanwhile.
#include <windows.h>
#include <commctrl.h>

#include <climits>

#include "base/ProgressMessage.h"
#include "ui/BarColumns.h"
#include "ui/BarFill.h"
#include "ui/JpegResource.h"

// How the bar reaches the screen: copied from the control's drawings, where they compose it (a
// copy, where the control's own paint costs hundreds of times as much), or painted by the
// control.
enum class BarPainting { kFromDrawings, kByControl };

class ProgressWindow {
 public:
  static constexpr int kTemplateId = 138;
  static constexpr int kPictureId = 139;
  static constexpr int kProgressBarId = 1000;
  static constexpr int kPictureControlId = 1026;
  // The strip below the picture that the bar sits in, in pixels.
  static constexpr int kBarStripHeight = 25;

  // kFromDrawings: the bar is copied from the control's drawings wherever they compose it;
  // kByControl: the control always paints it (a test of that path).
  explicit ProgressWindow(BarPainting preferred = BarPainting::kFromDrawings);
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
  // The bar's position as advanced so far, kept here only. The control is told it before any
  // message that reads or changes the control's state (its own, printing) and, where it paints
  // the bar, at every redraw; in between it may lag by less than a column.
  int Position() const { return position_; }
  // How often Advance has redrawn the bar since the window was made (tests, benchmarks).
  int Redraws() const { return redraws_; }
  // How the bar is painted, as chosen last.
  BarPainting Painting() const { return painting_; }

 protected:
  // Binds the two controls of the template to their members.
  virtual void DoDataExchange();
  // Picture and title, range 0 to 100 at position 1. TRUE: focus as the dialog manager sets it.
  virtual BOOL OnInitDialog();
  // kProgressMessage: adds `amount` to the position, held at the upper bound. The bar is redrawn
  // on the screen before the handler returns whenever its drawing changes: its filled part moves
  // to another column or the position reaches the upper bound; a message that changes no
  // drawing costs a comparison and a look at the tick count. Each redraw, and a message after
  // kAnswerEveryMs without one, answers the messages that other threads and processes sent the
  // window meanwhile. Position() is always exact.
  LRESULT Advance(WPARAM amount, LPARAM);

 private:
  // Creates the window: takes WM_INITDIALOG only, and puts WindowProcedure in front.
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                          LPARAM lParam);
  // The window's procedure. Takes kProgressMessage ahead of the dialog manager, which would add
  // several times the handler's own cost to every message, and hands every other message on.
  static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  // The bar's: paints the bar from the drawings where they compose it, tells the control its
  // position before any message that reads or changes its state, and chooses the painting anew
  // when the control's drawings may have changed.
  static LRESULT CALLBACK BarProcedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  void OnNcDestroy();
  // Measures the control's drawings and chooses how the bar is painted; a choice of kByControl
  // leaves its reason line. `occasion` says what asked for it.
  void ChoosePainting(const wchar_t* occasion);
  // The next Advance redraws the bar, whatever it moved.
  void ForgetDrawnBar();
  BarScale Scale() const;
  int DrawnColumns(int position) const;
  void RepaintBar();
  void AnswerSentMessages();
  // Copies `area` of the bar with `columns` filled from the drawings.
  void CopyBar(HDC dc, const RECT& area, int columns) const;
  // The control learns the position first; what the message leaves is the position after.
  LRESULT HandOnToBar(UINT message, WPARAM wParam, LPARAM lParam);

  const BarPainting preferred_;
  HINSTANCE module_ = nullptr;
  HWND window_ = nullptr;
  HWND progressBar_ = nullptr;
  HWND picture_ = nullptr;
  // The procedures that the window's and the bar's own procedures hand messages on to.
  WNDPROC dialogManager_ = nullptr;
  WNDPROC barControl_ = nullptr;
  // Shown by the picture control, which does not own it: freed when the window goes.
  UniqueBitmap bitmap_;
  int position_ = 0;
  PBRANGE range_ = {0, 100};
  BarFill fill_;  // how the control fills, as measured for the current choice
  BarPainting painting_ = BarPainting::kByControl;
  bool measuring_ = false;  // the control's messages go straight to it meanwhile
  // The highest position that the bar as last drawn still shows exactly; Advance draws only
  // past it. Below every position until the bar is first drawn in the current range.
  int drawnUpTo_ = INT_MIN;
  int drawnColumns_ = -1;  // as last drawn from the drawings; -1: not drawn in this range
  int redraws_ = 0;
  // When sent messages were last answered (GetTickCount). A column of a large file on a slow
  // line can take longer than the 5 s after which Windows judges a window hung.
  DWORD answeredAt_ = 0;
  static constexpr DWORD kAnswerEveryMs = 500;
};
