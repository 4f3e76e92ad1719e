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
struct PathEnvironment {
  std::optional<std::string> oldHome;
  std::filesystem::path oldFolder = std::filesystem::current_path();
  PathEnvironment(const char* home, const std::filesystem::path& folder) {
    if (const char* old = std::getenv("HOME")) oldHome = old;
    setenv("HOME", home, 1);
    std::filesystem::current_path(folder);
  }
  ~PathEnvironment() {
    if (oldHome) setenv("HOME", oldHome->c_str(), 1); else unsetenv("HOME");
    std::filesystem::current_path(oldFolder);
  }
};

TEST(AgentArguments, OptionalAccessorsTreatWrongTypesAsAbsent) {
  const AgentArguments arguments(json::parse(R"({
    "text": "hello", "three": "3", "float": 7.9, "negative": -2.7, "yes": true, "object": {"a": 1},
    "array": [1], "null": null, "huge": 1e300, "tiny": -1e300, "unsigned": 18446744073709551615
  })"));
  using Limits = std::numeric_limits<std::int64_t>;
  static const struct {
    const char* key;
    std::optional<std::string> string;
    std::optional<bool> boolean;
    std::optional<double> number;
    std::optional<std::int64_t> integer;
    bool object;
  } cases[] = {
      {"text", "hello", {}, {}, {}, false},         {"float", {}, {}, 7.9, 7, false},
      {"negative", {}, {}, -2.7, -2, false},        {"yes", {}, true, 1.0, 1, false},
      {"object", {}, {}, {}, {}, true},             {"array", {}, {}, {}, {}, false},
      {"missing", {}, {}, {}, {}, false},           {"huge", {}, {}, 1e300, Limits::max(), false},
      {"tiny", {}, {}, -1e300, Limits::min(), false},
      {"unsigned", {}, {}, 18446744073709551615.0, Limits::max(), false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(std::tuple(arguments.string(c.key), arguments.boolean(c.key), arguments.number(c.key),
                         arguments.integer(c.key), arguments.object(c.key).has_value()),
              std::tuple(c.string, c.boolean, c.number, c.integer, c.object)) << c.key;
  }
  // Nothing, or something other than an object, is no arguments at all.
  EXPECT_EQ(AgentArguments().raw, json::object());
  EXPECT_EQ(AgentArguments(json::array({1})).raw, json::object());
}

TEST(AgentArguments, ThrowingAccessorsNameTheArgument) {
  const AgentArguments arguments(json::parse(
      R"({"path": "/tmp/a", "blank": "", "at": 3, "atText": "3", "color": "#1C1C1E",
          "red": "red", "number": 12, "short": "#12345", "alpha": "1c1c1e80"})"));
  EXPECT_EQ(arguments.requiredString("path"), "/tmp/a");
  EXPECT_EQ(arguments.requiredNumber("at"), 3.0);
  EXPECT_EQ(arguments.color("color"), RGBAColor::parseHex("#1C1C1E").value());
  EXPECT_EQ(arguments.color("alpha"), RGBAColor::parseHex("1c1c1e80"));
  EXPECT_EQ(arguments.color("missing"), std::nullopt);
  EXPECT_EQ(arguments.color("number"), std::nullopt);

  const std::string hex = ": must be a hex color like #1C1C1E.";
  const struct {
    std::function<void()> call;
    std::string message;
  } failures[] = {
      {[&] { arguments.requiredString("missing"); }, "Argument missing: is required."},
      {[&] { arguments.requiredString("blank"); }, "Argument blank: is required."},
      {[&] { arguments.requiredNumber("atText"); }, "Argument atText: is required and must be a number."},
      {[&] { arguments.color("red"); }, "Argument red" + hex},
      {[&] { arguments.color("blank"); }, "Argument blank" + hex},
  };
  for (const auto& failure : failures) {
    try {
      failure.call();
      ADD_FAILURE() << "no error for " << failure.message;
    } catch (const AgentError& error) { EXPECT_EQ(error, AgentError("bad_argument", failure.message)); }
  }
}

// Paths an agent might send to get out of the folders it may touch, and a few
// it may use: one case per way of getting it wrong. The rule: standardise
// (with "~" as the home folder and relative paths under the current folder),
// then compare by characters with each root.
TEST(AgentArguments, IsAllowedPathHoldsAgainstAttacks) {
  const PathEnvironment environment("/Users/ana", "/");
  const std::string root = "/Users/ana/Movies/Acme";
  const std::string secondRoot = "/var/folders/ab/T/acme";
  static const struct {
    std::string path;
    bool allowed;
  } cases[] = {
      {"/Users/ana/Movies/Acme", true},                     {"/Users/ana/Movies/Acme/", true},
      {"/Users/ana/Movies/Acme/../Acme/take.mp4", true},    {"/Users/ana/Movies/Acme/../secret.txt", false},
      {"/Users/ana/Movies/Acme/..", false},                  {"/Users/ana/Movies/AcmeX/take.mp4", false},
      {"/Users/ana/Movies/acme/take.mp4", false},           {"//Users//ana/./Movies///Acme/./take.mp4", true},
      {"~/Movies/Acme/take.mp4", true},                     {"~", false},
      {"~/Movies/Acme/../../.zshrc", false},                {"~/../../tmp/x", true},
      {"~root/Movies/Acme", false},                         {"/tmp", true},
      {"/private/tmp/x.mp4", true},                         {"/tmpfoo", false},
      {"/tmp/../etc/passwd", false},                        {"/private/tmp/../../etc/passwd", false},
      {"/private", false},                                  {"/private/var/folders/ab/T/acme/export.mp4", true},
      {"/var/folders/ab/T/acmeother/x", false},             {"/../tmp/x", true},
      {"tmp/x", true},  /* relative: under the current folder, "/" */ {"", false},
      {"..", false},                                        {" /tmp/x", false},
      {"\\tmp\\x", false},
      {"/Users/ana/Movies/Acme\u2215..\u2215..\u2215secret", false},  // division slash, not "/"
      {"/Users/ana/Movies/Acme/\u2024\u2024/x", true},                  // one-dot leaders are a name
      {"/Users/ana/Movies/Acme/\uFF0E\uFF0E/\uFF0E\uFF0E/x", true},    // fullwidth dots are a name
      {"/Users/ana/Movies/Acme\u0301/x", false},                         // Acmé
      {"/tmp/\u0301x", false},                                           // "/" with a combining mark
      {"/Users/ana/Movies/Acm\u0435/x", false},                          // Cyrillic e
      {std::string("/tmp/x\0/../../etc", 17), false},                    // a NUL does not end the path
  };
  for (const auto& c : cases) EXPECT_EQ(isAllowedPath(c.path, root, secondRoot), c.allowed) << "\"" << c.path << "\"";
}

TEST(AgentArguments, RootsAreStandardisedWithOrWithoutATrailingSlash) {
  const PathEnvironment environment("/Users/ana/", "/");
  static const struct {
    const char* root;
    const char* path;
    bool inside;
  } cases[] = {
      {"/tmp/", "/tmp", true},        {"/tmp", "/tmpx", false},        {"/tmp/", "/tmpx", false},
      {"/a/b/../c", "/a/c/x", true},  {"/a/b/../c", "/a/b/x", false}, {"/", "/anything", true},
      {"tmp", "/tmp/x", true},        {"~", "/Users/ana/x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isInside(c.root, c.path), c.inside) << c.root << " " << c.path;
  // The home folder may end in "/": "~" still expands to one folder.
  EXPECT_TRUE(isAllowedPath("~/Movies/Acme/x", "/Users/ana/Movies/Acme/", "/nowhere"));
  EXPECT_EQ(standardizedPath("~/a/./b/../c/", true), "/Users/ana/a/c");
  EXPECT_EQ(standardizedPath("~/a", false), "/~/a");
  EXPECT_TRUE(isAllowedPath("/private/var/x/y", "/nowhere", "/var/x/"));
}

}  // namespace
}  // namespace RecorderCore
