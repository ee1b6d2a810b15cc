#include "tests/description/DescriptionFixtures.h"

DescriptionPlatform RecordingPlatform(std::vector<ShownMessage>& shown) {
  DescriptionPlatform platform;
  platform.programFilesFolder = [] { return std::wstring(L"C:\\Program Files"); };
  platform.tempFolder = [] { return std::wstring(L"C:\\Users\\u\\Temp"); };
  platform.desktopFolder = [] { return std::wstring(L"C:\\Users\\u\\Desktop"); };
  platform.startMenuFolder = [] { return std::wstring(L"C:\\Users\\u\\Start Menu\\Programs"); };
  platform.applicationFolder = [] { return std::wstring(L"c:\\apps\\demo\\"); };
  platform.showMessage = [&shown](const std::wstring& text, const std::wstring& caption) {
    shown.push_back({text, caption});
  };
  return platform;
}
