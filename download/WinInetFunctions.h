#pragma once
// WinINet as the program calls it: from the system folder's wininet.dll, loaded on first use and
// never imported (base/SystemLibrary.h says why). A call reads wininet::InternetOpenW(...).
#include <windows.h>
#include <wininet.h>

#include "base/SystemLibrary.h"

namespace wininet {
inline constexpr wchar_t kLibrary[] = L"wininet.dll";

SETUP_SYSTEM_FUNCTION(kLibrary, HttpOpenRequestW)
SETUP_SYSTEM_FUNCTION(kLibrary, HttpQueryInfoW)
SETUP_SYSTEM_FUNCTION(kLibrary, HttpSendRequestW)
SETUP_SYSTEM_FUNCTION(kLibrary, InternetCloseHandle)
SETUP_SYSTEM_FUNCTION(kLibrary, InternetConnectW)
SETUP_SYSTEM_FUNCTION(kLibrary, InternetCrackUrlW)
SETUP_SYSTEM_FUNCTION(kLibrary, InternetGetConnectedState)
SETUP_SYSTEM_FUNCTION(kLibrary, InternetOpenW)
SETUP_SYSTEM_FUNCTION(kLibrary, InternetQueryDataAvailable)
SETUP_SYSTEM_FUNCTION(kLibrary, InternetQueryOptionW)
SETUP_SYSTEM_FUNCTION(kLibrary, InternetReadFile)
SETUP_SYSTEM_FUNCTION(kLibrary, InternetSetOptionW)
}  // namespace wininet
