#pragma once
// The signing policy this executable was built with (SETUP_SIGNING_PUBLIC_KEY and the
// SETUP_REQUIRE_* settings), kept in an object of its own so that a test executable can link
// other settings with the same code.
#include "description/SigningPolicy.h"

SigningPolicy BuiltInSigningPolicy();
