#pragma once
// How a transfer knows an error page that came with a success status: "404" in its title.
// Plain text: the publisher's audit applies the same rule natively.
#include <cstddef>
#include <string>

// The check looks at what arrives within the first this many bytes of a body.
inline constexpr std::size_t kTitleCheckBytes = 1024;

// Whether the TITLE of `text` (the widened bytes) holds "404".
bool TitleSays404(const std::wstring& text);
