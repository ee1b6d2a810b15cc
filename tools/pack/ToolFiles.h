#pragma once
// Whole-file reads and writes for the tool; false when the file system refuses.
#include <string>

bool ReadFileBytes(const std::string& path, std::string& contents);
bool WriteFileBytes(const std::string& path, const std::string& contents);
