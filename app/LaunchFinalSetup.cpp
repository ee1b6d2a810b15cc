#include "app/SetupApp.h"

// Placeholder until the launch lands.
void SetupApp::LaunchFinalSetup(std::wstring) { progressWindow.DestroyWindow(); }
