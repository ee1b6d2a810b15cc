#pragma once
// Which of the description's download sites serves the files.
#include <string>
#include <vector>

// First of `sites` that serves `firstSource` (the first listed file) with more than 1000 bytes;
// empty when none does. Hosts after it are never contacted.
std::wstring ChooseDownloadSite(const std::vector<std::wstring>& sites, const std::wstring& firstSource);
