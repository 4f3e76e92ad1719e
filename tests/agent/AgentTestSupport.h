// Support for the agent tests: fixture files, and RapidCheck generators of JSON
// values with the characters that matter on the wire, both kinds of numbers,
// nested containers.
#pragma once

#include <fstream>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>
#include <rapidcheck.h>

namespace nlohmann {
// How RapidCheck prints a counterexample; without it, it would pick the
// implicit conversion of a JSON value to std::string, which throws.
inline void showValue(const json& value, std::ostream& os) {
  os << value.dump(-1, ' ', false, json::error_handler_t::replace);
}
}  // namespace nlohmann

namespace RecorderCore::testing {

// The bytes of tests/agent/fixtures/<name>.
inline std::string readFixture(const std::string& name) {
  std::ifstream in(std::string(RECORDER_SOURCE_DIR) + "/tests/agent/fixtures/" + name, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

// A vector of 0 to `most` elements: small enough that nested values stay fast.
template <class T>
rc::Gen<std::vector<T>> fewOf(rc::Gen<T> element, int most = 5) {
  return rc::gen::mapcat(rc::gen::inRange(0, most + 1), [element](int count) {
    return rc::gen::container<std::vector<T>>(static_cast<std::size_t>(count), element);
  });
}

inline rc::Gen<std::string> wireText() {
  static const std::vector<std::string> pieces = {
      "a", "Z", "0", " ", "/", "\\", "\"", "\n", "\t", "\x01", "é", "→", "“", "›", "😀", "e\u0301", "~", "{", "]"};
  return rc::gen::map(fewOf(rc::gen::elementOf(pieces), 8),
                      [](const std::vector<std::string>& parts) {
                        std::string text;
                        for (const auto& part : parts) text += part;
                        return text;
                      });
}

inline rc::Gen<nlohmann::json> scalarJSON() {
  return rc::gen::oneOf(
      rc::gen::just(nlohmann::json(nullptr)), rc::gen::map(rc::gen::arbitrary<bool>(), [](bool b) { return nlohmann::json(b); }),
      rc::gen::map(rc::gen::arbitrary<long long>(), [](long long n) { return nlohmann::json(n); }),
      rc::gen::map(rc::gen::inRange(-1000000, 1000000), [](int n) { return nlohmann::json(n / 64.0); }),
      rc::gen::map(wireText(), [](std::string s) { return nlohmann::json(std::move(s)); }));
}

// A JSON object nested at most `depth` levels.
inline rc::Gen<nlohmann::json> objectJSON(int depth = 3) {
  rc::Gen<nlohmann::json> member = depth <= 1
      ? scalarJSON()
      : rc::gen::oneOf(scalarJSON(), scalarJSON(), objectJSON(depth - 1),
                       rc::gen::map(fewOf(objectJSON(depth - 1), 3),
                                    [](std::vector<nlohmann::json> items) { return nlohmann::json(std::move(items)); }));
  return rc::gen::map(fewOf(rc::gen::pair(wireText(), member)),
                      [](const std::vector<std::pair<std::string, nlohmann::json>>& members) {
                        nlohmann::json object = nlohmann::json::object();
                        for (const auto& [key, value] : members) object[key] = value;
                        return object;
                      });
}

}  // namespace RecorderCore::testing
