#include "RecorderCore/export/FilenamePattern.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <system_error>

#include "RecorderCore/platform/LocalTime.h"

namespace RecorderCore::FilenamePattern {
namespace {

// "yyyy-MM-dd 'at' HH.mm" as the fixed POSIX locale writes it. The year is the
// year of the era, padded to four digits (1 BC is 0001, as the calendar's
// era-based years number it).
std::string formattedDate(Date date) {
  const LocalTime::Fields local = LocalTime::fields(date);
  const std::int64_t yearOfEra = local.year > 0 ? local.year : 1 - local.year;
  char text[64];
  std::snprintf(text, sizeof text, "%04lld-%02d-%02d at %02d.%02d", static_cast<long long>(yearOfEra), local.month,
                local.day, local.hour, local.minute);
  return text;
}

// Nothing may be written where anything, even a dangling symbolic link, is.
bool isTaken(const std::filesystem::path& path) {
  std::error_code error;
  const auto status = std::filesystem::symlink_status(path, error);
  if (error) return false;
  return status.type() != std::filesystem::file_type::not_found;
}

// The name's final path component begins here.
std::size_t lastComponentStart(std::string_view name) {
  const auto slash = name.rfind('/');
  return slash == std::string_view::npos ? 0 : slash + 1;
}

}  // namespace

std::string fileName(std::string_view title, Date date, std::string_view extension) {
  std::string safeTitle(title);
  for (char& c : safeTitle) {
    if (c == '/' || c == ':') c = '-';
  }
  if (safeTitle.empty()) safeTitle = "Recording";
  std::string name = std::move(safeTitle);
  name += ' ';
  name += formattedDate(date);
  name += '.';
  name += extension;
  return name;
}

std::filesystem::path uniqueURL(const std::filesystem::path& folder, std::string_view fileName) {
  // The name stays inside the folder even when it begins with "/", which
  // path's operator/ would otherwise take as a new root.
  const std::string_view relative = fileName.substr(std::min(fileName.find_first_not_of('/'), fileName.size()));
  const std::filesystem::path candidate = folder / std::filesystem::path(relative);
  if (!isTaken(candidate)) return candidate;

  // Split at the last dot of the final component; a leading dot (".mp4") or a
  // trailing one ("clip.") does not start an extension.
  std::string_view base = relative;
  std::string_view extension;
  const std::size_t start = lastComponentStart(relative);
  const std::size_t dot = relative.rfind('.');
  if (dot != std::string_view::npos && dot > start && dot + 1 < relative.size()) {
    base = relative.substr(0, dot);
    extension = relative.substr(dot + 1);
  }
  for (std::uint64_t n = 2;; ++n) {
    std::string name(base);
    name += ' ';
    name += std::to_string(n);
    if (!extension.empty()) {
      name += '.';
      name += extension;
    }
    std::filesystem::path next = folder / std::filesystem::path(name);
    if (!isTaken(next)) return next;
  }
}

}  // namespace RecorderCore::FilenamePattern
