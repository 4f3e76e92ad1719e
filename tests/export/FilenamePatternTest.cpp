#include "RecorderCore/export/FilenamePattern.h"

#include <stdio.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/platform/LocalTime.h"

namespace RecorderCore {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono;

// Sets TZ for the life of the object and puts the old value back after.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) old_ = old;
    setenv("TZ", zone, 1);
  }
  ~ScopedTimeZone() { old_ ? setenv("TZ", old_->c_str(), 1) : unsetenv("TZ"); }

 private:
  std::optional<std::string> old_;
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end.
struct TemporaryFolder {
  fs::path path;
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "export-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
};

void touch(const fs::path& path) { std::ofstream(path) << "x"; }

Date at(int y, unsigned m, unsigned d, int hh, int mm, int ss = 0) {
  return Date{sys_days{year{y} / month{m} / day{d}}} + hours{hh} + minutes{mm} + seconds{ss};
}

TEST(FilenamePattern, TitleAndDateRules) {
  ScopedTimeZone utc("UTC0");
  static const struct {
    const char* title;
    Date date;
    const char* extension;
    const char* expected;
  } cases[] = {
      {"Demo: part 1/2", at(2026, 3, 5, 14, 7), "mp4", "Demo- part 1-2 2026-03-05 at 14.07.mp4"},
      {"", at(2026, 3, 5, 9, 5), "mp4", "Recording 2026-03-05 at 09.05.mp4"},
      {"/", at(2026, 3, 5, 23, 59, 59), "gif", "- 2026-03-05 at 23.59.gif"},  // seconds are cut, not rounded
      {"  a//b::c\\ ✓ ", at(1969, 12, 31, 23, 59, 59), "", "  a--b--c\\ ✓  1969-12-31 at 23.59."},
      {"T", at(999, 7, 4, 1, 2, 3), "tar.gz", "T 0999-07-04 at 01.02.tar.gz"},
      {"T", at(10000, 1, 1, 13, 0), "mp4", "T 10000-01-01 at 13.00.mp4"},
      {"T", at(-1, 6, 1, 0, 0), "mp4", "T 0002-06-01 at 00.00.mp4"},  // 2 BC, as years of the era count it
  };
  for (const auto& c : cases) EXPECT_EQ(FilenamePattern::fileName(c.title, c.date, c.extension), c.expected);

  // Far outside the calendar there is still a name.
  ScopedTimeZone zone("XYZ-5:45");
  for (const Date date : {Date::max(), Date::min(), Date{seconds{std::int64_t{1} << 60}}}) {
    const std::string name = FilenamePattern::fileName("T", date, "mp4");
    EXPECT_TRUE(name.find(" at ") != std::string::npos && name.ends_with(".mp4")) << name;
  }
  // The zone is read afresh for every name.
  EXPECT_EQ(FilenamePattern::fileName("T", at(2026, 3, 5, 14, 7), "mp4"), "T 2026-03-05 at 19.52.mp4");
}

// The calendar arithmetic the system's local time falls back on for far
// dates agrees with the standard library's civil calendar, and in UTC the
// system agrees with it for every moment.
RC_GTEST_PROP(LocalTime, UTCFieldsMatchTheCivilCalendar, ()) {
  ScopedTimeZone utc("UTC0");
  const auto count = *rc::gen::oneOf(rc::gen::arbitrary<std::int64_t>(),
                                     rc::gen::inRange<std::int64_t>(-70'000'000'000'000'000, 70'000'000'000'000'000),
                                     rc::gen::inRange<std::int64_t>(-900'000'000'000, 900'000'000'000));
  const Date date{seconds{count}};
  const LocalTime::Fields fields = LocalTime::utcFields(date);
  RC_ASSERT(LocalTime::fields(date) == fields);
  if (count < -900'000'000'000 || count > 900'000'000'000) return;  // std::chrono's years end at ±32767
  const auto days = floor<std::chrono::days>(date);
  const year_month_day ymd{days};
  const hh_mm_ss time{date - days};
  RC_ASSERT(fields == (LocalTime::Fields{static_cast<int>(ymd.year()), static_cast<int>(unsigned(ymd.month())),
                                         static_cast<int>(unsigned(ymd.day())), static_cast<int>(time.hours().count()),
                                         static_cast<int>(time.minutes().count()),
                                         static_cast<int>(time.seconds().count())}));
}

// ---- In another process: time zones and locales --------------------------

// Runs the probe with exactly the environment `env` (a shell word list) and
// returns its standard output without the first line, the locale it adopted,
// which must not be "refused" when `mustAdoptLocale`; nothing when it fails.
std::optional<std::string> probe(const std::string& env, bool mustAdoptLocale = false) {
  const std::string command = "env -i " + env + " '" FILENAME_PROBE "' Clip mp4 2026-03-05T14:07:00Z " +
                              "2025-12-31T23:30:00Z 2026-03-08T06:59:59Z 2026-03-08T07:00:00Z";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string output;
  char buffer[4096];
  for (std::size_t n; pipe != nullptr && (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    output.append(buffer, n);
  }
  if (pipe == nullptr || ::pclose(pipe) != 0 || (mustAdoptLocale && output.starts_with("refused\n"))) {
    return std::nullopt;
  }
  return output.substr(output.find('\n') + 1);
}

const char* const kNewYork =  // daylight saving time begins 2026-03-08 at 02:00
    "Clip 2026-03-05 at 09.07.mp4\nClip 2025-12-31 at 18.30.mp4\nClip 2026-03-08 at 01.59.mp4\n"
    "Clip 2026-03-08 at 03.00.mp4\n";

TEST(FilenamePatternProcess, FollowsTheTimeZone) {
  EXPECT_EQ(probe("TZ=America/New_York LC_ALL=C"), kNewYork);
  EXPECT_EQ(probe("TZ=Asia/Kolkata"), "Clip 2026-03-05 at 19.37.mp4\nClip 2026-01-01 at 05.00.mp4\n"
                                      "Clip 2026-03-08 at 12.29.mp4\nClip 2026-03-08 at 12.30.mp4\n");
  EXPECT_EQ(probe("TZ=Pacific/Chatham"),  // +13:45 in its summer
            "Clip 2026-03-06 at 03.52.mp4\nClip 2026-01-01 at 13.15.mp4\nClip 2026-03-08 at 20.44.mp4\n"
            "Clip 2026-03-08 at 20.45.mp4\n");
}

// Slow (a few seconds): compiles locales whose clocks, digits and calendars
// differ from the POSIX ones (12-hour clock; Buddhist era and Thai digits;
// Persian digits) into a temporary LOCPATH when the system has their sources.
TEST(FilenamePatternProcess, IgnoresTheLocale) {
  TemporaryFolder locales;
  std::vector<std::pair<std::string, bool>> cases = {{"C.UTF-8", true}, {"POSIX", true}, {"ja_JP.UTF-8", false}};
  for (const std::string source : {"en_US", "th_TH", "fa_IR"}) {
    const std::string command = "localedef -i " + source + " -f UTF-8 '" + (locales.path / source).string() +
                                ".UTF-8' >/dev/null 2>&1";
    if (fs::exists("/usr/share/i18n/locales/" + source) && std::system(command.c_str()) == 0) {
      cases.emplace_back(source + ".UTF-8", true);
    }
  }
  std::cout << "[          ] locales under test: " << cases.size() << "\n";
  for (const auto& [locale, mustBeAdopted] : cases) {
    for (const char* variable : {"LANG", "LC_TIME", "LC_ALL"}) {
      const std::string env = "TZ=America/New_York LOCPATH='" + locales.path.string() + "' " + variable + "=" + locale;
      EXPECT_EQ(probe(env, mustBeAdopted), kNewYork) << env;
    }
  }
}

// ---- Unique locations ----------------------------------------------------

TEST(FilenamePattern, UniqueURLCountsUpPastTakenNames) {
  TemporaryFolder folder;
  const fs::path& f = folder.path;
  EXPECT_EQ(FilenamePattern::uniqueURL(f, "/Clip.mp4"), f / "Clip.mp4") << "a leading slash does not leave the folder";
  touch(f / "Clip 2026-03-05 at 14.07.mp4");
  touch(f / "Clip 2026-03-05 at 14.07 2.mp4");
  EXPECT_EQ(FilenamePattern::uniqueURL(f, "Clip 2026-03-05 at 14.07.mp4"), f / "Clip 2026-03-05 at 14.07 3.mp4");
  for (const auto& [name, second] : {std::pair("a.tar.gz", "a.tar 2.gz"), std::pair("notes", "notes 2"),
                                     std::pair(".mp4", ".mp4 2"), std::pair("v1.2 final.mov", "v1.2 final 2.mov")}) {
    touch(f / name);
    EXPECT_EQ(FilenamePattern::uniqueURL(f, name), f / second) << name;
  }
  // Folders and links, even dangling ones, are taken.
  fs::create_directory(f / "Take.mp4");
  fs::create_symlink(f / "nowhere", f / "Take 2.mp4");
  fs::create_symlink(f / "Take.mp4", f / "Take 3.mp4");
  EXPECT_EQ(FilenamePattern::uniqueURL(f, "Take.mp4"), f / "Take 4.mp4");
  // Paths under a regular file cannot be checked: the first one is returned
  // and the write will report the error.
  EXPECT_EQ(FilenamePattern::uniqueURL(f / "notes", "Clip.mp4"), f / "notes" / "Clip.mp4");
  // No upper bound on the count.
  touch(f / "Clip.mp4");
  for (int n = 2; n <= 1000; ++n) touch(f / ("Clip " + std::to_string(n) + ".mp4"));
  EXPECT_EQ(FilenamePattern::uniqueURL(f, "Clip.mp4"), f / "Clip 1001.mp4");
}

// Against a model: with any set of numbers taken (1 standing for the plain
// name), the result is the first free one and names nothing on disk.
RC_GTEST_PROP(FilenamePattern, UniqueURLIsTheFirstFreeName, ()) {
  const auto taken = *rc::gen::container<std::set<int>>(rc::gen::inRange(1, 40));
  TemporaryFolder folder;
  auto nameFor = [](int n) { return n == 1 ? std::string("Take.mov") : "Take " + std::to_string(n) + ".mov"; };
  for (int n : taken) touch(folder.path / nameFor(n));
  int expected = 1;
  while (taken.count(expected) != 0) ++expected;
  const fs::path result = FilenamePattern::uniqueURL(folder.path, "Take.mov");
  RC_ASSERT(result == folder.path / nameFor(expected));
  RC_ASSERT(!fs::exists(fs::symlink_status(result)));
}

}  // namespace
}  // namespace RecorderCore
