#include "download/TagText.h"

#include <gtest/gtest.h>

namespace {

struct TagCase {
  const wchar_t* text;
  const wchar_t* tag;
  const wchar_t* expected;
};

class ExtractTagTextTest : public testing::TestWithParam<TagCase> {};

TEST_P(ExtractTagTextTest, GivesTheUpperCasedTextOfTheOneTagPair) {
  const TagCase& c = GetParam();
  EXPECT_EQ(ExtractTagText(c.text, c.tag), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ExtractTagTextTest,
    testing::Values(
        TagCase{L"<html><head><title>404 Not Found</title></head>", L"TITLE", L"404 NOT FOUND"},
        TagCase{L"<TITLE>Error 404</TITLE>", L"title", L"ERROR 404"},
        TagCase{L"<Title>Version 2404</tItLe>", L"TITLE", L"VERSION 2404"},
        TagCase{L"<TITLE></TITLE>", L"TITLE", L""},
        TagCase{L"no tags at all", L"TITLE", L""},
        TagCase{L"<TITLE>open only", L"TITLE", L""},
        TagCase{L"close only</TITLE>", L"TITLE", L""},
        // Two opening (or two closing) tags: no title at all.
        TagCase{L"<TITLE>404</TITLE><TITLE>404</TITLE>", L"TITLE", L""},
        TagCase{L"<TITLE>a<TITLE>b</TITLE>", L"TITLE", L""},
        TagCase{L"<TITLE>a</TITLE>b</TITLE>", L"TITLE", L""},
        // A closing tag before the opening one.
        TagCase{L"</TITLE><TITLE>", L"TITLE", L""},
        TagCase{L"<TITLE >spaced</TITLE>", L"TITLE", L""},
        TagCase{L"<H1>x</H1><TITLE>y</TITLE>", L"H1", L"X"},
        // Letters beyond ASCII are left as they are, whatever the locale.
        TagCase{L"<title>\u00e9t\u00e9 404</title>", L"TITLE", L"\u00e9T\u00e9 404"}));

}  // namespace
