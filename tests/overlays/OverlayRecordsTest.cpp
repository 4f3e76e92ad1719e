// The overlay records: shapes, watermark, caption and text styles.
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/overlays/CaptionStyle.h"
#include "RecorderCore/overlays/CaptionTrack.h"
#include "RecorderCore/overlays/ShapeSpec.h"
#include "RecorderCore/overlays/TextStyle.h"
#include "RecorderCore/overlays/WatermarkSettings.h"
#include "RecorderCore/platform/JSONText.h"
#include "tests/project/ProjectGenerators.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

template <class E, std::size_t N, class F>
std::vector<std::string> each(const std::array<E, N>& all, F text) {
  std::vector<std::string> out;
  for (E value : all) out.emplace_back(text(value));
  return out;
}

TEST(ShapeKind, LabelsSymbolsAndDirection) {
  EXPECT_EQ(each(allShapeKinds, [](ShapeKind k) { return label(k); }),
            (std::vector<std::string>{"Arrow", "Line", "Box", "Circle"}));
  EXPECT_EQ(each(allShapeKinds, [](ShapeKind k) { return symbolName(k); }),
            (std::vector<std::string>{"arrow.up.right", "line.diagonal", "rectangle", "circle"}));
  EXPECT_EQ(each(allShapeKinds, [](ShapeKind k) { return isDirectional(k) ? "yes" : "no"; }),
            (std::vector<std::string>{"yes", "yes", "no", "no"}));
}

TEST(ShapeDirection, LabelsAndSymbols) {
  EXPECT_EQ(each(allShapeDirections, [](ShapeDirection d) { return label(d); }),
            (std::vector<std::string>{"Right", "Down right", "Down", "Down left", "Left", "Up left", "Up", "Up right"}));
  EXPECT_EQ(each(allShapeDirections, [](ShapeDirection d) { return symbolName(d); }),
            (std::vector<std::string>{"arrow.right", "arrow.down.right", "arrow.down", "arrow.down.left", "arrow.left",
                                      "arrow.up.left", "arrow.up", "arrow.up.right"}));
}

const char* const kShape = R"({"kind": "rectangle", "color": {"r": 1, "g": 0, "b": 0, "a": 1}, "strokeWidth": 4,
  "direction": "upRight", "headSize": 12, "filled": true, "fillOpacity": 0.25, "strokeless": false,
  "cornerRadius": 8, "outline": false, "shadow": true})";

TEST(ShapeSpec, JSONNeedsAllElevenKeys) {
  const json object = json::parse(kShape);
  const ShapeSpec shape = Coding::decode<ShapeSpec>(object);
  EXPECT_EQ(shape, (ShapeSpec{ShapeKind::rectangle, RGBAColor{1, 0, 0, 1}, 4, ShapeDirection::upRight, 12, true, 0.25,
                              false, 8, false, true}));
  EXPECT_EQ(json(shape), object);
  EXPECT_EQ(json(shape)["kind"], "rectangle");
  for (const auto& [key, value] : object.items()) {
    json without = object;
    without.erase(key);
    EXPECT_THROW(Coding::decode<ShapeSpec>(without), DecodingError) << key;
  }
  json north = object;
  north["direction"] = "north";
  EXPECT_THROW(Coding::decode<ShapeSpec>(north), DecodingError);
}

TEST(WatermarkPlacement, LabelsAndNearestSpot) {
  const auto labels = each(allWatermarkPlacements, [](WatermarkPlacement p) { return label(p); });
  EXPECT_EQ(labels, (std::vector<std::string>{"Bottom right", "Bottom left", "Top right", "Top left", "Middle left",
                                              "Middle right", "Top center", "Bottom center", "Center"}));
  EXPECT_EQ(std::set<std::string>(labels.begin(), labels.end()).size(), 9u);

  static const struct {
    double x, y;
    WatermarkPlacement spot;
  } cases[] = {
      {0.5, 0.5, WatermarkPlacement::center},
      {1.0 / 3.0, 0, WatermarkPlacement::topCenter},
      {0.9, 0.66, WatermarkPlacement::middleRight},
      {0.9, 2.0 / 3.0, WatermarkPlacement::bottomRight},
      {0, 0, WatermarkPlacement::topLeft},
      {0.2, 0.5, WatermarkPlacement::middleLeft},
      {0.1, 0.9, WatermarkPlacement::bottomLeft},
      {0.5, 0.95, WatermarkPlacement::bottomCenter},
      {0.8, 0.1, WatermarkPlacement::topRight},
      {-0.5, 1.5, WatermarkPlacement::bottomLeft},
      {1.5, -0.5, WatermarkPlacement::topRight},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(nearestWatermarkPlacement(c.x, c.y), c.spot) << c.x << ", " << c.y;
  }
}

const char* const kWatermark = R"({"enabled": true, "text": "@acme", "size": 0.03, "bold": false, "italic": true,
  "uppercase": false, "textColor": {"r": 1, "g": 1, "b": 1, "a": 1}, "shadow": true, "opacity": 0.6,
  "boxEnabled": true, "boxColor": {"r": 0, "g": 0, "b": 0, "a": 1}, "boxOpacity": 0.5, "placement": "bottomCenter",
  "showBrand": false})";

TEST(WatermarkSettings, OptionalsAbsentAndRequiredKeys) {
  const json object = json::parse(kWatermark);
  const auto settings = Coding::decode<WatermarkSettings>(object);
  EXPECT_FALSE(settings.position || settings.brandPosition || settings.brandPlacement || settings.imageAssetID ||
               settings.fontName);
  EXPECT_EQ(settings.placement, WatermarkPlacement::bottomCenter);
  EXPECT_EQ(json(settings), object);
  for (const auto& [key, value] : object.items()) {
    json without = object;
    without.erase(key);
    EXPECT_THROW(Coding::decode<WatermarkSettings>(without), DecodingError) << key;
  }
  json middle = object;
  middle["placement"] = "middle";
  EXPECT_THROW(Coding::decode<WatermarkSettings>(middle), DecodingError);
}

TEST(CaptionStyle, HighlightSwatches) {
  const std::vector<RGBAColor> expected{{1.0, 0.86, 0.1, 1.0},  {0.588, 0.902, 0.631, 1.0}, {0.15, 0.95, 0.93, 1.0},
                                        {1.0, 0.25, 0.35, 1.0}, {1.0, 0.45, 0.85, 1.0},     {0.49, 0.3, 1.0, 1.0},
                                        {1.0, 0.55, 0.1, 1.0}};
  EXPECT_EQ(CaptionStyle::highlightSwatches(), expected);
  EXPECT_EQ(CaptionStyle::defaultHighlight, expected.front());
}

const char* const kCaptionStyle = R"({"preset": "clean", "size": 0.045, "uppercase": false,
  "textColor": {"r": 1, "g": 1, "b": 1, "a": 1}, "strokeWidth": 0, "strokeColor": {"r": 0, "g": 0, "b": 0, "a": 1},
  "shadow": true, "highlightCurrentWord": false, "highlightColor": {"r": 0.588, "g": 0.902, "b": 0.631, "a": 1},
  "highlightAsBox": false, "positionY": 0.84, "maxWordsPerLine": 8, "showEmoji": false, "emojiSize": 0.11})";

TEST(CaptionStyle, FontAndBoxOptionalEverythingElseRequired) {
  const json object = json::parse(kCaptionStyle);
  const auto style = Coding::decode<CaptionStyle>(object);
  EXPECT_FALSE(style.fontName || style.boxColor);
  EXPECT_EQ(style.maxWordsPerLine, 8);
  EXPECT_EQ(json(style), object) << "absent optionals are left out";
  for (const auto& [key, value] : object.items()) {
    json without = object;
    without.erase(key);
    EXPECT_THROW(Coding::decode<CaptionStyle>(without), DecodingError) << key;
  }
}

TEST(CaptionTrack, WordsKeepAbsentLineStart) {
  const json object = json::parse(std::string(R"({"hidden": true, "words": [
    {"id": "0A0A0A0A-0A0A-4A0A-8A0A-0A0A0A0A0A0A", "text": "Hi", "start": 0.5, "end": 0.75},
    {"id": "0B0B0B0B-0B0B-4B0B-8B0B-0B0B0B0B0B0B", "text": "there", "start": 0.8, "end": 1, "lineStart": false}],
    "style": )") + kCaptionStyle + "}");
  const auto track = Coding::decode<CaptionTrack>(object);
  ASSERT_EQ(track.words.size(), 2u);
  EXPECT_FALSE(track.words[0].lineStart);
  EXPECT_EQ(track.words[1].lineStart, false);
  EXPECT_FALSE(track.language);
  EXPECT_EQ(json(track), object);
  json noStyle = object;
  noStyle.erase("style");
  EXPECT_THROW(Coding::decode<CaptionTrack>(noStyle), DecodingError);
}

const char* const kTextStyle = R"({"bold": true, "italic": false, "uppercase": false, "strokeWidth": 0,
  "strokeColor": {"r": 0, "g": 0, "b": 0, "a": 1}, "shadow": false, "boxEnabled": true,
  "boxColor": {"r": 1, "g": 1, "b": 1, "a": 1}, "boxOpacity": 1, "cornerRadius": 0.22, "padding": 0.45})";

TEST(TextStyle, FontOptionalEverythingElseRequired) {
  const json object = json::parse(kTextStyle);
  const auto style = Coding::decode<TextStyle>(object);
  EXPECT_FALSE(style.fontName);
  EXPECT_EQ(style, (TextStyle{std::nullopt, true, false, false, 0, RGBAColor::black, false, true, RGBAColor::white, 1,
                              0.22, 0.45}));
  EXPECT_EQ(json(style), object);
  for (const auto& [key, value] : object.items()) {
    json without = object;
    without.erase(key);
    EXPECT_THROW(Coding::decode<TextStyle>(without), DecodingError) << key;
  }
}

template <class T>
void expectRoundTrip(const T& value) {
  const std::string text = JSONText::pretty(json(value)).value();
  RC_ASSERT(Coding::decode<T>(JSONText::parse(text).value()) == value);
}

RC_GTEST_PROP(OverlayRecords, EncodeThenDecodeIsEqual,
              (const ShapeSpec& shape, const WatermarkSettings& watermark, const CaptionTrack& captions,
               const TextStyle& text)) {
  expectRoundTrip(shape);
  expectRoundTrip(watermark);
  expectRoundTrip(captions);
  expectRoundTrip(text);
}

}  // namespace
}  // namespace RecorderCore
