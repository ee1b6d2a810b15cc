#pragma once
// Which of the description's download sites serves the files.
#include <string>

#include "description/SetupDescription.h"

// First host of "Download Sites" that serves the first listed file with more than 1000 bytes;
// empty when none does. Moves the description's file and site cursors.
std::wstring ChooseDownloadSite(SetupDescription& description);
