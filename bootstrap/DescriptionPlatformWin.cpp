#include "bootstrap/DescriptionPlatformWin.h"

#include "base/AnsiText.h"
#include "bootstrap/BuiltInSigningKey.h"
#include "crypto/SignatureCheck.h"
#include "description/DescriptionConstants.h"
#include "fs/ApplicationFolder.h"
#include "fs/SystemFolders.h"
#include "ui/MessageSeam.h"

DescriptionPlatform WindowsDescriptionPlatform() {
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
  // Without a built-in key, signatures are not asked for.
  const SigningKeyBytes key = BuiltInSigningKey();
  if (key.length > 0) platform.verifySignature = SignatureCheckFor(key.der, key.length);
  return platform;
}
