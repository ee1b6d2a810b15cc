#include <windows.h>

#include "app/SetupApp.h"
#include "base/SystemLibrary.h"

// The one application object, constructed when the program loads.
SetupApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  theApp.InitInstance();
  return 0;
}

// The runtime's own entry: it starts the runtime, constructs the static objects, calls wWinMain.
extern "C" int WinMainCRTStartup();

// The process's entry (the link names it). The library search is narrowed before the runtime or
// any static object can load a library. Windows may call an entry with a stack aligned to 4.
extern "C" __attribute__((force_align_arg_pointer)) int SetupEntry() {
  RestrictLibrarySearch();
  return WinMainCRTStartup();
}
