#include "RecorderCore/platform/UnicodeText.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

namespace RecorderCore {
namespace {

TEST(UnicodeText, MapsCaseByCharacterAndKeepsBadBytes) {
  static const struct {
    std::string input, lower, upper;
  } cases[] = {
      {"", "", ""},
      {"Product 123", "product 123", "PRODUCT 123"},
      {"ÄÖÜ Größe", "äöü größe", "ÄÖÜ GRÖẞE"},  // one character for one: ß becomes ẞ, not SS
      {"ΣΟΦΙΑ", "σοφια", "ΣΟΦΙΑ"},
      {"Привет", "привет", "ПРИВЕТ"},
      {"Emoji 🎬 Stays", "emoji 🎬 stays", "EMOJI 🎬 STAYS"},
      {"A\xff" "b\xc3", "a\xff" "b\xc3", "A\xff" "B\xc3"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnicodeText::lowercased(c.input), c.lower) << c.input;
    EXPECT_EQ(UnicodeText::uppercased(c.input), c.upper) << c.input;
  }
}

TEST(UnicodeText, ValidatesUTF8) {
  static const struct {
    std::string bytes;
    bool valid;
  } cases[] = {
      {"", true},         {"plain", true},        {"é🎬", true},           {"\xc3", false},
      {"\xc3\x28", false}, {"\xed\xa0\x80", false} /* a surrogate */, {"\xf4\x90\x80\x80", false} /* past U+10FFFF */,
      {"\xc0\xaf", false} /* overlong */,
  };
  for (const auto& c : cases) EXPECT_EQ(UnicodeText::isValidUTF8(c.bytes), c.valid) << c.bytes;
}

TEST(UnicodeText, CharactersAreGraphemeClusters) {
  EXPECT_EQ(UnicodeText::characterCount("e\u0301te\u0301"), 3u);
  EXPECT_EQ(UnicodeText::characterCount("👩‍💻🇫🇷"), 2u);
  EXPECT_EQ(UnicodeText::characterCount("a\xff" "b"), 3u);
  EXPECT_EQ(UnicodeText::trim("\u00a0\t word\u3000", UnicodeText::isSpaceOrTab), "word");
  EXPECT_EQ(UnicodeText::split("one\u2028two\nthree", UnicodeText::isLineBreak),
            (std::vector<std::string>{"one", "two", "three"}));
}

// Invariants over arbitrary bytes: the mappings never fail, are idempotent,
// map ASCII as ASCII does, and keep every character a character.
RC_GTEST_PROP(UnicodeText, CaseMappingIsIdempotentAndKeepsAscii, (const std::string& text)) {
  const std::string lower = UnicodeText::lowercased(text);
  RC_ASSERT(UnicodeText::lowercased(lower) == lower);
  RC_ASSERT(UnicodeText::isValidUTF8(lower) == UnicodeText::isValidUTF8(text));
  bool ascii = true;
  for (unsigned char c : text) ascii = ascii && c < 0x80;
  if (ascii) {
    std::string expectedLower = text, expectedUpper = text;
    for (char& c : expectedLower) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    for (char& c : expectedUpper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    RC_ASSERT(lower == expectedLower);
    RC_ASSERT(UnicodeText::uppercased(text) == expectedUpper);
  }
}

}  // namespace
}  // namespace RecorderCore
