#include "bootstrap/UserInfoFile.h"

#include "base/AnsiText.h"
#include "base/FailureLog.h"
#include "base/UniqueHandle.h"
#include "bootstrap/UserInfoPaths.h"
#include "bootstrap/UserInfoText.h"
#include "fs/FileOperations.h"
#include "fs/PathText.h"
#include "fs/SystemFolders.h"

namespace {
const wchar_t kUserInfoFilenameSection[] = L"User Info Filename";

UserInfoOutcome Failed(UserInfoFailure failure, const std::wstring& reason, DWORD error = 0) {
  LogFailure(L"User Info File " + reason + (error != 0 ? ErrorSuffix(error) : std::wstring()));
  return {failure, error};
}

// Creates (or truncates) `path`, writes `bytes` and closes it.
UserInfoOutcome WriteWholeFile(const std::wstring& path, const char* bytes, DWORD size) {
  UniqueFileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD error = ::GetLastError();
    return Failed(UserInfoFailure::kNotWritten, path + L" not created", error);
  }
  DWORD written = 0;
  if (!::WriteFile(file.get(), bytes, size, &written, nullptr)) {
    const DWORD error = ::GetLastError();
    return Failed(UserInfoFailure::kNotWritten, path + L" not written", error);
  }
  if (written != size) {
    return Failed(UserInfoFailure::kNotWritten, path + L": " + std::to_wstring(written) + L" of " +
                                                    std::to_wstring(size) + L" bytes written");
  }
  if (!::CloseHandle(file.release())) {
    const DWORD error = ::GetLastError();
    return Failed(UserInfoFailure::kNotWritten, path + L" not closed", error);
  }
  return {};
}

// The path in a form that the final setup, reading the file in the ANSI code page, finds; where
// there is none, the path as it converts, a reason line, and one more in `inexactPaths`.
std::wstring ReadablePath(const std::wstring& path, int& inexactPaths) {
  DWORD shortError = 0;
  const AnsiPath chosen =
      ChooseAnsiPath(path, {ConvertsExactlyToAnsi, [&](const std::wstring& p) { return ShortPathOf(p, shortError); }});
  if (chosen.form == PathForm::kInexact) {
    LogFailure(L"User Info File: " + path + L" has no exact form in the ANSI code page, nor a short form that has" +
               (shortError != 0 ? ErrorSuffix(shortError) : std::wstring()) + L"; written with stand-ins");
    ++inexactPaths;
  }
  return chosen.text;
}
}  // namespace

UserInfoOutcome WriteUserInfoFile(const SetupDescription& description, const std::wstring& folder, UserInfo info) {
  info.startMenuFolder = GetStartMenuFolder();
  info.desktopFolder = GetDesktopFolder();
  info.myDocumentsFolder = GetMyDocumentsFolder();
  int inexactPaths = 0;
  for (std::wstring* path : {&info.initialSetupPathname, &info.setupTempFolder, &info.startMenuFolder,
                             &info.desktopFolder, &info.myDocumentsFolder}) {
    *path = ReadablePath(*path, inexactPaths);
  }
  const std::wstring text = ComposeUserInfoText(info);

  // The file must land in the setup temp folder: a name with a path in it is refused.
  const std::wstring fileName = description.GetValue(kUserInfoFilenameSection);
  if (!IsPlainFileName(fileName)) {
    return Failed(UserInfoFailure::kNotAFileName, L"name \"" + fileName + L"\" is not a plain file name");
  }
  const int byteCount = AnsiByteCount(text);
  if (byteCount <= 0) {
    const DWORD error = ::GetLastError();
    return Failed(UserInfoFailure::kNotConverted, L"text not converted to the ANSI code page", error);
  }
  if (byteCount > kAnsiBufferSize) {
    return Failed(UserInfoFailure::kTooLong, L"text of " + std::to_wstring(byteCount) +
                                                 L" bytes does not fit the conversion buffer of " +
                                                 std::to_wstring(kAnsiBufferSize));
  }
  const std::vector<char> buffer = ToAnsiBuffer(text);
  UserInfoOutcome outcome = WriteWholeFile(JoinInFolder(folder, fileName), buffer.data(), static_cast<DWORD>(byteCount));
  outcome.inexactPaths = inexactPaths;
  return outcome;
}
