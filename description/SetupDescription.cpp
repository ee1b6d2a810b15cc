#include "description/SetupDescription.h"

// Placeholder until the parser lands: nothing loads.
SetupDescription::SetupDescription(DescriptionPlatform platform) : platform_(std::move(platform)) {}
SetupDescription::~SetupDescription() = default;
void SetupDescription::SetPlatform(DescriptionPlatform platform) { platform_ = std::move(platform); }
bool SetupDescription::Load(const std::wstring&) { text.clear(); return false; }
bool SetupDescription::IsLoaded() const { return !text.empty(); }
int SetupDescription::FindSection(const std::wstring&) const { return -1; }
std::wstring SetupDescription::GetItem(const std::wstring&, int) { return std::wstring(); }
std::wstring SetupDescription::GetValue(const std::wstring& name) { return GetItem(name, 0); }
bool SetupDescription::GetFirstFile(std::wstring& s, std::wstring& t) { fileIndex = 0; return GetNextFile(s, t); }
bool SetupDescription::GetNextFile(std::wstring&, std::wstring&) { return false; }
bool SetupDescription::GetFirstSite(std::wstring& h) { siteIndex = 0; return GetNextSite(h); }
bool SetupDescription::GetNextSite(std::wstring&) { return false; }
