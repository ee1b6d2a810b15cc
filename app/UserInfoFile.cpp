#include "app/SetupApp.h"

// Placeholder until the hand-over file lands.
bool SetupApp::WriteUserInfoFile(std::wstring, std::wstring, std::wstring, std::wstring, std::wstring,
                                 std::wstring) {
  return false;
}
