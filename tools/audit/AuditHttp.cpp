#include "tools/audit/AuditHttp.h"

std::uint32_t BootstrapperContentLength(const std::string& value) {
  std::size_t at = value.find_first_not_of(" \t");
  if (at == std::string::npos) return 0;
  bool negative = false;
  if (value[at] == '+' || value[at] == '-') negative = value[at++] == '-';
  std::uint64_t number = 0;
  for (; at < value.size() && value[at] >= '0' && value[at] <= '9'; ++at) {
    number = number * 10 + static_cast<std::uint64_t>(value[at] - '0');
    if (number > UINT32_MAX) return 0;
  }
  const auto magnitude = static_cast<std::uint32_t>(number);
  return negative ? 0u - magnitude : magnitude;
}

bool FollowsRedirect(const HttpAnswer& answer) {
  const int status = answer.status;
  const bool redirect = status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
  return answer.answered && redirect && !answer.location.empty();
}
