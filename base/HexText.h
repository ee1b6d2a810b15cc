#pragma once
// Hexadecimal digits as the description's formats write them: either letter case.
#include <optional>
#include <string_view>
#include <vector>

// The value of one digit; -1 for any other character.
int HexDigitValue(wchar_t c);

// The bytes of a run of digit pairs (none for an empty run); nothing when the run holds an odd
// number of digits or anything besides digits.
std::optional<std::vector<unsigned char>> DecodeHex(std::string_view digits);
