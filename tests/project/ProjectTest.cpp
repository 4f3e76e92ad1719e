#include "RecorderCore/project/Project.h"

#include <cmath>
#include <cstdio>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/motion/CameraTransition.h"
#include "RecorderCore/platform/JSONText.h"
#include "tests/project/ProjectGenerators.h"
#include "tests/project/TestSupport.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

Uuid id(const char* text) { return Uuid::parse(text).value(); }
Date date(const char* text) { return parseISO8601(text).value(); }
std::string manifestText(const Project& project) { return JSONText::pretty(json(project)).value(); }

json goldenJSON() {
  return JSONText::parse(TestSupport::readBytes(TestSupport::fixture("golden-manifest.json"))).value();
}
Project goldenProject() { return Coding::decode<Project>(goldenJSON()); }

// fixtures/golden-manifest.json holds every record and most optionals; read
// and written again it gives the same bytes. The values checked pin keys of
// the same type that a swap in both directions would still round-trip.
TEST(ProjectJSON, GoldenManifests) {
  const Project golden = goldenProject();
  EXPECT_TRUE(TestSupport::matchesGolden(manifestText(golden), "golden-manifest.json"));
  EXPECT_EQ(golden.name, "Launch demo: part 1/2");
  EXPECT_EQ(golden.clips[1].speed, 2);
  EXPECT_EQ(golden.zooms[0].inDuration, 0.6);
  EXPECT_EQ(golden.assets[0].captureRect, (Rect{0, 25, 1512, 957}));
  EXPECT_EQ(golden.media[1].shape->direction, ShapeDirection::downLeft);
  EXPECT_EQ(golden.media[2].fadeIn, 0.25);
  EXPECT_TRUE(golden.media[1].hidden && golden.media[1].locked && !golden.media[0].hidden);
  EXPECT_TRUE(golden.tracks.zooms.hidden && golden.tracks.camera.locked && !golden.tracks.screen.hidden);
  EXPECT_EQ(golden.watermark->position, (Point{0.9, 0.1}));
  EXPECT_TRUE(golden.audio.micNoiseRemoval && golden.audio.duckMusic && !golden.audio.micLeveling);

  // A new project, with the defaults of every record.
  const Date before = currentDate();
  Project fresh = Project::create("Demo", {1080, 1920, 30}, "3.1");
  EXPECT_TRUE(before <= fresh.createdAt && fresh.createdAt <= currentDate());
  EXPECT_EQ(fresh.createdAt, fresh.modifiedAt);
  EXPECT_NE(fresh.id, Project::create("Demo", {1080, 1920, 30}, "3.1").id);
  fresh.id = id("6F9619FF-8B86-4011-B42D-00C04FC964FF");
  fresh.createdAt = fresh.modifiedAt = date("2024-05-01T12:00:00Z");
  EXPECT_TRUE(TestSupport::matchesGolden(manifestText(fresh), "new-project.json"));
}

bool holdsNull(const json& value) {
  if (value.is_null()) return true;
  if (!value.is_structured()) return false;
  for (const json& element : value) {
    if (holdsNull(element)) return true;
  }
  return false;
}

// Absent optionals are left out rather than written as null, so the
// round trip cannot rely on null reading as absent.
RC_GTEST_PROP(ProjectJSON, EncodeThenDecodeIsEqual, (const Project& project)) {
  const json encoded = project;
  RC_ASSERT(!holdsNull(encoded));
  const std::string text = manifestText(project);
  const Project decoded = Coding::decode<Project>(JSONText::parse(text).value());
  RC_ASSERT(decoded == project);
  RC_ASSERT(manifestText(decoded) == text);
}

// One case per way a decode can fail: each fails the whole project and
// names where.
TEST(ProjectJSON, StrictDecodingNamesThePath) {
  static const struct {
    const char* pointer;  // into the golden manifest
    const char* value;    // replacement JSON, or nullptr to remove the key
    const char* path;     // expected DecodingError::path()
    const char* message;  // expected message, or nullptr when any will do
  } cases[] = {
      {"/tracks", nullptr, "tracks", "No value associated with key \"tracks\"."},
      {"/clips/1/speed", "null", "clips[1].speed", "Expected a value for key \"speed\" but found null."},
      {"/canvas/width", "\"1920\"", "canvas.width", nullptr},
      {"/canvas/frameRate", "29.97", "canvas.frameRate", nullptr},
      {"/createdAt", "\"2024-05-01T12:00:00.5Z\"", "createdAt", nullptr},
      {"/id", "\"6f9619ff8b864011b42d00c04fc964ff\"", "id", nullptr},
      {"/assets/2/kind", "\"hologram\"", "assets[2].kind",
       "Cannot initialize AssetKind from invalid String value hologram."},
      {"/zooms/0/keyframes/0/rect/height", nullptr, "zooms[0].keyframes[0].rect.height", nullptr},
      {"/style/background", "{}", "style.background", "Invalid number of keys found, expected one."},
      {"/style/background", R"({"solid": {"r": 0, "g": 0, "b": 0, "a": 1}})", "style.background.solid._0", nullptr},
      {"/fromVideo", "\"no\"", "fromVideo", nullptr},  // a present optional of the wrong type
  };
  const json golden = goldenJSON();
  for (const auto& c : cases) {
    json broken = golden;
    const json::json_pointer pointer(c.pointer);
    if (c.value == nullptr) {
      broken.at(pointer.parent_pointer()).erase(pointer.back());
    } else {
      broken.at(pointer) = json::parse(c.value);
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
  // An optional that is null reads as absent.
  json nullCaptions = golden;
  nullCaptions["captions"] = nullptr;
  EXPECT_EQ(Coding::decode<Project>(nullCaptions).captions, std::nullopt);
}

TEST(Project, LookUpsDurationAndTimelineExtent) {
  const Project golden = goldenProject();
  EXPECT_EQ(golden.firstAsset(AssetKind::events)->relativePath, "events.json");
  EXPECT_FALSE(golden.firstAsset(AssetKind::microphone));
  EXPECT_EQ(golden.clip(id("66666666-6666-4666-8666-666666666666")), golden.clips[1]);
  EXPECT_FALSE(golden.clip(id("77777777-7777-4777-8777-777777777777")));

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
  project.media[0].end = 40;
  EXPECT_DOUBLE_EQ(project.duration(), 16.5);
  EXPECT_DOUBLE_EQ(project.timelineExtent(), 40);
  project.clips.push_back({Uuid::random(), Uuid::random(), 5, 3, 1});
  EXPECT_DOUBLE_EQ(project.duration(), 16.5) << "a clip ending before its start adds nothing";
}

TEST(Primitives, UuidsDatesAndEasings) {
  EXPECT_EQ(Uuid::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f")->uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
  for (const char* bad : {"E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5G",
                          "E621E1F8-C36C-495A-93FC-0C247A3E6E5F0", "E621E1F8+C36C-495A-93FC-0C247A3E6E5F"}) {
    EXPECT_FALSE(Uuid::parse(bad)) << bad;
  }
  EXPECT_NE(Uuid::random(), Uuid::random());
  EXPECT_EQ(Uuid::random().uuidString()[14], '4');

  EXPECT_EQ(iso8601(date("2024-05-01T14:30:00+02:30")), "2024-05-01T12:00:00Z");
  EXPECT_EQ(parseISO8601("2024-05-01T07:00:00-0500"), date("2024-05-01T12:00:00Z"));
  for (const char* bad : {"2024-05-01T12:00:00", "2024-05-01T12:00:00.5Z", "2024-02-30T12:00:00Z",
                          "2024-05-01 12:00:00Z"}) {
    EXPECT_FALSE(parseISO8601(bad)) << bad;
  }

  static const struct {
    Easing easing;
    double t, value;
  } curves[] = {
      {Easing::linear, 0.25, 0.25},
      {Easing::easeInOut, 0.25, 0.0625},  // 4·x³
      {Easing::easeInOut, 0.75, 0.9375},  // 1 − (2 − 2x)³/2
      {Easing::easeOut, 0.5, 0.875},
      {Easing::spring, 0.1, 0.5 * std::sin(0.25 * 2.0943951023931953) + 1},
  };
  for (const auto& c : curves) EXPECT_DOUBLE_EQ(evaluate(c.easing, c.t), c.value) << rawValue(c.easing) << c.t;
  for (Easing easing : allEasings) {
    for (double t : {-3.0, 0.0, double(NAN)}) EXPECT_EQ(evaluate(easing, t), 0) << rawValue(easing) << " at " << t;
    for (double t : {1.0, 2.0}) EXPECT_EQ(evaluate(easing, t), 1) << rawValue(easing) << " at " << t;
  }
}

RC_GTEST_PROP(Primitives, UuidTextAndHexColoursParseBack, (const Uuid& id, std::uint8_t r, std::uint8_t g,
                                                           std::uint8_t b)) {
  RC_ASSERT(Uuid::parse(id.uuidString()) == id);
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", r, g, b);
  RC_ASSERT(RGBAColor::parseHex(text)->hexString() == text);
}

TEST(Primitives, HexColours) {
  static const struct {
    const char* text;
    std::optional<RGBAColor> color;
  } cases[] = {
      {"#D4FC79", RGBAColor{212 / 255.0, 252 / 255.0, 121 / 255.0, 1}},
      {"#11223344", RGBAColor{0x11 / 255.0, 0x22 / 255.0, 0x33 / 255.0, 0x44 / 255.0}},
      {"\u00A0\t96e6A1\u3000", RGBAColor{150 / 255.0, 230 / 255.0, 161 / 255.0, 1}},  // Unicode spaces trim too
      {"+FFFFF", RGBAColor{0x0F / 255.0, 1, 1, 1}},  // the integer parse takes one plus sign
      {"#FFF", std::nullopt},
      {"#123456\n", std::nullopt},     // line breaks are not trimmed
      {"12345\u0301", std::nullopt},   // six code points, five characters: the accent joins the 5
      {"\xFF\xFE\xFD\xFC\xFB\xFA", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(RGBAColor::parseHex(c.text), c.color) << c.text;
  EXPECT_EQ((RGBAColor{0.5, 0, 1, 1}).hexString(), "#8000FF");      // 127.5 rounds half away from zero
  EXPECT_EQ((RGBAColor{1.7, -0.2, NAN, 0}).hexString(), "#FF0000");  // clamped, NaN is 0, alpha left out
}

// Each case writes its raw string, reads back, and nothing else reads.
template <class E, std::size_t N>
void expectRoundTrips(const std::array<E, N>& all) {
  for (E value : all) {
    const json text = value;
    EXPECT_EQ(text, std::string(rawValue(value)));
    EXPECT_EQ(Coding::decode<E>(text), value) << text;
    std::string shouted = text.get<std::string>();
    shouted[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(shouted[0])));
    EXPECT_THROW(Coding::decode<E>(json(shouted)), DecodingError) << shouted;
  }
  EXPECT_THROW(Coding::decode<E>(json(0)), DecodingError) << "the case's index is not its raw value";
}

TEST(Primitives, EnumerationsLabelsAndPresets) {
  expectRoundTrips(allEasings), expectRoundTrips(allAssetKinds), expectRoundTrips(allDeviceFrames);
  expectRoundTrips(allCursorStyles), expectRoundTrips(allCameraLayouts), expectRoundTrips(allBubbleShapes);
  expectRoundTrips(allCameraTransitions), expectRoundTrips(allMediaAnimations), expectRoundTrips(allShapeKinds);
  expectRoundTrips(allShapeDirections), expectRoundTrips(allWatermarkPlacements);
  std::vector<std::string> labels;
  for (Easing easing : allEasings) labels.emplace_back(label(easing));
  for (CameraTransition transition : allCameraTransitions) labels.emplace_back(label(transition));
  EXPECT_EQ(labels, (std::vector<std::string>{"Linear", "Ease in & out", "Ease out", "Spring", "Instant", "Smooth",
                                              "Pop", "Flip", "Spin", "Twirl", "Bounce"}));
  EXPECT_EQ(json(BackgroundStyle::blurredWallpaper(id("11111111-1111-4111-8111-111111111111"), 24)),
            json::parse(R"({"blurredWallpaper": {"assetID": "11111111-1111-4111-8111-111111111111",
                                                 "blurRadius": 24}})"));
  const std::vector<CanvasPreset> presets{
      {"16:9", "16:9 · Landscape", 1920, 1080}, {"9:16", "9:16 · Vertical", 1080, 1920},
      {"1:1", "1:1 · Square", 1080, 1080},      {"4:5", "4:5 · Portrait", 1080, 1350},
      {"4:3", "4:3 · Classic", 1440, 1080},     {"3:2", "3:2", 1620, 1080},
      {"21:9", "21:9 · Ultrawide", 2520, 1080},
  };
  EXPECT_EQ(CanvasPreset::all(), presets);
}

}  // namespace
}  // namespace RecorderCore
