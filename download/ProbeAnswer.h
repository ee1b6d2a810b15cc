#pragma once
// What the length probe asks and how it reads the answer. Plain text: the publisher's audit
// asks and reads alike.
#include <cstdint>
#include <string>

// Asks for the first byte only. A server that serves ranges answers 206 and names the whole
// length after the slash of its Content-Range; one that does not answers 200 with the whole
// body, whose Content-Length is that length.
inline constexpr wchar_t kFirstByteOnly[] = L"Range: bytes=0-0\r\n";

// LENGTH of "bytes FIRST-LAST/LENGTH"; 0 when unknown ("*"), missing or malformed.
std::uint32_t CompleteLength(const std::wstring& contentRange);

// The length of the whole file that an answer to the probe names: the Content-Range's of a 206,
// the Content-Length of another 2xx; 0 for any other status. An error page is not the file,
// whatever its length.
std::uint32_t ProbedLength(std::uint32_t status, const std::wstring& contentRange,
                           std::uint32_t contentLength);
