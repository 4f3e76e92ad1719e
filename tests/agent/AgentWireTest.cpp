#include "RecorderCore/agent/AgentWire.h"

#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/platform/JSONText.h"
#include "tests/agent/JSONGenerators.h"

namespace RecorderCore {
namespace {

using nlohmann::json;

TEST(AgentWire, EncodeWritesOneCompactLine) {
  EXPECT_EQ(AgentWire::socketName, "agent.sock");
  EXPECT_EQ(AgentWire::encode(json{{"id", "call"}, {"command", "tools/call"}, {"arguments", {{"path", "/tmp/a b"}}}}),
            "{\"arguments\":{\"path\":\"/tmp/a b\"},\"command\":\"tools/call\",\"id\":\"call\"}\n");
  EXPECT_EQ(AgentWire::encode(json::object()), "{}\n");
  EXPECT_EQ(AgentWire::encode(json{{"text", "line\nbreak é"}}), "{\"text\":\"line\\nbreak é\"}\n");

  static const json notObjects[] = {json::array(), json("x"), json(nullptr), json(1), json(true)};
  for (const json& value : notObjects) EXPECT_EQ(AgentWire::encode(value), std::nullopt) << value.dump();
  EXPECT_EQ(AgentWire::encode(json{{"bad", std::string("\xc3")}}), std::nullopt);
  EXPECT_EQ(AgentWire::encode(json{{"nan", std::nan("")}}), std::nullopt);
}

TEST(AgentWire, DecodeReadsTheFirstLineAsAnObject) {
  static const struct {
    std::string bytes;
    const char* expected;  // nullptr: nothing
  } cases[] = {
      {"{\"ok\":true}\n", R"({"ok":true})"},
      {"{\"ok\":true}", R"({"ok":true})"},
      {"{\"ok\":true}\r\n", R"({"ok":true})"},
      {"{\"ok\":true}\n{\"ok\":false}\n", R"({"ok":true})"},
      {"{\"ok\":true}\ngarbage", R"({"ok":true})"},
      {"  {\"a\":[1,{\"b\":null}]}  \n", R"({"a":[1,{"b":null}]})"},
      {"[1,2]\n", nullptr},
      {"\"text\"\n", nullptr},
      {"42\n", nullptr},
      {"not json\n", nullptr},
      {"\n{\"ok\":true}\n", nullptr},
      {"", nullptr},
      {"{\"ok\":\n true}\n", nullptr},
      {"{\"s\":\"\xff\"}\n", nullptr},
  };
  for (const auto& c : cases) {
    const auto decoded = AgentWire::decode(c.bytes);
    if (c.expected) {
      ASSERT_TRUE(decoded) << c.bytes;
      EXPECT_EQ(*decoded, json::parse(c.expected)) << c.bytes;
    } else {
      EXPECT_EQ(decoded, std::nullopt) << c.bytes;
    }
  }
}

TEST(AgentWire, DecodeRefusesDeepNestingWithoutCrashing) {
  const std::size_t depth = 100000;
  std::string deep = "{\"a\":" + std::string(depth, '[') + std::string(depth, ']') + "}\n";
  EXPECT_EQ(AgentWire::decode(deep), std::nullopt);
  std::string unclosed = std::string(depth, '{');
  EXPECT_EQ(AgentWire::decode(unclosed), std::nullopt);
}

TEST(AgentWire, RepliesHaveTheFixedShapes) {
  const auto line = [](const json& reply) { return JSONText::compact(reply).value_or("?"); };
  EXPECT_EQ(line(AgentWire::reply(json("call"), json{{"path", "/a/b"}})),
            R"({"id":"call","ok":true,"result":{"path":"/a/b"}})");
  EXPECT_EQ(line(AgentWire::reply(std::nullopt, json::object())), R"({"id":null,"ok":true,"result":{}})");
  EXPECT_EQ(line(AgentWire::reply(json("list"), AgentError("x", "Nope."))),
            R"({"error":{"code":"x","message":"Nope."},"id":"list","ok":false})");
  EXPECT_EQ(line(AgentWire::reply(std::nullopt, AgentError::unknownTool("zap"))),
            R"({"error":{"code":"unknown_tool","hint":"List the tools again; the app may have been updated.",)"
            R"("message":"There is no tool called zap."},"id":null,"ok":false})");
}

RC_GTEST_PROP(AgentWire, EncodeThenDecodeGivesTheMessageBack, ()) {
  const json message = *testing::objectJSON();
  const std::string trailing = *rc::gen::elementOf(std::vector<std::string>{"", "{\"next\":1}\n", "junk"});
  const auto bytes = AgentWire::encode(message);
  RC_ASSERT(bytes.has_value());
  RC_ASSERT(bytes->back() == '\n');
  RC_ASSERT(bytes->find('\n') == bytes->size() - 1);  // one line, whatever the text holds
  const auto decoded = AgentWire::decode(*bytes + trailing);
  RC_ASSERT(decoded.has_value());
  RC_ASSERT(*decoded == message);
}

}  // namespace
}  // namespace RecorderCore
