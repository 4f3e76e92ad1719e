// The overlay records: shapes, watermark, caption and text styles, and the
// text looks.
#include <algorithm>
#include <cctype>
#include <set>
#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/overlays/CaptionTrack.h"
#include "RecorderCore/overlays/ShapeSpec.h"
#include "RecorderCore/overlays/TextPreset.h"
#include "RecorderCore/overlays/WatermarkSettings.h"
#include "RecorderCore/platform/JSONText.h"
#include "tests/project/ProjectGenerators.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

// Decodes `text` as a T, checks that encoding it gives the same object
// (absent optionals left out), that it fails without any one of the
// `required` keys and decodes without each of the others.
template <class T>
T expectStrictKeys(const char* text, const std::set<std::string>& optional) {
  const json object = json::parse(text);
  const T value = Coding::decode<T>(object);
  EXPECT_EQ(json(value), object);
  for (const auto& [key, unused] : object.items()) {
    json without = object;
    without.erase(key);
    if (optional.count(key) != 0) {
      EXPECT_NO_THROW(Coding::decode<T>(without)) << key;
    } else {
      EXPECT_THROW(Coding::decode<T>(without), DecodingError) << key;
    }
  }
  return value;
}

TEST(ShapeSpec, KindsDirectionsAndStrictJSON) {
  EXPECT_EQ(json(ShapeKind::rectangle), "rectangle");
  EXPECT_EQ(label(ShapeKind::rectangle), "Box");
  EXPECT_EQ(label(ShapeKind::ellipse), "Circle");
  for (ShapeKind kind : allShapeKinds) {
    EXPECT_EQ(isDirectional(kind), kind == ShapeKind::arrow || kind == ShapeKind::line) << label(kind);
  }
  EXPECT_EQ(allShapeDirections.size(), 8u);
  EXPECT_EQ(allShapeDirections.front(), ShapeDirection::right);
  EXPECT_EQ(allShapeDirections.back(), ShapeDirection::upRight);

  const char* const text = R"({"kind": "rectangle", "color": {"r": 1, "g": 0, "b": 0, "a": 1}, "strokeWidth": 4,
    "direction": "upRight", "headSize": 12, "filled": true, "fillOpacity": 0.25, "strokeless": false,
    "cornerRadius": 8, "outline": false, "shadow": true})";
  EXPECT_EQ(expectStrictKeys<ShapeSpec>(text, {}), (ShapeSpec{ShapeKind::rectangle, RGBAColor{1, 0, 0, 1}, 4,
                                                              ShapeDirection::upRight, 12, true, 0.25, false, 8,
                                                              false, true}));
  json north = json::parse(text);
  north["direction"] = "north";
  EXPECT_THROW(Coding::decode<ShapeSpec>(north), DecodingError);
}

TEST(WatermarkSettings, PlacementsAndStrictJSON) {
  std::set<std::string> labels;
  for (WatermarkPlacement placement : allWatermarkPlacements) {
    labels.insert(std::string(label(placement)));
    EXPECT_EQ(label(placement).find(' ') == std::string_view::npos, placement == WatermarkPlacement::center);
  }
  EXPECT_EQ(labels.size(), 9u);
  static const struct {
    double x, y;
    WatermarkPlacement spot;
  } cases[] = {
      {0.5, 0.5, WatermarkPlacement::center},       {1.0 / 3.0, 0, WatermarkPlacement::topCenter},
      {0.9, 0.66, WatermarkPlacement::middleRight}, {0.9, 2.0 / 3.0, WatermarkPlacement::bottomRight},
      {-0.5, 1.5, WatermarkPlacement::bottomLeft},  {1.5, -0.5, WatermarkPlacement::topRight},
  };
  for (const auto& c : cases) EXPECT_EQ(nearestWatermarkPlacement(c.x, c.y), c.spot) << c.x << ", " << c.y;

  const char* const text = R"({"enabled": true, "text": "@acme", "size": 0.03, "bold": false, "italic": true,
    "uppercase": false, "textColor": {"r": 1, "g": 1, "b": 1, "a": 1}, "shadow": true, "opacity": 0.6,
    "boxEnabled": true, "boxColor": {"r": 0, "g": 0, "b": 0, "a": 1}, "boxOpacity": 0.5, "placement": "bottomCenter",
    "showBrand": false})";
  const auto settings = expectStrictKeys<WatermarkSettings>(text, {});
  EXPECT_FALSE(settings.position || settings.brandPosition || settings.brandPlacement || settings.imageAssetID ||
               settings.fontName);
  json middle = json::parse(text);
  middle["placement"] = "middle";
  EXPECT_THROW(Coding::decode<WatermarkSettings>(middle), DecodingError);
}

TEST(OverlayStyles, FontAndBoxColourOptionalEverythingElseRequired) {
  const auto caption = expectStrictKeys<CaptionStyle>(R"({"preset": "clean", "size": 0.045, "uppercase": false,
    "textColor": {"r": 1, "g": 1, "b": 1, "a": 1}, "strokeWidth": 0, "strokeColor": {"r": 0, "g": 0, "b": 0, "a": 1},
    "shadow": true, "highlightCurrentWord": false, "highlightColor": {"r": 0.588, "g": 0.902, "b": 0.631, "a": 1},
    "highlightAsBox": false, "positionY": 0.84, "maxWordsPerLine": 8, "showEmoji": false, "emojiSize": 0.11,
    "boxColor": {"r": 0, "g": 0, "b": 0, "a": 0.72}})", {"boxColor"});
  EXPECT_FALSE(caption.fontName);
  const auto text = expectStrictKeys<TextStyle>(R"({"bold": true, "italic": false, "uppercase": false,
    "strokeWidth": 0, "strokeColor": {"r": 0, "g": 0, "b": 0, "a": 1}, "shadow": false, "boxEnabled": true,
    "boxColor": {"r": 1, "g": 1, "b": 1, "a": 1}, "boxOpacity": 1, "cornerRadius": 0.22, "padding": 0.45})", {});
  EXPECT_FALSE(text.fontName);
}

template <class T>
void expectRoundTrip(const T& value) {
  RC_ASSERT(Coding::decode<T>(JSONText::parse(JSONText::pretty(json(value)).value()).value()) == value);
}

RC_GTEST_PROP(OverlayRecords, EncodeThenDecodeIsEqual,
              (const ShapeSpec& shape, const WatermarkSettings& watermark, const CaptionTrack& captions,
               const TextStyle& text)) {
  expectRoundTrip(shape);
  expectRoundTrip(watermark);
  expectRoundTrip(captions);
  expectRoundTrip(text);
}

TEST(TextPreset, SixLooksInMenuOrder) {
  const RGBAColor black = RGBAColor::black;
  const RGBAColor white = RGBAColor::white;
  const std::vector<TextPreset> expected = {
      {"plain", "Plain", {std::nullopt, true, false, false, 0, black, false, false, black, 1, 0.25, 0.45}, white},
      {"label", "Label", {std::nullopt, true, false, false, 0, black, false, true, white, 1, 0.22, 0.45}, black},
      {"pill", "Pill", {std::nullopt, true, false, false, 0, black, false, true, black, 0.85, 0.5, 0.55}, white},
      {"beast", "Beast", {"Impact", false, false, true, 0.09, black, true, false, black, 1, 0.25, 0.45}, white},
      {"boxed", "Boxed", {std::nullopt, true, false, false, 0, black, false, true, black, 1, 0, 0.45}, white},
      {"marker", "Marker", {std::nullopt, true, false, false, 0, black, false, true, {1, 0.86, 0.1, 1}, 1, 0.12, 0.35},
       black},
  };
  EXPECT_EQ(TextPreset::all(), expected);
  for (const TextPreset& preset : TextPreset::all()) {
    EXPECT_TRUE(std::all_of(preset.id.begin(), preset.id.end(), [](char c) { return std::islower(c); })) << preset.id;
  }
}

TEST(TextPreset, OnlyTheExactLookMatches) {
  for (const TextPreset& preset : TextPreset::all()) {
    EXPECT_EQ(TextPreset::matching(preset.style, preset.textColor), preset);
    // Without a colour, white is assumed: only the white-text looks match.
    EXPECT_EQ(TextPreset::matching(preset.style, std::nullopt),
              preset.textColor == RGBAColor::white ? std::optional(preset) : std::nullopt);
  }
  EXPECT_FALSE(TextPreset::matching(TextPreset::all()[1].style, RGBAColor{0, 0, 0, 0.99}));
  EXPECT_FALSE(TextPreset::matching(TextStyle{}, std::nullopt));
}

}  // namespace
}  // namespace RecorderCore
