#include "tests/description/DescriptionFixtures.h"

#include "description/DescriptionConstants.h"

DescriptionPlatform RecordingPlatform(std::vector<ShownMessage>& shown) {
  DescriptionPlatform platform;
  platform.programFilesFolder = [] { return std::wstring(L"C:\\Program Files"); };
  platform.tempFolder = [] { return std::wstring(L"C:\\Users\\u\\Temp"); };
  platform.desktopFolder = [] { return std::wstring(L"C:\\Users\\u\\Desktop"); };
  platform.startMenuFolder = [] { return std::wstring(L"C:\\Users\\u\\Start Menu\\Programs"); };
  platform.applicationFolder = [] { return std::wstring(L"c:\\apps\\demo\\"); };
  // The box the program shows for a missing section.
  platform.missingSection = [&shown](const std::wstring& name) {
    shown.push_back({MissingSectionMessage(name), kIniParserCaption});
  };
  return platform;
}
