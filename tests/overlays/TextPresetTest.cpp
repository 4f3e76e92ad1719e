#include "RecorderCore/overlays/TextPreset.h"

#include <cctype>
#include <cmath>
#include <functional>
#include <limits>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace RecorderCore {
namespace {

::testing::AssertionResult sameColor(const RGBAColor& actual, const RGBAColor& expected) {
  if (actual == expected) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "(" << actual.r << ", " << actual.g << ", " << actual.b << ", " << actual.a
                                       << ") instead of (" << expected.r << ", " << expected.g << ", " << expected.b
                                       << ", " << expected.a << ")";
}

TEST(TextPreset, TableValueByValue) {
  static const RGBAColor black{0, 0, 0, 1};
  static const RGBAColor white{1, 1, 1, 1};
  static const struct {
    const char* id;
    const char* name;
    const char* fontName;  // nullptr: the system font
    bool bold;
    bool uppercase;
    double strokeWidth;
    bool shadow;
    bool box;
    RGBAColor boxColor;
    double boxOpacity;
    double cornerRadius;
    double padding;
    RGBAColor textColor;
  } expected[] = {
      {"plain", "Plain", nullptr, true, false, 0, false, false, black, 1, 0.25, 0.45, white},
      {"label", "Label", nullptr, true, false, 0, false, true, white, 1, 0.22, 0.45, black},
      {"pill", "Pill", nullptr, true, false, 0, false, true, black, 0.85, 0.5, 0.55, white},
      {"beast", "Beast", "Impact", false, true, 0.09, true, false, black, 1, 0.25, 0.45, white},
      {"boxed", "Boxed", nullptr, true, false, 0, false, true, black, 1, 0, 0.45, white},
      {"marker", "Marker", nullptr, true, false, 0, false, true, {1, 0.86, 0.1, 1}, 1, 0.12, 0.35, black},
  };
  const auto& all = TextPreset::all();
  ASSERT_EQ(all.size(), std::size(expected));
  for (std::size_t i = 0; i < all.size(); ++i) {
    const auto& e = expected[i];
    const TextPreset& preset = all[i];
    SCOPED_TRACE(e.id);
    EXPECT_EQ(preset.id, e.id);
    EXPECT_EQ(preset.name, e.name);
    EXPECT_EQ(preset.style.fontName, e.fontName ? std::optional<std::string>(e.fontName) : std::nullopt);
    EXPECT_EQ(preset.style.bold, e.bold);
    EXPECT_FALSE(preset.style.italic);
    EXPECT_EQ(preset.style.uppercase, e.uppercase);
    EXPECT_EQ(preset.style.strokeWidth, e.strokeWidth);
    EXPECT_TRUE(sameColor(preset.style.strokeColor, black));
    EXPECT_EQ(preset.style.shadow, e.shadow);
    EXPECT_EQ(preset.style.boxEnabled, e.box);
    EXPECT_TRUE(sameColor(preset.style.boxColor, e.boxColor));
    EXPECT_EQ(preset.style.boxOpacity, e.boxOpacity);
    EXPECT_EQ(preset.style.cornerRadius, e.cornerRadius);
    EXPECT_EQ(preset.style.padding, e.padding);
    EXPECT_TRUE(sameColor(preset.textColor, e.textColor));
  }
  EXPECT_EQ(&TextPreset::all(), &all) << "built once and shared";
}

TEST(TextPreset, IdsAreDistinctAndLowerCase) {
  std::set<std::string> ids;
  for (const auto& preset : TextPreset::all()) {
    ids.insert(preset.id);
    for (char c : preset.id) EXPECT_TRUE(std::islower(static_cast<unsigned char>(c))) << preset.id;
  }
  EXPECT_EQ(ids.size(), 6u);
}

TEST(TextPreset, EachLookMatchesItself) {
  for (const auto& preset : TextPreset::all()) {
    const auto found = TextPreset::matching(preset.style, preset.textColor);
    ASSERT_TRUE(found) << preset.id;
    EXPECT_EQ(found->id, preset.id);
    EXPECT_EQ(*found, preset);
    // Without a colour, white is assumed: only the white-text looks match.
    const auto withoutColor = TextPreset::matching(preset.style, std::nullopt);
    if (preset.textColor == RGBAColor{1, 1, 1, 1}) {
      ASSERT_TRUE(withoutColor) << preset.id;
      EXPECT_EQ(withoutColor->id, preset.id);
    } else {
      EXPECT_FALSE(withoutColor) << preset.id;
    }
  }
}

TEST(TextPreset, NearMissesMatchNothing) {
  const double up = std::numeric_limits<double>::infinity();
  auto nudge = [up](double& value) { value = std::nextafter(value, up); };
  const struct {
    const char* field;
    std::function<void(TextStyle&, RGBAColor&)> change;
  } changes[] = {
      {"fontName", [](TextStyle& s, RGBAColor&) { s.fontName = s.fontName ? std::nullopt : std::optional<std::string>("Impact"); }},
      {"fontName case", [](TextStyle& s, RGBAColor&) { if (s.fontName) s.fontName = "impact"; else s.fontName = ""; }},
      {"bold", [](TextStyle& s, RGBAColor&) { s.bold = !s.bold; }},
      {"italic", [](TextStyle& s, RGBAColor&) { s.italic = !s.italic; }},
      {"uppercase", [](TextStyle& s, RGBAColor&) { s.uppercase = !s.uppercase; }},
      {"strokeWidth", [nudge](TextStyle& s, RGBAColor&) { nudge(s.strokeWidth); }},
      {"strokeColor.r", [nudge](TextStyle& s, RGBAColor&) { nudge(s.strokeColor.r); }},
      {"strokeColor.g", [nudge](TextStyle& s, RGBAColor&) { nudge(s.strokeColor.g); }},
      {"strokeColor.b", [nudge](TextStyle& s, RGBAColor&) { nudge(s.strokeColor.b); }},
      {"strokeColor.a", [](TextStyle& s, RGBAColor&) { s.strokeColor.a = 0.99; }},
      {"shadow", [](TextStyle& s, RGBAColor&) { s.shadow = !s.shadow; }},
      {"boxEnabled", [](TextStyle& s, RGBAColor&) { s.boxEnabled = !s.boxEnabled; }},
      {"boxColor.r", [nudge](TextStyle& s, RGBAColor&) { nudge(s.boxColor.r); }},
      {"boxColor.g", [nudge](TextStyle& s, RGBAColor&) { nudge(s.boxColor.g); }},
      {"boxColor.b", [nudge](TextStyle& s, RGBAColor&) { nudge(s.boxColor.b); }},
      {"boxColor.a", [](TextStyle& s, RGBAColor&) { s.boxColor.a = 0.99; }},
      {"boxOpacity", [](TextStyle& s, RGBAColor&) { s.boxOpacity = std::nextafter(s.boxOpacity, 0.0); }},
      {"cornerRadius", [nudge](TextStyle& s, RGBAColor&) { nudge(s.cornerRadius); }},
      {"padding", [nudge](TextStyle& s, RGBAColor&) { nudge(s.padding); }},
      {"padding 0.46", [](TextStyle& s, RGBAColor&) { s.padding += 0.01; }},
      {"textColor.r", [nudge](TextStyle&, RGBAColor& c) { nudge(c.r); }},
      {"textColor.g", [nudge](TextStyle&, RGBAColor& c) { nudge(c.g); }},
      {"textColor.b", [nudge](TextStyle&, RGBAColor& c) { nudge(c.b); }},
      {"textColor.a 0.99", [](TextStyle&, RGBAColor& c) { c.a = 0.99; }},
  };
  for (const auto& preset : TextPreset::all()) {
    for (const auto& change : changes) {
      TextStyle style = preset.style;
      RGBAColor color = preset.textColor;
      change.change(style, color);
      ASSERT_TRUE(style != preset.style || color != preset.textColor) << preset.id << " " << change.field;
      const auto found = TextPreset::matching(style, color);
      EXPECT_FALSE(found) << preset.id << " with " << change.field << " changed matched " << found->id;
    }
  }
}

TEST(TextPreset, DocumentedLookups) {
  const auto& all = TextPreset::all();
  const TextPreset& plain = all[0];
  const TextPreset& label = all[1];
  ASSERT_EQ(label.id, "label");
  EXPECT_EQ(TextPreset::matching(label.style, label.textColor)->id, "label");
  EXPECT_FALSE(TextPreset::matching(label.style, RGBAColor{0, 0, 0, 0.99}));
  ASSERT_EQ(plain.id, "plain");
  EXPECT_EQ(TextPreset::matching(plain.style, std::nullopt)->id, "plain");
  EXPECT_FALSE(TextPreset::matching(plain.style, RGBAColor{0, 0, 0, 1}));
  // A default style is none of the looks.
  EXPECT_FALSE(TextPreset::matching(TextStyle{}, std::nullopt));
}

}  // namespace
}  // namespace RecorderCore
