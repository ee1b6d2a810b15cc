#include <windows.h>

#include "app/SetupApp.h"

// The one application object, constructed when the program loads.
SetupApp theApp;

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  theApp.InitInstance();
  return 0;
}
