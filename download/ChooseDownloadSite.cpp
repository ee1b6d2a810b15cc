#include <cstdint>

#include "app/SetupApp.h"

namespace {
// A site must serve more than a small error page would hold.
constexpr int32_t kSiteThreshold = 1000;
}  // namespace

std::wstring SetupApp::ChooseDownloadSite() {
  std::wstring source, target;
  setupDescription.GetFirstFile(source, target);  // an unusable first item leaves source empty
  std::wstring host;
  if (!setupDescription.GetFirstSite(host)) return std::wstring();
  do {
    // In list order, one at a time: hosts after the first that qualifies are never contacted.
    if (static_cast<int32_t>(ProbeContentLength(L"http://" + host + source)) > kSiteThreshold) {
      return host;
    }
  } while (setupDescription.GetNextSite(host));
  return std::wstring();
}
