#pragma once
// What `eiftool audit` found: the records the checks fill and the report shows.
#include <functional>
#include <string>
#include <vector>

#include "tools/audit/UrlAudit.h"

struct AuditOptions {
  // Hosts that serve the description, in the order the bootstrapper tries them.
  std::vector<std::wstring> defaultHosts;
  // Names the description's folder on them; empty: the default hosts are not asked.
  std::wstring application;
  // The scheme the Setup.exe in question requests: "http" or "https".
  std::wstring scheme = L"http";
  // The audited file's bytes, which a default host should serve unchanged.
  std::string givenDescription;
};

// What a [File Hashes] line says about the bytes received.
enum class HashCheck { kNoLine, kMatch, kMismatch, kNotRead };

struct HostCheck {
  std::wstring host;
  UrlAnswers asked;
  bool offers = false;       // a probed length the bootstrapper accepts for the description
  bool sameAsGiven = false;  // serves the audited file byte for byte
  std::string problem;       // why its description would fail, or that it is another one
  std::string body;          // what it served, up to the largest description Setup.exe reads
};

struct FileCheck {
  std::wstring source;
  std::wstring target;
  UrlAnswers asked;
  HashCheck hash = HashCheck::kNoLine;
  std::string sha256;  // lower-case hex of the bytes received, when they were read
  bool good = false;   // the bootstrapper's transfer would succeed
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
  std::vector<std::string> reasons;   // why a user would not get through
  std::vector<std::string> warnings;  // what costs users time or risks, without stopping them
};

// One line a step, for a publisher watching slow mirrors.
using AuditProgress = std::function<void(const std::string& line)>;
