// The primitives under the project's records: identifiers, dates, the strict
// JSON readers, colours, easing curves, enumerations and canvas presets.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/motion/CameraTransition.h"
#include "RecorderCore/project/Project.h"
#include "tests/project/ProjectGenerators.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

TEST(Uuid, TextIsCanonicalUpperCase) {
  EXPECT_EQ(Uuid::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f")->uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
  for (const char* bad : {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5G",
                          "E621E1F8-C36C-495A-93FC-0C247A3E6E5F0", "E621E1F8+C36C-495A-93FC-0C247A3E6E5F"}) {
    EXPECT_FALSE(Uuid::parse(bad)) << bad;
  }
  const Uuid random = Uuid::random();
  EXPECT_NE(random, Uuid::random());
  EXPECT_EQ(random.uuidString()[14], '4');
}

RC_GTEST_PROP(Uuid, ParseInvertsUuidString, (const Uuid& id)) { RC_ASSERT(Uuid::parse(id.uuidString()) == id); }

TEST(Coding, DatesAndStrictReaders) {
  const auto date = parseISO8601("2024-05-01T12:00:00Z");
  ASSERT_TRUE(date);
  EXPECT_EQ(iso8601(*date), "2024-05-01T12:00:00Z");
  EXPECT_EQ(parseISO8601("2024-05-01T14:30:00+02:30"), date);
  EXPECT_EQ(parseISO8601("2024-05-01T07:00:00-0500"), date);
  for (const char* bad : {"2024-05-01T12:00:00", "2024-05-01T12:00:00.5Z", "2024-02-30T12:00:00Z",
                          "2024-05-01 12:00:00Z", "2024-13-01T12:00:00Z", ""}) {
    EXPECT_FALSE(parseISO8601(bad)) << bad;
  }

  const json object = json::parse(R"({"a": 1, "b": 2.0, "c": null, "list": [1, "two"], "f": 2.5})");
  EXPECT_EQ(Coding::required<int>(object, "b"), 2);
  EXPECT_FALSE(Coding::optional<double>(object, "missing"));
  EXPECT_FALSE(Coding::optional<double>(object, "c"));
  EXPECT_THROW(Coding::required<double>(object, "c"), DecodingError);
  EXPECT_THROW(Coding::required<int>(object, "f"), DecodingError);
  EXPECT_THROW(Coding::optional<bool>(object, "a"), DecodingError);
  try {
    Coding::required<std::vector<double>>(object, "list");
    ADD_FAILURE() << "decoded a list holding text";
  } catch (const DecodingError& error) {
    EXPECT_EQ(error.path(), "list[1]");
  }
}

TEST(RGBAColor, HexText) {
  static const struct {
    const char* text;
    std::optional<RGBAColor> color;
  } cases[] = {
      {"#D4FC79", RGBAColor{212 / 255.0, 252 / 255.0, 121 / 255.0, 1}},
      {"d4fc79", RGBAColor{212 / 255.0, 252 / 255.0, 121 / 255.0, 1}},
      {"#11223344", RGBAColor{0x11 / 255.0, 0x22 / 255.0, 0x33 / 255.0, 0x44 / 255.0}},
      {"\u00A0\t#96e6A1\u3000", RGBAColor{150 / 255.0, 230 / 255.0, 161 / 255.0, 1}},  // Unicode spaces trim too
      {"+FFFFF", RGBAColor{0x0F / 255.0, 1, 1, 1}},  // the integer parse takes one plus sign
      {"++1234", std::nullopt},
      {"", std::nullopt},
      {"#FFF", std::nullopt},
      {"#1234567", std::nullopt},
      {"#GG0000", std::nullopt},
      {"##123456", std::nullopt},
      {"#123456\n", std::nullopt},     // line breaks are not trimmed
      {"12345\u0301", std::nullopt},   // six code points, five characters: the accent joins the 5
      {"#ＦＦＦＦＦＦ", std::nullopt},  // full-width digits are not hex digits
      {"\xFF\xFE\xFD\xFC\xFB\xFA", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(RGBAColor::parseHex(c.text), c.color) << c.text;

  EXPECT_EQ((RGBAColor{0.5, 0, 1, 1}).hexString(), "#8000FF");  // 127.5 rounds half away from zero
  EXPECT_EQ((RGBAColor{1.7, -0.2, NAN, 0}).hexString(), "#FF0000");  // clamped, NaN is 0, alpha left out
}

RC_GTEST_PROP(RGBAColor, HexStringParsesBackToTheSameBytes, (std::uint8_t r, std::uint8_t g, std::uint8_t b)) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", r, g, b);
  const auto color = RGBAColor::parseHex(text);
  RC_ASSERT(color.has_value());
  RC_ASSERT(color->hexString() == text);
}

TEST(Easing, Curves) {
  static const struct {
    Easing easing;
    double t, value;
  } cases[] = {
      {Easing::linear, 0.25, 0.25},
      {Easing::easeInOut, 0.25, 0.0625},  // 4·x³
      {Easing::easeInOut, 0.75, 0.9375},  // 1 − (2 − 2x)³/2
      {Easing::easeOut, 0.5, 0.875},
      {Easing::spring, 0.1, 0.5 * std::sin(0.25 * 2.0943951023931953) + 1},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(evaluate(c.easing, c.t), c.value) << rawValue(c.easing) << " at " << c.t;
  }
  for (Easing easing : allEasings) {
    for (double t : {-3.0, 0.0, double(NAN)}) EXPECT_EQ(evaluate(easing, t), 0) << rawValue(easing) << " at " << t;
    for (double t : {1.0, 2.0}) EXPECT_EQ(evaluate(easing, t), 1) << rawValue(easing) << " at " << t;
  }
  std::vector<std::string> labels;
  for (Easing easing : allEasings) labels.emplace_back(label(easing));
  EXPECT_EQ(labels, (std::vector<std::string>{"Linear", "Ease in & out", "Ease out", "Spring"}));
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

TEST(Enumerations, RawValuesRoundTrip) {
  expectRoundTrips(allEasings);
  expectRoundTrips(allAssetKinds);
  expectRoundTrips(allDeviceFrames);
  expectRoundTrips(allCursorStyles);
  expectRoundTrips(allCameraLayouts);
  expectRoundTrips(allBubbleShapes);
  expectRoundTrips(allCameraTransitions);
  expectRoundTrips(allMediaAnimations);
  expectRoundTrips(allShapeKinds);
  expectRoundTrips(allShapeDirections);
  expectRoundTrips(allWatermarkPlacements);
  EXPECT_EQ(rawValue(AssetKind::systemAudio), "systemAudio");
  EXPECT_EQ(rawValue(CameraLayout::bubbleBottomRight), "bubbleBottomRight");
  std::vector<std::string> labels;
  for (CameraTransition transition : allCameraTransitions) labels.emplace_back(label(transition));
  EXPECT_EQ(labels, (std::vector<std::string>{"Instant", "Smooth", "Pop", "Flip", "Spin", "Twirl", "Bounce"}));
}

TEST(BackgroundStyle, CasesAreOneKeyObjects) {
  const Uuid asset = Uuid::parse("11111111-1111-4111-8111-111111111111").value();
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
  for (const auto& c : cases) EXPECT_EQ(json(c.style), json::parse(c.json)) << c.json;
}

TEST(CanvasPreset, BuiltInList) {
  const std::vector<CanvasPreset> expected{
      {"16:9", "16:9 · Landscape", 1920, 1080}, {"9:16", "9:16 · Vertical", 1080, 1920},
      {"1:1", "1:1 · Square", 1080, 1080},      {"4:5", "4:5 · Portrait", 1080, 1350},
      {"4:3", "4:3 · Classic", 1440, 1080},     {"3:2", "3:2", 1620, 1080},
      {"21:9", "21:9 · Ultrawide", 2520, 1080},
  };
  EXPECT_EQ(CanvasPreset::all(), expected);
}

}  // namespace
}  // namespace RecorderCore
