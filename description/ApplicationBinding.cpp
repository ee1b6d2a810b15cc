#include "description/ApplicationBinding.h"

#include "description/DescriptionSyntax.h"

bool BindsToApplication(const std::wstring& bound, const std::wstring& running, const SameApplicationName& same) {
  const std::wstring name = TrimDescriptionSpace(bound);
  if (name.empty() || !same) return false;
  return same(name, running);
}
