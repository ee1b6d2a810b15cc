#include "bootstrap/ChooseDownloadSite.h"

#include "download/LengthProbe.h"
#include "download/HttpRules.h"

std::wstring ChooseDownloadSite(const std::vector<std::wstring>& sites, const std::wstring& firstSource) {
  for (const std::wstring& host : sites) {
    // In list order, one at a time: hosts after the first that qualifies are never contacted.
    if (http_rules::SiteQualifies(ProbeContentLength(http_rules::Url(host, firstSource)))) return host;
  }
  return std::wstring();
}
