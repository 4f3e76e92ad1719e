#include "RecorderCore/project/Project.h"

#include <fstream>
#include <sstream>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/platform/JSONText.h"
#include "tests/project/ProjectGenerators.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

Uuid id(const char* text) { return Uuid::parse(text).value(); }

Date date(const char* text) { return parseISO8601(text).value(); }

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

std::string manifestText(const Project& project) { return JSONText::pretty(json(project)).value(); }

Project decodeText(std::string_view text) { return Coding::decode<Project>(JSONText::parse(text).value()); }

// A project with every record and a good share of the optionals present, with
// fixed identities and dates, as in tests/project/fixtures/golden-manifest.json.
Project goldenProject() {
  Project p;
  p.schemaVersion = 12;
  p.id = id("6F9619FF-8B86-4011-B42D-00C04FC964FF");
  p.name = "Launch demo: part 1/2";
  p.createdAt = date("2024-05-01T12:00:00Z");
  p.modifiedAt = date("2024-05-02T08:30:15Z");
  p.appVersion = "2.4.1";
  p.canvas = {1920, 1080, 60};

  const Uuid screen = id("11111111-1111-4111-8111-111111111111");
  const Uuid camera = id("22222222-2222-4222-8222-222222222222");
  const Uuid logo = id("33333333-3333-4333-8333-333333333333");
  p.assets = {
      {screen, AssetKind::screen, "screen.mov", 42.5, Size{3024, 1964}, 0, Rect{0, 25, 1512, 957}, 2.0, std::nullopt},
      {camera, AssetKind::camera, "camera.mov", 42.25, Size{1280, 720}, 0.125, std::nullopt, std::nullopt,
       std::nullopt},
      {id("44444444-4444-4444-8444-444444444444"), AssetKind::events, "events.json", std::nullopt, std::nullopt, 0,
       std::nullopt, std::nullopt, std::nullopt},
      {logo, AssetKind::image, "logo.png", std::nullopt, Size{512, 512}, 0, std::nullopt, std::nullopt,
       "Company Logo.png"},
  };
  p.clips = {
      {id("55555555-5555-4555-8555-555555555555"), screen, 0, 10, 1},
      {id("66666666-6666-4666-8666-666666666666"), screen, 10, 20, 2},
  };
  p.screenStart = 1.5;
  p.zooms = {{id("77777777-7777-4777-8777-777777777777"), 2, 6.5, Rect{0.25, 0.25, 0.5, 0.5}, 0.6, 0.4,
              Easing::easeInOut, true,
              {{id("88888888-8888-4888-8888-888888888888"), 4, Rect{0.4, 0.3, 0.5, 0.5}}}}};
  p.style.background = BackgroundStyle::solid(RGBAColor{0.1, 0.2, 0.3, 1});
  p.style.deviceFrame = DeviceFrame::browser;
  p.cursor.tint = RGBAColor{1, 0, 0, 0.5};
  p.cursor.style = CursorStyle::ring;
  p.camera.keyframes = {{id("99999999-9999-4999-8999-999999999999"), 5, CameraLayout::sideBySide}};
  p.camera.avatarAssetID = logo;
  p.camera.transition = CameraTransition::twirl;
  p.camera.transitionDuration = 0.8;

  MediaItem title;
  title.id = id("AAAAAAAA-AAAA-4AAA-8AAA-AAAAAAAAAAAA");
  title.assetID = id("BBBBBBBB-BBBB-4BBB-8BBB-BBBBBBBBBBBB");
  title.kind = AssetKind::text;
  title.name = "Title";
  title.start = 0;
  title.end = 4;
  title.frame = {0.1, 0.1, 0.8, 0.2};
  title.inAnimation = MediaAnimation::fade;
  title.outAnimation = MediaAnimation::slideUp;
  title.animationDuration = 0.3;
  title.borderColor = RGBAColor::white;
  title.zIndex = 2;
  title.text = "Ship it → “now”";
  title.textColor = RGBAColor::white;
  title.textStyle = TextStyle{std::nullopt, true, false, false, 0, RGBAColor::black, false, true, RGBAColor::black,
                              0.85, 0.5, 0.55};
  MediaItem arrow;
  arrow.id = id("CCCCCCCC-CCCC-4CCC-8CCC-CCCCCCCCCCCC");
  arrow.assetID = id("DDDDDDDD-DDDD-4DDD-8DDD-DDDDDDDDDDDD");
  arrow.kind = AssetKind::shape;
  arrow.name = "Arrow";
  arrow.start = 3;
  arrow.end = 9;
  arrow.frame = {0.6, 0.6, 0.2, 0.2};
  arrow.rotation = 15;
  arrow.opacity = 0.9;
  arrow.inAnimation = MediaAnimation::draw;
  arrow.outAnimation = MediaAnimation::draw;
  arrow.animationDuration = 1;
  arrow.shadow = true;
  arrow.hidden = true;
  arrow.locked = true;
  arrow.shape = ShapeSpec{ShapeKind::arrow, RGBAColor{1, 0.25, 0.35, 1}, 6, ShapeDirection::downLeft, 18, false, 0.3,
                          false, 0, true, true};
  MediaItem blur;
  blur.id = id("EEEEEEEE-EEEE-4EEE-8EEE-EEEEEEEEEEEE");
  blur.assetID = id("FFFFFFFF-FFFF-4FFF-8FFF-FFFFFFFFFFFF");
  blur.kind = AssetKind::blur;
  blur.name = "Password";
  blur.start = 5;
  blur.end = 7.25;
  blur.frame = {0.3, 0.4, 0.2, 0.05};
  blur.muted = true;
  blur.speed = 1.5;
  blur.volume = 0.5;
  blur.fadeIn = 0.25;
  blur.fadeOut = 0.75;
  blur.sourceOffset = 1.25;
  blur.loops = true;
  blur.blurStyle = "pixelate";
  blur.blurAmount = 0.7;
  p.media = {title, arrow, blur};

  p.audio.micNoiseRemoval = true;
  p.audio.duckMusic = true;
  p.tracks.zooms.hidden = true;
  p.tracks.camera.locked = true;

  CaptionStyle style;
  style.preset = "boxed";
  style.fontName = "Helvetica Neue Bold";
  style.size = 0.045;
  style.boxColor = RGBAColor{0, 0, 0, 0.72};
  style.highlightCurrentWord = true;
  style.highlightColor = CaptionStyle::defaultHighlight;
  style.positionY = 0.84;
  style.maxWordsPerLine = 7;
  style.emojiSize = 0.11;
  p.captions = CaptionTrack{{{id("0A0A0A0A-0A0A-4A0A-8A0A-0A0A0A0A0A0A"), "Hello,", 0.5, 0.9, true},
                             {id("0B0B0B0B-0B0B-4B0B-8B0B-0B0B0B0B0B0B"), "world!", 0.95, 1.4, std::nullopt}},
                            style, false, "en"};
  WatermarkSettings mark;
  mark.enabled = true;
  mark.text = "@acme";
  mark.imageAssetID = logo;
  mark.size = 0.03;
  mark.bold = true;
  mark.opacity = 0.8;
  mark.boxOpacity = 0.4;
  mark.placement = WatermarkPlacement::topRight;
  mark.showBrand = true;
  mark.brandPlacement = WatermarkPlacement::bottomLeft;
  mark.position = Point{0.9, 0.1};
  p.watermark = mark;
  CaptionStyle clean;
  clean.preset = "clean";
  clean.size = 0.045;
  clean.shadow = true;
  clean.highlightColor = RGBAColor{0.588, 0.902, 0.631, 1.0};
  clean.positionY = 0.84;
  clean.maxWordsPerLine = 8;
  clean.showEmoji = true;
  clean.emojiSize = 0.11;
  p.captionStyle = clean;
  p.packageFileName = "Launch demo- part 1:2";
  p.fromVideo = false;
  p.styleName = "Mint";
  return p;
}

const std::string kGoldenPath = RECORDER_SOURCE_DIR "/tests/project/fixtures/golden-manifest.json";

TEST(ProjectJSON, GoldenManifestBytes) {
  const std::string actual = manifestText(goldenProject());
  const std::string expected = readFile(kGoldenPath);
  if (actual != expected) {
    std::ofstream(RECORDER_BINARY_DIR "/golden-manifest.actual.json", std::ios::binary) << actual;
  }
  EXPECT_EQ(actual, expected) << "actual bytes written to " RECORDER_BINARY_DIR "/golden-manifest.actual.json";
  EXPECT_EQ(decodeText(expected), goldenProject());
}

TEST(ProjectJSON, NilOptionalsAreLeftOut) {
  Project project = goldenProject();
  project.captions.reset();
  project.watermark.reset();
  project.fromVideo.reset();
  project.cursor.tint.reset();
  project.assets[0].duration.reset();
  const json encoded = project;
  for (const char* key : {"captions", "watermark", "fromVideo"}) EXPECT_FALSE(encoded.contains(key)) << key;
  EXPECT_FALSE(encoded["cursor"].contains("tint"));
  EXPECT_FALSE(encoded["assets"][0].contains("duration"));
  EXPECT_EQ(Coding::decode<Project>(encoded), project);
  EXPECT_EQ(manifestText(project).find("null"), std::string::npos);
}

// Every required key missing, null or of the wrong type, every unknown raw
// string and every malformed payload enumeration fails the whole decode and
// names where.
TEST(ProjectJSON, StrictDecodingNamesThePath) {
  static const struct {
    const char* pointer;  // JSON pointer into the golden manifest
    const char* value;    // replacement JSON, or nullptr to remove the key
    const char* path;     // expected DecodingError::path()
    const char* message;  // expected message, or nullptr when any will do
  } cases[] = {
      {"/tracks", nullptr, "tracks", "No value associated with key \"tracks\"."},
      {"/assets/0/startOffset", nullptr, "assets[0].startOffset", nullptr},
      {"/clips/1/speed", "null", "clips[1].speed", "Expected a value for key \"speed\" but found null."},
      {"/canvas/width", "\"1920\"", "canvas.width", nullptr},
      {"/canvas/frameRate", "29.97", "canvas.frameRate", nullptr},
      {"/canvas/height", "4294967296", "canvas.height", nullptr},
      {"/schemaVersion", "\"12\"", "schemaVersion", nullptr},
      {"/createdAt", "\"2024-05-01T12:00:00.5Z\"", "createdAt", nullptr},
      {"/id", "\"6f9619ff8b864011b42d00c04fc964ff\"", "id", nullptr},
      {"/assets/2/kind", "\"hologram\"", "assets[2].kind",
       "Cannot initialize AssetKind from invalid String value hologram."},
      {"/zooms/0/easing", "\"bouncy\"", "zooms[0].easing", nullptr},
      {"/zooms/0/keyframes/0/rect/height", nullptr, "zooms[0].keyframes[0].rect.height", nullptr},
      {"/zooms/0/isAuto", "1", "zooms[0].isAuto", nullptr},
      {"/style/background", "{}", "style.background", "Invalid number of keys found, expected one."},
      {"/style/background",
       R"({"solid": {"_0": {"r": 0, "g": 0, "b": 0, "a": 1}}, "image": {"assetID": "11111111-1111-4111-8111-111111111111"}})",
       "style.background", "Invalid number of keys found, expected one."},
      {"/style/background", R"({"plaid": {}})", "style.background", "Invalid number of keys found, expected one."},
      {"/style/background", R"({"solid": {"r": 0, "g": 0, "b": 0, "a": 1}})", "style.background.solid._0", nullptr},
      {"/style/background", R"({"gradient": {"from": {"r": 0, "g": 0, "b": 0, "a": 1}, "to": {"r": 0, "g": 0, "b": 0, "a": 1}}})",
       "style.background.gradient.angle", nullptr},
      {"/style/deviceFrame", "\"iphone\"", "style.deviceFrame", nullptr},
      {"/cursor/clickHighlightColor/a", "true", "cursor.clickHighlightColor.a", nullptr},
      {"/cursor/style", "\"Arrow\"", "cursor.style", nullptr},
      {"/camera/showAvatar", nullptr, "camera.showAvatar", nullptr},
      {"/camera/transition", "\"warp\"", "camera.transition", nullptr},
      {"/camera/keyframes/0/layout", "\"pip\"", "camera.keyframes[0].layout", nullptr},
      {"/camera/bubbleShape", "\"square\"", "camera.bubbleShape", nullptr},
      {"/media/2/speed", nullptr, "media[2].speed", nullptr},
      {"/media/0/inAnimation", "\"spin\"", "media[0].inAnimation", nullptr},
      {"/media/0/textStyle/padding", nullptr, "media[0].textStyle.padding", nullptr},
      {"/media/1/shape/direction", "\"north\"", "media[1].shape.direction", nullptr},
      {"/media/1/shape/shadow", nullptr, "media[1].shape.shadow", nullptr},
      {"/media/1/shape/kind", "\"star\"", "media[1].shape.kind", nullptr},
      {"/audio/micVolume", nullptr, "audio.micVolume", nullptr},
      {"/watermark/placement", "\"middle\"", "watermark.placement", nullptr},
      {"/watermark/boxOpacity", nullptr, "watermark.boxOpacity", nullptr},
      {"/watermark/position", "[0.5, 0.5]", "watermark.position", nullptr},
      {"/captions/style/preset", nullptr, "captions.style.preset", nullptr},
      {"/captions/words/1/id", "\"not-a-uuid\"", "captions.words[1].id", nullptr},
      {"/captions/hidden", "null", "captions.hidden", nullptr},
      {"/captions/style/maxWordsPerLine", "7.5", "captions.style.maxWordsPerLine", nullptr},
      {"/fromVideo", "\"no\"", "fromVideo", nullptr},
  };
  const json golden = JSONText::parse(readFile(kGoldenPath)).value();
  ASSERT_EQ(Coding::decode<Project>(golden), goldenProject());
  for (const auto& c : cases) {
    json broken = golden;
    const json::json_pointer pointer(c.pointer);
    if (c.value == nullptr) {
      broken.at(pointer.parent_pointer()).erase(pointer.back());
    } else {
      ASSERT_TRUE(broken.contains(pointer)) << c.pointer;
      broken[pointer] = json::parse(c.value);
    }
    try {
      Coding::decode<Project>(broken);
      ADD_FAILURE() << c.pointer << " decoded";
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.path(), c.path) << c.pointer << ": " << error.what();
      if (c.message) {
        EXPECT_EQ(error.message(), c.message) << c.pointer;
      }
    }
  }
}

// Optionals may be missing (and null reads as missing); the rest of the
// project still decodes.
TEST(ProjectJSON, MissingOptionalsDecodeAsAbsent) {
  static const char* const optionals[] = {
      "/captions",           "/watermark",          "/packageFileName",     "/fromVideo",
      "/captionStyle",       "/styleName",          "/captionStyle/fontName",          "/assets/0/duration",   "/assets/0/pixelSize",
      "/assets/0/captureRect", "/assets/0/scaleFactor", "/assets/3/originalFilename", "/cursor/tint",
      "/camera/avatarAssetID", "/camera/transition", "/camera/transitionDuration", "/media/0/text",
      "/media/0/textColor",  "/media/0/textStyle",  "/media/1/shape",       "/media/2/blurStyle",
      "/media/2/blurAmount", "/captions/language",  "/captions/words/0/lineStart", "/captions/style/fontName",
      "/captions/style/boxColor", "/watermark/imageAssetID", "/watermark/brandPlacement", "/watermark/position",
      "/watermark/fontName", "/watermark/brandPosition",
  };
  const json golden = JSONText::parse(readFile(kGoldenPath)).value();
  for (const char* key : optionals) {
    const json::json_pointer pointer(key);
    json without = golden;
    if (without.contains(pointer)) without.at(pointer.parent_pointer()).erase(pointer.back());
    Project decoded;
    ASSERT_NO_THROW(decoded = Coding::decode<Project>(without)) << key;
    EXPECT_EQ(json(decoded), without) << key << " comes back as it was read";
    json withNull = golden;
    withNull[pointer] = nullptr;
    EXPECT_EQ(Coding::decode<Project>(withNull), decoded) << key;
  }
}

TEST(ProjectJSON, ManifestKeysAreSorted) {
  const std::string text = manifestText(Project::create("Demo", {1080, 1920, 30}, "1.0"));
  const auto at = [&](const char* key) { return text.find(std::string("\n  \"") + key + "\" : "); };
  EXPECT_LT(at("appVersion"), at("assets"));
  EXPECT_LT(at("assets"), at("audio"));
  EXPECT_LT(at("audio"), at("camera"));
  EXPECT_LT(at("camera"), at("canvas"));
  EXPECT_LT(at("tracks"), at("zooms"));
  EXPECT_NE(at("zooms"), std::string::npos);
}

RC_GTEST_PROP(ProjectJSON, EncodeThenDecodeIsEqual, (const Project& project)) {
  const std::string text = manifestText(project);
  const Project decoded = decodeText(text);
  RC_ASSERT(decoded == project);
  RC_ASSERT(manifestText(decoded) == text);
  RC_TAG(project.captions.has_value(), project.watermark.has_value(), project.captionStyle.has_value());
}

TEST(ProjectJSON, IdentifiersUpperCaseAndDatesISO8601) {
  const json encoded = goldenProject();
  EXPECT_EQ(encoded["createdAt"], "2024-05-01T12:00:00Z");
  EXPECT_EQ(encoded["id"], "6F9619FF-8B86-4011-B42D-00C04FC964FF");
  json lowerCase = encoded;
  lowerCase["id"] = "6f9619ff-8b86-4011-b42d-00c04fc964ff";
  lowerCase["modifiedAt"] = "2024-05-02T10:30:15+02:00";
  EXPECT_EQ(Coding::decode<Project>(lowerCase), goldenProject());
}

TEST(Project, CreateGivesTheDefaults) {
  const Date before = currentDate();
  const Project project = Project::create("Demo", {1080, 1920, 30}, "3.1");
  const Date after = currentDate();
  EXPECT_EQ(project.schemaVersion, 12);
  EXPECT_EQ(project.name, "Demo");
  EXPECT_EQ(project.appVersion, "3.1");
  EXPECT_EQ(project.canvas, (CanvasSettings{1080, 1920, 30}));
  EXPECT_EQ(project.createdAt, project.modifiedAt);
  EXPECT_TRUE(before <= project.createdAt && project.createdAt <= after);
  EXPECT_NE(project.id, Project::create("Demo", {1080, 1920, 30}, "3.1").id);
  EXPECT_TRUE(project.assets.empty() && project.clips.empty() && project.zooms.empty() && project.media.empty());
  EXPECT_EQ(project.screenStart, 0);
  EXPECT_EQ(project.tracks, TrackSettings{});
  EXPECT_FALSE(project.captions || project.watermark || project.packageFileName || project.fromVideo ||
               project.captionStyle || project.styleName);

  // The defaults of style, cursor, camera and audio, as a new project writes them.
  const json encoded = project;
  EXPECT_EQ(encoded["style"], json::parse(R"({
    "background": {"gradient": {"from": {"r": 0.8313725490196079, "g": 0.9882352941176471, "b": 0.4745098039215686, "a": 1.0},
                                "to": {"r": 0.5882352941176471, "g": 0.9019607843137255, "b": 0.6313725490196078, "a": 1.0},
                                "angle": 135.0}},
    "padding": 0.08, "cornerRadius": 16.0, "shadowOpacity": 0.45, "shadowRadius": 40.0, "shadowOffsetY": 20.0,
    "deviceFrame": "none", "motionBlur": 0.5})"));
  EXPECT_EQ(encoded["cursor"], json::parse(R"({
    "visible": true, "size": 3.0, "style": "arrow", "smoothing": 0.6, "clickRipples": true,
    "clickHighlightColor": {"r": 0.588, "g": 0.902, "b": 0.631, "a": 0.85}, "hideWhenIdleAfter": 0.0})"));
  EXPECT_EQ(encoded["camera"], json::parse(R"({
    "layout": "bubbleBottomRight", "keyframes": [], "bubbleSize": 0.24, "bubbleShape": "circle", "mirrored": true,
    "borderWidth": 0.0, "shadow": true, "showAvatar": false})"));
  EXPECT_EQ(encoded["audio"], json::parse(R"({
    "micVolume": 1.0, "systemVolume": 1.0, "micMuted": false, "systemMuted": false, "micNoiseRemoval": false,
    "micLeveling": false, "duckMusic": false, "duckLevel": 0.25})"));
  EXPECT_EQ(encoded["tracks"], json::parse(R"({"screen": {"hidden": false, "locked": false},
    "zooms": {"hidden": false, "locked": false}, "camera": {"hidden": false, "locked": false}})"));
  EXPECT_EQ(&BackgroundStyle::defaultBackground(), &BackgroundStyle::defaultBackground());
}

TEST(Project, LookUps) {
  const Project project = goldenProject();
  EXPECT_EQ(project.firstAsset(AssetKind::camera)->relativePath, "camera.mov");
  EXPECT_EQ(project.firstAsset(AssetKind::events)->relativePath, "events.json");
  EXPECT_FALSE(project.firstAsset(AssetKind::microphone));
  Project twoScreens = project;
  twoScreens.assets.push_back(twoScreens.assets[0]);
  twoScreens.assets.back().relativePath = "second.mov";
  EXPECT_EQ(twoScreens.firstAsset(AssetKind::screen)->relativePath, "screen.mov");
  EXPECT_EQ(project.clip(id("66666666-6666-4666-8666-666666666666")), project.clips[1]);
  EXPECT_FALSE(project.clip(id("77777777-7777-4777-8777-777777777777")));
}

TEST(Project, DurationAndTimelineExtent) {
  Project project = Project::create("Timing", {1920, 1080, 60}, "1.0");
  EXPECT_EQ(project.duration(), 0);
  project.screenStart = 1.5;
  project.clips = {{Uuid::random(), Uuid::random(), 0, 10, 1}, {Uuid::random(), Uuid::random(), 10, 20, 2}};
  EXPECT_DOUBLE_EQ(project.duration(), 16.5);

  MediaItem text;
  text.kind = AssetKind::text;
  text.start = 2;
  text.end = 20;
  project.media.push_back(text);
  EXPECT_DOUBLE_EQ(project.duration(), 20);
  project.media[0].hidden = true;
  EXPECT_DOUBLE_EQ(project.duration(), 16.5);
  EXPECT_DOUBLE_EQ(project.timelineExtent(), 20);

  project.media[0].end = 40;
  EXPECT_DOUBLE_EQ(project.duration(), 16.5);
  EXPECT_DOUBLE_EQ(project.timelineExtent(), 40);

  project.clips.push_back({Uuid::random(), Uuid::random(), 5, 3, 1});
  EXPECT_DOUBLE_EQ(project.duration(), 16.5) << "a clip ending before its start adds nothing";
  EXPECT_EQ(project.clips.back().outputDuration(), 0);
}

TEST(AudioSettings, ProcessedMicFileName) {
  static const struct {
    bool noise, leveling, muted, duck;
    std::optional<std::string> name;
  } cases[] = {
      {false, false, false, false, std::nullopt},
      {true, false, false, false, "mic.clean-n.m4a"},
      {false, true, false, false, "mic.clean-l.m4a"},
      {true, true, false, false, "mic.clean-nl.m4a"},
      {false, false, true, false, std::nullopt},
      {false, false, false, true, std::nullopt},
  };
  for (const auto& c : cases) {
    AudioSettings audio;
    audio.micNoiseRemoval = c.noise;
    audio.micLeveling = c.leveling;
    audio.micMuted = c.muted;
    audio.duckMusic = c.duck;
    EXPECT_EQ(audio.processedMicFileName(), c.name) << c.noise << c.leveling << c.muted << c.duck;
  }
}

TEST(CanvasPreset, BuiltInList) {
  const std::vector<CanvasPreset> expected{
      {"16:9", "16:9 · Landscape", 1920, 1080}, {"9:16", "9:16 · Vertical", 1080, 1920},
      {"1:1", "1:1 · Square", 1080, 1080},      {"4:5", "4:5 · Portrait", 1080, 1350},
      {"4:3", "4:3 · Classic", 1440, 1080},     {"3:2", "3:2", 1620, 1080},
      {"21:9", "21:9 · Ultrawide", 2520, 1080},
  };
  EXPECT_EQ(CanvasPreset::all(), expected);
  for (const auto& preset : CanvasPreset::all()) EXPECT_EQ(std::min(preset.width, preset.height), 1080) << preset.id;
}

TEST(BackgroundStyle, CasesRoundTripAsOneKeyObjects) {
  const Uuid asset = id("11111111-1111-4111-8111-111111111111");
  const struct {
    BackgroundStyle style;
    const char* json;
  } cases[] = {
      {BackgroundStyle::solid({0.5, 0.25, 1, 1}), R"({"solid": {"_0": {"r": 0.5, "g": 0.25, "b": 1, "a": 1}}})"},
      {BackgroundStyle::gradient(RGBAColor::black, RGBAColor::white, 90),
       R"({"gradient": {"from": {"r": 0, "g": 0, "b": 0, "a": 1}, "to": {"r": 1, "g": 1, "b": 1, "a": 1}, "angle": 90}})"},
      {BackgroundStyle::image(asset), R"({"image": {"assetID": "11111111-1111-4111-8111-111111111111"}})"},
      {BackgroundStyle::blurredWallpaper(asset, 24),
       R"({"blurredWallpaper": {"assetID": "11111111-1111-4111-8111-111111111111", "blurRadius": 24}})"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(json(c.style), json::parse(c.json)) << c.json;
    EXPECT_EQ(Coding::decode<BackgroundStyle>(json::parse(c.json)), c.style) << c.json;
  }
  EXPECT_NE(BackgroundStyle::image(asset), BackgroundStyle::blurredWallpaper(asset, 0));
  EXPECT_EQ(BackgroundStyle{}, BackgroundStyle::defaultBackground());
}

}  // namespace
}  // namespace RecorderCore
