#pragma once
// Owner of WinINet handles (Internet sessions and requests), closed in reverse order of opening
// by declaring them in the order they were opened.
#include <windows.h>
#include <wininet.h>

#include "base/UniqueHandle.h"
#include "download/WinInetFunctions.h"

struct InternetHandleTraits {
  using Type = HINTERNET;
  static Type Empty() { return nullptr; }
  static void Close(Type h) { wininet::InternetCloseHandle(h); }
};

using UniqueInternetHandle = UniqueHandle<InternetHandleTraits>;
