#include "RecorderCore/platform/JSONText.h"

#include <string>

#include <gtest/gtest.h>

namespace RecorderCore {
namespace {

using nlohmann::json;

TEST(JSONText, PrettyMatchesThePlatformStyleByteForByte) {
  const json value = json::parse(R"({"b":[1,2.5,{"path":"/tmp/a b"}],"a":{},"c":[],"d":1.0,"e":"é\n","f":null,"g":true})");
  EXPECT_EQ(JSONText::pretty(value),
            "{\n  \"a\" : {\n\n  },\n  \"b\" : [\n    1,\n    2.5,\n    {\n      \"path\" : \"/tmp/a b\"\n    }\n  ],\n"
            "  \"c\" : [\n\n  ],\n  \"d\" : 1,\n  \"e\" : \"é\\n\",\n  \"f\" : null,\n  \"g\" : true\n}");
}

TEST(JSONText, CompactKeepsNumberKindsAndSlashes) {
  json value = json::parse(R"({"id":7,"x":7.5,"s":"a/b","n":-0.0,"u":18446744073709551615})");
  EXPECT_EQ(JSONText::compact(value), R"({"id":7,"n":-0.0,"s":"a/b","u":18446744073709551615,"x":7.5})");
  // What cannot be written gives nothing.
  EXPECT_FALSE(JSONText::compact(json(std::string("\xff\xfe"))).has_value());
  EXPECT_FALSE(JSONText::pretty(json{{"a", std::string("\xc3")}}).has_value());
  EXPECT_FALSE(JSONText::compact(json(std::nan(""))).has_value());
}

TEST(JSONText, ParseRejectsBadBytesAndDeepNesting) {
  EXPECT_FALSE(JSONText::parse("{\"a\":\"\xff\"}").has_value());
  EXPECT_FALSE(JSONText::parse("{").has_value());
  EXPECT_FALSE(JSONText::parse(std::string_view("{\"a\":1}\0junk", 13)).has_value());
  EXPECT_FALSE(JSONText::parse(std::string_view("{\"a\":\"x\0y\"}", 11)).has_value());
  EXPECT_FALSE(JSONText::parseObject("[1]").has_value());
  EXPECT_TRUE(JSONText::parseObject(R"({"a":"[[[[{{{"})").has_value()) << "brackets inside strings do not count";

  EXPECT_FALSE(JSONText::parse(std::string(100000, '[') + std::string(100000, ']')).has_value());

  const std::size_t limit = JSONText::kMaxDepth;
  std::string atLimit = std::string(limit, '[') + std::string(limit, ']');
  auto parsed = JSONText::parse(atLimit);
  ASSERT_TRUE(parsed.has_value());
  EXPECT_EQ(JSONText::compact(*parsed), atLimit);
  EXPECT_FALSE(JSONText::parse("[" + atLimit + "]").has_value());
}

}  // namespace
}  // namespace RecorderCore
