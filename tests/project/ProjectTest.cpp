#include "RecorderCore/project/Project.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

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
  EXPECT_EQ(golden.createdAt, date("2024-05-01T12:00:00Z"));
  EXPECT_EQ(golden.modifiedAt, date("2024-05-02T08:30:15Z"));
  EXPECT_EQ(golden.clips[1].sourceStart, 10);
  EXPECT_EQ(golden.clips[1].sourceEnd, 20);
  EXPECT_EQ(golden.clips[1].speed, 2);
  EXPECT_EQ(golden.zooms[0].inDuration, 0.6);
  EXPECT_EQ(golden.zooms[0].rect, (Rect{0.25, 0.25, 0.5, 0.5}));
  EXPECT_EQ(golden.assets[0].captureRect, (Rect{0, 25, 1512, 957}));
  EXPECT_EQ(golden.assets[1].startOffset, 0.125);
  EXPECT_EQ(golden.media[1].shape->direction, ShapeDirection::downLeft);
  EXPECT_EQ(golden.media[2].fadeIn, 0.25);
  EXPECT_EQ(golden.media[2].sourceOffset, 1.25);
  EXPECT_TRUE(golden.media[1].hidden && golden.media[1].locked && !golden.media[0].hidden);
  EXPECT_TRUE(golden.tracks.zooms.hidden && golden.tracks.camera.locked && !golden.tracks.screen.hidden);
  EXPECT_EQ(golden.watermark->placement, WatermarkPlacement::topRight);
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
      {"/assets/0/startOffset", nullptr, "assets[0].startOffset", nullptr},
      {"/clips/1/speed", "null", "clips[1].speed", "Expected a value for key \"speed\" but found null."},
      {"/canvas/width", "\"1920\"", "canvas.width", nullptr},
      {"/canvas/frameRate", "29.97", "canvas.frameRate", nullptr},
      {"/canvas/height", "4294967296", "canvas.height", nullptr},
      {"/createdAt", "\"2024-05-01T12:00:00.5Z\"", "createdAt", nullptr},
      {"/id", "\"6f9619ff8b864011b42d00c04fc964ff\"", "id", nullptr},
      {"/assets/2/kind", "\"hologram\"", "assets[2].kind",
       "Cannot initialize AssetKind from invalid String value hologram."},
      {"/zooms/0/keyframes/0/rect/height", nullptr, "zooms[0].keyframes[0].rect.height", nullptr},
      {"/zooms/0/isAuto", "1", "zooms[0].isAuto", nullptr},
      {"/style/background", "{}", "style.background", "Invalid number of keys found, expected one."},
      {"/style/background", R"({"plaid": {}})", "style.background", "Invalid number of keys found, expected one."},
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

TEST(Project, ProcessedMicFileNameAndDrawProgress) {
  static const struct {
    bool noise, leveling;
    std::optional<std::string> name;
  } names[] = {{false, false, std::nullopt},
               {true, false, "mic.clean-n.m4a"},
               {false, true, "mic.clean-l.m4a"},
               {true, true, "mic.clean-nl.m4a"}};
  for (const auto& c : names) {
    AudioSettings audio;
    audio.micNoiseRemoval = c.noise;
    audio.micLeveling = c.leveling;
    EXPECT_EQ(audio.processedMicFileName(), c.name) << c.noise << c.leveling;
  }

  // Drawn in over the first second of 2–10 and erased over the last.
  MediaItem shape;
  shape.kind = AssetKind::shape;
  shape.start = 2;
  shape.end = 10;
  shape.inAnimation = shape.outAnimation = MediaAnimation::draw;
  shape.animationDuration = 1;
  static const struct {
    double t, progress;
  } progress[] = {{0, 0}, {2.5, 0.5}, {3, 1}, {6, 1}, {9.5, 0.5}, {10, 0}, {12, 0}};
  for (const auto& c : progress) EXPECT_DOUBLE_EQ(shape.drawProgress(c.t), c.progress) << c.t;
  MediaItem inOnly = shape;
  inOnly.outAnimation = MediaAnimation::fade;
  EXPECT_EQ(inOnly.drawProgress(10), 1);
  MediaItem outOnly = shape;
  outOnly.inAnimation = MediaAnimation::none;
  EXPECT_EQ(outOnly.drawProgress(2), 1);
  MediaItem instant = shape;
  instant.animationDuration = 0;
  EXPECT_EQ(instant.drawProgress(10), 1);
}

}  // namespace
}  // namespace RecorderCore
