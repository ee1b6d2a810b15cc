#pragma once
// Reads the text of a single tag pair, such as a page title. Plain text: built natively too.
#include <string>

// The text between the one opening "<TAG>" and the one closing "</TAG>" of `text`, letter case
// ignored and the result upper-cased. Empty when either tag is missing or occurs more than once,
// or when the closing tag stands before the end of the opening one.
std::wstring ExtractTagText(std::wstring text, std::wstring tag);
