#include "bootstrap/ChooseDownloadSite.h"

#include <cstdint>

#include "download/Downloader.h"

namespace {
// A site must serve more than a small error page would hold.
constexpr int32_t kSiteThreshold = 1000;
}  // namespace

std::wstring ChooseDownloadSite(SetupDescription& description) {
  std::wstring source, target;
  description.GetFirstFile(source, target);  // an unusable first item leaves source empty
  std::wstring host;
  if (!description.GetFirstSite(host)) return std::wstring();
  do {
    // In list order, one at a time: hosts after the first that qualifies are never contacted.
    if (static_cast<int32_t>(ProbeContentLength(L"http://" + host + source)) > kSiteThreshold) {
      return host;
    }
  } while (description.GetNextSite(host));
  return std::wstring();
}
