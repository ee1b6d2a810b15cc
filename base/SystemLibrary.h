#pragma once
// Libraries that are not among Windows' known DLLs come from the system folder only, never from
// the folder the program was started from: that is a user's Downloads folder, where any web page
// can leave a wininet.dll. The program imports none of them; it calls them through
// SystemFunction, which loads them on first use.
#include <windows.h>

#include <utility>

// Narrows every later library load of the process to the system folder: the process's first act,
// before the runtime's start-up and the static objects. Where the system cannot narrow the default
// search (Windows 7 without its update), it takes the current folder out of the search, and
// LoadSystemLibrary names the system folder in full.
void RestrictLibrarySearch();

// `library` (a file name, "wininet.dll") from the system folder, loaded once for the process.
// Null, with the last error set and a reason line left, when it cannot be loaded.
HMODULE LoadSystemLibrary(const wchar_t* library);

// The function `name` of the system folder's `library`. Null, with the last error set and a
// reason line left, when the library or the function cannot be had.
FARPROC SystemProcedure(const wchar_t* library, const char* name);

// Leaves the reason line of a call to a function that could not be found and sets `error` again
// as the last error, as a failing call of that function would.
void Missing(const wchar_t* library, const char* name, DWORD error);

// A function of a system library, of the pointer type `Pointer` (decltype(&::InternetOpenW)),
// found when the object is made. Called where it could not be found, it fails as the function
// itself fails: it returns the zero value of its result (null, FALSE, 0) with the loader's error as
// the last error, and leaves a reason line.
template <typename Pointer>
class SystemFunction {
 public:
  SystemFunction(const wchar_t* library, const char* name)
      : library_(library), name_(name), address_(Find(library, name)), error_(address_ ? 0 : ::GetLastError()) {}

  template <typename... Args>
  auto operator()(Args&&... args) const {
    if (address_ == nullptr) {
      using Result = decltype(address_(std::forward<Args>(args)...));
      Missing(library_, name_, error_);
      return Result{};
    }
    return address_(std::forward<Args>(args)...);
  }

 private:
  static Pointer Find(const wchar_t* library, const char* name) {
    // Through the one function type that converts to every other without a warning.
    using Any = void (*)();
    return reinterpret_cast<Pointer>(reinterpret_cast<Any>(SystemProcedure(library, name)));
  }

  const wchar_t* library_;
  const char* name_;
  Pointer address_;
  DWORD error_;
};

// Declares `name` in the enclosing namespace as the function of that name in `library`, with the
// signature the system header gives it: a call site reads like the plain call.
#define SETUP_SYSTEM_FUNCTION(library, name)                                  \
  template <typename... Args>                                                 \
  auto name(Args&&... args) {                                                 \
    static const ::SystemFunction<decltype(&::name)> function(library, #name); \
    return function(std::forward<Args>(args)...);                             \
  }
