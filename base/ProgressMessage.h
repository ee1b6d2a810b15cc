#pragma once
// The message that carries download progress to the window: the downloader sends it, the
// progress window advances its bar by it. wParam: the bytes of one chunk (0 ends an attempt);
// lParam: the bytes received so far in the attempt.
#include <windows.h>

constexpr UINT kProgressMessage = WM_USER + 100;
