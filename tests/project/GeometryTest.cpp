#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/motion/CameraTransition.h"
#include "RecorderCore/project/Project.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

TEST(RGBAColor, ParseHex) {
  static const struct {
    const char* text;
    std::optional<RGBAColor> color;
  } cases[] = {
      {"#D4FC79", RGBAColor{212 / 255.0, 252 / 255.0, 121 / 255.0, 1}},
      {"d4fc79", RGBAColor{212 / 255.0, 252 / 255.0, 121 / 255.0, 1}},
      {"#96E6A180", RGBAColor{150 / 255.0, 230 / 255.0, 161 / 255.0, 128 / 255.0}},
      {" \t#96E6A1 \t", RGBAColor{150 / 255.0, 230 / 255.0, 161 / 255.0, 1}},
      {"\u00A0#96e6A1\u3000", RGBAColor{150 / 255.0, 230 / 255.0, 161 / 255.0, 1}},  // Unicode spaces trim too
      {"#00000000", RGBAColor{0, 0, 0, 0}},
      {"FFFFFF", RGBAColor::white},
      {"#11223344", RGBAColor{0x11 / 255.0, 0x22 / 255.0, 0x33 / 255.0, 0x44 / 255.0}},
      {"+FFFFF", RGBAColor{0x0F / 255.0, 1, 1, 1}},  // the integer parse takes one plus sign
      {"#FFF", std::nullopt},
      {"#", std::nullopt},
      {"", std::nullopt},
      {"   ", std::nullopt},
      {"#12345", std::nullopt},
      {"#1234567", std::nullopt},
      {"#123456789A", std::nullopt},
      {"#GG0000", std::nullopt},
      {"##123456", std::nullopt},
      {"#12 456", std::nullopt},
      {"-12345", std::nullopt},
      {"++1234", std::nullopt},
      {"#123456\n", std::nullopt},  // line breaks are not trimmed
      {"12345\u0301", std::nullopt},  // six characters counted as five: the accent joins the 5
      {"1234\u0301\u0301", std::nullopt},
      {"#ＦＦＦＦＦＦ", std::nullopt},  // full-width digits are not hex digits
      {"\xFF\xFE\xFD\xFC\xFB\xFA", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RGBAColor::parseHex(c.text), c.color) << c.text;
  }
}

TEST(RGBAColor, HexString) {
  static const struct {
    RGBAColor color;
    const char* text;
  } cases[] = {
      {{150 / 255.0, 230 / 255.0, 161 / 255.0, 1}, "#96E6A1"},
      {{0.5, 0, 1, 1}, "#8000FF"},  // 127.5 rounds half away from zero
      {{1.7, -0.2, 0.5, 1}, "#FF0080"},
      {{0x11 / 255.0, 0x22 / 255.0, 0x33 / 255.0, 0x44 / 255.0}, "#112233"},
      {{-0.0, 0.001, 0.999, 0}, "#0000FF"},
      {{NAN, 0, 0, 1}, "#000000"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.color.hexString(), c.text) << c.text;
  }
  EXPECT_EQ(RGBAColor::parseHex("#96e6a1")->hexString(), "#96E6A1");
  EXPECT_EQ(RGBAColor::parseHex("11223344")->hexString(), "#112233");
}

RC_GTEST_PROP(RGBAColor, HexStringParsesBackToTheSameBytes, (std::uint8_t r, std::uint8_t g, std::uint8_t b)) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", r, g, b);
  const auto color = RGBAColor::parseHex(text);
  RC_ASSERT(color.has_value());
  RC_ASSERT(color->hexString() == text);
}

TEST(RGBAColor, ConstantsAndUnclampedJSON) {
  EXPECT_EQ(RGBAColor::black, (RGBAColor{0, 0, 0, 1}));
  EXPECT_EQ(RGBAColor::white, (RGBAColor{1, 1, 1, 1}));
  EXPECT_EQ(RGBAColor::accent, (RGBAColor{0.588, 0.902, 0.631, 1}));
  EXPECT_EQ(RGBAColor::highlight, (RGBAColor{1.0, 0.75, 0.1, 0.85}));
  const auto decoded = Coding::decode<RGBAColor>(json::parse(R"({"r": 0.5, "g": -1, "b": 3, "a": 2})"));
  EXPECT_EQ(decoded, (RGBAColor{0.5, -1, 3, 2}));
  EXPECT_EQ(json(decoded), json::parse(R"({"r": 0.5, "g": -1.0, "b": 3.0, "a": 2.0})"));
  EXPECT_EQ(RGBAColor({-0.0, 0, 0, 1}), RGBAColor::black) << "negative zero equals zero";
}

TEST(Geometry, JSONKeysAllRequired) {
  EXPECT_EQ(json(Rect{1, 2, 3, 4}), json::parse(R"({"x": 1.0, "y": 2.0, "width": 3.0, "height": 4.0})"));
  EXPECT_EQ(json(Point{0.5, -1}), json::parse(R"({"x": 0.5, "y": -1.0})"));
  EXPECT_EQ(json(Size{3024, 1964}), json::parse(R"({"width": 3024.0, "height": 1964.0})"));
  static const struct {
    const char* json;
    const char* path;
  } failures[] = {
      {R"({"x": 1, "y": 2, "width": 3})", "height"},
      {R"({"x": 1, "y": 2, "width": 3, "height": null})", "height"},
      {R"({"x": "1", "y": 2, "width": 3, "height": 4})", "x"},
      {R"({"x": 1, "y": true, "width": 3, "height": 4})", "y"},
      {R"([1, 2, 3, 4])", ""},
  };
  for (const auto& c : failures) {
    try {
      Coding::decode<Rect>(json::parse(c.json));
      ADD_FAILURE() << c.json << " decoded";
    } catch (const DecodingError& error) {
      EXPECT_EQ(error.path(), c.path) << c.json;
    }
  }
  EXPECT_THROW(Coding::decode<RGBAColor>(json::parse(R"({"r": 1, "g": 1, "b": 1})")), DecodingError);
  EXPECT_THROW(Coding::decode<Size>(json::parse(R"({"width": 1})")), DecodingError);
  EXPECT_THROW(Coding::decode<Point>(json::parse(R"({"x": 1})")), DecodingError);
}

TEST(Easing, Curves) {
  static const struct {
    Easing easing;
    double t;
    double value;
  } cases[] = {
      {Easing::linear, 0.25, 0.25},
      {Easing::linear, -3, 0},
      {Easing::linear, 2, 1},
      {Easing::easeInOut, 0.25, 0.0625},  // 4·x³
      {Easing::easeInOut, 0.5, 0.5},      // second branch: 1 − 1/2
      {Easing::easeInOut, 0.75, 0.9375},  // 1 − 0.5³/2
      {Easing::easeOut, 0.5, 0.875},
      {Easing::easeOut, 0.25, 1 - 0.75 * 0.75 * 0.75},
      {Easing::spring, 0.5, std::exp2(-5.0) * std::sin(4.25 * 2.0943951023931953) + 1},
      {Easing::spring, 0.1, 0.5 * std::sin(0.25 * 2.0943951023931953) + 1},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(evaluate(c.easing, c.t), c.value) << rawValue(c.easing) << " at " << c.t;
  }
  for (Easing easing : allEasings) {
    EXPECT_EQ(evaluate(easing, -3), 0) << rawValue(easing);
    EXPECT_EQ(evaluate(easing, 0), 0) << rawValue(easing);
    EXPECT_EQ(evaluate(easing, 1), 1) << rawValue(easing);
    EXPECT_EQ(evaluate(easing, 2), 1) << rawValue(easing);
    EXPECT_EQ(evaluate(easing, NAN), 0) << rawValue(easing);
  }
  EXPECT_GT(evaluate(Easing::spring, 0.5), 1) << "spring overshoots";
}

// Every enumeration: its cases in declaration order, their raw strings, and
// JSON that writes the raw string and refuses anything else.
template <class E, std::size_t N>
void expectRawValues(const std::array<E, N>& all, const std::vector<std::string>& expected, const char* type) {
  ASSERT_EQ(all.size(), expected.size()) << type;
  for (std::size_t i = 0; i < N; ++i) {
    EXPECT_EQ(rawValue(all[i]), expected[i]) << type;
    EXPECT_EQ(json(all[i]), expected[i]) << type;
    EXPECT_EQ(Coding::decode<E>(json(expected[i])), all[i]) << type << " " << expected[i];
    std::string shouted = expected[i];
    shouted[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(shouted[0])));
    EXPECT_THROW(Coding::decode<E>(json(shouted)), DecodingError) << type << " " << shouted;
  }
  EXPECT_THROW(Coding::decode<E>(json("")), DecodingError) << type;
  EXPECT_THROW(Coding::decode<E>(json(0)), DecodingError) << type << ": the case's index is not its raw value";
  EXPECT_THROW(Coding::decode<E>(json(nullptr)), DecodingError) << type;
}

TEST(Enumerations, RawValues) {
  expectRawValues(allEasings, {"linear", "easeInOut", "easeOut", "spring"}, "Easing");
  expectRawValues(allAssetKinds,
                  {"screen", "camera", "microphone", "systemAudio", "events", "image", "gif", "video", "audio", "text",
                   "blur", "shape"},
                  "AssetKind");
  expectRawValues(allDeviceFrames, {"none", "macbook", "browser"}, "DeviceFrame");
  expectRawValues(allCursorStyles, {"arrow", "dot", "ring"}, "CursorStyle");
  expectRawValues(allCameraLayouts,
                  {"hidden", "bubbleBottomRight", "bubbleBottomLeft", "bubbleTopRight", "bubbleTopLeft", "sideBySide",
                   "fullScreen"},
                  "CameraLayout");
  expectRawValues(allBubbleShapes, {"circle", "roundedRect"}, "BubbleShape");
  expectRawValues(allCameraTransitions, {"instant", "smooth", "pop", "flip", "spin", "twirl", "bounce"},
                  "CameraTransition");
  expectRawValues(allMediaAnimations,
                  {"none", "fade", "pop", "slideUp", "slideDown", "slideLeft", "slideRight", "shake", "bounce", "draw"},
                  "MediaAnimation");
  expectRawValues(allShapeKinds, {"arrow", "line", "rectangle", "ellipse"}, "ShapeKind");
  expectRawValues(allShapeDirections, {"right", "downRight", "down", "downLeft", "left", "upLeft", "up", "upRight"},
                  "ShapeDirection");
  expectRawValues(allWatermarkPlacements,
                  {"bottomRight", "bottomLeft", "topRight", "topLeft", "middleLeft", "middleRight", "topCenter",
                   "bottomCenter", "center"},
                  "WatermarkPlacement");
}

TEST(Enumerations, Labels) {
  std::vector<std::string> easingLabels;
  for (Easing easing : allEasings) easingLabels.emplace_back(label(easing));
  EXPECT_EQ(easingLabels, (std::vector<std::string>{"Linear", "Ease in & out", "Ease out", "Spring"}));
  std::vector<std::string> transitionLabels;
  for (CameraTransition transition : allCameraTransitions) transitionLabels.emplace_back(label(transition));
  EXPECT_EQ(transitionLabels,
            (std::vector<std::string>{"Instant", "Smooth", "Pop", "Flip", "Spin", "Twirl", "Bounce"}));
  EXPECT_EQ(cameraTransitionDefaultDuration, 0.6);
}

TEST(MediaItem, DrawProgress) {
  MediaItem shape;
  shape.kind = AssetKind::shape;
  shape.start = 2;
  shape.end = 10;
  shape.inAnimation = MediaAnimation::draw;
  shape.outAnimation = MediaAnimation::draw;
  shape.animationDuration = 1;
  static const struct {
    double t, progress;
  } cases[] = {{0, 0}, {2, 0}, {2.5, 0.5}, {3, 1}, {6, 1}, {9, 1}, {9.5, 0.5}, {10, 0}, {12, 0}};
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(shape.drawProgress(c.t), c.progress) << c.t;

  MediaItem inOnly = shape;
  inOnly.outAnimation = MediaAnimation::fade;
  EXPECT_DOUBLE_EQ(inOnly.drawProgress(2.25), 0.25);
  EXPECT_EQ(inOnly.drawProgress(10), 1);
  MediaItem outOnly = shape;
  outOnly.inAnimation = MediaAnimation::none;
  EXPECT_EQ(outOnly.drawProgress(2), 1);
  EXPECT_DOUBLE_EQ(outOnly.drawProgress(9.75), 0.25);

  MediaItem instant = shape;
  instant.animationDuration = 0;
  for (double t : {0.0, 2.0, 6.0, 10.0, 11.0}) EXPECT_EQ(instant.drawProgress(t), 1) << t;
  MediaItem negative = shape;
  negative.animationDuration = -1;
  EXPECT_EQ(negative.drawProgress(2), 1);
}

}  // namespace
}  // namespace RecorderCore
