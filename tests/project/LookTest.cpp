#include "RecorderCore/project/Look.h"

#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/LookPreset.h"
#include "RecorderCore/project/Project.h"
#include "tests/project/ProjectGenerators.h"

namespace RecorderCore {
namespace {

using nlohmann::json;
using Parts = Look::Parts;

Uuid id(const char* text) { return Uuid::parse(text).value(); }

const Uuid kBackgroundImage = id("A0000000-0000-4000-8000-000000000001");
const Uuid kAvatar = id("A0000000-0000-4000-8000-000000000002");
const Uuid kLogo = id("A0000000-0000-4000-8000-000000000003");
const Uuid kTargetImage = id("B0000000-0000-4000-8000-000000000001");
const Uuid kTargetAvatar = id("B0000000-0000-4000-8000-000000000002");
const Uuid kTargetLogo = id("B0000000-0000-4000-8000-000000000003");
const Uuid kWallpaper = id("B0000000-0000-4000-8000-000000000004");

CaptionStyle captionStyle(const char* preset, double size) {
  CaptionStyle style;
  style.preset = preset;
  style.size = size;
  style.maxWordsPerLine = 5;
  return style;
}

// A look unlike the defaults in every part, referring to three images.
Look sampleLook() {
  Look look;
  look.style.background = BackgroundStyle::image(kBackgroundImage);
  look.style.padding = 0.12;
  look.style.cornerRadius = 30;
  look.style.shadowOpacity = 0.2;
  look.style.deviceFrame = DeviceFrame::macbook;
  look.style.motionBlur = 0;
  look.cursor.size = 1.5;
  look.cursor.style = CursorStyle::ring;
  look.cursor.tint = RGBAColor{1, 0, 0, 1};
  look.camera = CameraLook{CameraLayout::bubbleTopLeft, 0.3, BubbleShape::roundedRect, false, 2, false, kAvatar, true};
  look.audio.micVolume = 0.7;
  look.audio.duckMusic = true;
  look.captionStyle = captionStyle("beast", 0.07);
  WatermarkSettings mark;
  mark.enabled = true;
  mark.text = "@studio";
  mark.imageAssetID = kLogo;
  mark.placement = WatermarkPlacement::topLeft;
  look.watermark = mark;
  return look;
}

const std::map<Uuid, Uuid> kAllMapped{
    {kBackgroundImage, kTargetImage}, {kAvatar, kTargetAvatar}, {kLogo, kTargetLogo}};

// A project with its own look everywhere, camera keyframes, a transition and
// a caption track.
Project sampleTarget() {
  Project project;
  project.style.background = BackgroundStyle::solid(RGBAColor{0.2, 0.2, 0.2, 1});
  project.style.padding = 0.01;
  project.cursor.visible = false;
  project.camera.layout = CameraLayout::sideBySide;
  project.camera.keyframes = {{id("C0000000-0000-4000-8000-000000000001"), 4, CameraLayout::fullScreen}};
  project.camera.transition = CameraTransition::twirl;
  project.camera.transitionDuration = 0.6;
  project.camera.avatarAssetID = id("C0000000-0000-4000-8000-000000000009");
  project.camera.showAvatar = true;
  project.audio.systemMuted = true;
  project.captionStyle = captionStyle("clean", 0.04);
  project.captions = CaptionTrack{{}, captionStyle("clean", 0.04), false, "en"};
  WatermarkSettings mark;
  mark.text = "own";
  project.watermark = mark;
  project.styleName = "Mint";
  return project;
}

// ---------------------------------------------------------------------------
// Parts

TEST(LookParts, IsASetOfThreeBits) {
  EXPECT_EQ(Parts::appearance.rawValue(), 1);
  EXPECT_EQ(Parts::captions.rawValue(), 2);
  EXPECT_EQ(Parts::watermark.rawValue(), 4);
  EXPECT_EQ(Parts::all.rawValue(), 7);
  EXPECT_EQ(Parts::all, Parts::appearance | Parts::captions | Parts::watermark);
  EXPECT_EQ((Parts{Parts::appearance, Parts::captions, Parts::watermark}), Parts::all);
  EXPECT_EQ((Parts{Parts::captions, Parts::watermark}).rawValue(), 6);
  EXPECT_EQ(Parts(6), (Parts{Parts::captions, Parts::watermark}));

  EXPECT_TRUE(Parts{}.isEmpty());
  EXPECT_TRUE(Parts{}.contains(Parts{}));
  EXPECT_TRUE(Parts::all.contains(Parts::captions));
  EXPECT_FALSE(Parts::captions.contains(Parts::all));
  EXPECT_EQ(Parts::all & Parts::watermark, Parts::watermark);
  EXPECT_TRUE((Parts::captions & Parts::watermark).isEmpty());
  EXPECT_EQ(Parts::all - Parts::captions, Parts::appearance | Parts::watermark);
  EXPECT_EQ(Parts::all ^ Parts::captions, Parts::all - Parts::captions);

  Parts parts;
  parts.insert(Parts::watermark);
  parts.insert(Parts::watermark);
  EXPECT_EQ(parts, Parts::watermark);
  parts |= Parts::appearance;
  parts.remove(Parts::watermark);
  EXPECT_EQ(parts, Parts::appearance);
  parts -= Parts::appearance;
  EXPECT_TRUE(parts.isEmpty());
  static_assert((Parts::appearance | Parts::captions).rawValue() == 3);
}

// ---------------------------------------------------------------------------
// Capture

TEST(LookCapture, TakesTheCaptionTracksStyleOverTheProjects) {
  Project project = sampleTarget();
  project.captions->style = captionStyle("boxed", 0.05);
  project.captionStyle = captionStyle("clean", 0.04);
  EXPECT_EQ(Look::capture(project).captionStyle, captionStyle("boxed", 0.05));
  project.captions.reset();
  EXPECT_EQ(Look::capture(project).captionStyle, captionStyle("clean", 0.04));
  project.captionStyle.reset();
  EXPECT_EQ(Look::capture(project).captionStyle, std::nullopt);
}

TEST(LookCapture, TakesTheLookFieldsOfTheCamera) {
  const Project project = sampleTarget();
  const Look look = Look::capture(project);
  EXPECT_EQ(look.style, project.style);
  EXPECT_EQ(look.cursor, project.cursor);
  EXPECT_EQ(look.audio, project.audio);
  EXPECT_EQ(look.watermark, project.watermark);
  const CameraSettings& camera = project.camera;
  EXPECT_EQ(look.camera, (CameraLook{camera.layout, camera.bubbleSize, camera.bubbleShape, camera.mirrored,
                                     camera.borderWidth, camera.shadow, camera.avatarAssetID, camera.showAvatar}));
}

// ---------------------------------------------------------------------------
// Apply

TEST(LookApply, CaptionsOnlyTouchesNothingElse) {
  Project project = sampleTarget();
  const Project before = project;
  sampleLook().apply(project, Parts::captions, kAllMapped);
  EXPECT_EQ(project.captionStyle, captionStyle("beast", 0.07));
  EXPECT_EQ(project.captions->style, captionStyle("beast", 0.07));
  Project restored = project;
  restored.captionStyle = before.captionStyle;
  restored.captions->style = before.captions->style;
  EXPECT_EQ(restored, before);

  // Without a track, only the project's own caption style changes.
  Project trackless = sampleTarget();
  trackless.captions.reset();
  sampleLook().apply(trackless, Parts::captions, kAllMapped);
  EXPECT_EQ(trackless.captionStyle, captionStyle("beast", 0.07));
  EXPECT_FALSE(trackless.captions.has_value());

  // A look without a caption style leaves both alone.
  Look plain = sampleLook();
  plain.captionStyle.reset();
  Project kept = sampleTarget();
  plain.apply(kept, Parts::all, kAllMapped);
  EXPECT_EQ(kept.captionStyle, before.captionStyle);
  EXPECT_EQ(kept.captions, before.captions);
}

TEST(LookApply, AppearanceTakesStyleCursorCameraLookAndAudio) {
  Project project = sampleTarget();
  const Project before = project;
  const Look look = sampleLook();
  look.apply(project, Parts::appearance, kAllMapped);

  StyleSettings expectedStyle = look.style;
  expectedStyle.background = BackgroundStyle::image(kTargetImage);
  EXPECT_EQ(project.style, expectedStyle);
  EXPECT_EQ(project.cursor, look.cursor);
  EXPECT_EQ(project.audio, look.audio);
  CameraSettings expectedCamera = before.camera;  // keyframes and transition stay
  expectedCamera.layout = CameraLayout::bubbleTopLeft;
  expectedCamera.bubbleSize = 0.3;
  expectedCamera.bubbleShape = BubbleShape::roundedRect;
  expectedCamera.mirrored = false;
  expectedCamera.borderWidth = 2;
  expectedCamera.shadow = false;
  expectedCamera.avatarAssetID = kTargetAvatar;
  expectedCamera.showAvatar = true;
  EXPECT_EQ(project.camera, expectedCamera);
  EXPECT_EQ(project.watermark, before.watermark);
  EXPECT_EQ(project.captions, before.captions);
  EXPECT_EQ(project.styleName, before.styleName);
}

TEST(LookApply, AHiddenCameraLayoutIsNeverChanged) {
  static const struct {
    CameraLayout project, look, expected;
  } cases[] = {
      {CameraLayout::hidden, CameraLayout::bubbleBottomLeft, CameraLayout::hidden},
      {CameraLayout::sideBySide, CameraLayout::hidden, CameraLayout::sideBySide},
      {CameraLayout::hidden, CameraLayout::hidden, CameraLayout::hidden},
      {CameraLayout::sideBySide, CameraLayout::fullScreen, CameraLayout::fullScreen},
  };
  for (const auto& c : cases) {
    Project project = sampleTarget();
    project.camera.layout = c.project;
    Look look = sampleLook();
    look.camera.layout = c.look;
    look.apply(project, Parts::appearance, kAllMapped);
    EXPECT_EQ(project.camera.layout, c.expected) << rawValue(c.project) << " ← " << rawValue(c.look);
    EXPECT_EQ(project.camera.bubbleSize, 0.3) << rawValue(c.project) << " ← " << rawValue(c.look);
  }
}

TEST(LookApply, ReferencesMissingFromTheMapAreDropped) {
  Project project = sampleTarget();
  sampleLook().apply(project, Parts::all, {});
  EXPECT_EQ(project.style.background, BackgroundStyle::defaultBackground());
  EXPECT_EQ(project.style.padding, 0.12);
  EXPECT_EQ(project.camera.avatarAssetID, std::nullopt);
  EXPECT_FALSE(project.camera.showAvatar);
  ASSERT_TRUE(project.watermark.has_value());
  EXPECT_EQ(project.watermark->imageAssetID, std::nullopt);
  EXPECT_EQ(project.watermark->text, "@studio");

  Project mapped = sampleTarget();
  sampleLook().apply(mapped, Parts::all, kAllMapped);
  EXPECT_EQ(mapped.style.background, BackgroundStyle::image(kTargetImage));
  EXPECT_EQ(mapped.watermark->imageAssetID, kTargetLogo);

  // An avatar that is mapped but switched off in the look stays off.
  Look avatarOff = sampleLook();
  avatarOff.camera.showAvatar = false;
  Project off = sampleTarget();
  avatarOff.apply(off, Parts::appearance, kAllMapped);
  EXPECT_EQ(off.camera.avatarAssetID, kTargetAvatar);
  EXPECT_FALSE(off.camera.showAvatar);

  // A look without avatar clears the project's.
  Look noAvatar = sampleLook();
  noAvatar.camera.avatarAssetID.reset();
  Project cleared = sampleTarget();
  noAvatar.apply(cleared, Parts::appearance, kAllMapped);
  EXPECT_EQ(cleared.camera.avatarAssetID, std::nullopt);
  EXPECT_FALSE(cleared.camera.showAvatar);
}

TEST(LookApply, ABlurredWallpaperUsesTheTargetsOwnWallpaper) {
  Look look = sampleLook();
  look.style.background = BackgroundStyle::blurredWallpaper(id("A0000000-0000-4000-8000-00000000000F"), 24);

  Project without = sampleTarget();
  without.assets = {Asset{kTargetImage, AssetKind::video, "w.mov", std::nullopt, std::nullopt, 0, std::nullopt,
                          std::nullopt, "wallpaper"},
                    Asset{kTargetLogo, AssetKind::image, "w.png", std::nullopt, std::nullopt, 0, std::nullopt,
                          std::nullopt, "Wallpaper"}};
  const BackgroundStyle own = without.style.background;
  look.apply(without, Parts::appearance, kAllMapped);
  EXPECT_EQ(without.style.background, own);
  StyleSettings rest = look.style;
  rest.background = own;
  EXPECT_EQ(without.style, rest);  // padding, corners, shadow, frame and motion blur still come

  Project with = without;
  with.assets.push_back(Asset{kWallpaper, AssetKind::image, "wallpaper.heic", std::nullopt, std::nullopt, 0,
                              std::nullopt, std::nullopt, "wallpaper"});
  with.assets.push_back(Asset{kTargetAvatar, AssetKind::image, "wallpaper-2.heic", std::nullopt, std::nullopt, 0,
                              std::nullopt, std::nullopt, "wallpaper"});
  look.apply(with, Parts::appearance, kAllMapped);
  EXPECT_EQ(with.style.background, BackgroundStyle::blurredWallpaper(kWallpaper, 24));
}

TEST(LookApply, WatermarkPartReplacesOrRemovesTheWatermark) {
  Look look = sampleLook();
  look.watermark.reset();
  Project project = sampleTarget();
  const Project before = project;
  look.apply(project, Parts::watermark, kAllMapped);
  EXPECT_EQ(project.watermark, std::nullopt);
  project.watermark = before.watermark;
  EXPECT_EQ(project, before);

  Project untouched = sampleTarget();
  sampleLook().apply(untouched, Parts{}, kAllMapped);
  EXPECT_EQ(untouched, before);
}

// Arbitrary projects, looks, parts and maps: only what the parts select can
// change, and applying twice is applying once.
RC_GTEST_PROP(LookApplyProperty, ChangesOnlyTheSelectedPartsAndOnce, ()) {
  const Project before = *rc::gen::arbitrary<Project>();
  const Look look = Look::capture(*rc::gen::arbitrary<Project>());
  const Parts parts(*rc::gen::inRange(0, 8));
  std::map<Uuid, Uuid> assetIDs;
  for (const auto& referenced : {std::optional<Uuid>(look.camera.avatarAssetID),
                                 look.watermark ? look.watermark->imageAssetID : std::nullopt}) {
    if (referenced && *rc::gen::arbitrary<bool>()) assetIDs[*referenced] = *rc::gen::arbitrary<Uuid>();
  }
  if (const auto* image = std::get_if<BackgroundStyle::Image>(&look.style.background.value)) {
    if (*rc::gen::arbitrary<bool>()) assetIDs[image->assetID] = *rc::gen::arbitrary<Uuid>();
  }

  Project after = before;
  look.apply(after, parts, assetIDs);
  Project twice = after;
  look.apply(twice, parts, assetIDs);
  RC_ASSERT(twice == after);

  Project rest = after;
  if (parts.contains(Parts::appearance)) {
    rest.style = before.style;
    rest.cursor = before.cursor;
    rest.audio = before.audio;
    rest.camera = before.camera;
    // Keyframes and the transition are never part of a look.
    RC_ASSERT(after.camera.keyframes == before.camera.keyframes);
    RC_ASSERT(after.camera.transition == before.camera.transition);
    RC_ASSERT(after.camera.transitionDuration == before.camera.transitionDuration);
    RC_ASSERT(!after.camera.showAvatar || after.camera.avatarAssetID.has_value());
  }
  if (parts.contains(Parts::captions)) {
    rest.captionStyle = before.captionStyle;
    if (rest.captions) rest.captions->style = before.captions->style;
  }
  if (parts.contains(Parts::watermark)) rest.watermark = before.watermark;
  RC_ASSERT(rest == before);
}

// ---------------------------------------------------------------------------
// Presets

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

LookPreset samplePreset() {
  return LookPreset{id("5E7A0000-0000-4000-8000-00000000000A"), "Studio “dark” — v2",
                    parseISO8601("2024-06-01T09:30:00Z").value(), sampleLook(),
                    {{kLogo, "logo.png"}, {kBackgroundImage, "background.jpg"}, {kAvatar, "avatar/me.png"}}};
}

const std::string kPresetPath = RECORDER_SOURCE_DIR "/tests/project/fixtures/look-preset.json";

TEST(LookPresetJSON, GoldenBytesAndRoundTrip) {
  const std::string actual = JSONText::pretty(json(samplePreset())).value();
  const std::string expected = readFile(kPresetPath);
  if (actual != expected) std::ofstream(RECORDER_BINARY_DIR "/look-preset.actual.json", std::ios::binary) << actual;
  EXPECT_EQ(actual, expected) << "actual bytes written to " RECORDER_BINARY_DIR "/look-preset.actual.json";

  const LookPreset decoded = Coding::decode<LookPreset>(JSONText::parse(expected).value());
  EXPECT_EQ(decoded, samplePreset());
  EXPECT_EQ(JSONText::pretty(json(decoded)).value(), expected);

  LookPreset bare = samplePreset();
  bare.files.clear();
  bare.look.captionStyle.reset();
  bare.look.watermark.reset();
  bare.look.camera.avatarAssetID.reset();
  const json encoded = bare;
  EXPECT_EQ(encoded["files"], json::array());
  EXPECT_FALSE(encoded["look"].contains("captionStyle"));
  EXPECT_FALSE(encoded["look"].contains("watermark"));
  EXPECT_FALSE(encoded["look"]["camera"].contains("avatarAssetID"));
  EXPECT_EQ(Coding::decode<LookPreset>(encoded), bare);
}

TEST(LookPresetJSON, DecodingIsStrict) {
  static const struct {
    const char* pointer;  // JSON pointer into the golden preset
    const char* value;    // replacement JSON, or nullptr to remove the key
    const char* path;     // expected DecodingError::path()
  } cases[] = {
      {"/files", R"(["5E7A0000-0000-4000-8000-00000000000A"])", "files"},
      {"/files", R"({"5E7A0000-0000-4000-8000-00000000000A": "a.png"})", "files"},
      {"/files", R"(["not-a-uuid", "a.png"])", "files[0]"},
      {"/files", R"(["5E7A0000-0000-4000-8000-00000000000A", 7])", "files[1]"},
      {"/files", R"(["5E7A0000-0000-4000-8000-00000000000A", null])", "files[1]"},
      {"/files",
       R"(["5E7A0000-0000-4000-8000-00000000000A", "a.png", "5e7a0000-0000-4000-8000-00000000000a", "b.png"])",
       "files[2]"},
      {"/files", nullptr, "files"},
      {"/files", "null", "files"},
      {"/savedAt", R"("2024-06-01T09:30:00.5Z")", "savedAt"},
      {"/savedAt", "1717234200", "savedAt"},
      {"/id", R"("5E7A0000")", "id"},
      {"/name", nullptr, "name"},
      {"/look/camera/showAvatar", nullptr, "look.camera.showAvatar"},
      {"/look/camera/layout", R"("floating")", "look.camera.layout"},
      {"/look/style", nullptr, "look.style"},
      {"/look/audio/duckLevel", R"("0.25")", "look.audio.duckLevel"},
      {"/look/captionStyle/size", nullptr, "look.captionStyle.size"},
      {"/look/watermark/text", nullptr, "look.watermark.text"},
  };
  const json golden = JSONText::parse(readFile(kPresetPath)).value();
  for (const auto& c : cases) {
    json broken = golden;
    const json::json_pointer pointer(c.pointer);
    if (c.value) {
      broken[pointer] = JSONText::parse(c.value).value();
    } else if (broken.contains(pointer)) {
      broken[pointer.parent_pointer()].erase(pointer.back());
    }
    if (std::string(c.path).empty()) {
      EXPECT_NO_THROW(Coding::decode<LookPreset>(broken)) << c.pointer;
      continue;
    }
    try {
      Coding::decode<LookPreset>(broken);
      ADD_FAILURE() << c.pointer << " = " << (c.value ? c.value : "(removed)") << " decoded";
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.path(), c.path) << c.pointer << ": " << error.what();
    }
  }
}

}  // namespace
}  // namespace RecorderCore
