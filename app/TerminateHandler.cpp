// How the runtime's faults end this process. Setup.exe's code has no exceptions: memory that
// cannot be had, and the few library errors that would throw (a length past a string's largest,
// an empty function called), end the process after a reason line, as a bootstrapper must. The
// library's throw helpers are defined here, so that its exception classes, their strings and the
// unwinder stay out of the file; a helper that the library needs and this file lacks makes the
// link fail with two definitions, not a larger file.
//
// The runtime's default terminate handler prints the uncaught exception's type through the C++
// demangler, which would be the largest single piece of this executable. A GUI program has no
// console to print to: ending the process is all the handler does here.
#include <windows.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <string>

#include "base/FailureLog.h"

namespace {

// A fault while the reason of another is written (no memory for the line) ends at once.
bool ending = false;

[[noreturn]] void EndProcess(const wchar_t* what, const char* detail, DWORD error) {
  if (!ending) {
    ending = true;
    std::wstring line = what;
    if (detail != nullptr && *detail != '\0') {
      line += L": ";
      for (const char* c = detail; *c != '\0'; ++c) line += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    }
    LogFailure(line + ErrorSuffix(error));
  }
  std::abort();
}

}  // namespace

void* operator new(std::size_t size) {
  // A request of no bytes still gets a block of its own.
  if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
  EndProcess(L"out of memory", nullptr, ERROR_NOT_ENOUGH_MEMORY);
}

namespace __gnu_cxx {

void __verbose_terminate_handler() { std::abort(); }

}  // namespace __gnu_cxx

namespace std {

void __throw_bad_alloc() { EndProcess(L"out of memory", nullptr, ERROR_NOT_ENOUGH_MEMORY); }
void __throw_bad_array_new_length() { EndProcess(L"out of memory", "array length", ERROR_NOT_ENOUGH_MEMORY); }
void __throw_length_error(const char* what) { EndProcess(L"length error", what, ERROR_NOT_ENOUGH_MEMORY); }
void __throw_logic_error(const char* what) { EndProcess(L"logic error", what, ERROR_INVALID_PARAMETER); }
void __throw_out_of_range_fmt(const char* what, ...) { EndProcess(L"out of range", what, ERROR_INVALID_PARAMETER); }
void __throw_bad_function_call() { EndProcess(L"empty function called", nullptr, ERROR_INVALID_FUNCTION); }

}  // namespace std
