// Splits a byte stream into lines, however long they are.
//
// An agent host may send a request of many megabytes on one line, so the
// reader grows its buffer until the line ends instead of cutting it. A line
// ends at "\n"; a "\r" just before it belongs to the terminator. At end of
// input, bytes after the last terminator still make a line.
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace RecorderCore {

class LineReader {
 public:
  // Reads from the descriptor, which stays owned by the caller.
  explicit LineReader(int fd);

  // Returns the next line without its terminator; nothing at end of input or
  // when reading fails.
  std::optional<std::string> next();

 private:
  static constexpr std::size_t kChunkSize = 1 << 16;

  int fd_;
  std::unique_ptr<char[]> chunk_;  // one read's bytes, before they join buffer_
  std::string buffer_;
  std::size_t start_ = 0;    // first byte of the line being assembled
  std::size_t scanned_ = 0;  // bytes from start_ known to hold no "\n"
  bool ended_ = false;
};

}  // namespace RecorderCore
