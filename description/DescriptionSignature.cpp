#include "description/DescriptionSignature.h"

#include <cstring>
#include <utility>

#include "base/HexText.h"

namespace {

char UpperAsciiByte(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Where the header begins at or after `from`, letters in any case; npos when nowhere.
std::size_t FindHeader(const std::string& text, std::size_t from) {
  const std::size_t length = std::strlen(kSignatureHeader);
  for (std::size_t at = text.find('[', from); at != std::string::npos && text.size() - at >= length;
       at = text.find('[', at + 1)) {
    std::size_t i = 1;
    while (i < length && UpperAsciiByte(text[at + i]) == UpperAsciiByte(kSignatureHeader[i])) ++i;
    if (i == length) return at;
  }
  return std::string::npos;
}

// The bytes of an even, non-empty run of hex digits; false for anything else.
bool DecodeSignature(const std::string& digits, std::vector<unsigned char>& bytes) {
  std::optional<std::vector<unsigned char>> decoded = DecodeHex(digits);
  if (digits.empty() || !decoded) return false;
  bytes = std::move(*decoded);
  return true;
}

}  // namespace

DescriptionSignature FindDescriptionSignature(const std::string& text) {
  DescriptionSignature found;
  const std::size_t header = FindHeader(text, 0);
  if (header == std::string::npos) {
    found.signedText = text;
    return found;
  }
  found.signedText = text.substr(0, header);
  const std::size_t afterHeader = header + std::strlen(kSignatureHeader);
  if (FindHeader(text, afterHeader) != std::string::npos) {
    found.form = DescriptionSignature::Form::kTwice;
    return found;
  }
  std::size_t valueBegin = afterHeader;
  while (valueBegin < text.size() && IsLineEnd(text[valueBegin])) ++valueBegin;
  std::size_t valueEnd = valueBegin;
  while (valueEnd < text.size() && !IsLineEnd(text[valueEnd])) ++valueEnd;
  std::size_t rest = valueEnd;
  while (rest < text.size() && IsLineEnd(text[rest])) ++rest;

  if (valueBegin == afterHeader || !DecodeSignature(text.substr(valueBegin, valueEnd - valueBegin), found.signature)) {
    found.signature.clear();
    // A header with no line of its own, or whose value line is another section, is not last.
    const bool sectionFollows = text.find('[', afterHeader) != std::string::npos;
    found.form = sectionFollows ? DescriptionSignature::Form::kNotLast : DescriptionSignature::Form::kBadValue;
    return found;
  }
  if (rest != text.size()) {
    found.signature.clear();
    found.form = text.find('[', rest) != std::string::npos ? DescriptionSignature::Form::kNotLast
                                                            : DescriptionSignature::Form::kTrailingText;
    return found;
  }
  found.form = DescriptionSignature::Form::kWellFormed;
  return found;
}

const char* DescribeSignatureForm(DescriptionSignature::Form form) {
  switch (form) {
    case DescriptionSignature::Form::kNone:
      return "the description has no [Signature] section";
    case DescriptionSignature::Form::kWellFormed:
      return "";
    case DescriptionSignature::Form::kTwice:
      return "the description holds more than one [Signature] section";
    case DescriptionSignature::Form::kBadValue:
      return "the [Signature] value is not one line of an even number of hexadecimal digits";
    case DescriptionSignature::Form::kNotLast:
      return "[Signature] is not the last section";
    case DescriptionSignature::Form::kTrailingText:
      return "text other than line ends follows the [Signature] value";
  }
  return "";
}
