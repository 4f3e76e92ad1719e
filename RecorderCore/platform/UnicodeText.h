// Unicode text operations, defined by the Unicode data (through utf8proc)
// rather than by ASCII: decoding and validating UTF-8, case mapping, character
// classes, trimming and splitting by class, and user-perceived characters
// (extended grapheme clusters). Names derived from the product's, headers of
// HTTP requests and caption words all go through here. Bytes that are not
// valid UTF-8 are characters of no class, one byte each, copied unchanged by
// the mappings, so nothing here fails.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace RecorderCore::UnicodeText {

// One code point decoded from UTF-8 and the bytes it took. Bytes that are not
// UTF-8 decode as one invalid byte, so a scan always advances.
struct Decoded {
  char32_t codePoint;
  std::size_t length;
  bool valid;
};
// The code point that starts at byte `at` (< text.size()).
Decoded decodeAt(std::string_view text, std::size_t at);
// Whether the bytes are well-formed UTF-8.
bool isValidUTF8(std::string_view bytes);

// Space separators (general category Zs) and the tab.
bool isSpaceOrTab(char32_t c);
// Any white space, line breaks included: Zs, tab, LF, VT, FF, CR, NEL, U+2028,
// U+2029.
bool isWhiteSpaceOrNewline(char32_t c);
// The line breaks LF, VT, FF, CR, NEL, U+2028 and U+2029.
bool isLineBreak(char32_t c);
// Letters, marks and numbers (general categories L*, M*, N*).
bool isLetterMarkOrNumber(char32_t c);
// Letters and numbers (general categories L*, N*).
bool isLetterOrNumber(char32_t c);

// Removes code points of the class from both ends.
std::string trim(std::string_view text, bool (*inClass)(char32_t));
// Splits at every code point of the class, dropping empty pieces.
std::vector<std::string> split(std::string_view text, bool (*isSeparator)(char32_t));
// Keeps only the code points of the class.
std::string filter(std::string_view text, bool (*keep)(char32_t));
// Maps every code point to its simple lower-case form (one code point for
// one, as the Unicode data defines it).
std::string lowercased(std::string_view text);
// Maps every code point to its simple upper-case form.
std::string uppercased(std::string_view text);
// The user-perceived characters of the text, in order.
std::vector<std::string_view> characters(std::string_view text);
// How many user-perceived characters the text has.
std::size_t characterCount(std::string_view text);

}  // namespace RecorderCore::UnicodeText
