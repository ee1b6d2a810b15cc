#include "bootstrap/DescriptionPlatformWin.h"

#include <utility>
#include <vector>

#include "base/AnsiText.h"
#include "base/Clock.h"
#include "crypto/SignatureCheck.h"
#include "description/BuiltInSigningPolicy.h"
#include "description/DescriptionConstants.h"
#include "fs/ApplicationFolder.h"
#include "fs/FolderNameKey.h"
#include "fs/SystemFolders.h"
#include "ui/MessageSeam.h"

namespace {

// Accepts a signature that any of the keys makes: at most one check per key.
SignatureCheck AnyKeyCheck(const std::vector<SigningKeyBytes>& keys) {
  std::vector<SignatureCheck> checks;
  for (const SigningKeyBytes& key : keys) checks.push_back(SignatureCheckFor(key.der, key.length));
  return [checks = std::move(checks)](const std::string& text, const std::vector<unsigned char>& signature) {
    for (const SignatureCheck& check : checks) {
      if (check(text, signature)) return true;
    }
    return false;
  };
}

SignedRuleContext RunningContext(const std::wstring& applicationName) {
  SignedRuleContext context;
  context.utcNow = clock_seam::UtcSeconds;
  context.applicationName = applicationName;
  context.sameApplication = [](const std::wstring& a, const std::wstring& b) {
    return FolderNameKey(a) == FolderNameKey(b);
  };
  return context;
}

}  // namespace

DescriptionPlatform WindowsDescriptionPlatform(const std::wstring& applicationName) {
  DescriptionPlatform platform;
  platform.ansiToWide = AnsiToWide;
  platform.programFilesFolder = GetProgramFilesFolder;
  platform.tempFolder = GetTempFolder;
  platform.desktopFolder = GetDesktopFolder;
  platform.startMenuFolder = GetStartMenuFolder;
  platform.applicationFolder = GetApplicationFolder;
  platform.missingSection = [](const std::wstring& name) {
    // No owner window; top-most so that the top-most progress window cannot hide it.
    message_seam::Show(nullptr, MissingSectionMessage(name), kIniParserCaption,
                       MB_OK | MB_ICONEXCLAMATION | MB_TOPMOST);
  };
  platform.signing = BuiltInSigningPolicy();
  // Without a built-in key, signatures are not asked for.
  if (!platform.signing.keys.empty()) {
    platform.verifySignature = AnyKeyCheck(platform.signing.keys);
    platform.signedContext = RunningContext(applicationName);
  }
  return platform;
}
