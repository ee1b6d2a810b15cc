#pragma once
// Text in the ANSI code page of the system, to and from UTF-16.
#include <string>
#include <vector>

// The text in the ANSI code page, in a zero-filled buffer of exactly kAnsiBufferSize bytes.
// A text that needs more than that does not fit: see AnsiByteCount.
constexpr int kAnsiBufferSize = 1500;
std::vector<char> ToAnsiBuffer(const std::wstring& text);
// Bytes the text takes in the ANSI code page (no terminator); 0 for an empty text, and when the
// conversion fails (GetLastError, read right after, says why).
int AnsiByteCount(const std::wstring& text);
// True when the text converts to the ANSI code page as it is: no character becomes the code
// page's default character or a best-fit look-alike.
bool ConvertsExactlyToAnsi(const std::wstring& text);
// ANSI code page text to UTF-16, up to its first NUL.
std::wstring AnsiToWide(const std::string& text);
// Exactly `count` bytes of ANSI code page text to UTF-16 (NUL bytes included).
std::wstring AnsiBytesToWide(const char* bytes, int count);
