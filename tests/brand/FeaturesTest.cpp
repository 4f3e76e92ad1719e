#include "RecorderCore/brand/Features.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

namespace RecorderCore {
namespace {

using Environment = std::map<std::string, std::string>;
using Names = std::set<std::string>;

TEST(Feature, RawValuesRoundTrip) {
  for (Feature feature : allFeatures) {
    EXPECT_EQ(featureFromRawValue(rawValue(feature)), feature);
  }
  EXPECT_EQ(rawValue(Feature::mcp), "mcp");
  EXPECT_EQ(featureFromRawValue("MCP"), std::nullopt);
  EXPECT_EQ(featureFromRawValue(""), std::nullopt);
}

TEST(Features, SourceTextIsSplitTrimmedAndLowercased) {
  static const struct {
    Environment environment;
    std::optional<std::string> plist;
    Names expected;
  } cases[] = {
      {{}, std::nullopt, {}},
      {{}, "mcp", {"mcp"}},
      {{}, " MCP , , other", {"mcp", "other"}},
      {{}, "\tmcp\t,mcp,MCP", {"mcp"}},
      {{}, ",,,", {}},
      {{}, "", {}},
      {{}, "a b, c", {"a b", "c"}},
      // Only spaces and tabs are trimmed, not other white space.
      {{}, "mcp\n", {"mcp\n"}},
      {{}, "Ünïcode", {"ünïcode"}},
      // The variable wins whenever it is set, even empty.
      {{{"ENABLED_FEATURES", ""}}, "mcp", {}},
      {{{"ENABLED_FEATURES", "other"}}, "mcp", {"other"}},
      {{{"ENABLED_FEATURES", "Mcp"}}, std::nullopt, {"mcp"}},
      {{{"ENABLED_FEATURES_X", ""}, {"PATH", "/bin"}}, "mcp", {"mcp"}},
      {{{"enabled_features", ""}}, "mcp", {"mcp"}},
  };
  for (const auto& c : cases) {
    const Features features(c.environment, c.plist);
    EXPECT_EQ(features.enabled, c.expected) << c.plist.value_or("(none)");
    EXPECT_EQ(features.isEnabled(Feature::mcp), c.expected.contains("mcp"))
        << c.plist.value_or("(none)");
  }
}

TEST(Features, EqualityIsByTheSet) {
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
