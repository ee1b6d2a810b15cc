#pragma once
// Letter case of ASCII text, the same in every locale. Plain text: built natively too.
#include <string>

// ASCII letters upper-cased, every other character kept: positions stay the same.
std::wstring UpperAscii(std::wstring text);
