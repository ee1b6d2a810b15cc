#include "bootstrap/ChooseDownloadSite.h"

#include "download/LengthProbe.h"
#include "download/HttpRules.h"

std::wstring ChooseDownloadSite(SetupDescription& description) {
  std::wstring source, target;
  description.GetFirstFile(source, target);  // an unusable first item leaves source empty
  std::wstring host;
  if (!description.GetFirstSite(host)) return std::wstring();
  do {
    // In list order, one at a time: hosts after the first that qualifies are never contacted.
    if (http_rules::SiteQualifies(ProbeContentLength(http_rules::Url(host, source)))) return host;
  } while (description.GetNextSite(host));
  return std::wstring();
}
