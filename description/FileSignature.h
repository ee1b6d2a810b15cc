#pragma once
// The 13 characters that open every encrypted description, followed by one 0x00 byte. The
// publisher's tool writes them; DecryptDescription refuses a file without them.
#include <cstddef>

inline constexpr wchar_t kFileSignature[] = L"WebSetupEIF/1";
inline constexpr char kFileSignatureBytes[] = "WebSetupEIF/1";
inline constexpr std::size_t kFileSignatureLength = sizeof(kFileSignatureBytes) - 1;
// Signature plus its 0x00: where the first cipher block begins.
inline constexpr std::size_t kDescriptionHeaderLength = kFileSignatureLength + 1;

static_assert(kFileSignatureLength == 13, "the file format fixes the signature at 13 characters");
static_assert(sizeof(kFileSignature) / sizeof(wchar_t) - 1 == kFileSignatureLength,
              "both forms of the signature hold the same characters");
