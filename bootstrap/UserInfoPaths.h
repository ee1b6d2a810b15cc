#pragma once
// Which form of a path the User Info File carries. The final setup reads the file in the ANSI
// code page, where a letter the code page lacks becomes a stand-in ("?", or a best-fit letter)
// and the path then names nothing: such a path is given in its short (8.3) form when that one
// converts exactly.
#include <functional>
#include <string>

enum class PathForm {
  kAsItIs,   // the path converts exactly
  kShort,    // it does not, its short form does
  kInexact,  // neither does: the path is written as it converts, with stand-ins
};

struct AnsiPath {
  PathForm form;
  std::wstring text;  // what the file carries
};

struct AnsiPathRules {
  // True when the text converts to the ANSI code page without a stand-in.
  std::function<bool(const std::wstring&)> convertsExactly;
  // The short form of a path; empty when there is none. Asked only for a path that needs it.
  std::function<std::wstring(const std::wstring&)> shortForm;
};

AnsiPath ChooseAnsiPath(const std::wstring& path, const AnsiPathRules& rules);
