// How export files are named, and kept from replacing files already there.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "RecorderCore/project/Coding.h"

namespace RecorderCore::FilenamePattern {

// The file name of an export: the title with every "/" and ":" turned into
// "-" ("Recording" when that leaves nothing), a space, the date as
// "yyyy-MM-dd at HH.mm" on a 24-hour clock in the current time zone, ".", and
// the extension. The date is written with fixed digits and calendar whatever
// the user's locale: "Demo: part 1/2" on 5 March 2026 at 14:07 with "mp4"
// gives "Demo- part 1-2 2026-03-05 at 14.07.mp4".
std::string fileName(std::string_view title, Date date, std::string_view extension);

// Returns a path in `folder` at which nothing exists yet: folder/fileName when
// that is free, else "<base> <n>.<extension>" for the first free n = 2, 3, …
// (with no upper bound), base and extension being the name split at its last
// dot. A name without an extension gets "<name> <n>". A symbolic link counts
// as taken even when it points nowhere, so writing the result never goes
// through one. A path whose existence cannot be checked (a folder that cannot
// be searched, say) counts as free: writing there then fails with the file
// system's own error rather than this search running forever.
std::filesystem::path uniqueURL(const std::filesystem::path& folder, std::string_view fileName);

}  // namespace RecorderCore::FilenamePattern
