#pragma once
// The optional [Application] section of a signed description: the name of the application it
// serves, so that one application's signed description cannot be served in place of another's
// by the same publisher.
#include <functional>
#include <string>

inline constexpr wchar_t kApplicationSection[] = L"Application";

// How two application names compare: as the program's folder names do (letter case ignored);
// given by the platform.
using SameApplicationName = std::function<bool(const std::wstring& a, const std::wstring& b)>;

// Whether the section's value `bound` names the application `running` (the name derived from the
// executable's file name). A value that is empty after trimming names none.
bool BindsToApplication(const std::wstring& bound, const std::wstring& running, const SameApplicationName& same);
