// Editing the words of a project's caption track. Every edit writes the
// whole track back, and changes nothing when it finds nothing to do.
#include <algorithm>
#include <unordered_set>

#include "RecorderCore/platform/UnicodeText.h"
#include "RecorderCore/project/Project.h"

namespace RecorderCore {
namespace {

// A split or retimed stretch spans at least this much per word.
constexpr double kMinimumPerPiece = 0.05;
// Beyond this many alignment cells a block is too big to align word by word;
// its words are then all treated as new. Caption blocks are a line or two.
constexpr std::size_t kMaxAlignmentCells = 4'000'000;

void sortByStart(std::vector<CaptionWord>& words) {
  std::stable_sort(words.begin(), words.end(),
                   [](const CaptionWord& a, const CaptionWord& b) { return a.start < b.start; });
}

// Times `texts` one after another from `from`, sharing `span` (widened to
// the minimum per piece) by character count.
std::vector<std::pair<double, double>> shareTime(const std::vector<std::string>& texts, double from,
                                                 double span) {
  std::vector<double> weights;
  double total = 0;
  for (const auto& text : texts) {
    weights.push_back(static_cast<double>(std::max<std::size_t>(UnicodeText::characterCount(text), 1)));
    total += weights.back();
  }
  span = std::max(span, static_cast<double>(texts.size()) * kMinimumPerPiece);
  std::vector<std::pair<double, double>> times;
  double cursor = from;
  for (double weight : weights) {
    const double length = weight * span / total;
    times.emplace_back(cursor, std::max(cursor + length, cursor));
    cursor += length;
  }
  return times;
}

std::string normalised(const std::string& text) {
  return UnicodeText::filter(UnicodeText::lowercased(text), UnicodeText::isLetterOrNumber);
}

// For every token, the index of the old word it is aligned with (longest
// common subsequence of the normalised forms), or nothing.
std::vector<std::optional<std::size_t>> align(const std::vector<std::string>& old,
                                              const std::vector<std::string>& tokens) {
  std::vector<std::optional<std::size_t>> match(tokens.size());
  std::size_t prefix = 0;
  while (prefix < old.size() && prefix < tokens.size() && old[prefix] == tokens[prefix]) {
    match[prefix] = prefix;
    ++prefix;
  }
  std::size_t suffix = 0;
  while (suffix < old.size() - prefix && suffix < tokens.size() - prefix &&
         old[old.size() - 1 - suffix] == tokens[tokens.size() - 1 - suffix]) {
    match[tokens.size() - 1 - suffix] = old.size() - 1 - suffix;
    ++suffix;
  }
  const std::size_t n = old.size() - prefix - suffix;
  const std::size_t m = tokens.size() - prefix - suffix;
  if (n == 0 || m == 0 || (n + 1) * (m + 1) > kMaxAlignmentCells) return match;

  // lengths[i][j]: LCS of old[prefix+i…] and tokens[prefix+j…].
  std::vector<std::uint32_t> lengths((n + 1) * (m + 1), 0);
  auto at = [&](std::size_t i, std::size_t j) -> std::uint32_t& { return lengths[i * (m + 1) + j]; };
  for (std::size_t i = n; i-- > 0;) {
    for (std::size_t j = m; j-- > 0;) {
      at(i, j) = old[prefix + i] == tokens[prefix + j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
    }
  }
  for (std::size_t i = 0, j = 0; i < n && j < m;) {
    if (old[prefix + i] == tokens[prefix + j]) {
      match[prefix + j] = prefix + i;
      ++i;
      ++j;
    } else if (at(i + 1, j) >= at(i, j + 1)) {
      ++i;
    } else {
      ++j;
    }
  }
  return match;
}

}  // namespace

void Project::editCaptionWord(Uuid wordID, std::string_view text) {
  const auto pieces = UnicodeText::split(text, UnicodeText::isWhiteSpaceOrNewline);
  if (pieces.empty()) {
    removeCaptionWord(wordID);
    return;
  }
  if (!captions) return;
  auto& words = captions->words;
  const auto found = std::find_if(words.begin(), words.end(), [&](const CaptionWord& w) { return w.id == wordID; });
  if (found == words.end()) return;
  if (pieces.size() == 1) {
    found->text = pieces.front();
    return;
  }
  const CaptionWord original = *found;
  const auto times = shareTime(pieces, original.start, original.end - original.start);
  std::vector<CaptionWord> replacement;
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    CaptionWord word;
    word.id = k == 0 ? original.id : Uuid::random();
    word.text = pieces[k];
    word.start = times[k].first;
    word.end = times[k].second;
    if (k == 0) {
      word.lineStart = original.lineStart;
    } else if (original.lineStart) {
      word.lineStart = false;  // the pieces stay on the split word's line
    }
    replacement.push_back(std::move(word));
  }
  const auto position = words.erase(found);
  words.insert(position, replacement.begin(), replacement.end());
}

void Project::removeCaptionWord(Uuid wordID) {
  if (!captions) return;
  std::vector<CaptionWord> words = captions->words;
  sortByStart(words);
  const auto found = std::find_if(words.begin(), words.end(), [&](const CaptionWord& w) { return w.id == wordID; });
  if (found == words.end()) return;
  // A line that began at the removed word begins at the next one instead.
  if (const auto next = found + 1; found->lineStart == true && next != words.end() && next->lineStart == false) {
    next->lineStart = true;
  }
  words.erase(found);
  captions->words = std::move(words);
}

void Project::replaceCaptionText(const std::vector<Uuid>& wordIDs, std::string_view text) {
  if (!captions) return;
  std::vector<CaptionWord> words = captions->words;
  sortByStart(words);
  const std::unordered_set<Uuid> named(wordIDs.begin(), wordIDs.end());
  auto isKept = [&](const CaptionWord& w) { return named.count(w.id) > 0 || outputTime(w.start).has_value(); };

  std::vector<std::size_t> run;  // indices into `words`
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (named.count(words[i].id) > 0) run.push_back(i);
  }
  if (run.empty()) return;

  // The new text: lines at line breaks, tokens at spaces and tabs.
  std::vector<std::string> tokens;
  std::vector<bool> beginsLine;
  for (const auto& line : UnicodeText::split(text, UnicodeText::isLineBreak)) {
    const auto lineTokens = UnicodeText::split(line, UnicodeText::isSpaceOrTab);
    for (std::size_t k = 0; k < lineTokens.size(); ++k) {
      tokens.push_back(lineTokens[k]);
      beginsLine.push_back(k == 0);
    }
  }

  std::vector<std::string> oldForms;
  for (std::size_t index : run) oldForms.push_back(normalised(words[index].text));
  std::vector<std::string> tokenForms;
  for (const auto& token : tokens) tokenForms.push_back(normalised(token));
  const auto match = align(oldForms, tokenForms);

  const double runStart = words[run.front()].start;
  const double runEnd = words[run.back()].end;
  std::vector<CaptionWord> replacement(tokens.size());
  for (std::size_t k = 0; k < tokens.size();) {
    if (match[k]) {
      const CaptionWord& old = words[run[*match[k]]];
      replacement[k] = CaptionWord{old.id, tokens[k], old.start, std::max(old.end, old.start), std::nullopt};
      ++k;
      continue;
    }
    // A stretch of new tokens, timed inside the gap between its matched
    // neighbours.
    std::size_t stretchEnd = k;
    while (stretchEnd < tokens.size() && !match[stretchEnd]) ++stretchEnd;
    const double gapStart = k == 0 ? runStart : replacement[k - 1].end;
    const double gapEnd = stretchEnd == tokens.size() ? runEnd : words[run[*match[stretchEnd]]].start;
    const std::vector<std::string> stretch(tokens.begin() + static_cast<std::ptrdiff_t>(k),
                                           tokens.begin() + static_cast<std::ptrdiff_t>(stretchEnd));
    const auto times = shareTime(stretch, gapStart, gapEnd - gapStart);
    for (std::size_t s = 0; s < stretch.size(); ++s) {
      replacement[k + s] = CaptionWord{Uuid::random(), stretch[s], times[s].first, times[s].second, std::nullopt};
    }
    k = stretchEnd;
  }
  for (std::size_t k = 0; k < replacement.size(); ++k) replacement[k].lineStart = beginsLine[k];

  // The edited block stays its own line: the first kept word after it
  // begins a line unless it says otherwise.
  for (std::size_t i = run.back() + 1; i < words.size(); ++i) {
    if (!isKept(words[i])) continue;
    if (!words[i].lineStart) words[i].lineStart = true;
    break;
  }

  std::vector<CaptionWord> result;
  result.reserve(words.size() - run.size() + replacement.size());
  const std::unordered_set<std::size_t> inRun(run.begin(), run.end());
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i == run.front()) result.insert(result.end(), replacement.begin(), replacement.end());
    if (inRun.count(i) == 0) result.push_back(words[i]);
  }
  sortByStart(result);
  captions->words = std::move(result);
}

}  // namespace RecorderCore
