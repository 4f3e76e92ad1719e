#include "RecorderCore/project/Look.h"

#include <map>
#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/platform/JSONText.h"
#include "RecorderCore/project/LookPreset.h"
#include "RecorderCore/project/Project.h"
#include "tests/project/ProjectGenerators.h"
#include "tests/project/TestSupport.h"

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
  return style;
}

// A look unlike the defaults in every part, referring to three images.
Look sampleLook() {
  Look look;
  look.style.background = BackgroundStyle::image(kBackgroundImage);
  look.style.padding = 0.12;
  look.style.deviceFrame = DeviceFrame::macbook;
  look.cursor.style = CursorStyle::ring;
  look.camera = CameraLook{CameraLayout::bubbleTopLeft, 0.3, BubbleShape::roundedRect, false, 2, false, kAvatar, true};
  look.audio.duckMusic = true;
  look.captionStyle = captionStyle("beast", 0.07);
  look.watermark = WatermarkSettings{};
  look.watermark->text = "@studio";
  look.watermark->imageAssetID = kLogo;
  return look;
}

const std::map<Uuid, Uuid> kAllMapped{
    {kBackgroundImage, kTargetImage}, {kAvatar, kTargetAvatar}, {kLogo, kTargetLogo}};

// A project with its own look, camera keyframes, a transition and captions.
Project sampleTarget() {
  Project project;
  project.style.background = BackgroundStyle::solid(RGBAColor{0.2, 0.2, 0.2, 1});
  project.camera.layout = CameraLayout::sideBySide;
  project.camera.keyframes = {{id("C0000000-0000-4000-8000-000000000001"), 4, CameraLayout::fullScreen}};
  project.camera.transition = CameraTransition::twirl;
  project.camera.avatarAssetID = id("C0000000-0000-4000-8000-000000000009");
  project.camera.showAvatar = true;
  project.captionStyle = captionStyle("clean", 0.04);
  project.captions = CaptionTrack{{}, captionStyle("boxed", 0.05), false, "en"};
  project.watermark = WatermarkSettings{};
  return project;
}

TEST(Look, PartsAndCapture) {
  EXPECT_EQ(Parts::all, Parts::appearance | Parts::captions | Parts::watermark);
  EXPECT_EQ(Parts::all.rawValue(), 7);
  EXPECT_EQ(Parts::all - Parts::captions, (Parts{Parts::appearance, Parts::watermark}));
  EXPECT_TRUE((Parts::captions & Parts::watermark).isEmpty());
  Project project = sampleTarget();
  const Look look = Look::capture(project);
  EXPECT_EQ(look.captionStyle, captionStyle("boxed", 0.05));  // the track's over the project's
  const CameraSettings& camera = project.camera;
  EXPECT_EQ(look.camera, (CameraLook{camera.layout, camera.bubbleSize, camera.bubbleShape, camera.mirrored,
                                     camera.borderWidth, camera.shadow, camera.avatarAssetID, camera.showAvatar}));
  project.captions.reset();
  EXPECT_EQ(Look::capture(project).captionStyle, captionStyle("clean", 0.04));
}

TEST(LookApply, AppearanceMapsAssetsAndKeepsTheCamerasTimeline) {
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
  expectedCamera.mirrored = expectedCamera.shadow = false;
  expectedCamera.borderWidth = 2;
  expectedCamera.avatarAssetID = kTargetAvatar;
  EXPECT_EQ(project.camera, expectedCamera);

  // Nothing mapped: the default background, no avatar; the rest still comes.
  Project unmapped = sampleTarget();
  look.apply(unmapped, Parts::all, {});
  EXPECT_EQ(unmapped.style.background, BackgroundStyle::defaultBackground());
  EXPECT_EQ(unmapped.style.padding, 0.12);
  EXPECT_EQ(unmapped.camera.avatarAssetID, std::nullopt);
  EXPECT_FALSE(unmapped.camera.showAvatar);
  EXPECT_EQ(unmapped.watermark->imageAssetID, std::nullopt);
  EXPECT_EQ(unmapped.watermark->text, "@studio");
  Look avatarOff = look;  // mapped but switched off stays off
  avatarOff.camera.showAvatar = false;
  Project off = sampleTarget();
  avatarOff.apply(off, Parts::appearance, kAllMapped);
  EXPECT_EQ(off.camera.avatarAssetID, kTargetAvatar);
  EXPECT_FALSE(off.camera.showAvatar);

  static const struct {
    CameraLayout project, look, expected;
  } layouts[] = {
      {CameraLayout::hidden, CameraLayout::bubbleBottomLeft, CameraLayout::hidden},
      {CameraLayout::sideBySide, CameraLayout::hidden, CameraLayout::sideBySide},
      {CameraLayout::sideBySide, CameraLayout::fullScreen, CameraLayout::fullScreen},
  };
  for (const auto& c : layouts) {
    Project target = sampleTarget();
    target.camera.layout = c.project;
    Look withLayout = look;
    withLayout.camera.layout = c.look;
    withLayout.apply(target, Parts::appearance, kAllMapped);
    EXPECT_EQ(target.camera.layout, c.expected) << rawValue(c.project) << " ← " << rawValue(c.look);
  }
}

TEST(LookApply, ABlurredWallpaperUsesTheTargetsOwnWallpaper) {
  Look look = sampleLook();
  look.style.background = BackgroundStyle::blurredWallpaper(id("A0000000-0000-4000-8000-00000000000F"), 24);
  const auto asset = [](Uuid assetID, AssetKind kind, const char* name) {
    return Asset{assetID, kind, "file", std::nullopt, std::nullopt, 0, std::nullopt, std::nullopt, name};
  };
  Project without = sampleTarget();
  without.assets = {asset(kTargetImage, AssetKind::video, "wallpaper"), asset(kTargetLogo, AssetKind::image, "W")};
  const BackgroundStyle own = without.style.background;
  look.apply(without, Parts::appearance, kAllMapped);
  StyleSettings rest = look.style;
  rest.background = own;
  EXPECT_EQ(without.style, rest);  // padding, corners, shadow, frame and motion blur still come

  Project with = without;
  with.assets.push_back(asset(kWallpaper, AssetKind::image, "wallpaper"));
  with.assets.push_back(asset(kTargetAvatar, AssetKind::image, "wallpaper"));
  look.apply(with, Parts::appearance, kAllMapped);
  EXPECT_EQ(with.style.background, BackgroundStyle::blurredWallpaper(kWallpaper, 24));
}

// Arbitrary projects, looks, parts and maps: only what the parts select can
// change, captions only with a style and watermarks whole, and applying
// twice is applying once.
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
    rest.style = before.style, rest.cursor = before.cursor, rest.audio = before.audio, rest.camera = before.camera;
    RC_ASSERT(after.camera.keyframes == before.camera.keyframes);
    RC_ASSERT(after.camera.transition == before.camera.transition);
    RC_ASSERT(after.camera.transitionDuration == before.camera.transitionDuration);
    RC_ASSERT(!after.camera.showAvatar || after.camera.avatarAssetID.has_value());
  }
  if (parts.contains(Parts::captions)) {
    RC_ASSERT(after.captionStyle == (look.captionStyle ? look.captionStyle : before.captionStyle));
    if (after.captions && look.captionStyle) RC_ASSERT(after.captions->style == *look.captionStyle);
    rest.captionStyle = before.captionStyle;
    if (rest.captions) rest.captions->style = before.captions->style;
  }
  if (parts.contains(Parts::watermark)) {
    RC_ASSERT(after.watermark.has_value() == look.watermark.has_value());
    if (const auto image = look.watermark ? look.watermark->imageAssetID : std::nullopt) {
      RC_ASSERT(after.watermark->imageAssetID ==
                (assetIDs.contains(*image) ? std::optional(assetIDs.at(*image)) : std::nullopt));
    }
    rest.watermark = before.watermark;
  }
  RC_ASSERT(rest == before);
}

// The files map is written as a flat array alternating id and name, and
// read back strictly. The golden preset reads and writes back to its bytes.
TEST(LookPresetJSON, GoldenBytesAndStrictFilesMap) {
  const std::string bytes = TestSupport::readBytes(TestSupport::fixture("look-preset.json"));
  const json golden = JSONText::parse(bytes).value();
  const LookPreset preset = Coding::decode<LookPreset>(golden);
  EXPECT_TRUE(TestSupport::matchesGolden(JSONText::pretty(json(preset)).value(), "look-preset.json"));
  EXPECT_EQ(preset.name, "Studio “dark” — v2");
  EXPECT_EQ(preset.savedAt, parseISO8601("2024-06-01T09:30:00Z").value());
  EXPECT_EQ(preset.files, (std::map<Uuid, std::string>{
                              {kLogo, "logo.png"}, {kBackgroundImage, "background.jpg"}, {kAvatar, "avatar/me.png"}}));
  EXPECT_EQ(preset.look.camera.avatarAssetID, kAvatar);
  LookPreset bare = preset;
  bare.files.clear();
  bare.look.captionStyle.reset();
  EXPECT_EQ(json(bare)["files"], json::array());
  EXPECT_EQ(Coding::decode<LookPreset>(json(bare)), bare);

  static const struct {
    const char* files;  // JSON of "files", or nullptr to remove it
    const char* path;
  } cases[] = {
      {nullptr, "files"},
      {R"({"5E7A0000-0000-4000-8000-00000000000A": "a.png"})", "files"},
      {R"(["5E7A0000-0000-4000-8000-00000000000A"])", "files"},
      {R"(["not-a-uuid", "a.png"])", "files[0]"},
      {R"(["5E7A0000-0000-4000-8000-00000000000A", null])", "files[1]"},
      {R"(["5E7A0000-0000-4000-8000-00000000000A", "a", "5e7a0000-0000-4000-8000-00000000000a", "b"])", "files[2]"},
  };
  for (const auto& c : cases) {
    json broken = golden;
    if (c.files) {
      broken["files"] = json::parse(c.files);
    } else {
      broken.erase("files");
    }
    try {
      Coding::decode<LookPreset>(broken);
      ADD_FAILURE() << (c.files ? c.files : "(removed)") << " decoded";
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.path(), c.path) << (c.files ? c.files : "(removed)") << ": " << error.what();
    }
  }
}

}  // namespace
}  // namespace RecorderCore
