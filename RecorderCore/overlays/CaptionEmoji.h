// The emoji shown above a caption sentence, chosen from its words by a fixed
// keyword table. The table and its index are built once, then only read.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace RecorderCore::CaptionEmoji {

struct Row {
  std::string emoji;
  std::vector<std::string> keywords;  // lower case
};

// The 57 rows, in order; row numbers count from 1.
const std::vector<Row>& table();

struct Entry {
  int row;
  std::string emoji;
};
// Keyword → the first row that lists it.
const std::unordered_map<std::string, Entry>& keywordIndex();

// The emoji for a sentence's words: each word is lower-cased and trimmed of
// everything that is not a letter, mark or number at both ends, then looked
// up; the lowest row found wins (the earlier word on a tie). Nothing when no
// word matches.
std::optional<std::string> emoji(const std::vector<std::string>& words);

}  // namespace RecorderCore::CaptionEmoji
