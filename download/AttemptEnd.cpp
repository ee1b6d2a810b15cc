#include "download/AttemptEnd.h"

std::wstring AttemptReason(AttemptFailure failure, std::uint32_t detail) {
  const std::wstring number = std::to_wstring(detail);
  switch (failure) {
    case AttemptFailure::kNone: break;
    case AttemptFailure::kNoConnection: return L"no Internet connection";
    case AttemptFailure::kNoWorker: return L"no worker thread, error " + number;
    case AttemptFailure::kTargetNotCreated: return L"target not created, error " + number;
    case AttemptFailure::kTargetNotEmptied: return L"target not emptied for the whole file, error " + number;
    case AttemptFailure::kNoSession: return L"no Internet session, error " + number;
    case AttemptFailure::kNoRequest: return L"request not opened, error " + number;
    case AttemptFailure::kNoAnswer: return L"error " + number;
    case AttemptFailure::kReadFailed: return L"read failed, error " + number;
    case AttemptFailure::kStalled: return L"stalled: fewer than 1024 bytes in 60 s";
    case AttemptFailure::kCancelled: return L"cancelled";
    case AttemptFailure::kLongerThanAnnounced: return L"body longer than its Content-Length " + number;
    case AttemptFailure::kStatus: return L"status " + number;
    case AttemptFailure::kNoLength: return L"no Content-Length";
    case AttemptFailure::kTitle404: return L"page titled 404";
    case AttemptFailure::kLengthDiffers: return L"body ended after " + number + L" bytes, not its Content-Length";
    case AttemptFailure::kSizeUnreadable: return L"size on disk unreadable, error " + number;
    case AttemptFailure::kHashDiffers: return L"SHA-256 differs from the listed one";
    case AttemptFailure::kSignedSizeDiffers: return L"Content-Length " + number + L" is not the signed size";
    case AttemptFailure::kWriteFailed: return L"write failed, error " + number;
    case AttemptFailure::kRangeStart: return L"Content-Range does not continue at " + number;
    case AttemptFailure::kRangeTotal: return L"Content-Range total is not the first length " + number;
    case AttemptFailure::kRangeUnusable: return L"206 without the rest of the file in Content-Range and Content-Length";
    case AttemptFailure::kKeptUnreadable: return L"kept bytes unreadable, error " + number;
  }
  return std::wstring();
}
