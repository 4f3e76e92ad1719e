// The file operations that project packages need beyond std::filesystem:
// whole-file reads and durable writes that report the system's error, the
// one-step replace that makes a save atomic, and a file's identity.
//
// Every failure is thrown as std::filesystem::filesystem_error carrying the
// errno of the call that failed and the path(s) involved, so callers can pass
// it on unchanged. Calls are retried on EINTR and descriptors are opened
// close-on-exec.
#pragma once

#include <compare>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace RecorderCore::FileSystem {

// What the system calls the identity of a file: the volume it lives on and
// its number there. Two paths with equal identities name the same item, even
// when they are spelt differently (another letter case on a case-insensitive
// volume, a hard link).
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// Returns the identity of the item at path itself (a symbolic link is not
// followed), or nothing when it cannot be read (no such item, no permission).
std::optional<FileIdentity> resourceIdentifier(const std::filesystem::path& path);

// Reads the whole file. Throws filesystem_error when it cannot be opened or
// read.
std::string readFile(const std::filesystem::path& path);

// Creates a new file at path (it must not exist yet), writes all bytes and
// flushes them to the device before returning. On failure the half-written
// file is removed and filesystem_error is thrown.
void writeNewFileDurably(const std::filesystem::path& path, std::string_view bytes);

// Puts the file at `replacement` in the place of `target` in one step: a
// reader of target sees either the old or the new file, never a mix, and
// `replacement` no longer exists afterwards. Both must be on one volume.
// Throws filesystem_error (and leaves both files as they were) on failure.
void replaceItem(const std::filesystem::path& target, const std::filesystem::path& replacement);

}  // namespace RecorderCore::FileSystem
