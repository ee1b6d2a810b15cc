#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "description/DescriptionSignature.h"
#include "description/LoadDescription.h"

namespace {

using Form = DescriptionSignature::Form;

const std::string kBody = "[Program to run]\r\nRealSetup.exe\r\n[End]\r\nEnd\r\n";

struct SignatureCase {
  const char* name;
  std::string text;
  Form form;
  std::string signedText;            // checked for every form
  std::vector<unsigned char> bytes;  // the signature, when well formed
};

TEST(DescriptionSignature, ReadsTheTrailingSectionOfThePlainText) {
  const SignatureCase cases[] = {
      {"valid, upper-case digits", kBody + "[Signature]\r\n00FFA1\r\n", Form::kWellFormed, kBody, {0x00, 0xFF, 0xA1}},
      {"header and digits in lower case, no final line end", kBody + "[signature]\n0a0b", Form::kWellFormed,
       kBody, {0x0A, 0x0B}},
      {"several line ends around the value", kBody + "[SIGNATURE]\r\n\r\nab\r\n\n\r\n", Form::kWellFormed,
       kBody, {0xAB}},
      {"signed bytes end where the header begins", "A[Signature]\nab\n", Form::kWellFormed, "A", {0xAB}},
      {"missing", kBody, Form::kNone, kBody, {}},
      {"another bracketed word is no header", kBody + "[Signatures]\nab\n", Form::kNone,
       kBody + "[Signatures]\nab\n", {}},
      {"not last", "[Signature]\r\nab\r\n" + kBody, Form::kNotLast, "", {}},
      {"not last, header without value", kBody + "[Signature]\r\n[Other]\r\nx\r\n", Form::kNotLast, kBody, {}},
      {"two signatures", kBody + "[Signature]\r\nab\r\n[Signature]\r\ncd\r\n", Form::kTwice, kBody, {}},
      {"two signatures, one in a comment", "// [signature]\r\n" + kBody + "[Signature]\r\nab\r\n", Form::kTwice,
       "// ", {}},
      {"odd number of digits", kBody + "[Signature]\r\nabc\r\n", Form::kBadValue, kBody, {}},
      {"non-hex digit", kBody + "[Signature]\r\nag\r\n", Form::kBadValue, kBody, {}},
      {"a byte above 0x7F", kBody + "[Signature]\r\na\xE1\r\n", Form::kBadValue, kBody, {}},
      {"space inside the value", kBody + "[Signature]\r\nab cd\r\n", Form::kBadValue, kBody, {}},
      {"value on the header line", kBody + "[Signature]ab\r\n", Form::kBadValue, kBody, {}},
      {"no value", kBody + "[Signature]\r\n\r\n", Form::kBadValue, kBody, {}},
      {"trailing text", kBody + "[Signature]\r\nab\r\nx\r\n", Form::kTrailingText, kBody, {}},
      {"trailing space", kBody + "[Signature]\r\nab\r\n ", Form::kTrailingText, kBody, {}},
      {"trailing NUL", kBody + "[Signature]\r\nab\r\n" + std::string(1, '\0'), Form::kTrailingText, kBody, {}},
  };
  for (const SignatureCase& c : cases) {
    SCOPED_TRACE(c.name);
    const DescriptionSignature found = FindDescriptionSignature(c.text);
    EXPECT_EQ(found.form, c.form);
    EXPECT_EQ(found.signedText, c.signedText);
    EXPECT_EQ(found.signature, c.bytes);
    EXPECT_EQ(DescribeSignatureForm(found.form)[0] == '\0', c.form == Form::kWellFormed);
  }
}

// A build without a signing key reads a signed description like any other: the section is one
// it does not know, and it ends the list and the value before it.
TEST(DescriptionSignature, IgnoredByTheParser) {
  const std::string plain =
      "[End]\r\nEnd\r\n[Download Sites]\r\nhost1\r\nhost2\r\n[Signature]\r\n" + std::string(768, 'A') + "\r\n";
  ASSERT_EQ(FindDescriptionSignature(plain).form, Form::kWellFormed);
  LoadedDescription loaded = LoadPlainDescription(plain, {});
  ASSERT_TRUE(loaded.Accepted());
  SetupDescription& description = loaded.Description();
  std::vector<std::wstring> sites;
  std::wstring host;
  for (bool more = description.GetFirstSite(host); more; more = description.GetNextSite(host)) sites.push_back(host);
  EXPECT_EQ(sites, (std::vector<std::wstring>{L"host1", L"host2"}));
}

}  // namespace
