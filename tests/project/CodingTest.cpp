#include "RecorderCore/project/Coding.h"

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

namespace RecorderCore {
namespace {

using nlohmann::json;

TEST(Uuid, TextRoundTripsInUpperCase) {
  auto id = Uuid::parse("e621e1f8-c36c-495a-93fc-0c247a3e6e5f");
  ASSERT_TRUE(id);
  EXPECT_EQ(id->uuidString(), "E621E1F8-C36C-495A-93FC-0C247A3E6E5F");
  for (const char* bad : {"", "E621E1F8C36C495A93FC0C247A3E6E5F", "E621E1F8-C36C-495A-93FC-0C247A3E6E5G",
                          "E621E1F8-C36C-495A-93FC-0C247A3E6E5F0", "E621E1F8+C36C-495A-93FC-0C247A3E6E5F"}) {
    EXPECT_FALSE(Uuid::parse(bad)) << bad;
  }
  Uuid a = Uuid::random();
  EXPECT_NE(a, Uuid::random());
  EXPECT_EQ(a.uuidString()[14], '4');
}

RC_GTEST_PROP(Uuid, ParseInvertsUuidString, ()) {
  Uuid id;
  for (auto& b : id.bytes) b = *rc::gen::arbitrary<std::uint8_t>();
  RC_ASSERT(Uuid::parse(id.uuidString()) == id);
}

TEST(Dates, ISO8601WithZonesAndWholeSecondsOnly) {
  auto date = parseISO8601("2024-05-01T12:00:00Z");
  ASSERT_TRUE(date);
  EXPECT_EQ(iso8601(*date), "2024-05-01T12:00:00Z");
  EXPECT_EQ(parseISO8601("2024-05-01T14:30:00+02:30"), date.value() + std::chrono::minutes(0) + std::chrono::seconds(0));
  EXPECT_EQ(parseISO8601("2024-05-01T07:00:00-0500"), date);
  for (const char* bad : {"2024-05-01T12:00:00", "2024-05-01T12:00:00.5Z", "2024-02-30T12:00:00Z",
                          "2024-05-01 12:00:00Z", "2024-13-01T12:00:00Z", ""}) {
    EXPECT_FALSE(parseISO8601(bad)) << bad;
  }
}

TEST(Coding, StrictReadersNameThePath) {
  json object = json::parse(R"({"a": 1, "b": 2.0, "c": null, "d": "x", "list": [1, "two"], "f": 2.5})");
  EXPECT_EQ(Coding::required<int>(object, "b"), 2);
  EXPECT_EQ(Coding::required<double>(object, "a"), 1.0);
  EXPECT_FALSE(Coding::optional<double>(object, "missing"));
  EXPECT_FALSE(Coding::optional<double>(object, "c"));
  EXPECT_THROW(Coding::required<double>(object, "c"), DecodingError);
  EXPECT_THROW(Coding::required<int>(object, "f"), DecodingError);
  EXPECT_THROW(Coding::optional<bool>(object, "a"), DecodingError) << "a present optional of the wrong type fails";
  try {
    Coding::required<std::vector<double>>(object, "list");
    FAIL();
  } catch (const DecodingError& error) {
    EXPECT_EQ(error.path(), "list[1]");
  }
  EXPECT_THROW(Coding::singleKey(json::parse(R"({"a":{},"b":{}})")), DecodingError);
  try {
    Coding::singleKey(json::object());
  } catch (const DecodingError& error) {
    EXPECT_EQ(error.message(), "Invalid number of keys found, expected one.");
  }
}

}  // namespace
}  // namespace RecorderCore
