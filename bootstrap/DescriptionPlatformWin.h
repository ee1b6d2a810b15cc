#pragma once
// The platform's answers for the description code: ANSI conversion, folders, message box.
#include "description/DescriptionPlatform.h"

DescriptionPlatform WindowsDescriptionPlatform();
