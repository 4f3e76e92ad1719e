// Fuzz target for HTTPRequestHead::parse and accessToken.
//
// Built two ways from this one file:
//  - with clang and -fsanitize=fuzzer (RECORDER_LIBFUZZER defined), libFuzzer
//    supplies main() and mutates inputs (scripts/fuzz.sh);
//  - with any compiler, the main() below replays saved inputs (files, or every
//    file of a folder) plus a few large inputs made here, so CTest runs the
//    corpus under the sanitizers of the ordinary build.
//
// What must hold for every input: parse() returns, and a head it returns has
// its body starting inside the bytes, a method, and a non-empty path; the
// head does not depend on the bytes after it.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "RecorderCore/agent/HTTPRequestHead.h"

namespace {

void check(bool condition, const char* what) {
  if (!condition) {
    std::fprintf(stderr, "HTTPRequestHead fuzz: %s\n", what);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto head = RecorderCore::HTTPRequestHead::parse(bytes);
  if (!head) return 0;
  check(head->bodyOffset >= 4 && static_cast<std::uint64_t>(head->bodyOffset) <= size,
        "body offset outside the bytes");
  check(!head->method.empty() && !head->path.empty(), "head without a method or a path");
  const auto again = RecorderCore::HTTPRequestHead::parse(bytes.substr(0, static_cast<std::size_t>(head->bodyOffset)));
  check(again == head, "the head changed without its body");
  if (const auto token = head->accessToken()) check(token->size() < size, "token longer than the request");
  return 0;
}

#ifndef RECORDER_LIBFUZZER

namespace {

int replay(const std::string& input) {
  return LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(input.data()), input.size());
}

std::string readAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Inputs too large to keep in the repository: heads of about 1 MB.
std::vector<std::string> largeInputs() {
  const std::size_t megabyte = 1 << 20;
  std::vector<std::string> inputs;
  std::string headers = "GET /a?api_key=k HTTP/1.1\r\n";
  while (headers.size() < megabyte) headers += "X-Filler-" + std::to_string(headers.size()) + ": value\r\n";
  inputs.push_back(headers + "\r\n");
  inputs.push_back("GET /" + std::string(megabyte, 'a') + "?" + std::string(megabyte / 4, '&') + " HTTP/1.1\r\n\r\n");
  inputs.push_back("GET /?" + std::string(megabyte, '=') + "\r\n\r\n");
  inputs.push_back("POST / HTTP/1.1\r\nAuthorization: Bearer " + std::string(megabyte, ' ') + "x\r\n\r\n");
  std::string combining = "GET /";
  while (combining.size() < megabyte) combining += "?\xcc\x81";
  inputs.push_back(combining + "\r\n\r\n");
  inputs.push_back(headers + "\xff\r\n\r\n");                       // invalid UTF-8 at the very end
  inputs.push_back(std::string(megabyte, '\r'));                     // never complete
  inputs.push_back(std::string(megabyte, '\n') + "\r\n\r\n");
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  std::size_t count = 0;
  for (int i = 1; i < argc; ++i) {
    const std::filesystem::path path(argv[i]);
    if (std::filesystem::is_directory(path)) {
      for (const auto& entry : std::filesystem::directory_iterator(path)) {
        if (!entry.is_regular_file()) continue;
        replay(readAll(entry.path()));
        ++count;
      }
    } else {
      replay(readAll(path));
      ++count;
    }
  }
  for (const std::string& input : largeInputs()) {
    replay(input);
    ++count;
  }
  std::printf("HTTPRequestHead: %zu inputs replayed\n", count);
  return 0;
}

#endif
