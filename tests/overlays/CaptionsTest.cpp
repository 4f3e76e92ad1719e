#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>
#include <iterator>
#include <tuple>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "RecorderCore/overlays/CaptionEmoji.h"
#include "RecorderCore/overlays/CaptionPreset.h"
#include "RecorderCore/overlays/Subtitles.h"
#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/Project.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

Project projectWithClips(std::vector<std::pair<double, double>> ranges, double speed = 1, double screenStart = 0) {
  Project project = Project::create("Captions", CanvasSettings{1920, 1080, 30}, "1.0");
  project.screenStart = screenStart;
  const Uuid screen = Uuid::random();
  for (auto [from, to] : ranges) project.clips.push_back(Clip{Uuid::random(), screen, from, to, speed});
  return project;
}

CaptionWord word(std::string text, double start, double end, std::optional<bool> lineStart = std::nullopt) {
  return CaptionWord{Uuid::random(), std::move(text), start, end, lineStart};
}

void setWords(Project& project, std::vector<CaptionWord> words, int maxWords = 8, bool emoji = false) {
  CaptionTrack track;
  track.style = CaptionPreset::named("clean")->style;
  track.style.maxWordsPerLine = maxWords;
  track.style.showEmoji = emoji;
  track.words = std::move(words);
  project.captions = track;
}

using Texts = std::vector<std::string>;

Texts cueTexts(const Project& project) {
  Texts texts;
  for (const auto& cue : project.captionCues()) texts.push_back(cue.text());
  return texts;
}

TEST(CaptionCues, PlacementTrimmingAndShortWords) {
  Project noClips = projectWithClips({});
  setWords(noClips, {word("Hi", 1, 2)});
  EXPECT_TRUE(noClips.captionCues().empty());

  // Clip 0–10 s at 1×, then 20–30 s at 2× (placed from 10 s on), lead-in 1 s.
  Project project = projectWithClips({{0, 10}}, 1, 1);
  project.clips.push_back(Clip{Uuid::random(), project.clips[0].assetID, 20, 30, 2});
  setWords(project, {word("  Hi\t", 2, 3), word("   ", 4, 5), word("edge", 9.9, 15), word("late", 22, 22),
                     word("gone", 12, 13)});
  std::vector<CaptionCue::Word> placed;
  for (const auto& cue : project.captionCues()) placed.insert(placed.end(), cue.words.begin(), cue.words.end());
  // "Hi" trimmed; "edge" ends in no clip: 0.2 s after its placed start; "late"
  // is 22 s of source at 2× after 1 + 10 s: 12 s, and lasts 0.05 s.
  const std::vector<std::tuple<std::string, double, double>> expected{
      {"Hi", 3, 4}, {"edge", 10.9, 11.1}, {"late", 12, 12.05}};
  ASSERT_EQ(placed.size(), expected.size());
  for (std::size_t i = 0; i < placed.size(); ++i) {
    const auto& [text, start, end] = expected[i];
    EXPECT_TRUE(placed[i].text == text && std::abs(placed[i].start - start) + std::abs(placed[i].end - end) < 1e-9)
        << placed[i].text << " " << placed[i].start << "–" << placed[i].end;
  }
}

TEST(CaptionCues, LineBreakingRules) {
  Project project = projectWithClips({{0, 100}});
  std::vector<CaptionWord> seven;
  for (int i = 0; i < 7; ++i) seven.push_back(word("w" + std::to_string(i), i * 0.3, i * 0.3 + 0.25));
  setWords(project, seven, 3);
  EXPECT_EQ(cueTexts(project), (Texts{"w0 w1 w2", "w3 w4 w5", "w6"}));
  setWords(project, seven, 0);
  EXPECT_EQ(project.captionCues().size(), 7u);

  setWords(project, {word("Hello.", 0, 1), word("World", 1.1, 1.5)});
  EXPECT_EQ(cueTexts(project), (Texts{"Hello.", "World"}));
  setWords(project, {word("Hello", 0, 1.0), word("World", 1.71, 2)});
  EXPECT_EQ(cueTexts(project), (Texts{"Hello", "World"}));
  setWords(project, {word("Hello", 0, 1.0), word("World", 1.7, 2)});
  EXPECT_EQ(cueTexts(project), (Texts{"Hello World"})) << "the pause must exceed 0.7 s";

  // Explicit marks beat every automatic rule.
  setWords(project, {word("One.", 0, 1), word("two", 5, 6, false), word("three", 6, 7, true)}, 1);
  EXPECT_EQ(cueTexts(project), (Texts{"One. two", "three"}));
}

TEST(CaptionCues, EmojiPerSentenceAndActiveWord) {
  Project project = projectWithClips({{0, 100}});
  setWords(project,
           {word("we", 1, 1.2), word("shipped", 1.3, 1.6), word("the", 1.7, 1.8), word("app", 1.9, 2.1),
            word("today.", 2.2, 2.5), word("Mind-blowing!", 10, 11), word("the", 20, 20.5)},
           3, true);
  const auto cues = project.captionCues();
  ASSERT_EQ(cues.size(), 4u);
  EXPECT_EQ(cueTexts(project), (Texts{"we shipped the", "app today.", "Mind-blowing!", "the"}));
  // "shipped" (row 4) and "today" (row 20): the lower row wins, for the whole sentence.
  EXPECT_TRUE(cues[0].emoji == "\U0001F680" && cues[1].emoji == "\U0001F680" && cues[1].emojiStart == 1);
  EXPECT_EQ(cues[2].emoji, "\U0001F92F");
  EXPECT_FALSE(cues[3].emoji);

  project.captions->style.highlightCurrentWord = true;
  // Cue 2 ends at 11 + 0.6; cue 0 ends where cue 1 starts.
  EXPECT_EQ(project.activeCaption(1.85, cues)->cue.text(), "we shipped the");
  EXPECT_EQ(project.activeCaption(1.85, cues)->wordIndex, 2u);
  EXPECT_EQ(project.activeCaption(1.9, cues)->cue.text(), "app today.");
  EXPECT_EQ(project.activeCaption(11.5, cues)->wordIndex, 0u) << "the last word stays lit until the cue ends";
  EXPECT_FALSE(project.activeCaption(11.6, cues)) << "a cue is gone exactly at its end";
  EXPECT_FALSE(project.activeCaption(0.5, cues));
  project.captions->style.highlightCurrentWord = false;
  EXPECT_FALSE(project.activeCaption(1.85, cues)->wordIndex);
  project.captions->hidden = true;
  EXPECT_FALSE(project.activeCaption(1.85, cues));
}

TEST(CaptionEmoji, KeywordTable) {
  using CaptionEmoji::emoji;
  EXPECT_EQ(CaptionEmoji::table().size(), 57u);
  EXPECT_EQ(emoji({"Launch", "money!"}), "\U0001F4B0");
  EXPECT_EQ(emoji({"the", "of"}), std::nullopt);
  EXPECT_EQ(emoji({"check"}), "\U0001F440") << "row 33 owns check, not row 39";
  EXPECT_EQ(emoji({"Mind-blowing!"}), "\U0001F92F");
  EXPECT_EQ(emoji({"\u00ABSECOND\u00BB"}), "2\uFE0F\u20E3") << "trimmed of Unicode punctuation, keycap kept";
  EXPECT_EQ(emoji({"settings", "fix"}), "\U0001F6E0\uFE0F");
  EXPECT_EQ(CaptionEmoji::keywordIndex().at("check").row, 33);
}

TEST(CaptionPreset, SixPresetsInOrder) {
  std::vector<std::string> ids;
  for (const CaptionPreset& preset : CaptionPreset::all()) {
    ids.push_back(preset.id);
    EXPECT_EQ(preset.style.preset, preset.id);
  }
  EXPECT_EQ(ids, (Texts{"beast", "social", "pill", "boxed", "mono", "clean"}));
}

TEST(CaptionEditing, SplittingRemovingAndReplacing) {
  Project project = projectWithClips({{0, 100}});
  CaptionWord one = word("hi", 10, 11, true);
  CaptionWord tiny = word("x", 20, 20.02);
  setWords(project, {one, tiny});
  project.editCaptionWord(one.id, "hello world");
  const auto& words = project.captions->words;
  ASSERT_EQ(words.size(), 3u);
  EXPECT_TRUE(words[0].id == one.id && words[0].lineStart == true && words[0].end == 10.5);
  EXPECT_TRUE(words[1].text == "world" && words[1].start == 10.5 && words[1].end == 11);
  EXPECT_EQ(words[1].lineStart, false) << "the pieces stay on the split word's line";
  project.editCaptionWord(tiny.id, "a\u2028b c");
  EXPECT_NEAR(project.captions->words.back().end - 20, 0.15, 1e-9) << "0.05 s per piece at least";

  // Removing the first word of a line moves the break to the next word.
  project.removeCaptionWord(one.id);
  EXPECT_TRUE(words.front().text == "world" && words.front().lineStart == true);

  // A block edited as text: matched words keep id and time, new ones share the gaps.
  setWords(project, {word("Hello,", 0, 1), word("big", 1, 2), word("world", 2, 3), word("after", 5, 6)});
  const auto old = project.captions->words;
  project.replaceCaptionText({old[0].id, old[1].id, old[2].id}, "hello small\nwide world");
  const auto& edited = project.captions->words;
  ASSERT_EQ(edited.size(), 5u);
  EXPECT_TRUE(edited[0].id == old[0].id && edited[0].text == "hello" && edited[0].lineStart == true);
  EXPECT_TRUE(edited[1].text == "small" && edited[1].lineStart == false && edited[1].start == 1);
  EXPECT_TRUE(edited[2].text == "wide" && edited[2].lineStart == true && edited[2].end == 2);
  EXPECT_EQ(edited[3].id, old[2].id);
  EXPECT_EQ(edited[4].lineStart, true) << "the block stays its own line";
}

TEST(Subtitles, TimestampsAndBlocks) {
  static const struct {
    double seconds;
    const char* text;
  } cases[] = {
      {-3, "00:00:00,000"},        {NAN, "00:00:00,000"},         {59.9999, "00:01:00,000"},
      {3725.0004, "01:02:05,000"}, {3725.0005, "01:02:05,001"}, {360000, "100:00:00,000"},
  };
  for (const auto& c : cases) EXPECT_EQ(subtitleTimestamp(c.seconds), c.text) << c.seconds;

  Project project = projectWithClips({{0, 100}});
  setWords(project, {word("solo", 0, 0.4)});
  EXPECT_EQ(project.subtitleText(), "1\n00:00:00,000 --> 00:00:01,000\nsolo\n\n");
  // Upper case and hidden are for the picture only.
  setWords(project, {word("Hello", 1.25, 1.6), word("world.", 1.6, 2.0), word("Next", 2.3, 2.5)});
  project.captions->style.uppercase = true;
  project.captions->hidden = true;
  EXPECT_EQ(project.subtitleText(),
            "1\n00:00:01,250 --> 00:00:02,300\nHello world.\n\n2\n00:00:02,300 --> 00:00:03,100\nNext\n\n");
  project.captions.reset();
  EXPECT_EQ(project.subtitleText(), "");
}

// A realistic transcript: sentences of varying length with pauses between
// them, punctuation, a few explicit line breaks.
std::vector<CaptionWord> transcript(std::uint32_t seed, int count, double from) {
  static const char* vocabulary[] = {"so",     "today",  "we",    "are",   "going", "to",     "look",  "at",
                                     "the",    "new",    "export", "panel", "it",    "makes",  "sharing", "your",
                                     "videos", "faster", "and",   "a",     "lot",   "simpler", "check", "this",
                                     "café",   "naïve",  "über",  "money", "bug",   "fixed",  "ship",  "it"};
  std::mt19937 random(seed);
  std::vector<CaptionWord> words;
  double t = from;
  int sentence = 0;
  for (int i = 0; i < count; ++i) {
    std::string text = vocabulary[random() % std::size(vocabulary)];
    if (sentence == 0) text[0] = static_cast<char>(std::toupper(text[0]));
    const double length = 0.15 + (random() % 40) / 100.0;
    ++sentence;
    const bool ends = sentence > 3 && random() % 5 == 0;
    if (ends) text += (random() % 4 == 0) ? "?" : (random() % 4 == 0 ? "!" : ".");
    else if (random() % 11 == 0) text += ",";
    std::optional<bool> lineStart;
    if (random() % 23 == 0) lineStart = true;
    if (random() % 29 == 0) lineStart = false;
    words.push_back(CaptionWord{Uuid::random(), text, t, t + length, lineStart});
    t += length + ((random() % 7 == 0) ? 0.9 : 0.05);
    if (ends) {
      sentence = 0;
      t += (random() % 3 == 0) ? 2.0 : 0.3;
    }
  }
  return words;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Golden SubRip files. The words' ids are random, but ids never reach the
// text, so the files are stable. RECORDER_UPDATE_GOLDEN=1 rewrites them and
// the cue lists the independent readers are checked against.
TEST(Subtitles, GoldenFiles) {
  // Plain talk; the same kind with a cut in the middle and a lead-in; a second
  // clip played at double speed.
  Project plain = projectWithClips({{0, 400}});
  setWords(plain, transcript(1, 300, 0.5), 6);
  Project cut = projectWithClips({{0, 400}}, 1, 2);
  setWords(cut, transcript(2, 300, 0.5), 4, true);
  cut.cut(40, 75);
  Project fast = projectWithClips({{0, 60}});
  fast.clips.push_back(Clip{Uuid::random(), fast.clips[0].assetID, 60, 400, 2});
  setWords(fast, transcript(3, 250, 1.0), 5);

  const std::string fixtures = std::string(RECORDER_SOURCE_DIR) + "/tests/overlays/fixtures/";
  const bool update = std::getenv("RECORDER_UPDATE_GOLDEN") != nullptr;
  for (const auto& [name, project] : {std::pair("plain", &plain), std::pair("cut", &cut), std::pair("speed2", &fast)}) {
    const std::string text = project->subtitleText();
    json expected = json::array();
    const auto cues = project->captionCues();
    for (std::size_t i = 0; i < cues.size(); ++i) {
      expected.push_back({{"start", subtitleTimestamp(cues[i].start())},
                          {"end", subtitleTimestamp(CaptionCue::endTime(cues, i))},
                          {"text", cues[i].text()}});
    }
    const std::string cuesText = *JSONText::pretty(expected) + "\n";
    if (update) {
      std::ofstream(fixtures + name + ".srt", std::ios::binary) << text;
      std::ofstream(fixtures + name + ".cues.json", std::ios::binary) << cuesText;
    }
    EXPECT_EQ(text, readFile(fixtures + name + ".srt")) << name;
    EXPECT_EQ(cuesText, readFile(fixtures + name + ".cues.json")) << name;
    EXPECT_GT(cues.size(), 40u) << name;
  }
}

}  // namespace
}  // namespace RecorderCore
