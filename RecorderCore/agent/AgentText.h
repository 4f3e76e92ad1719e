// Text helpers shared by the agent parsers, which read their input by
// user-perceived characters (extended grapheme clusters), as people and the
// rest of the product do.
//
// The one subtlety: an ASCII separator such as " " or "?" is a separator only
// when it is a character of its own. Followed by a combining mark it becomes
// part of a larger character ("?\u0301" is one character, not "?"), and the
// parsers must not cut there.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace RecorderCore::AgentText {


// Returns true when the byte at `at` (an ASCII character of valid UTF-8 text)
// is a whole character: nothing before it joins it and nothing after it
// extends it.
bool standsAlone(std::string_view text, std::size_t at);

// Returns true when a new character begins at `at`: at the end of the text, or
// when the code point there does not extend the ASCII byte just before it.
bool startsCharacterAfterASCII(std::string_view text, std::size_t at);

// Returns the position of the first `separator` character (see standsAlone)
// at or after `from`, or npos.
std::size_t findCharacter(std::string_view text, char separator, std::size_t from = 0);

// Splits at every `separator` character, dropping empty pieces.
std::vector<std::string_view> splitDroppingEmpty(std::string_view text, char separator);

// Splits into at most two pieces, dropping empty pieces: separators met before
// the first piece has begun are skipped, the next one ends it, and everything
// after that (further separators included) is the second piece, unless it is
// empty. "a==b" gives {"a", "=b"}; "=x" gives {"x"}; "==" gives {}.
std::vector<std::string_view> splitOnce(std::string_view text, char separator);


// Returns the text with spaces and tabs removed from both ends.
std::string_view trimSpacesAndTabs(std::string_view text);

}  // namespace RecorderCore::AgentText
