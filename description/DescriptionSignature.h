#pragma once
// The optional [Signature] section that closes a signed description: an RSASSA-PKCS1-v1_5
// signature with SHA-256 over the exact bytes before the "[" of its header. It is read from the
// plain text as packed (narrow bytes, before widening, comment removal or placeholder expansion),
// so that what was signed is what the signer wrote.
#include <string>
#include <vector>

inline constexpr char kSignatureHeader[] = "[Signature]";

struct DescriptionSignature {
  enum class Form {
    kNone,          // no [Signature] header (letter case ignored) anywhere in the text
    kWellFormed,    // one header, alone on its line, then one line of hex digits, then only line ends
    kTwice,         // the header occurs more than once
    kBadValue,      // the line after the header is empty, holds a non-hex character or an odd count
    kNotLast,       // another section follows the value
    kTrailingText,  // something other than line ends follows the value
  };

  Form form = Form::kNone;
  // Everything before the header's "[" (the whole text when there is no header).
  std::string signedText;
  // The value's bytes, big-endian as written; set only when well formed.
  std::vector<unsigned char> signature;
};

DescriptionSignature FindDescriptionSignature(const std::string& text);

// Why a signature section is not well formed, for the publisher's tool; empty for kWellFormed.
const char* DescribeSignatureForm(DescriptionSignature::Form form);
