#include "RecorderCore/agent/AgentArguments.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace RecorderCore {
namespace {

using nlohmann::json;

// Points HOME and the current folder at fixed places for one test and puts
// them back afterwards; nothing on disk is touched.
class PathEnvironment {
 public:
  PathEnvironment(const char* home, const std::filesystem::path& folder) {
    if (const char* old = std::getenv("HOME")) oldHome_ = old;
    oldFolder_ = std::filesystem::current_path();
    setenv("HOME", home, 1);
    std::filesystem::current_path(folder);
  }
  ~PathEnvironment() {
    if (oldHome_) {
      setenv("HOME", oldHome_->c_str(), 1);
    } else {
      unsetenv("HOME");
    }
    std::filesystem::current_path(oldFolder_);
  }

 private:
  std::optional<std::string> oldHome_;
  std::filesystem::path oldFolder_;
};

TEST(AgentArguments, OptionalAccessorsTreatWrongTypesAsAbsent) {
  const AgentArguments arguments(json::parse(R"({
    "text": "hello", "empty": "", "three": "3", "int": 7, "float": 7.9, "negative": -2.7,
    "yes": true, "no": false, "object": {"a": 1}, "array": [1], "null": null,
    "huge": 1e300, "tiny": -1e300, "unsigned": 18446744073709551615
  })"));
  static const struct {
    const char* key;
    std::optional<std::string> string;
    std::optional<bool> boolean;
    std::optional<double> number;
    std::optional<std::int64_t> integer;
    bool object;
  } cases[] = {
      {"text", "hello", {}, {}, {}, false},
      {"empty", "", {}, {}, {}, false},
      {"three", "3", {}, {}, {}, false},
      {"int", {}, {}, 7.0, 7, false},
      {"float", {}, {}, 7.9, 7, false},
      {"negative", {}, {}, -2.7, -2, false},
      {"yes", {}, true, 1.0, 1, false},
      {"no", {}, false, 0.0, 0, false},
      {"object", {}, {}, {}, {}, true},
      {"array", {}, {}, {}, {}, false},
      {"null", {}, {}, {}, {}, false},
      {"missing", {}, {}, {}, {}, false},
      {"huge", {}, {}, 1e300, std::numeric_limits<std::int64_t>::max(), false},
      {"tiny", {}, {}, -1e300, std::numeric_limits<std::int64_t>::min(), false},
      {"unsigned", {}, {}, 18446744073709551615.0, std::numeric_limits<std::int64_t>::max(), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(arguments.string(c.key), c.string) << c.key;
    EXPECT_EQ(arguments.boolean(c.key), c.boolean) << c.key;
    EXPECT_EQ(arguments.number(c.key), c.number) << c.key;
    EXPECT_EQ(arguments.integer(c.key), c.integer) << c.key;
    EXPECT_EQ(arguments.object(c.key).has_value(), c.object) << c.key;
  }
  EXPECT_EQ(arguments.object("object"), json({{"a", 1}}));

  // Nothing, or something other than an object, is no arguments at all.
  EXPECT_EQ(AgentArguments().raw, json::object());
  EXPECT_EQ(AgentArguments(json::array({1})).raw, json::object());
  EXPECT_EQ(AgentArguments(json("x")).string("x"), std::nullopt);
}

TEST(AgentArguments, ThrowingAccessorsNameTheArgument) {
  const AgentArguments arguments(json::parse(
      R"({"path": "/tmp/a", "blank": "", "at": 3, "atText": "3", "flag": true, "color": "#1C1C1E",
          "red": "red", "number": 12, "short": "#12345", "alpha": "1c1c1e80"})"));
  EXPECT_EQ(arguments.requiredString("path"), "/tmp/a");
  EXPECT_EQ(arguments.requiredNumber("at"), 3.0);
  EXPECT_EQ(arguments.requiredNumber("flag"), 1.0);
  EXPECT_EQ(arguments.color("color"), RGBAColor::parseHex("#1C1C1E"));
  EXPECT_TRUE(arguments.color("color").has_value());
  EXPECT_EQ(arguments.color("alpha"), RGBAColor::parseHex("1c1c1e80"));
  EXPECT_EQ(arguments.color("missing"), std::nullopt);
  EXPECT_EQ(arguments.color("number"), std::nullopt);

  static const struct {
    std::function<void()> call;
    AgentError expected;
  } failures[] = {
      {[&] { arguments.requiredString("missing"); }, AgentError("bad_argument", "Argument missing: is required.")},
      {[&] { arguments.requiredString("blank"); }, AgentError("bad_argument", "Argument blank: is required.")},
      {[&] { arguments.requiredString("at"); }, AgentError("bad_argument", "Argument at: is required.")},
      {[&] { arguments.requiredNumber("atText"); },
       AgentError("bad_argument", "Argument atText: is required and must be a number.")},
      {[&] { arguments.requiredNumber("missing"); },
       AgentError("bad_argument", "Argument missing: is required and must be a number.")},
      {[&] { arguments.color("red"); }, AgentError("bad_argument", "Argument red: must be a hex color like #1C1C1E.")},
      {[&] { arguments.color("short"); },
       AgentError("bad_argument", "Argument short: must be a hex color like #1C1C1E.")},
      {[&] { arguments.color("blank"); },
       AgentError("bad_argument", "Argument blank: must be a hex color like #1C1C1E.")},
  };
  for (const auto& failure : failures) {
    try {
      failure.call();
      ADD_FAILURE() << "no error for " << failure.expected.message;
    } catch (const AgentError& error) {
      EXPECT_EQ(error, failure.expected);
      EXPECT_EQ(error.hint, std::nullopt);
    }
  }
}

// Paths an agent might send to get out of the folders it may touch, and a few
// it may use. Each answer is what the rule gives: standardise (with "~" as the
// home folder and relative paths under the current folder), then compare by
// characters with each root.
TEST(AgentArguments, IsAllowedPathHoldsAgainstAttacks) {
  const PathEnvironment environment("/Users/ana", "/");
  const std::string root = "/Users/ana/Movies/Acme";
  const std::string secondRoot = "/var/folders/ab/T/acme";
  static const struct {
    std::string path;
    bool allowed;
  } cases[] = {
      {"/Users/ana/Movies/Acme", true},
      {"/Users/ana/Movies/Acme/", true},
      {"/Users/ana/Movies/Acme/take.mp4", true},
      {"/Users/ana/Movies/Acme/Sub/Deeper/take.mp4", true},
      {"/Users/ana/Movies/Acme/../Acme/take.mp4", true},
      {"/Users/ana/Movies/Acme/../secret.txt", false},
      {"/Users/ana/Movies/Acme/../../.ssh/id_rsa", false},
      {"/Users/ana/Movies/Acme/Sub/../../Acme2/x", false},
      {"/Users/ana/Movies/AcmeX/take.mp4", false},
      {"/Users/ana/Movies/Acme.backup", false},
      {"/Users/ana/Movies/acme/take.mp4", false},
      {"/users/ana/Movies/Acme/take.mp4", false},
      {"//Users//ana///Movies/Acme//take.mp4", true},
      {"/Users/./ana/Movies/./Acme/./take.mp4", true},
      {"/Users/ana/Movies/Acme/.", true},
      {"/Users/ana/Movies/Acme/..", false},
      {"~/Movies/Acme/take.mp4", true},
      {"~/Movies/Acme", true},
      {"~", false},
      {"~/", false},
      {"~/Movies/Acme/../../.zshrc", false},
      {"~/../../tmp/x", true},
      {"~root/Movies/Acme", false},
      {"/Users/ana/Movies/Acme/~/x", true},
      {"~/Movies/Acme~", false},
      {"/tmp", true},
      {"/tmp/", true},
      {"/tmp/x.mp4", true},
      {"/tmp/./x", true},
      {"/private/tmp/x.mp4", true},
      {"/tmpfoo", false},
      {"/tmpx/a", false},
      {"/TMP/x", false},
      {"/tmp/../etc/passwd", false},
      {"/private/tmp/../../etc/passwd", false},
      {"/private/tmpx/y", false},
      {"/private", false},
      {"/var/folders/ab/T/acme/export.mp4", true},
      {"/private/var/folders/ab/T/acme/export.mp4", true},
      {"/var/folders/ab/T/acmeother/x", false},
      {"/private/var/folders/ab/T/acme/../other/x", false},
      {"/var/folders/ab/T/acme/./../acme/./a", true},
      {"/Users/ana/Movies/Acme/../../../../../../tmp/x", true},
      {"/../tmp/x", true},
      {"tmp/x", true},  // relative: under the current folder, "/"
      {"x.mp4", false},
      {"", false},
      {".", false},
      {"..", false},
      {"/", false},
      {"/..", false},
      {" /tmp/x", false},
      {"/tmp /x", false},
      {"\\tmp\\x", false},
      {"file:///tmp/x", false},
      {"/tmp\u2215etc", false},                                 // division slash, not "/"
      {"/Users/ana/Movies/Acme\u2215..\u2215..\u2215secret", false},
      {"/Users/ana/Movies/Acme/\u2024\u2024/x", true},          // one-dot leaders are a name
      {"/Users/ana/Movies/Acme/\uFF0E\uFF0E/\uFF0E\uFF0E/x", true},  // fullwidth dots are a name
      {"/Users/ana/Movies/Acme\u0301/x", false},                // Acmé
      {"/tmp/\u0301x", false},                                  // "/" with a combining mark
      {"/t\u200Bmp/x", false},                                  // zero-width space
      {"/Users/ana/Movies/Acm\u0435/x", false},                 // Cyrillic e
      {std::string("/Users/ana/Movies/Acme\0/x", 25), false},
      {std::string("/tmp/x\0/../../etc", 17), false},           // a NUL does not end the path
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isAllowedPath(c.path, root, secondRoot), c.allowed) << "\"" << c.path << "\"";
  }
}

TEST(AgentArguments, RootsAreStandardisedWithOrWithoutATrailingSlash) {
  const PathEnvironment environment("/Users/ana/", "/");
  static const struct {
    const char* root;
    const char* path;
    bool inside;
  } cases[] = {
      {"/tmp", "/tmp", true},         {"/tmp/", "/tmp", true},         {"/tmp/", "/tmp/x", true},
      {"/tmp", "/tmp/x", true},       {"/tmp", "/tmpx", false},        {"/tmp/", "/tmpx", false},
      {"/tmp//", "/tmp/x", true},     {"/tmp/.", "/tmp/x", true},      {"/a/b/../c", "/a/c/x", true},
      {"/a/b/../c", "/a/b/x", false}, {"/", "/anything", true},        {"/", "/", true},
      {"//", "/x", true},             {"tmp", "/tmp/x", true},         {"", "/x", true},
      {"~", "/Users/ana/x", false},   {"/tmp", "/tmp/", true},         {"/Tmp", "/tmp/x", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(isInside(c.root, c.path), c.inside) << c.root << " " << c.path;
  }
  // The home folder may end in "/": "~" still expands to one folder.
  EXPECT_TRUE(isAllowedPath("~/Movies/Acme/x", "/Users/ana/Movies/Acme/", "/nowhere"));
  EXPECT_EQ(standardizedPath("~/a/./b/../c/", true), "/Users/ana/a/c");
  EXPECT_EQ(standardizedPath("~/a", false), "/~/a");
  EXPECT_TRUE(isAllowedPath("/private/var/x/y", "/nowhere", "/var/x/"));
}

}  // namespace
}  // namespace RecorderCore
