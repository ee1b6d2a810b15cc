#pragma once
// The platform's answers for the description code: ANSI conversion, folders, message box, and
// for a build with a signing key its keys, the clock and what a signed description must carry.
#include <string>

#include "description/DescriptionPlatform.h"

// `applicationName`: the name derived from the executable's file name, which a signed
// description's [Application] must give (empty: none matches).
DescriptionPlatform WindowsDescriptionPlatform(const std::wstring& applicationName = std::wstring());
