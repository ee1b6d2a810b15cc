#pragma once
// The format tag: the 13 characters that open every encrypted description, followed by one 0x00
// byte. The publisher's tool writes it; DecryptDescription refuses a file without it. (Not to be
// confused with the [Signature] section that may close the decrypted text.)
#include <cstddef>

inline constexpr wchar_t kFormatTag[] = L"WebSetupEIF/1";
inline constexpr char kFormatTagBytes[] = "WebSetupEIF/1";
inline constexpr std::size_t kFormatTagLength = sizeof(kFormatTagBytes) - 1;
// The tag plus its 0x00: where the first cipher block begins.
inline constexpr std::size_t kDescriptionHeaderLength = kFormatTagLength + 1;

static_assert(kFormatTagLength == 13, "the file format fixes the format tag at 13 characters");
static_assert(sizeof(kFormatTag) / sizeof(wchar_t) - 1 == kFormatTagLength,
              "both forms of the format tag hold the same characters");
