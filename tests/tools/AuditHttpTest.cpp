// The Content-Length reading the audit shares with the bootstrapper.
#include <gtest/gtest.h>

#include <cstdint>

#include "tools/AuditHttp.h"

namespace {

// Values as Wine's WinINet returned them for HttpQueryInfoW(CONTENT_LENGTH | FLAG_NUMBER).
TEST(BootstrapperContentLength, ReadsTheHeaderAsWinInetDoes) {
  const struct {
    const char* header;
    std::uint32_t value;
  } cases[] = {
      {"1000", 1000u}, {" 77", 77u}, {"12abc", 12u}, {"abc", 0u}, {"", 0u},
      {"-5", 4294967291u}, {"4294967295", 4294967295u}, {"2147483648", 2147483648u},
      {"5000000000", 0u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(BootstrapperContentLength(c.header), c.value) << "'" << c.header << "'";
  }
}

}  // namespace
