#include "app/SetupApp.h"

// Placeholder until the download phase lands: nothing is acquired, nothing is shown.
bool SetupApp::AcquireSetup(std::wstring, std::wstring, HWND, std::wstring&) { return false; }
std::wstring SetupApp::ChooseDownloadSite() { return std::wstring(); }
