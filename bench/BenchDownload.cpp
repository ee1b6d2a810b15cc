// Downloads one URL three ways in one run and prints the throughput of each: our transfer
// into a live progress window, and a bare WinINet loop with 64 KB reads and no window (what
// the platform gives at best). Also prints the peak working set after each, to show that the
// transfer streams (memory does not grow with the file). Given the file's SHA-256, it also
// times the transfer with and without that digest checked, alternating, best of three each.
//   download_bench.exe URL TARGET_FOLDER [SHA256]
#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <cstdio>
#include <string>
#include <vector>

#include "base/UniqueHandle.h"
#include "bench/IdleWindow.h"
#include "download/Transfer.h"
#include "download/InternetHandle.h"
#include "ui/ProgressWindow.h"

namespace {
constexpr DWORD kBareReadSize = 64 * 1024;
constexpr DWORD kRequestFlags = 0x84000500;

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart;
}

double PeakMegabytes() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PeakWorkingSetSize / 1048576.0;
}

unsigned long long FileSize(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// The floor: one session, one request, reads of `readSize` straight into a file.
bool BareLoop(const std::wstring& url, const std::wstring& target, DWORD readSize) {
  const UniqueInternetHandle session(::InternetOpenW(L"bench", 4, nullptr, nullptr, 0));
  if (!session) return false;
  const UniqueInternetHandle request(
      ::InternetOpenUrlW(session.get(), url.c_str(), nullptr, 0, kRequestFlags, 0));
  if (!request) return false;
  const UniqueFileHandle file(::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::vector<char> buffer(readSize);
  for (;;) {
    DWORD count = 0;
    if (!::InternetReadFile(request.get(), buffer.data(), readSize, &count)) return false;
    if (count == 0) return true;
    DWORD written = 0;
    if (!::WriteFile(file.get(), buffer.data(), count, &written, nullptr)) return false;
  }
}

void Print(const char* name, double seconds, unsigned long long bytes) {
  std::printf("%-34s %8.2f s %9.1f MB/s   peak working set %6.1f MB\n", name, seconds,
              bytes / 1048576.0 / seconds, PeakMegabytes());
}

// Seconds of one transfer without a window, checked against `digest` when it is not empty; a
// negative value when it failed.
double TimedTransfer(const std::wstring& url, const std::wstring& target, const std::string& digest) {
  LARGE_INTEGER start, end;
  ::QueryPerformanceCounter(&start);
  const bool ok = TransferUrlToFile(url, target, nullptr, nullptr, digest).succeeded;
  ::QueryPerformanceCounter(&end);
  return ok ? Seconds(start, end) : -1.0;
}

// The same transfer with and without its digest checked, alternating so that both see the same
// machine; the best of three of each.
bool CompareHashing(const std::wstring& url, const std::wstring& target, const std::string& digest,
                    unsigned long long bytes) {
  constexpr int kRounds = 3;
  double plain = 1e30, hashed = 1e30;
  for (int round = 0; round < kRounds; ++round) {
    const double p = TimedTransfer(url, target, std::string());
    const double h = TimedTransfer(url, target, digest);
    if (p < 0 || h < 0) {
      std::fprintf(stderr, "a transfer failed (round %d: %s)\n", round + 1, h < 0 ? "hash checked" : "plain");
      return false;
    }
    plain = p < plain ? p : plain;
    hashed = h < hashed ? h : hashed;
  }
  Print("TransferUrlToFile, no window", plain, bytes);
  Print("TransferUrlToFile, SHA-256 checked", hashed, bytes);
  std::printf("ratio hash checked / not checked (best of %d each): %.3f\n", kRounds, hashed / plain);
  return true;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: download_bench.exe URL TARGET_FOLDER [SHA256]\n");
    return 2;
  }
  const std::wstring url = argv[1];
  const std::wstring bareTarget = std::wstring(argv[2]) + L"\\bare.bin";
  const std::wstring ourTarget = std::wstring(argv[2]) + L"\\ours.bin";
  LARGE_INTEGER t0, t1, t2, t3;

  ::QueryPerformanceCounter(&t0);
  const bool bareOk = BareLoop(url, bareTarget, kBareReadSize);
  ::QueryPerformanceCounter(&t1);
  const unsigned long long bytes = FileSize(bareTarget);
  if (!bareOk || bytes == 0) {
    std::fprintf(stderr, "the bare WinINet loop failed\n");
    return 1;
  }
  Print("bare WinINet, 64 KB reads", Seconds(t0, t1), bytes);

  ProgressWindow window;
  if (!window.Create()) {
    std::fprintf(stderr, "the progress window could not be created\n");
    return 1;
  }
  window.SetRangeMax(static_cast<int>(bytes > 0x7FFFFFFF ? 0x7FFFFFFF : bytes));
  ::QueryPerformanceCounter(&t2);
  const bool ourOk = TransferUrlToFile(url, ourTarget, window.GetSafeHwnd(), nullptr).succeeded;
  ::QueryPerformanceCounter(&t3);
  if (!ourOk || FileSize(ourTarget) != bytes) {
    std::fprintf(stderr, "our transfer failed\n");
    return 1;
  }
  Print("TransferUrlToFile + progress window", Seconds(t2, t3), bytes);
  LARGE_INTEGER t4, t5;
  ::QueryPerformanceCounter(&t4);
  const bool quietOk = TransferUrlToFile(url, ourTarget, nullptr, nullptr).succeeded;
  ::QueryPerformanceCounter(&t5);
  if (quietOk) Print("TransferUrlToFile, no window", Seconds(t4, t5), bytes);
  const UniqueWindow idle = CreateIdleWindow();
  if (!idle) {
    std::fprintf(stderr, "the idle window could not be created\n");
    return 1;
  }
  LARGE_INTEGER t8, t9;
  ::QueryPerformanceCounter(&t8);
  const bool idleOk = TransferUrlToFile(url, ourTarget, idle.get(), nullptr).succeeded;
  ::QueryPerformanceCounter(&t9);
  if (idleOk) Print("TransferUrlToFile, idle window", Seconds(t8, t9), bytes);

  LARGE_INTEGER t6, t7;
  ::QueryPerformanceCounter(&t6);
  const bool smallOk = BareLoop(url, bareTarget, 1024);
  ::QueryPerformanceCounter(&t7);
  if (smallOk) Print("bare WinINet, 1 KB reads", Seconds(t6, t7), bytes);
  std::printf("ratio ours (with window) / bare 64 KB reads: %.2f\n", Seconds(t0, t1) / Seconds(t2, t3));
  if (smallOk) {
    std::printf("ratio ours (with window) / bare 1 KB reads: %.2f\n", Seconds(t6, t7) / Seconds(t2, t3));
  }
  bool hashingOk = true;
  if (argc == 4) {
    const std::wstring wideDigest = argv[3];
    hashingOk = CompareHashing(url, ourTarget, std::string(wideDigest.begin(), wideDigest.end()), bytes);
  }
  ::DeleteFileW(bareTarget.c_str());
  ::DeleteFileW(ourTarget.c_str());
  return hashingOk ? 0 : 1;
}
