#pragma once
// Text for the audit's output: description text (widened ANSI) as UTF-8, and JSON strings.
#include <string>

std::string Utf8(const std::wstring& text);
// `text` (UTF-8) as a quoted JSON string.
std::string JsonString(const std::string& text);
