#include "ui/MessageSeam.h"

namespace message_seam {
namespace {
ShowFunction showFunction = ::MessageBoxW;
constexpr UINT kWarningBox = MB_OK | MB_ICONEXCLAMATION;  // 0x30
}  // namespace

int Show(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
  return showFunction(owner, text.c_str(), caption.c_str(), type);
}

int ShowWarning(HWND owner, const std::wstring& text, const std::wstring& caption) {
  return Show(owner, text, caption, kWarningBox);
}

ShowFunction SetForTesting(ShowFunction show) {
  ShowFunction previous = showFunction;
  showFunction = show ? show : ::MessageBoxW;
  return previous;
}

}  // namespace message_seam
