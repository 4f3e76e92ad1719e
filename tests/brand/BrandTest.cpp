#include "RecorderCore/brand/Brand.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/platform/UnicodeText.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

TEST(Brand, EmptyInfoGivesEveryDefault) {
  const Brand brand(json::object());
  EXPECT_EQ(brand.compact, "Product");
  EXPECT_EQ(brand.display, "Product");
  EXPECT_FALSE(brand.bundleID.empty());
  EXPECT_FALSE(brand.domain.empty());
  EXPECT_EQ(brand.urlScheme, "product");
  EXPECT_EQ(brand.documentExtension, "product");
  EXPECT_EQ(brand.version, "0.0.0");
  EXPECT_EQ(brand.build, "0");
  EXPECT_EQ(brand.watermarkName, "Product");
  EXPECT_EQ(brand.websiteURL(), "https://" + brand.domain);
  EXPECT_EQ(brand.supportAddress(), "support@" + brand.domain);
  // Not an object at all counts as an empty dictionary.
  EXPECT_EQ(Brand(json::array({1, 2})), brand);
  EXPECT_EQ(Brand(json("ProductNameCompact")), brand);
}

TEST(Brand, FullInfoIsTakenAsItIs) {
  const json info = {{"ProductNameCompact", "Clipster"},
                     {"ProductNameDisplay", "Clipster Studio"},
                     {"CFBundleIdentifier", "org.clipster.app"},
                     {"ProductDomain", "clipster.org"},
                     {"ProductURLScheme", "clipster-x"},
                     {"ProductDocumentExtension", "clipproj"},
                     {"CFBundleShortVersionString", "2.4.1"},
                     {"CFBundleVersion", "812"},
                     {"ProductWatermarkName", "  Clipster  "}};
  const Brand brand(info);
  EXPECT_EQ(brand.compact, "Clipster");
  EXPECT_EQ(brand.display, "Clipster Studio");
  EXPECT_EQ(brand.bundleID, "org.clipster.app");
  EXPECT_EQ(brand.domain, "clipster.org");
  EXPECT_EQ(brand.urlScheme, "clipster-x");
  EXPECT_EQ(brand.documentExtension, "clipproj");
  EXPECT_EQ(brand.versionDescription(), "2.4.1 (812)");
  // No trimming: values are used exactly as written.
  EXPECT_EQ(brand.watermarkName, "  Clipster  ");
  EXPECT_EQ(brand.productMarkText(), "Made with   Clipster  ");
  EXPECT_EQ(brand.websiteURL(), "https://clipster.org");
  EXPECT_EQ(brand.supportAddress(), "support@clipster.org");
}

TEST(Brand, UnusableValuesFallBackToDefaults) {
  static const struct {
    json info;
    std::string compact, display, urlScheme, watermarkName, versionDescription;
  } cases[] = {
      {{{"ProductNameCompact", "$(PRODUCT_NAME)"}}, "Product", "Product", "product", "Product", "0.0.0 (0)"},
      {{{"ProductNameCompact", ""}}, "Product", "Product", "product", "Product", "0.0.0 (0)"},
      {{{"ProductNameCompact", 12}}, "Product", "Product", "product", "Product", "0.0.0 (0)"},
      {{{"ProductNameCompact", nullptr}}, "Product", "Product", "product", "Product", "0.0.0 (0)"},
      {{{"ProductNameCompact", json::array({"A"})}}, "Product", "Product", "product", "Product", "0.0.0 (0)"},
      // Only "$(" at the very start marks a placeholder.
      {{{"ProductNameCompact", "A$(B)"}}, "A$(B)", "Product", "a$(b)", "Product", "0.0.0 (0)"},
      {{{"ProductNameCompact", "$"}}, "$", "Product", "$", "Product", "0.0.0 (0)"},
      {{{"ProductNameDisplay", "Screen Pal"}}, "Product", "Screen Pal", "product", "Screen Pal", "0.0.0 (0)"},
      {{{"ProductNameDisplay", "$(DISPLAY)"}, {"ProductWatermarkName", "$(X)"}},
       "Product", "Product", "product", "Product", "0.0.0 (0)"},
      {{{"CFBundleVersion", "42"}}, "Product", "Product", "product", "Product", "0.0.0 (42)"},
      {{{"CFBundleVersion", 42}, {"CFBundleShortVersionString", "1.0"}},
       "Product", "Product", "product", "Product", "1.0 (0)"},
      // Lower-casing is Unicode-aware, and the derived fields follow the
      // final compact name.
      {{{"ProductNameCompact", "ÉCRAN"}}, "ÉCRAN", "Product", "écran", "Product", "0.0.0 (0)"},
      {{{"ProductNameCompact", "Recorder"}, {"ProductURLScheme", "$(SCHEME)"}},
       "Recorder", "Product", "recorder", "Product", "0.0.0 (0)"},
  };
  for (const auto& c : cases) {
    const Brand brand(c.info);
    EXPECT_EQ(brand.compact, c.compact) << c.info;
    EXPECT_EQ(brand.display, c.display) << c.info;
    EXPECT_EQ(brand.urlScheme, c.urlScheme) << c.info;
    EXPECT_EQ(brand.documentExtension, c.urlScheme) << c.info;
    EXPECT_EQ(brand.watermarkName, c.watermarkName) << c.info;
    EXPECT_EQ(brand.productMarkText(), "Made with " + c.watermarkName) << c.info;
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

}  // namespace
}  // namespace RecorderCore
