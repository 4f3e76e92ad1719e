// Whole-file reads and descriptor I/O that survive signals.
//
// Every call retries on EINTR, and every descriptor opened here is
// close-on-exec, so an app the bridge starts never inherits its files.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace RecorderCore::FileIO {

// Reads the whole file at path. Nothing when it cannot be opened or read.
std::optional<std::string> readFile(const std::string& path);

// Writes all bytes to the descriptor, retrying after EINTR and short writes.
// Returns false when a write fails for any other reason (a closed pipe gives
// EPIPE once SIGPIPE is ignored).
bool writeAll(int fd, std::string_view bytes);

// Reads at most `capacity` bytes into `buffer`, retrying after EINTR. Returns
// the count read, 0 at end of input, or -1 on an error.
long readSome(int fd, char* buffer, std::size_t capacity);

// True when something (file, folder, socket, …) exists at path.
bool exists(const std::string& path);

// The standard streams, by name rather than by number.
inline constexpr int standardInput = 0;
inline constexpr int standardOutput = 1;
inline constexpr int standardError = 2;

}  // namespace RecorderCore::FileIO
