#include <cmath>
#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

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

std::vector<std::string> cueTexts(const Project& project) {
  std::vector<std::string> texts;
  for (const auto& cue : project.captionCues()) texts.push_back(cue.text());
  return texts;
}

using Texts = std::vector<std::string>;

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
  ASSERT_EQ(placed.size(), 3u);
  EXPECT_EQ(placed[0].text, "Hi");
  EXPECT_DOUBLE_EQ(placed[0].start, 3);
  EXPECT_DOUBLE_EQ(placed[0].end, 4);
  // The end lies in no clip: 0.2 s after the placed start.
  EXPECT_DOUBLE_EQ(placed[1].start, 10.9);
  EXPECT_DOUBLE_EQ(placed[1].end, 11.1);
  // 22 s of source at 2× after 1 + 10 s: 12 s; a 0 s word lasts 0.05 s.
  EXPECT_DOUBLE_EQ(placed[2].start, 12);
  EXPECT_DOUBLE_EQ(placed[2].end, 12.05);
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
  EXPECT_EQ(cues[0].text(), "we shipped the");
  EXPECT_EQ(cues[1].text(), "app today.");
  // "shipped" (row 4) and "today" (row 20): the lower row wins, for the whole sentence.
  EXPECT_EQ(cues[0].emoji, "\U0001F680");
  EXPECT_EQ(cues[1].emoji, "\U0001F680");
  EXPECT_DOUBLE_EQ(cues[1].emojiStart, 1);
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

TEST(CaptionPreset, SixPresetsWithTheirValues) {
  const auto& presets = CaptionPreset::all();
  ASSERT_EQ(presets.size(), 6u);
  const char* order[] = {"beast", "social", "pill", "boxed", "mono", "clean"};
  for (std::size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(presets[i].id, order[i]);
    EXPECT_EQ(presets[i].style.preset, presets[i].id);
    EXPECT_EQ(presets[i].style.textColor, RGBAColor::white);
    EXPECT_EQ(presets[i].style.positionY, 0.84);
    EXPECT_EQ(presets[i].style.emojiSize, 0.11);
  }
  const CaptionStyle& beast = presets[0].style;
  EXPECT_EQ(beast.fontName, "Impact");
  EXPECT_TRUE(beast.uppercase);
  EXPECT_EQ(beast.strokeWidth, 0.09);
  EXPECT_EQ(beast.maxWordsPerLine, 3);
  EXPECT_EQ(presets[2].style.highlightAsBox, true);
  EXPECT_EQ(presets[3].style.boxColor, (RGBAColor{0, 0, 0, 0.72}));
  EXPECT_EQ(presets[5].style.fontName, std::nullopt);
  EXPECT_FALSE(presets[5].style.highlightCurrentWord);
  EXPECT_EQ(CaptionStyle::highlightSwatches().front(), CaptionStyle::defaultHighlight);
}

TEST(CaptionEditing, SplittingRemovingAndReplacing) {
  Project project = projectWithClips({{0, 100}});
  CaptionWord one = word("hi", 10, 11, true);
  CaptionWord tiny = word("x", 20, 20.02);
  setWords(project, {one, tiny});

  project.editCaptionWord(one.id, "hello world");
  auto& words = project.captions->words;
  ASSERT_EQ(words.size(), 3u);
  EXPECT_EQ(words[0].id, one.id);
  EXPECT_EQ(words[0].lineStart, true);
  EXPECT_DOUBLE_EQ(words[0].end, 10.5);
  EXPECT_EQ(words[1].text, "world");
  EXPECT_DOUBLE_EQ(words[1].start, 10.5);
  EXPECT_DOUBLE_EQ(words[1].end, 11);
  EXPECT_EQ(words[1].lineStart, false) << "the pieces stay on the split word's line";

  project.editCaptionWord(tiny.id, "a\u2028b c");
  EXPECT_NEAR(project.captions->words.back().end - 20, 0.15, 1e-9) << "0.05 s per piece at least";

  const Project before = project;
  project.editCaptionWord(Uuid::random(), "nothing");
  EXPECT_EQ(project, before);

  // Removing the first word of a line moves the break to the next word.
  project.removeCaptionWord(one.id);
  EXPECT_EQ(project.captions->words.front().text, "world");
  EXPECT_EQ(project.captions->words.front().lineStart, true);
  project.editCaptionWord(project.captions->words.front().id, " \n ");
  EXPECT_EQ(project.captions->words.front().text, "a");

  // A block edited as text: matched words keep id and time, new ones share the gaps.
  setWords(project, {word("Hello,", 0, 1), word("big", 1, 2), word("world", 2, 3), word("after", 5, 6)});
  const auto old = project.captions->words;
  project.replaceCaptionText({old[0].id, old[1].id, old[2].id}, "hello small\nwide world");
  const auto& edited = project.captions->words;
  ASSERT_EQ(edited.size(), 5u);
  EXPECT_EQ(edited[0].id, old[0].id);
  EXPECT_EQ(edited[0].text, "hello");
  EXPECT_EQ(edited[0].lineStart, true);
  EXPECT_EQ(edited[1].text, "small");
  EXPECT_EQ(edited[1].lineStart, false);
  EXPECT_EQ(edited[2].text, "wide");
  EXPECT_EQ(edited[2].lineStart, true);
  EXPECT_DOUBLE_EQ(edited[1].start, 1);
  EXPECT_DOUBLE_EQ(edited[2].end, 2);
  EXPECT_EQ(edited[3].id, old[2].id);
  EXPECT_EQ(edited[4].lineStart, true) << "the block stays its own line";
}

TEST(Subtitles, TimestampsAndBlocks) {
  static const struct {
    double seconds;
    const char* text;
  } cases[] = {
      {0, "00:00:00,000"},         {-3, "00:00:00,000"},         {0.0005, "00:00:00,001"},
      {3725.0004, "01:02:05,000"}, {3725.0005, "01:02:05,001"}, {360000, "100:00:00,000"},
      {59.9999, "00:01:00,000"},   {NAN, "00:00:00,000"},
  };
  for (const auto& c : cases) EXPECT_EQ(subtitleTimestamp(c.seconds), c.text) << c.seconds;

  Project project = projectWithClips({{0, 100}});
  setWords(project, {word("solo", 0, 0.4)});
  EXPECT_EQ(project.subtitleText(), "1\n00:00:00,000 --> 00:00:01,000\nsolo\n\n");

  setWords(project, {word("Hello", 1.25, 1.6), word("world.", 1.6, 2.0), word("Next", 2.3, 2.5)});
  project.captions->style.uppercase = true;
  project.captions->hidden = true;
  EXPECT_EQ(project.subtitleText(),
            "1\n00:00:01,250 --> 00:00:02,300\nHello world.\n\n"
            "2\n00:00:02,300 --> 00:00:03,100\nNext\n\n");
  project.captions->words.back().start = 3;
  EXPECT_EQ(project.subtitleText().substr(0, 46), "1\n00:00:01,250 --> 00:00:02,600\nHello world.\n\n");
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

struct GoldenCase {
  const char* name;
  Project project;
};

std::vector<GoldenCase> goldenCases() {
  std::vector<GoldenCase> cases;
  {
    Project plain = projectWithClips({{0, 400}});
    setWords(plain, transcript(1, 300, 0.5), 6);
    cases.push_back({"plain", plain});
  }
  {
    // The same kind of talk with a cut in the middle and a lead-in.
    Project cutProject = projectWithClips({{0, 400}}, 1, 2);
    setWords(cutProject, transcript(2, 300, 0.5), 4, true);
    cutProject.cut(40, 75);
    cases.push_back({"cut", cutProject});
  }
  {
    // A second clip played at double speed.
    Project fast = projectWithClips({{0, 60}});
    fast.clips.push_back(Clip{Uuid::random(), fast.clips[0].assetID, 60, 400, 2});
    setWords(fast, transcript(3, 250, 1.0), 5);
    cases.push_back({"speed2", fast});
  }
  return cases;
}

std::string fixture(const std::string& name) { return std::string(RECORDER_SOURCE_DIR) + "/tests/overlays/fixtures/" + name; }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

// Golden SubRip files. The words' ids are random, but ids never reach the
// text, so the files are stable. RECORDER_UPDATE_GOLDEN=1 rewrites them and
// the cue lists the independent readers are checked against.
TEST(Subtitles, GoldenFiles) {
  const bool update = std::getenv("RECORDER_UPDATE_GOLDEN") != nullptr;
  for (auto& golden : goldenCases()) {
    const std::string text = golden.project.subtitleText();
    json expected = json::array();
    const auto cues = golden.project.captionCues();
    for (std::size_t i = 0; i < cues.size(); ++i) {
      expected.push_back({{"start", subtitleTimestamp(cues[i].start())},
                          {"end", subtitleTimestamp(CaptionCue::endTime(cues, i))},
                          {"text", cues[i].text()}});
    }
    const std::string srtPath = fixture(std::string(golden.name) + ".srt");
    const std::string cuesPath = fixture(std::string(golden.name) + ".cues.json");
    if (update) {
      std::ofstream(srtPath, std::ios::binary) << text;
      std::ofstream(cuesPath, std::ios::binary) << *JSONText::pretty(expected) << "\n";
    }
    EXPECT_EQ(text, readFile(srtPath)) << golden.name;
    EXPECT_EQ(*JSONText::pretty(expected) + "\n", readFile(cuesPath)) << golden.name;
    EXPECT_GT(cues.size(), 40u) << golden.name;
  }
}

}  // namespace
}  // namespace RecorderCore
