#pragma once
// Every fixed text of the description module: the description's file name, section names it
// reads itself, built-in placeholder names and the missing-section message.
#include <string>

// The encrypted description, beside Setup.exe, on a default host and in the setup temp folder.
inline constexpr wchar_t kDescriptionFileName[] = L"SetupInitial.eif";

inline constexpr wchar_t kEndSection[] = L"End";
inline constexpr wchar_t kEndValue[] = L"End";
inline constexpr wchar_t kFilesSection[] = L"Files to download";
inline constexpr wchar_t kSitesSection[] = L"Download Sites";
inline constexpr wchar_t kFileArrow[] = L"->";

inline constexpr wchar_t kProgramFilesPlaceholder[] = L"Program Files Folder";
inline constexpr wchar_t kTempPlaceholder[] = L"Temp Folder";
inline constexpr wchar_t kDesktopPlaceholder[] = L"Desktop Folder";
inline constexpr wchar_t kStartMenuPlaceholder[] = L"Startmenu Folder";
inline constexpr wchar_t kApplicationPathPlaceholder[] = L"Application Path";

inline constexpr wchar_t kIniParserCaption[] = L"Ini Parser";
inline constexpr wchar_t kMissingSectionBefore[] = L"Tag '";
inline constexpr wchar_t kMissingSectionAfter[] = L"' not found.";
inline std::wstring MissingSectionMessage(const std::wstring& name) {
  return kMissingSectionBefore + name + kMissingSectionAfter;
}
