#include "bootstrap/UserInfoPaths.h"

AnsiPath ChooseAnsiPath(const std::wstring& path, const AnsiPathRules& rules) {
  if (rules.convertsExactly(path)) return {PathForm::kAsItIs, path};
  const std::wstring shortForm = rules.shortForm(path);
  // Where a volume keeps no short names the short form is the path itself, stand-ins and all.
  if (!shortForm.empty() && rules.convertsExactly(shortForm)) return {PathForm::kShort, shortForm};
  return {PathForm::kInexact, path};
}
