#pragma once
// Whole files for the tests.
#include <string>

// The bytes of the file at `path` (UTF-8); a file that cannot be read fails the running test.
std::string ReadTestFile(const std::string& path);
