#include "app/SingleInstance.h"

#include "fs/FolderNameKey.h"

namespace {
const wchar_t kMutexPrefix[] = L"Local\\VelmarsWebSetup.";
const wchar_t kWindowPropertyPrefix[] = L"VelmarsWebSetup.";
constexpr DWORD kOwnerWaitMs = 2000;

struct Search {
  const std::wstring* property;
  HWND found;
};

BOOL CALLBACK FindMarked(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  if (::GetPropW(window, search->property->c_str()) == nullptr) return TRUE;
  search->found = window;
  return FALSE;
}
}  // namespace

// "Reader" and "reader" share one.
SingleInstance::SingleInstance(const std::wstring& applicationName) : key_(FolderNameKey(applicationName)) {
  mutex_.reset(::CreateMutexW(nullptr, FALSE, (kMutexPrefix + key_).c_str()));
  if (!mutex_) return;
  // Owned for the whole run. The wait also covers a run that has just ended but whose end the
  // system has not yet processed: its mutex then comes back abandoned.
  const DWORD waited = ::WaitForSingleObject(mutex_.get(), kOwnerWaitMs);
  owned_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
  first_ = owned_;
}

SingleInstance::~SingleInstance() {
  if (owned_) ::ReleaseMutex(mutex_.get());
}

void SingleInstance::MarkWindow(HWND window) const {
  // Any non-null value marks it; the property goes with the window.
  ::SetPropW(window, (kWindowPropertyPrefix + key_).c_str(), reinterpret_cast<HANDLE>(1));
}

HWND SingleInstance::BringOtherToFront() const {
  const std::wstring property = kWindowPropertyPrefix + key_;
  Search search{&property, nullptr};
  ::EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&search));
  if (search.found == nullptr) return nullptr;
  if (::IsIconic(search.found)) ::ShowWindow(search.found, SW_RESTORE);
  ::SetForegroundWindow(search.found);
  return search.found;
}
