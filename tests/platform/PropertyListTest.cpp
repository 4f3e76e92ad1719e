#include "RecorderCore/platform/PropertyList.h"

#include <gtest/gtest.h>

#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/MainBundle.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

const std::string kFixtures = RECORDER_SOURCE_DIR "/tests/platform/fixtures/";

// Both fixtures were written by another implementation of the format (and
// hold the same dictionary), so this checks the reading against the files as
// Apple's tools lay them out, not against our own writer.
TEST(PropertyList, ReadsXMLAndBinaryFormsAlike) {
  const json expected = {
      {"ProductNameCompact", "Clipster"}, {"ProductNameDisplay", "Clipster Studio ✨"},
      {"CFBundleExecutable", "Clipster"}, {"EnabledFeatures", "mcp"},
      {"Count", 42}, {"Negative", -7}, {"Big", 9007199254740993}, {"Ratio", 0.25},
      {"Flag", true}, {"Off", false}, {"Built", "2024-05-01T12:00:00Z"}, {"Blob", "AAH/aGVsbG8="},
      {"List", json::array({"a", 1, {{"deep", json::array({true})}}})}, {"Empty", json::object()},
  };
  for (const char* name : {"Info-xml.plist", "Info-binary.plist"}) {
    const auto value = PropertyList::readFile(kFixtures + name);
    ASSERT_TRUE(value.has_value()) << name;
    EXPECT_EQ(*value, expected) << name;
    // Integers stay integers and reals stay reals.
    EXPECT_TRUE((*value)["Count"].is_number_integer()) << name;
    EXPECT_TRUE((*value)["Ratio"].is_number_float()) << name;
    EXPECT_EQ(PropertyList::readDictionary(kFixtures + name), expected) << name;
  }
}

TEST(PropertyList, UnreadableInputIsNothingOrAnEmptyDictionary) {
  static const std::string cases[] = {
      "", "not a plist", "bplist00", "bplist00" + std::string(16, '\xff'),
      "<?xml version=\"1.0\"?><plist><dict><key>a</key>",
      "<?xml version=\"1.0\"?><plist version=\"1.0\"><string>no dict</string></plist>",
  };
  for (const auto& bytes : cases) {
    const auto value = PropertyList::parse(bytes);
    EXPECT_TRUE(!value || !value->is_object() || value->empty()) << bytes;
  }
  EXPECT_EQ(PropertyList::readFile(kFixtures + "missing.plist"), std::nullopt);
  EXPECT_EQ(PropertyList::readDictionary(kFixtures + "missing.plist"), json::object());
  // A folder is not a file.
  EXPECT_EQ(PropertyList::readDictionary(kFixtures), json::object());
}

TEST(MainBundle, BundleIsThreeComponentsAboveTheExecutable) {
  static const struct {
    std::string executable, bundle, name;
  } cases[] = {
      {"/tmp/My App.app/Contents/MacOS/recorder-mcp", "/tmp/My App.app", "My App.app"},
      {"/a/b/c/d/", "/a", "a"},
      {"/c/d", "/", "/"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(MainBundle::bundlePath(c.executable), c.bundle) << c.executable;
    EXPECT_EQ(MainBundle::lastPathComponent(c.bundle), c.name) << c.executable;
  }
}

}  // namespace
}  // namespace RecorderCore
