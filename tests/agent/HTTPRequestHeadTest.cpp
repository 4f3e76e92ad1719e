#include "RecorderCore/agent/HTTPRequestHead.h"

#include <map>
#include <string>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

namespace RecorderCore {
namespace {

using Fields = std::map<std::string, std::string>;

TEST(HTTPRequestHead, NeedsACompleteHeadAndARequestLine) {
  static const struct {
    std::string bytes;
    bool parses;
    std::int64_t bodyOffset;
  } cases[] = {
      {"GET / HTTP/1.1\r\n", false, 0},
      {"GET / HTTP/1.1\r\nHost: x\r\n", false, 0},
      {"GET / HTTP/1.1\r\nHost: x\r\n\r", false, 0},
      {"GET / HTTP/1.1\r\n\r\n", true, 18},
      {"GET / HTTP/1.1\r\nHost: x\r\n\r\n", true, 27},
      {"GET / HTTP/1.1\r\nHost: x\r\n\r\nbody bytes", true, 27},
      {"GET / HTTP/1.1\n\n", false, 0},
      {"GET /\r\n\r\n", true, 9},
      {"GET\r\n\r\n", false, 0},
      {"   GET   \r\n\r\n", false, 0},
      {"\r\n\r\n", false, 0},
      {"\r\nGET / HTTP/1.1\r\n\r\n", false, 0},
      {"", false, 0},
      {"GET /caf\xc3\xa9 HTTP/1.1\r\n\r\n", true, 23},
      {"GET /\xff HTTP/1.1\r\n\r\n", false, 0},          // not UTF-8
      {"GET / HTTP/1.1\r\nX: \xc3\r\n\r\n", false, 0},    // cut in a character
      {"GET / HTTP/1.1\r\n\r\n\xff\xfe", true, 18},       // the body is not read
      {std::string("GET /\0 HTTP/1.1\r\n\r\n", 19), true, 19},
  };
  for (const auto& c : cases) {
    const auto head = HTTPRequestHead::parse(c.bytes);
    EXPECT_EQ(head.has_value(), c.parses) << c.bytes;
    if (head && c.parses) {
      EXPECT_EQ(head->bodyOffset, c.bodyOffset) << c.bytes;
    }
  }
}

TEST(HTTPRequestHead, ReadsMethodPathAndQuery) {
  static const struct {
    const char* requestLine;
    const char* method;
    const char* path;
    Fields query;
  } cases[] = {
      {"get /x HTTP/1.1", "GET", "/x", {}},
      {"Post /a/b", "POST", "/a/b", {}},
      {"GET  /spaced   HTTP/1.1 extra", "GET", "/spaced", {}},
      {"GET /run?a=1&&b=%41&c HTTP/1.1", "GET", "/run", {{"a", "1"}, {"b", "A"}, {"c", ""}}},
      {"GET /p?=x HTTP/1.1", "GET", "/p", {{"x", ""}}},
      {"GET /p?a==b HTTP/1.1", "GET", "/p", {{"a", "=b"}}},
      {"GET /p?a= HTTP/1.1", "GET", "/p", {{"a", ""}}},
      {"GET /p?=&==&a HTTP/1.1", "GET", "/p", {{"a", ""}}},
      {"GET /p?a=1&a=2 HTTP/1.1", "GET", "/p", {{"a", "2"}}},
      {"GET /p?a=%zz&b=%4 HTTP/1.1", "GET", "/p", {{"a", "%zz"}, {"b", "%4"}}},
      {"GET /p?a=%FF HTTP/1.1", "GET", "/p", {{"a", "%FF"}}},         // not UTF-8 once decoded
      {"GET /p?a=%C3%A9 HTTP/1.1", "GET", "/p", {{"a", "\xc3\xa9"}}},
      {"GET /p?a=x+y&n%41me=1 HTTP/1.1", "GET", "/p", {{"a", "x+y"}, {"n%41me", "1"}}},
      {"GET /p?q=a?b HTTP/1.1", "GET", "/p", {{"q", "a?b"}}},
      {"GET /p??q=1 HTTP/1.1", "GET", "/p", {{"?q", "1"}}},
      {"GET ?a=1 HTTP/1.1", "GET", "a=1", {}},
      {"GET ??? HTTP/1.1", "GET", "/", {}},
      {"GET /p? HTTP/1.1", "GET", "/p", {}},
      {"GET /%7Euser HTTP/1.1", "GET", "/%7Euser", {}},
      // A "?" carrying a combining mark is another character, not the cut.
      {"GET /p?\xcc\x81q=1 HTTP/1.1", "GET", "/p?\xcc\x81q=1", {}},
      {"gEt\xcc\x81 / HTTP/1.1", "GET\xcc\x81", "/", {}},
      {"caf\xc3\xa9 /", "CAF\xc3\x89", "/", {}},
  };
  for (const auto& c : cases) {
    const auto head = HTTPRequestHead::parse(std::string(c.requestLine) + "\r\n\r\n");
    ASSERT_TRUE(head) << c.requestLine;
    EXPECT_EQ(head->method, c.method) << c.requestLine;
    EXPECT_EQ(head->path, c.path) << c.requestLine;
    EXPECT_EQ(head->query, c.query) << c.requestLine;
  }
}

TEST(HTTPRequestHead, ReadsHeadersAndContentLength) {
  const auto head = HTTPRequestHead::parse(
      "POST /upload HTTP/1.1\r\n"
      "Host: localhost:8080\r\n"
      "X-API-KEY:\t secret \t\r\n"
      "no colon here\r\n"
      "Content-Length:  12  \r\n"
      "Empty:\r\n"
      ": nameless\r\n"
      "Dup: one\r\n"
      "dup: two\r\n"
      "Time: 12:30:00\r\n"
      "\r\n{\"a\":1}");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->headers, (Fields{{"host", "localhost:8080"},
                                   {"x-api-key", "secret"},
                                   {"content-length", "12"},
                                   {"empty", ""},
                                   {"", "nameless"},
                                   {"dup", "two"},
                                   {"time", "12:30:00"}}));
  EXPECT_EQ(head->contentLength, 12);

  static const struct {
    const char* value;
    std::int64_t length;
  } lengths[] = {
      {"12", 12},     {" 12 ", 12},  {"abc", 0},  {"", 0},    {"+7", 7},
      {"-3", -3},     {"1 2", 0},    {"12a", 0},  {"+", 0},   {"0x10", 0},
      {"9223372036854775807", 9223372036854775807}, {"9223372036854775808", 0},
      {"-9223372036854775808", INT64_MIN},           {"-9223372036854775809", 0},
      {"\xd9\xa3", 0},  // an Arabic-Indic digit is not a decimal digit here
  };
  for (const auto& c : lengths) {
    const auto parsed = HTTPRequestHead::parse(std::string("GET /\r\nContent-Length:") + c.value + "\r\n\r\n");
    ASSERT_TRUE(parsed) << c.value;
    EXPECT_EQ(parsed->contentLength, c.length) << c.value;
  }
}

TEST(HTTPRequestHead, AccessTokenFirstMatchWins) {
  static const struct {
    const char* target;
    const char* headerLines;
    std::optional<std::string> token;
  } cases[] = {
      {"/", "Authorization: Bearer AbC.dEf\r\n", "AbC.dEf"},
      {"/", "authorization: bEaReR tok\r\n", "tok"},
      {"/", "Authorization: Bearer  two spaces\r\n", " two spaces"},
      {"/", "Authorization: Basic dXNlcjpwYXNz\r\n", std::nullopt},
      {"/", "Authorization: Bearer\r\n", std::nullopt},
      {"/", "Authorization: Bearertok\r\n", std::nullopt},
      {"/", "Authorization: Bearer \xcc\x81tok\r\n", std::nullopt},  // the space carries a mark
      {"/", "X-Api-Key: k1\r\n", "k1"},
      {"/", "x-api-key: k1\r\nAuthorization: Bearer b\r\n", "k1"},
      {"/", "x-api-key:\r\nAuthorization: Bearer b\r\n", "b"},
      {"/?api_key=q1", "X-API-KEY: k1\r\nAuthorization: Bearer b\r\n", "q1"},
      {"/?api_key=", "X-API-KEY: k1\r\n", "k1"},
      {"/?api_key", "", std::nullopt},
      {"/?api_key=a%2Fb", "", "a/b"},
      {"/?API_KEY=x", "", std::nullopt},
      {"/", "", std::nullopt},
  };
  for (const auto& c : cases) {
    const std::string bytes = std::string("GET ") + c.target + " HTTP/1.1\r\n" + c.headerLines + "\r\n";
    const auto head = HTTPRequestHead::parse(bytes);
    ASSERT_TRUE(head) << bytes;
    EXPECT_EQ(head->accessToken(), c.token) << bytes;
  }
}

// Whatever arrives, parse() either waits for more or gives a head whose body
// starts inside the bytes; a complete head is not changed by what follows it,
// and no strict prefix of the head is taken for a complete one.
RC_GTEST_PROP(HTTPRequestHead, BodyOffsetStaysInsideAndBodiesDoNotMatter, ()) {
  const auto line = rc::gen::container<std::string>(rc::gen::elementOf(std::string("GET /a?b=c&d%41:= \t\r\n\xc3\xa9")));
  const std::string requestLine = *line;
  const std::vector<std::string> headerLines = *rc::gen::container<std::vector<std::string>>(line);
  const std::string body = *rc::gen::arbitrary<std::string>();

  std::string head = requestLine + "\r\n";
  for (const auto& header : headerLines) head += header + "\r\n";
  head += "\r\n";
  const auto parsed = HTTPRequestHead::parse(head);
  if (parsed) {
    RC_ASSERT(parsed->bodyOffset >= 0 && parsed->bodyOffset <= static_cast<std::int64_t>(head.size()));
  }
  const auto withBody = HTTPRequestHead::parse(head + body);
  RC_ASSERT(parsed == withBody);

  const std::size_t cut = *rc::gen::inRange<std::size_t>(0, head.size());
  const auto prefix = HTTPRequestHead::parse(std::string_view(head).substr(0, cut));
  if (prefix) {
    RC_ASSERT(prefix->bodyOffset <= static_cast<std::int64_t>(cut));
  }
}

}  // namespace
}  // namespace RecorderCore
