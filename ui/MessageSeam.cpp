#include "ui/MessageSeam.h"

namespace message_seam {
namespace {
ShowFunction showFunction = ::MessageBoxW;
}

int Show(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type) {
  return showFunction(owner, text.c_str(), caption.c_str(), type);
}

ShowFunction SetForTesting(ShowFunction show) {
  ShowFunction previous = showFunction;
  showFunction = show ? show : ::MessageBoxW;
  return previous;
}

}  // namespace message_seam
