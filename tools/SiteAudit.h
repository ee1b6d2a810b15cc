#pragma once
// `eiftool audit`: asks the publisher's servers what the bootstrapper would ask them, with its
// rules, and says whether a user would get through.
#include <functional>
#include <string>
#include <vector>

#include "tools/AuditHttp.h"

class SetupDescription;

struct AuditOptions {
  // Hosts that serve the description, in the order the bootstrapper tries them.
  std::vector<std::wstring> defaultHosts;
  // Names the description's folder on them; empty: the default hosts are not asked.
  std::wstring application;
};

// What a [File Hashes] line says about the bytes received.
enum class HashCheck { kNoLine, kMatch, kMismatch, kNotRead };

struct HostCheck {
  std::wstring host;
  std::wstring url;
  HttpAnswer answer;
  bool offers = false;  // a Content-Length the bootstrapper accepts for the description
  std::string body;     // what it served, up to the largest description Setup.exe reads
};

struct FileCheck {
  std::wstring source;
  std::wstring target;
  std::wstring url;
  HttpAnswer answer;
  HashCheck hash = HashCheck::kNoLine;
  std::string sha256;  // lower-case hex of the bytes received, when they were read
  bool good = false;   // 2xx with a length (and, with a hash line, all bytes and a match)
  std::string problem;  // why not good
};

struct SiteCheck {
  std::wstring host;
  bool reachable = false;
  bool qualifies = false;  // the bootstrapper would accept it on its first file
  std::vector<FileCheck> files;  // empty when the site cannot be reached
};

struct AuditReport {
  bool hostsChecked = false;
  std::vector<HostCheck> hosts;
  int hostUsed = -1;  // index of the default host the bootstrapper would fetch from
  bool hashesListed = false;
  std::vector<int> badHashLines;
  int filesListed = 0;
  std::vector<SiteCheck> sites;
  int chosenSite = -1;  // index of the site the bootstrapper would choose
  bool userGetsThrough = false;
  std::vector<std::string> reasons;  // why a user would not get through
};

// One line a step, for a publisher watching slow mirrors.
using AuditProgress = std::function<void(const std::string& line)>;

// Asks every default host for the description and every download site for every listed file,
// in list order. `description` must be loaded.
AuditReport AuditDescription(const SetupDescription& description, const AuditOptions& options,
                             AuditHttp& http, const AuditProgress& progress);
