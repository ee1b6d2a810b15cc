#include "tools/cli/AuditCommand.h"

#include <ctime>
#include <iostream>

#include "description/DecryptDescription.h"
#include "description/LoadDescription.h"
#include "tools/audit/AuditReport.h"
#include "tools/audit/ExpiryAudit.h"
#include "tools/audit/SiteAudit.h"
#include "tools/pack/EifKeys.h"
#include "tools/pack/ToolFiles.h"

int RunAuditCommand(const AuditArguments& args) {
  if (!args.http.caFile.empty() && !AuditHttpTakesCaFile()) {
    return Fail("--ca: this build asks through WinINet, which trusts what Windows trusts; use the native eiftool");
  }
  std::string keyHex;
  std::string why;
  if (!ReadPrivateKeyFile(args.keyPath, keyHex, why)) return Fail(why);
  std::string file;
  if (!ReadFileBytes(args.inPath, file)) return Fail("cannot read " + args.inPath);
  const DecryptedDescription plain = DecryptDescriptionBytes(file, keyHex.c_str(), nullptr);
  const LoadedDescription loaded = LoadPlainDescription(plain.HasText() ? plain.text.data() : "", {});
  if (!plain.HasText() || !plain.complete || !loaded.Accepted()) {
    return Fail(args.inPath + ": Setup.exe would refuse this description; `eiftool check` says why");
  }
  AuditOptions options = args.options;
  options.givenDescription = file;
  const std::unique_ptr<AuditHttp> http = MakeAuditHttp(args.http);
  const AuditReport report = AuditDescription(loaded.Description(), options, *http, [](const std::string& line) {
    std::cerr << "audit: " << line << std::endl;
  });
  for (const std::string& warning :
       DefaultHostExpiryWarnings(report, keyHex, static_cast<std::int64_t>(std::time(nullptr)))) {
    std::cerr << "audit: warning: " << warning << std::endl;
  }
  std::cout << (args.json ? AuditJson(report) : AuditTable(report));
  return report.userGetsThrough ? 0 : 1;
}
