#include <gtest/gtest.h>

#include <cwchar>
#include <optional>
#include <string>
#include <vector>

#include "description/LoadDescription.h"
#include "description/SetupDescription.h"
#include "tests/description/DescriptionFixtures.h"

namespace {

class Description : public testing::Test {
 protected:
  // Loads `plain` and keeps the messages it showed apart from later ones; `description` holds
  // the text as read, refused or not, for the lookups that follow.
  bool LoadText(const std::string& plain) {
    const bool accepted = LoadPlainDescription(plain, RecordingPlatform(shown)).Accepted();
    loadMessages = shown;
    description = SetupDescription::Read(plain, RecordingPlatform(shown));
    shown.clear();
    return accepted;
  }
  // Loads the file at `path`: the refusal, or nothing with `description` holding what loaded.
  std::optional<DescriptionRefusal> LoadFile(const std::wstring& path) {
    LoadedDescription loaded = LoadDescription(path, RecordingPlatform(shown));
    if (!loaded.Accepted()) return loaded.Refusal();
    description = std::move(loaded.Description());
    return std::nullopt;
  }
  std::vector<std::wstring> MessageTexts(const std::vector<ShownMessage>& messages) const {
    std::vector<std::wstring> texts;
    for (const ShownMessage& m : messages) {
      EXPECT_EQ(m.caption, L"Ini Parser");
      texts.push_back(m.text);
    }
    return texts;
  }

  std::vector<ShownMessage> shown;
  std::vector<ShownMessage> loadMessages;
  SetupDescription description{RecordingPlatform(shown)};
};

struct Lookup {
  const char* rule;
  const char* text;
  const wchar_t* section;
  int index;
  const wchar_t* expected;
};

const Lookup kLookups[] = {
    {"header in lower case", "[download sites]\nhost1\n", L"Download Sites", 0, L"host1"},
    {"header in upper case", "[DOWNLOAD SITES]\nhost1\n", L"Download Sites", 0, L"host1"},
    {"header in the middle of a line", "junk [Program to run]setup.exe\n", L"Program to run", 0, L"setup.exe"},
    {"first header wins", "[A]\none\n[a]\ntwo\n", L"A", 0, L"one"},
    {"\"[\" anywhere ends the body", "[A]\nvalue[not a header\n", L"A", 0, L"value"},
    {"\"[\" ends a list", "[A]\nx\ny[z\nw\n", L"A", 2, L""},
    {"value is the first line only", "[A]\nfirst\nsecond\n", L"A", 0, L"first"},
    {"CR LF: a multi-line value keeps its CR", "[A]\r\nfirst\r\nsecond\r\n[B]", L"A", 0, L"first\r"},
    {"CR LF: a one-line body is trimmed", "[A]\r\nonly\r\n[B]", L"A", 0, L"only"},
    {"blank lines before the body", "[A]\n\n \t\n  value  \r\n", L"A", 0, L"value"},
    {"items are not trimmed", "[A]\none\n  two  \nthree", L"A", 1, L"  two  "},
    {"an empty line is an empty item", "[A]\none\n\nthree", L"A", 1, L""},
    {"items after an empty line are still there", "[A]\none\n\nthree", L"A", 2, L"three"},
    {"index past the last line", "[A]\none\ntwo", L"A", 5, L""},
    {"huge index", "[A]\none\ntwo", L"A", 2000000000, L""},
    {"negative index reads item 0", "[A]\none\ntwo", L"A", -3, L"one"},
    {"header without a body", "[A]", L"A", 0, L""},
    {"\"//\" cuts http://", "[Download Sites]\nhttp://host/x\nnext\n", L"Download Sites", 0, L"http:"},
    {"line after a comment stays", "[Download Sites]\nhttp://host/x\nnext\n", L"Download Sites", 1, L"next"},
    {"comment at the very end", "[A]\nvalue // note", L"A", 0, L"value"},
    {"comment hides a header", "// [A]\n[A]\nreal\n", L"A", 0, L"real"},
    {"non-ASCII letters are kept", "[A]\ncaf\xE9\n", L"A", 0, L"caf\xE9"},
};

TEST_F(Description, FormatRules) {
  for (const Lookup& c : kLookups) {
    SCOPED_TRACE(c.rule);
    LoadText(c.text);
    EXPECT_EQ(description.GetItem(c.section, c.index), c.expected);
    EXPECT_TRUE(shown.empty());
    shown.clear();
  }
}

TEST_F(Description, MissingSectionShowsTheMessageAtEveryLookup) {
  LoadText("[End]\nEnd");
  EXPECT_EQ(description.FindSection(L"Program to run"), -1);
  EXPECT_EQ(description.GetValue(L"Program to run"), L"");
  EXPECT_EQ(description.GetItem(L"Program to run", 3), L"");
  EXPECT_EQ(MessageTexts(shown), (std::vector<std::wstring>{L"Tag 'Program to run' not found.",
                                                            L"Tag 'Program to run' not found."}));
}

TEST_F(Description, FindSectionPointsJustAfterTheHeader) {
  LoadText("ab[Cd]xy");
  EXPECT_EQ(description.FindSection(L"cD"), 6);
  EXPECT_EQ(description.FindSection(L"C"), -1);
}

TEST_F(Description, LookupsFindTheFirstOccurrenceWhateverTheBrackets) {
  LoadText("x[A[B]y[[C]]z[D]E][d]w[A[B]");
  const struct {
    const wchar_t* name;
    int position;
  } cases[] = {{L"A[B", 6}, {L"B", 6}, {L"C", 11}, {L"[C", 11}, {L"C]", 12}, {L"D", 16},
               {L"D]E", 18}, {L"E", -1}, {L"A", -1}, {L"", -1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.name, c.name + std::wcslen(c.name)));
    EXPECT_EQ(description.FindSection(c.name), c.position);
  }
}

struct Expansion {
  const char* rule;
  const char* text;
  const wchar_t* section;
  const wchar_t* expected;
  std::vector<std::wstring> missing;  // names of the missing-section messages, in order
};

const Expansion kExpansions[] = {
    {"Program Files Folder", "[A]\n$Program Files Folder$\\x", L"A", L"C:\\Program Files\\x", {}},
    {"Temp Folder", "[A]\n$Temp Folder$", L"A", L"C:\\Users\\u\\Temp", {}},
    {"Desktop Folder", "[A]\n$Desktop Folder$", L"A", L"C:\\Users\\u\\Desktop", {}},
    {"Startmenu Folder", "[A]\n$Startmenu Folder$", L"A", L"C:\\Users\\u\\Start Menu\\Programs", {}},
    {"Application Path drops its backslash", "[A]\n$Application Path$\\a.txt", L"A", L"c:\\apps\\demo\\a.txt", {}},
    {"built-in names are case-sensitive", "[A]\n$temp folder$\n[Temp Folder]\nmine", L"A", L"mine", {}},
    {"unknown name becomes empty", "[A]\nx$temp folder$y", L"A", L"xy", {L"temp folder"}},
    {"section value", "[A]\n$Product$ Info.txt\n[product]\nDemo", L"A", L"Demo Info.txt", {}},
    {"multi-line section gives its first line", "[A]\n<$B$>\n[B]\none\ntwo", L"A", L"<one>", {}},
    {"nested", "[A]\n$B$x\n[B]\n$C$y\n[C]\nz", L"A", L"zyx", {}},
    {"$$ looks up the empty name", "[A]\na$$b", L"A", L"ab", {L""}},
    {"lone $ stays", "[A]\ncost $5", L"A", L"cost $5", {}},
    {"$ pair across lines", "[A]\na$b\nc$d", L"A", L"ad", {L"b\nc"}},
    {"lone $ in a value pairs with a later one", "[A]\n$B$ tail$ end\n[B]\nprice$\n", L"A", L"price end",
     {L" tail"}},
    {"comments go before expansion", "[A]\n$B$\n[B]\nx // $C$", L"A", L"x", {}},
};

TEST_F(Description, Placeholders) {
  for (const Expansion& c : kExpansions) {
    SCOPED_TRACE(c.rule);
    LoadText(c.text);
    EXPECT_EQ(description.GetValue(c.section), c.expected);
    std::vector<std::wstring> expectedMessages;
    for (const std::wstring& name : c.missing) expectedMessages.push_back(L"Tag '" + name + L"' not found.");
    expectedMessages.push_back(L"Tag 'End' not found.");
    EXPECT_EQ(MessageTexts(loadMessages), expectedMessages);
    EXPECT_TRUE(description.PlaceholdersExpanded());
    shown.clear();
  }
}

TEST_F(Description, RunawayExpansionEndsAndIsRefused) {
  const std::string cases[] = {
      "[A]\n$A$\n[End]\nEnd",                // itself
      "[A]\nx$A$$A$\n[End]\nEnd",            // doubles each time
      "[A]\n$B$\n[B]\n$A$\n[End]\nEnd",      // through another section
      "[A]\n$$\n[]\n$$\n[End]\nEnd",         // the empty name holds itself
  };
  for (const std::string& text : cases) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(LoadText(text));
    EXPECT_FALSE(description.PlaceholdersExpanded());
    EXPECT_TRUE(description.HasText());
    EXPECT_LE(description.Text().size(), SetupDescription::ExpandedLengthLimit(text.size()));
  }
}

std::string Repeated(const std::string& piece, int times) {
  std::string text;
  for (int i = 0; i < times; ++i) text += piece;
  return text;
}

// A chain of `levels` sections, each holding a placeholder of the next: [S0] $S1$ ... [Sn] v.
std::string NestedSections(int levels) {
  std::string text = "[A]\n$S1$";
  for (int i = 1; i < levels; ++i) text += "\n[S" + std::to_string(i) + "]\n$S" + std::to_string(i + 1) + "$";
  return text + "\n[S" + std::to_string(levels) + "]\nv\n[End]\nEnd";
}

TEST_F(Description, ExpansionBoundsLeaveRoomForRealDescriptions) {
  const std::string tail = "\n[P]\nv\n[End]\nEnd";
  EXPECT_TRUE(LoadText("[A]\n" + Repeated("$P$", 10000) + tail));
  EXPECT_EQ(description.GetValue(L"A"), std::wstring(10000, L'v'));

  EXPECT_TRUE(LoadText(NestedSections(32)));
  EXPECT_EQ(description.GetValue(L"A"), L"v");
  EXPECT_FALSE(LoadText(NestedSections(33)));

  const std::string big = "\n[P]\n" + std::string(100, 'w') + "\n[End]\nEnd";
  // k uses: 119 + 3k characters expand to 119 + 100k, which passes 16 times the size at k = 35.
  EXPECT_TRUE(LoadText("[A]\n" + Repeated("$P$", 34) + big));
  EXPECT_FALSE(LoadText("[A]\n" + Repeated("$P$", 35) + big));
}

TEST_F(Description, EachUnknownPlaceholderIsToldOncePerLoad) {
  LoadText("[A]\n" + Repeated("$Nowhere$", 2000) + "$Elsewhere$$Nowhere$\n[End]\nEnd");
  EXPECT_EQ(MessageTexts(loadMessages),
            (std::vector<std::wstring>{L"Tag 'Nowhere' not found.", L"Tag 'Elsewhere' not found."}));
  LoadText("[A]\n$Nowhere$\n[End]\nEnd");
  EXPECT_EQ(MessageTexts(loadMessages), (std::vector<std::wstring>{L"Tag 'Nowhere' not found."}));
}

struct EndMarker {
  const char* text;
  bool loads;
};

TEST_F(Description, EndMarker) {
  const EndMarker cases[] = {
      {"[End]\nEnd", true},     {"[end]\r\nEnd\r\n", true}, {"x[End]End", true},
      {"[End]\nend", false},    {"[End]\nEnd more", false}, {"[End]\nEndless", false},
      {"[End]\n\nEnd", true},   {"no marker", false},       {"", false},
  };
  for (const EndMarker& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(LoadText(c.text), c.loads);
    EXPECT_EQ(description.HasText(), std::string(c.text).size() > 0);
  }
  LoadText("no marker");
  EXPECT_EQ(MessageTexts(loadMessages), std::vector<std::wstring>{L"Tag 'End' not found."});
}

TEST_F(Description, LoadDecryptsWithTheEmbeddedKey) {
  TempFolder folder;
  using Kind = DescriptionRefusal::Kind;
  const std::wstring good = folder.Write("good.eif", PackWithEmbeddedKey("[Program to run]\nrun.exe\n[End]\nEnd\n"));
  EXPECT_FALSE(LoadFile(good));
  EXPECT_EQ(description.GetValue(L"Program to run"), L"run.exe");

  const std::optional<DescriptionRefusal> wrongEnd = LoadFile(folder.Write("end.eif", PackWithEmbeddedKey("[End]\nend")));
  ASSERT_TRUE(wrongEnd);
  EXPECT_EQ(wrongEnd->kind, Kind::kNoEndMarker);

  std::string damaged = PackWithEmbeddedKey("[End]\nEnd");
  damaged.back() ^= 0x01;
  const std::optional<DescriptionRefusal> notDecrypted = LoadFile(folder.Write("bad.eif", damaged));
  ASSERT_TRUE(notDecrypted);
  EXPECT_EQ(notDecrypted->kind, Kind::kNotDecrypted);
  EXPECT_EQ(notDecrypted->decryption, DecryptionFailure::kBlockRefused);
  EXPECT_EQ(notDecrypted->failedBlock, 1u);
  EXPECT_TRUE(shown.empty());

  const std::optional<DescriptionRefusal> plain = LoadFile(folder.Write("plain.eif", "[End]\nEnd"));
  ASSERT_TRUE(plain);
  EXPECT_EQ(plain->decryption, DecryptionFailure::kNoFormatTag);

  const std::wstring cut = folder.Write("zero-byte.eif", PackWithEmbeddedKey(std::string("[A]\nx\0[End]\nEnd", 15)));
  const std::optional<DescriptionRefusal> cutOff = LoadFile(cut);  // read up to the 0x00: no [End]
  ASSERT_TRUE(cutOff);
  EXPECT_EQ(cutOff->kind, Kind::kNoEndMarker);
}

TEST_F(Description, FileWalk) {
  LoadText("[Files to download]\n /a/b.exe -> b.exe \r\n/c->c\n/d -> e->f\nno arrow\n/g -> \n -> h\n/i -> i\n\n/j -> j");
  std::wstring source, target;
  ASSERT_TRUE(description.GetFirstFile(source, target));
  EXPECT_EQ(source + L"|" + target, L"/a/b.exe|b.exe");
  ASSERT_TRUE(description.GetNextFile(source, target));
  EXPECT_EQ(source + L"|" + target, L"/c|c");
  ASSERT_TRUE(description.GetNextFile(source, target));
  EXPECT_EQ(source + L"|" + target, L"/d|e->f");
  EXPECT_FALSE(description.GetNextFile(source, target));  // no arrow: both empty
  EXPECT_EQ(source + target, L"");
  EXPECT_FALSE(description.GetNextFile(source, target));  // empty target
  EXPECT_EQ(source, L"/g");
  EXPECT_FALSE(description.GetNextFile(source, target));  // empty source
  ASSERT_TRUE(description.GetNextFile(source, target));   // malformed items still advance
  EXPECT_EQ(source + L"|" + target, L"/i|i");
  EXPECT_FALSE(description.GetNextFile(source, target));  // empty line: stays there
  EXPECT_FALSE(description.GetNextFile(source, target));
  ASSERT_TRUE(description.GetFirstFile(source, target));
  EXPECT_EQ(source, L"/a/b.exe");
  EXPECT_TRUE(shown.empty());
}

TEST_F(Description, SiteWalk) {
  LoadText("[Download Sites]\n h1 \r\nh2:8080\n   \nh3\n\nh4");
  std::wstring host;
  ASSERT_TRUE(description.GetFirstSite(host));
  EXPECT_EQ(host, L"h1");
  ASSERT_TRUE(description.GetNextSite(host));
  EXPECT_EQ(host, L"h2:8080");
  EXPECT_FALSE(description.GetNextSite(host));  // spaces: false, but moves on
  ASSERT_TRUE(description.GetNextSite(host));
  EXPECT_EQ(host, L"h3");
  EXPECT_FALSE(description.GetNextSite(host));  // empty line: stays
  EXPECT_FALSE(description.GetNextSite(host));
  EXPECT_EQ(host, L"");
  ASSERT_TRUE(description.GetFirstSite(host));
  EXPECT_EQ(host, L"h1");
}

TEST_F(Description, WalksOfMissingListsShowTheMessage) {
  LoadText("[End]\nEnd");
  std::wstring a, b;
  EXPECT_FALSE(description.GetFirstFile(a, b));
  EXPECT_FALSE(description.GetFirstSite(a));
  EXPECT_FALSE(description.GetNextFile(a, b));  // again at every step
  EXPECT_EQ(MessageTexts(shown), (std::vector<std::wstring>{L"Tag 'Files to download' not found.",
                                                            L"Tag 'Download Sites' not found.",
                                                            L"Tag 'Files to download' not found."}));
}

// Each listed file as "source|target".
std::vector<std::wstring> Joined(const std::vector<ListedFile>& files) {
  std::vector<std::wstring> joined;
  for (const ListedFile& file : files) joined.push_back(file.source + L"|" + file.target);
  return joined;
}

struct Lists {
  const char* rule;
  const char* text;
  std::vector<std::wstring> files;  // "source|target"
  std::vector<std::wstring> sites;
};

const Lists kLists[] = {
    {"up to the first unusable item",
     "[Files to download]\n /a/b.exe -> b.exe \r\n/c->c\n/d -> e->f\nno arrow\n/i -> i\n"
     "[Download Sites]\n h1 \r\nh2:8080\n   \nh3\n",
     {L"/a/b.exe|b.exe", L"/c|c", L"/d|e->f"}, {L"h1", L"h2:8080"}},
    {"an empty side ends the files", "[Files to download]\n/a -> a\n/g -> \n/i -> i", {L"/a|a"}, {}},
    {"an empty line ends the sites", "[Download Sites]\nh1\n\nh2", {}, {L"h1"}},
    {"blank lines before the body", "[download sites]\n\n \t\n  h1  \r\n", {}, {L"h1"}},
    {"empty sections", "[Files to download]\n[Download Sites]\n", {}, {}},
    {"missing sections", "[End]\nEnd", {}, {}},
    {"placeholders are expanded first", "[Files to download]\n/$D$/a -> a\n[D]\nx\n[Download Sites]\n$H$\n[H]\nh9",
     {L"/x/a|a"}, {L"h9"}},
    {"\"[\" ends a list", "[Download Sites]\nh1\nh2[x]\nh3", {}, {L"h1", L"h2"}},
};

TEST_F(Description, ListsAreWhatAWalkFromTheFirstItemReads) {
  for (const Lists& c : kLists) {
    SCOPED_TRACE(c.rule);
    LoadText(c.text);
    shown.clear();
    EXPECT_EQ(Joined(description.ListedFiles()), c.files);
    EXPECT_EQ(description.Sites(), c.sites);
    EXPECT_TRUE(shown.empty());  // the lists themselves never show the message

    std::vector<std::wstring> walkedFiles, walkedSites;
    std::wstring source, target, host;
    for (bool more = description.GetFirstFile(source, target); more; more = description.GetNextFile(source, target)) {
      walkedFiles.push_back(source + L"|" + target);
    }
    for (bool more = description.GetFirstSite(host); more; more = description.GetNextSite(host)) {
      walkedSites.push_back(host);
    }
    EXPECT_EQ(walkedFiles, c.files);
    EXPECT_EQ(walkedSites, c.sites);
  }
}

TEST_F(Description, ListsFollowEveryRead) {
  TempFolder folder;
  const std::string files = "[Files to download]\n/a -> a\n[Download Sites]\nh1\n";
  EXPECT_FALSE(LoadText(files + "[End]\nend"));  // refused, but read: the lists stand
  EXPECT_EQ(Joined(description.ListedFiles()), std::vector<std::wstring>{L"/a|a"});
  EXPECT_FALSE(LoadText("[Files to download]\n/b -> $B$\n[B]\n$B$x\n[End]\nEnd"));  // expansion stopped
  EXPECT_EQ(description.ListedFiles().size(), 1u);
  ASSERT_FALSE(LoadFile(folder.Write("d.eif", PackWithEmbeddedKey(files + "[End]\nEnd"))));
  EXPECT_EQ(description.Sites(), std::vector<std::wstring>{L"h1"});
  description = SetupDescription(RecordingPlatform(shown));  // nothing read: no lists
  EXPECT_TRUE(description.ListedFiles().empty());
  EXPECT_TRUE(description.Sites().empty());
  std::wstring host;
  shown.clear();
  EXPECT_FALSE(description.GetFirstSite(host));
  EXPECT_EQ(MessageTexts(shown), std::vector<std::wstring>{L"Tag 'Download Sites' not found."});
}

TEST(DescriptionWithoutPlatform, WidensBytesAndStaysQuiet) {
  const LoadedDescription loaded = LoadPlainDescription("[A]\n\xE9$Temp Folder$$Application Path$$missing$\n[End]\nEnd", {});
  ASSERT_TRUE(loaded.Accepted());
  const SetupDescription& description = loaded.Description();
  EXPECT_EQ(description.GetValue(L"A"), L"\xE9");
  EXPECT_EQ(description.GetValue(L"missing"), L"");
}

}  // namespace
