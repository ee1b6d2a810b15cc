// The members of std::string and std::wstring, compiled with the program's own options: each in
// a section of its own, so that the link keeps the ones called. The library's copies of them come
// in two pieces of 33 and 35 KB, which a program takes whole.
#include <string>

template class std::basic_string<char>;
template class std::basic_string<wchar_t>;
