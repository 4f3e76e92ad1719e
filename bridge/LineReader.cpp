#include "bridge/LineReader.h"

#include <cstring>

#include "RecorderCore/platform/FileIO.h"

namespace RecorderCore {

LineReader::LineReader(int fd) : fd_(fd), chunk_(std::make_unique<char[]>(kChunkSize)) {}

std::optional<std::string> LineReader::next() {
  while (true) {
    // Only the bytes not yet looked at are searched, so a line of many reads
    // costs one pass over its bytes.
    const std::size_t from = start_ + scanned_;
    const void* found =
        from < buffer_.size() ? std::memchr(buffer_.data() + from, '\n', buffer_.size() - from)
                              : nullptr;
    if (found != nullptr) {
      const auto newline =
          static_cast<std::size_t>(static_cast<const char*>(found) - buffer_.data());
      std::size_t end = newline;
      if (end > start_ && buffer_[end - 1] == '\r') --end;
      std::string line = buffer_.substr(start_, end - start_);
      start_ = newline + 1;
      scanned_ = 0;
      return line;
    }
    scanned_ = buffer_.size() - start_;
    if (ended_) {
      if (start_ >= buffer_.size()) return std::nullopt;
      std::string line = buffer_.substr(start_);
      start_ = buffer_.size();
      scanned_ = 0;
      return line;
    }
    // Drop the lines already handed out before the buffer grows.
    if (start_ > 0) {
      buffer_.erase(0, start_);
      start_ = 0;
    }
    const long count = FileIO::readSome(fd_, chunk_.get(), kChunkSize);
    if (count <= 0) {
      ended_ = true;
    } else {
      buffer_.append(chunk_.get(), static_cast<std::size_t>(count));
    }
  }
}

}  // namespace RecorderCore
