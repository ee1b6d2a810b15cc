#include "download/ResumePoint.h"

namespace {
bool HasControl(const std::wstring& text) {
  for (wchar_t c : text) {
    if (c < L' ' || c == 0x7f) return true;
  }
  return false;
}

bool Usable(const std::wstring& text) { return !text.empty() && !HasControl(text); }
}  // namespace

std::wstring ChooseValidator(const std::wstring& etag, const std::wstring& lastModified) {
  const bool weak = etag.rfind(L"W/", 0) == 0 || etag.rfind(L"w/", 0) == 0;
  if (Usable(etag) && !weak) return etag;
  if (Usable(lastModified)) return lastModified;
  return std::wstring();
}

std::wstring RangeRequestHeaders(const ResumePoint& point) {
  return L"Range: bytes=" + std::to_wstring(point.offset) + L"-\r\nIf-Range: " + point.validator + L"\r\n";
}

std::optional<ResumePoint> PointToKeep(const AttemptRecord& record) {
  if (!record.broken || !record.fileIsStart || record.hadCopy) return std::nullopt;
  if (record.validator.empty()) return std::nullopt;
  if (record.onDisk < kMinimumKeptBytes || record.onDisk >= record.total) return std::nullopt;
  return ResumePoint{static_cast<std::uint32_t>(record.onDisk), record.total, record.validator};
}
