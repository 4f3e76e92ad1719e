// The head of an HTTP/1.x request, as the host app's HTTP endpoint reads it.
//
// Feed parse() the bytes received so far on a connection. Nothing means "not
// a complete head yet, or a malformed one": read more and try again, or drop
// the connection. Once there is a head, the body is the `contentLength` bytes
// from `bodyOffset` on. accessToken() says which credential the request
// presents.
//
// Intentionally copyable; parse() is a pure function, safe on any thread.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace RecorderCore {

struct HTTPRequestHead {
  // The request method in upper case ("GET").
  std::string method;
  // The request target up to the first "?", as received (not percent-decoded);
  // "/" when the target holds nothing else.
  std::string path;
  // Query parameters: names as received, values percent-decoded (kept as
  // received when they do not decode). A later parameter replaces an earlier
  // one of the same name.
  std::map<std::string, std::string> query;
  // Header fields: names in lower case, values without surrounding spaces and
  // tabs. A later field replaces an earlier one of the same name.
  std::map<std::string, std::string> headers;
  // Position of the first body byte in the bytes given to parse().
  std::int64_t bodyOffset = 0;
  // The "content-length" header as a decimal integer; 0 when it is absent or
  // not a number.
  std::int64_t contentLength = 0;

  // Parses the head at the start of `bytes`. Returns nothing when there is no
  // blank line (CR LF CR LF) yet, when the head is not UTF-8, or when the
  // request line has fewer than a method and a target. Never throws.
  static std::optional<HTTPRequestHead> parse(std::string_view bytes);

  // Returns the access token the request carries, first match wins: the
  // "api_key" query parameter, the "x-api-key" header (each when not empty),
  // or the text after "Bearer " in the "authorization" header (scheme matched
  // in any case, token kept as sent). Nothing otherwise.
  std::optional<std::string> accessToken() const;

  bool operator==(const HTTPRequestHead&) const = default;
};

}  // namespace RecorderCore
