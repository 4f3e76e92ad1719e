#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/brand/Features.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/platform/UnicodeText.h"

namespace RecorderCore {
namespace {

using nlohmann::json;
using Environment = std::map<std::string, std::string>;
using Names = std::set<std::string>;

TEST(Brand, InfoValuesAreTakenAsWrittenOrDefaulted) {
  EXPECT_EQ(Brand(json::array({1, 2})), Brand(json::object()));  // not an object: an empty dictionary
  const Brand full(json{{"ProductNameCompact", "Clipster"}, {"ProductNameDisplay", "Clipster Studio"},
                        {"CFBundleIdentifier", "org.clipster.app"}, {"ProductDomain", "clipster.org"},
                        {"ProductURLScheme", "clipster-x"}, {"ProductDocumentExtension", "clipproj"},
                        {"CFBundleShortVersionString", "2.4.1"}, {"CFBundleVersion", "812"},
                        {"ProductWatermarkName", "  Clipster  "}});
  EXPECT_EQ(std::tuple(full.bundleID, full.urlScheme, full.documentExtension),
            std::tuple("org.clipster.app", "clipster-x", "clipproj"));
  EXPECT_EQ(full.versionDescription(), "2.4.1 (812)");
  EXPECT_EQ(full.productMarkText(), "Made with   Clipster  ");  // no trimming
  EXPECT_EQ(full.websiteURL(), "https://clipster.org");
  EXPECT_EQ(full.supportAddress(), "support@clipster.org");
}

TEST(Brand, UnusableValuesFallBackToDefaults) {
  static const struct {
    json info;
    std::string compact, display, urlScheme, versionDescription;
  } cases[] = {
      {{{"ProductNameCompact", "$(PRODUCT_NAME)"}}, "Product", "Product", "product", "0.0.0 (0)"},
      {{{"ProductNameCompact", 12}}, "Product", "Product", "product", "0.0.0 (0)"},
      // Only "$(" at the very start marks a placeholder.
      {{{"ProductNameCompact", "A$(B)"}}, "A$(B)", "Product", "a$(b)", "0.0.0 (0)"},
      {{{"ProductNameDisplay", "Screen Pal"}}, "Product", "Screen Pal", "product", "0.0.0 (0)"},
      {{{"CFBundleVersion", "42"}}, "Product", "Product", "product", "0.0.0 (42)"},
      {{{"CFBundleVersion", 42}, {"CFBundleShortVersionString", "1.0"}}, "Product", "Product", "product", "1.0 (0)"},
      // Lower-casing is Unicode-aware; derived fields follow the final compact name.
      {{{"ProductNameCompact", "ÉCRAN"}}, "ÉCRAN", "Product", "écran", "0.0.0 (0)"},
      {{{"ProductNameCompact", "Rec"}, {"ProductURLScheme", "$(S)"}}, "Rec", "Product", "rec", "0.0.0 (0)"},
  };
  for (const auto& c : cases) {
    const Brand brand(c.info);
    EXPECT_EQ(std::tuple(brand.compact, brand.display, brand.urlScheme, brand.documentExtension),
              std::tuple(c.compact, c.display, c.urlScheme, c.urlScheme)) << c.info;
    EXPECT_EQ(brand.productMarkText(), "Made with " + c.display) << c.info;
    EXPECT_EQ(brand.versionDescription(), c.versionDescription) << c.info;
  }
}

RC_GTEST_PROP(Brand, EveryStringFieldIsUsedOrDefaulted, (const std::string& compact,
                                                         const std::string& display)) {
  const Brand brand(json{{"ProductNameCompact", compact}, {"ProductNameDisplay", display}});
  const bool compactUsable = !compact.empty() && compact.rfind("$(", 0) != 0;
  const bool displayUsable = !display.empty() && display.rfind("$(", 0) != 0;
  RC_ASSERT(brand.compact == (compactUsable ? compact : "Product"));
  RC_ASSERT(brand.display == (displayUsable ? display : "Product"));
  RC_ASSERT(brand.urlScheme == UnicodeText::lowercased(brand.compact));
  RC_ASSERT(brand.watermarkName == brand.display);
}

TEST(Features, SourceTextIsSplitTrimmedAndLowercased) {
  for (Feature feature : allFeatures) EXPECT_EQ(featureFromRawValue(rawValue(feature)), feature);
  EXPECT_EQ(featureFromRawValue("MCP"), std::nullopt);

  static const struct {
    Environment environment;
    std::optional<std::string> plist;
    Names expected;
  } cases[] = {
      {{}, std::nullopt, {}},
      {{}, " MCP , , other", {"mcp", "other"}},
      {{}, "\tmcp\t,mcp,a b", {"mcp", "a b"}},
      // Only spaces and tabs are trimmed, not other white space.
      {{}, "mcp\n", {"mcp\n"}},
      {{}, "Ünïcode", {"ünïcode"}},
      // The variable wins whenever it is set, even empty.
      {{{"ENABLED_FEATURES", ""}}, "mcp", {}},
      {{{"ENABLED_FEATURES", "Mcp"}}, std::nullopt, {"mcp"}},
      {{{"ENABLED_FEATURES_X", ""}, {"enabled_features", ""}}, "mcp", {"mcp"}},
  };
  for (const auto& c : cases) {
    const Features features(c.environment, c.plist);
    EXPECT_EQ(features.enabled, c.expected) << c.plist.value_or("(none)");
    EXPECT_EQ(features.isEnabled(Feature::mcp), c.expected.contains("mcp")) << c.plist.value_or("(none)");
  }
  EXPECT_EQ(Features({}, "b,a"), Features({}, "A, B, a"));
  EXPECT_NE(Features({}, "a"), Features({}, "a,b"));
}

// Whatever the texts, the environment variable alone decides once it is set,
// and every name in the set is a trimmed, non-empty, comma-free piece.
RC_GTEST_PROP(Features, VariableDecidesAndNamesAreClean,
              (const std::string& variable, const std::string& plist)) {
  const Features withVariable({{"ENABLED_FEATURES", variable}}, plist);
  RC_ASSERT(withVariable == Features({}, variable));
  for (const std::string& name : Features({}, plist).enabled) {
    RC_ASSERT(!name.empty());
    RC_ASSERT(name.find(',') == std::string::npos);
    RC_ASSERT(name.front() != ' ' && name.front() != '\t');
    RC_ASSERT(name.back() != ' ' && name.back() != '\t');
  }
}

}  // namespace
}  // namespace RecorderCore
