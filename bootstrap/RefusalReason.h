#pragma once
// The publisher's words for why a description was refused, for the acquisition's failure line.
#include <string>

#include "description/SetupDescription.h"

// Why the last load of `description` returned false.
std::wstring RefusalReason(const SetupDescription& description);
