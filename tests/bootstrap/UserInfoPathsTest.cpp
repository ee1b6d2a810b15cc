#include "bootstrap/UserInfoPaths.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace {

// Plain ASCII stands in for the code page.
bool Ascii(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c >= 0x80) return false;
  }
  return true;
}

TEST(UserInfoPathsTest, APathWithoutAnExactFormIsGivenInAShortFormThatHasOne) {
  const std::wstring foreign = L"C:\\Temp\\\u0141\u00f3d\u017a \u6771\u4eac";
  const std::map<std::wstring, std::wstring> shortForms = {
      {foreign + L"\\Setup", L"C:\\Temp\\__D_~0X5\\Setup"},
      {foreign + L"\\off", foreign + L"\\off"},              // a volume without short names
      {foreign + L"\\oem", L"C:\\Temp\\\u0141D~1\\oem"},       // a short name in the OEM letters
  };
  struct Case {
    std::wstring path;
    PathForm form;
    std::wstring text;
  } cases[] = {
      {L"C:\\Temp\\Velmar's Projects\\ReaderSetup", PathForm::kAsItIs, L"C:\\Temp\\Velmar's Projects\\ReaderSetup"},
      {L"", PathForm::kAsItIs, L""},  // a folder the system could not give
      {foreign + L"\\Setup", PathForm::kShort, L"C:\\Temp\\__D_~0X5\\Setup"},
      {foreign + L"\\off", PathForm::kInexact, foreign + L"\\off"},
      {foreign + L"\\oem", PathForm::kInexact, foreign + L"\\oem"},
      {foreign + L"\\missing", PathForm::kInexact, foreign + L"\\missing"},
  };
  for (const Case& c : cases) {
    std::vector<std::wstring> asked;
    const AnsiPath chosen = ChooseAnsiPath(c.path, {Ascii, [&](const std::wstring& path) {
                                                      asked.push_back(path);
                                                      const auto found = shortForms.find(path);
                                                      return found == shortForms.end() ? std::wstring() : found->second;
                                                    }});
    EXPECT_EQ(chosen.form, c.form) << testing::PrintToString(c.path);
    EXPECT_EQ(chosen.text, c.text);
    // The system is asked for a short form only where the path needs one.
    EXPECT_EQ(asked, c.form == PathForm::kAsItIs ? std::vector<std::wstring>{} : std::vector<std::wstring>{c.path});
  }
}

}  // namespace
