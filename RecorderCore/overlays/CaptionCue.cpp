#include "RecorderCore/overlays/CaptionCue.h"

#include <algorithm>
#include <unordered_map>

#include "RecorderCore/overlays/CaptionEmoji.h"
#include "RecorderCore/platform/UnicodeText.h"
#include "RecorderCore/project/Project.h"

namespace RecorderCore {
namespace {

// A word whose end lies in no clip ends this long after its placed start.
constexpr double kUnplacedEndLength = 0.2;
// A cue word lasts at least this long.
constexpr double kShortestWord = 0.05;
// A silence longer than this starts a new line.
constexpr double kLineGap = 0.7;
// A silence longer than this ends a sentence for the emoji.
constexpr double kSentenceGap = 1.5;

bool endsSentence(const std::string& text) {
  const auto characters = UnicodeText::characters(text);
  if (characters.empty()) return false;
  const std::string_view last = characters.back();
  return last == "." || last == "?" || last == "!";
}

bool cueEndsSentence(const CaptionCue& cue) { return !cue.words.empty() && endsSentence(cue.words.back().text); }

}  // namespace

std::string CaptionCue::text() const {
  std::string joined;
  for (const auto& word : words) {
    if (!joined.empty()) joined += ' ';
    joined += word.text;
  }
  return joined;
}

double CaptionCue::start() const { return words.empty() ? 0 : words.front().start; }

double CaptionCue::lastWordEnd() const { return words.empty() ? 0 : words.back().end; }

std::optional<std::size_t> CaptionCue::currentWordIndex(double t) const {
  std::optional<std::size_t> index;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i].start <= t) index = i;
  }
  return index;
}

double CaptionCue::endTime(const std::vector<CaptionCue>& cues, std::size_t index) {
  const double held = cues[index].lastWordEnd() + hold;
  if (index + 1 < cues.size()) return std::min(held, cues[index + 1].start());
  return held;
}

std::optional<double> Project::outputTime(double sourceTime) const {
  double accumulator = screenStart;
  for (const auto& clip : clips) {
    if (clip.sourceStart <= sourceTime && sourceTime <= clip.sourceEnd) {
      return accumulator + (sourceTime - clip.sourceStart) / clip.speed;
    }
    accumulator += std::max(clip.sourceEnd - clip.sourceStart, 0.0) / clip.speed;
  }
  return std::nullopt;
}

std::vector<CaptionCue> Project::captionCues() const {
  if (!captions || captions->words.empty()) return {};
  const CaptionStyle& captionLook = captions->style;
  const std::size_t maxWords = static_cast<std::size_t>(std::max(captionLook.maxWordsPerLine, 1));

  std::vector<CaptionWord> sorted = captions->words;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const CaptionWord& a, const CaptionWord& b) { return a.start < b.start; });

  std::vector<CaptionCue::Word> placed;
  std::unordered_map<Uuid, bool> lineStarts;
  for (const auto& word : sorted) {
    const auto start = outputTime(word.start);
    if (!start) continue;  // cut out
    double end = outputTime(word.end).value_or(*start + kUnplacedEndLength);
    std::string text = UnicodeText::trim(word.text, UnicodeText::isSpaceOrTab);
    if (text.empty()) continue;
    end = std::max(end, *start + kShortestWord);
    placed.push_back(CaptionCue::Word{word.id, std::move(text), *start, end});
    if (word.lineStart) lineStarts[word.id] = *word.lineStart;
  }
  std::stable_sort(placed.begin(), placed.end(),
                   [](const CaptionCue::Word& a, const CaptionCue::Word& b) { return a.start < b.start; });

  std::vector<CaptionCue> cues;
  CaptionCue line;
  for (auto& word : placed) {
    if (!line.words.empty()) {
      const CaptionCue::Word& last = line.words.back();
      bool closes;
      if (const auto marked = lineStarts.find(word.id); marked != lineStarts.end()) {
        closes = marked->second;
      } else {
        closes = line.words.size() >= maxWords || word.start - last.end > kLineGap || endsSentence(last.text);
      }
      if (closes) {
        cues.push_back(std::move(line));
        line = CaptionCue{};
      }
    }
    line.words.push_back(std::move(word));
  }
  if (!line.words.empty()) cues.push_back(std::move(line));

  if (captionLook.showEmoji) {
    for (std::size_t first = 0; first < cues.size();) {
      std::size_t last = first;
      while (last + 1 < cues.size() && !cueEndsSentence(cues[last]) &&
             cues[last + 1].start() - cues[last].lastWordEnd() <= kSentenceGap) {
        ++last;
      }
      std::vector<std::string> texts;
      for (std::size_t k = first; k <= last; ++k) {
        for (const auto& word : cues[k].words) texts.push_back(word.text);
      }
      const auto chosen = CaptionEmoji::emoji(texts);
      const double emojiStart = cues[first].start();
      for (std::size_t k = first; k <= last; ++k) {
        cues[k].emoji = chosen;
        cues[k].emojiStart = emojiStart;
      }
      first = last + 1;
    }
  }
  return cues;
}

std::optional<ActiveCaption> Project::activeCaption(double t, const std::vector<CaptionCue>& cues) const {
  if (!captions || captions->hidden) return std::nullopt;
  for (std::size_t i = 0; i < cues.size(); ++i) {
    if (cues[i].start() <= t && t < CaptionCue::endTime(cues, i)) {
      ActiveCaption active{cues[i], std::nullopt};
      if (captions->style.highlightCurrentWord) active.wordIndex = cues[i].currentWordIndex(t);
      return active;
    }
  }
  return std::nullopt;
}

}  // namespace RecorderCore
