#include "base/SystemLibrary.h"

#include <gtest/gtest.h>

#include "tests/support/DebugOutputListener.h"

namespace {
// A function that cannot be had fails as the call it stands for: its zero result, the loader's
// error as the last error, and the reason lines of the load and of the call.
TEST(SystemFunctionTest, AFunctionThatCannotBeHadFailsAsItsCall) {
  const struct {
    const wchar_t* library;
    const char* name;
    DWORD error;
  } cases[] = {
      {L"setup-no-such-library.dll", "MulDiv", ERROR_MOD_NOT_FOUND},
      {L"kernel32.dll", "SetupNoSuchFunction", ERROR_PROC_NOT_FOUND},
  };
  DebugOutputListener debugOutput;
  for (const auto& c : cases) {
    debugOutput.Clear();
    const SystemFunction<decltype(&::MulDiv)> function(c.library, c.name);
    ::SetLastError(0);
    EXPECT_EQ(function(10, 3, 2), 0) << c.name;
    EXPECT_EQ(::GetLastError(), c.error) << c.name;
    const std::vector<std::wstring> lines = debugOutput.FailureLines();
    ASSERT_EQ(lines.size(), 2u) << c.name;
    const std::wstring error = L"(error " + std::to_wstring(c.error) + L")";
    for (const std::wstring& line : lines) EXPECT_NE(line.find(error), std::wstring::npos) << line;
  }
}

// The call goes through with its arguments and result intact, in the system's calling convention.
TEST(SystemFunctionTest, AFunctionOfTheSystemFolderIsCalledWithItsArguments) {
  const SystemFunction<decltype(&::MulDiv)> multiplyDivide(L"kernel32.dll", "MulDiv");
  EXPECT_EQ(multiplyDivide(10, 3, 2), 15);
  EXPECT_EQ(multiplyDivide(-7, 4, 2), -14);
}
}  // namespace
