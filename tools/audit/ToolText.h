#pragma once
// Text for the tool's output: description text (widened ANSI) as UTF-8, and JSON strings; and
// the whole numbers of its options.
#include <string>

std::string Utf8(const std::wstring& text);
// `text` (UTF-8) as a quoted JSON string.
std::string JsonString(const std::string& text);
// A decimal whole number from `lowest` to `highest` and nothing else; `value` is left alone
// otherwise.
bool ParseWholeNumber(const std::string& text, int lowest, int highest, int& value);
