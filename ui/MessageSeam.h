#pragma once
// Every message box of the program goes through here, so tests can read what a user would
// read without a window blocking them.
#include <windows.h>

#include <string>

namespace message_seam {

using ShowFunction = int(WINAPI*)(HWND owner, const wchar_t* text, const wchar_t* caption, UINT type);

// Shows a modal message box (MessageBoxW unless a test replaced it) and returns its result.
int Show(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type);

// The bootstrap's own message box: warning icon and OK button.
int ShowWarning(HWND owner, const std::wstring& text, const std::wstring& caption);

// Returns the function it replaced; nullptr restores MessageBoxW.
ShowFunction SetForTesting(ShowFunction show);

}  // namespace message_seam
