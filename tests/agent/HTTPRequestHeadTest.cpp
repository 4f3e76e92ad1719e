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
    std::int64_t bodyOffset;  // -1: no head
  } cases[] = {
      {"GET / HTTP/1.1\r\n", -1},         {"GET / HTTP/1.1\r\nHost: x\r\n\r", -1},
      {"GET / HTTP/1.1\r\n\r\n", 18},     {"GET / HTTP/1.1\r\nHost: x\r\n\r\nbody bytes", 27},
      {"GET / HTTP/1.1\n\n", -1},         {"GET /\r\n\r\n", 9},
      {"GET\r\n\r\n", -1},                {"\r\nGET / HTTP/1.1\r\n\r\n", -1},
      {"GET /\xff HTTP/1.1\r\n\r\n", -1},  /* not UTF-8 */  {"GET / HTTP/1.1\r\nX: \xc3\r\n\r\n", -1},  // cut in a character
      {"GET / HTTP/1.1\r\n\r\n\xff\xfe", 18},       // the body is not read
      {std::string("GET /\0 HTTP/1.1\r\n\r\n", 19), 19},
  };
  for (const auto& c : cases) {
    const auto head = HTTPRequestHead::parse(c.bytes);
    EXPECT_EQ(head ? head->bodyOffset : -1, c.bodyOffset) << c.bytes;
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
      {"GET  /spaced   HTTP/1.1 extra", "GET", "/spaced", {}},
      {"GET /run?a=1&&b=%41&c HTTP/1.1", "GET", "/run", {{"a", "1"}, {"b", "A"}, {"c", ""}}},
      {"GET /p?=x&a==b&a=%C3%A9 HTTP/1.1", "GET", "/p", {{"x", ""}, {"a", "\xc3\xa9"}}},  // the last a wins
      {"GET /p?a=%zz&b=%4&?c=a==b HTTP/1.1", "GET", "/p", {{"a", "%zz"}, {"b", "%4"}, {"?c", "a==b"}}},
      {"GET ?a=1 HTTP/1.1", "GET", "a=1", {}},
      // A "?" carrying a combining mark is another character, not the cut.
      {"GET /p?\xcc\x81q=1 HTTP/1.1", "GET", "/p?\xcc\x81q=1", {}},
      {"gEt\xcc\x81 / HTTP/1.1", "GET\xcc\x81", "/", {}},
  };
  for (const auto& c : cases) {
    const auto head = HTTPRequestHead::parse(std::string(c.requestLine) + "\r\n\r\n").value();
    EXPECT_EQ(std::tie(head.method, head.path, head.query), std::tie(c.method, c.path, c.query)) << c.requestLine;
  }
}

TEST(HTTPRequestHead, ReadsHeadersAndContentLength) {
  const auto head = HTTPRequestHead::parse(
      "POST /upload HTTP/1.1\r\nHost: localhost:8080\r\nX-API-KEY:\t secret \t\r\nno colon here\r\n"
      "Content-Length:  12  \r\nEmpty:\r\n: nameless\r\nDup: one\r\ndup: two\r\n\r\n{\"a\":1}");
  ASSERT_TRUE(head);
  EXPECT_EQ(head->headers, (Fields{{"host", "localhost:8080"}, {"x-api-key", "secret"}, {"content-length", "12"},
                                   {"empty", ""}, {"", "nameless"}, {"dup", "two"}}));
  EXPECT_EQ(head->contentLength, 12);

  static const struct {
    const char* value;
    std::int64_t length;
  } lengths[] = {
      {"abc", 0}, {"+7", 7}, {"-3", -3}, {"1 2", 0}, {"12a", 0}, {"+", 0},
      {"9223372036854775807", 9223372036854775807}, {"9223372036854775808", 0},
      {"-9223372036854775808", INT64_MIN},           {"-9223372036854775809", 0},
      {"\xd9\xa3", 0},  // an Arabic-Indic digit is not a decimal digit here
  };
  for (const auto& c : lengths) {
    const auto parsed = HTTPRequestHead::parse(std::string("GET /\r\nContent-Length:") + c.value + "\r\n\r\n");
    EXPECT_EQ(parsed.value().contentLength, c.length) << c.value;
  }
}

TEST(HTTPRequestHead, AccessTokenFirstMatchWins) {
  static const struct {
    const char* target;
    const char* headerLines;
    std::optional<std::string> token;
  } cases[] = {
      {"/", "Authorization: Bearer AbC.dEf\r\n", "AbC.dEf"},  {"/", "authorization: bEaReR tok\r\n", "tok"},
      {"/", "Authorization: Basic dXNlcjpwYXNz\r\n", std::nullopt},
      {"/", "Authorization: Bearer \xcc\x81tok\r\n", std::nullopt},  // the space carries a mark
      {"/", "x-api-key: k1\r\nAuthorization: Bearer b\r\n", "k1"},  {"/", "x-api-key:\r\nAuthorization: Bearer b\r\n", "b"},
      {"/?api_key=q1", "X-API-KEY: k1\r\nAuthorization: Bearer b\r\n", "q1"},
      {"/?api_key=", "X-API-KEY: k1\r\n", "k1"},
      {"/?api_key=a%2Fb", "", "a/b"},         {"/?API_KEY=x", "", std::nullopt},
  };
  for (const auto& c : cases) {
    const std::string bytes = std::string("GET ") + c.target + " HTTP/1.1\r\n" + c.headerLines + "\r\n";
    EXPECT_EQ(HTTPRequestHead::parse(bytes).value().accessToken(), c.token) << bytes;
  }
}

// Whatever arrives, parse() either waits for more or gives a head whose body
// starts inside the bytes; a complete head is not changed by what follows it,
// and no strict prefix of the head is taken for a complete one.
RC_GTEST_PROP(HTTPRequestHead, BodyOffsetStaysInsideAndBodiesDoNotMatter, ()) {
  const auto line = rc::gen::container<std::string>(rc::gen::elementOf(std::string("GET /a?b=c&d%41:= \t\r\n\xc3\xa9")));
  std::string head = *line + "\r\n";
  for (const auto& header : *rc::gen::container<std::vector<std::string>>(line)) head += header + "\r\n";
  head += "\r\n";
  const auto parsed = HTTPRequestHead::parse(head);
  if (parsed) RC_ASSERT(parsed->bodyOffset >= 0 && parsed->bodyOffset <= static_cast<std::int64_t>(head.size()));
  RC_ASSERT(parsed == HTTPRequestHead::parse(head + *rc::gen::arbitrary<std::string>()));

  const std::size_t cut = *rc::gen::inRange<std::size_t>(0, head.size());
  const auto prefix = HTTPRequestHead::parse(std::string_view(head).substr(0, cut));
  if (prefix) RC_ASSERT(prefix->bodyOffset <= static_cast<std::int64_t>(cut));
}

}  // namespace
}  // namespace RecorderCore
