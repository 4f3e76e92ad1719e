#include "RecorderCore/export/FilenamePattern.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <rapidcheck/gtest.h>

#include "RecorderCore/platform/LocalTime.h"

extern char** environ;

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
  ~ScopedTimeZone() {
    if (old_) {
      setenv("TZ", old_->c_str(), 1);
    } else {
      unsetenv("TZ");
    }
  }

 private:
  std::optional<std::string> old_;
};

// A fresh folder under the system's temporary folder, removed with its
// contents at the end.
class TemporaryFolder {
 public:
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "export-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TemporaryFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void touch(const fs::path& path) { std::ofstream(path) << "x"; }

Date at(const char* iso) {
  auto date = parseISO8601(iso);
  if (!date) throw std::invalid_argument(iso);
  return *date;
}

Date civil(int y, unsigned m, unsigned d, int hh, int mm, int ss) {
  return Date{sys_days{year{y} / month{m} / day{d}}} + hours{hh} + minutes{mm} + seconds{ss};
}

// Runs `program` with exactly the environment `env` and returns its standard
// output, or nothing when it could not start or did not exit with status 0.
std::optional<std::string> run(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
  std::vector<char*> argv;
  for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (const auto& entry : env) envp.push_back(const_cast<char*>(entry.c_str()));
  envp.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(pipeEnds[1]);
  std::string output;
  char buffer[4096];
  for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) output.append(buffer, static_cast<size_t>(n));
  close(pipeEnds[0]);
  if (spawned != 0) return std::nullopt;
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return output;
}

std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream stream(text);
  for (std::string line; std::getline(stream, line);) result.push_back(line);
  return result;
}

TEST(FilenamePattern, TitleRules) {
  ScopedTimeZone utc("UTC0");
  const Date date = at("2026-03-05T14:07:00Z");
  static const struct {
    const char* title;
    const char* extension;
    const char* expected;
  } cases[] = {
      {"Demo: part 1/2", "mp4", "Demo- part 1-2 2026-03-05 at 14.07.mp4"},
      {"", "mp4", "Recording 2026-03-05 at 14.07.mp4"},
      {"/", "mp4", "- 2026-03-05 at 14.07.mp4"},
      {":", "gif", "- 2026-03-05 at 14.07.gif"},
      {"a//b::c/:", "mov", "a--b--c-- 2026-03-05 at 14.07.mov"},
      {" ", "mp4", "  2026-03-05 at 14.07.mp4"},  // nothing is trimmed
      {"  Talk  ", "mp4", "  Talk   2026-03-05 at 14.07.mp4"},
      {"back\\slash", "mp4", "back\\slash 2026-03-05 at 14.07.mp4"},
      {"Ünïcödé ✓ 🎬", "mp4", "Ünïcödé ✓ 🎬 2026-03-05 at 14.07.mp4"},
      {"Recording", "", "Recording 2026-03-05 at 14.07."},
      {"x", "tar.gz", "x 2026-03-05 at 14.07.tar.gz"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FilenamePattern::fileName(c.title, date, c.extension), c.expected) << "title: " << c.title;
  }
}

TEST(FilenamePattern, DateFormatting) {
  ScopedTimeZone utc("UTC0");
  static const struct {
    Date date;
    const char* expected;
  } cases[] = {
      {at("2026-03-05T09:05:00Z"), "T 2026-03-05 at 09.05.mp4"},
      {at("2026-03-05T00:00:00Z"), "T 2026-03-05 at 00.00.mp4"},
      {at("2026-03-05T23:59:59Z"), "T 2026-03-05 at 23.59.mp4"},  // seconds are cut, not rounded
      {at("2024-02-29T12:30:00Z"), "T 2024-02-29 at 12.30.mp4"},
      {at("1969-12-31T23:59:59Z"), "T 1969-12-31 at 23.59.mp4"},
      {at("1970-01-01T00:00:00Z"), "T 1970-01-01 at 00.00.mp4"},
      {civil(999, 7, 4, 1, 2, 3), "T 0999-07-04 at 01.02.mp4"},
      {civil(10000, 1, 1, 13, 0, 0), "T 10000-01-01 at 13.00.mp4"},
      {civil(0, 6, 1, 0, 0, 0), "T 0001-06-01 at 00.00.mp4"},  // 1 BC, as years of the era count it
      {civil(-1, 6, 1, 0, 0, 0), "T 0002-06-01 at 00.00.mp4"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FilenamePattern::fileName("T", c.date, "mp4"), c.expected) << c.date.time_since_epoch().count();
  }
}

TEST(FilenamePattern, DatesBeyondTheCalendarStillGiveAName) {
  ScopedTimeZone zone("XYZ-5:45");
  for (const Date date : {Date::max(), Date::min(), Date{seconds{std::int64_t{1} << 60}},
                          Date{seconds{-(std::int64_t{1} << 60)}}, Date{seconds{std::int64_t{1} << 56}}}) {
    const std::string name = FilenamePattern::fileName("T", date, "mp4");
    EXPECT_NE(name.find(" at "), std::string::npos) << name;
    EXPECT_EQ(name.substr(name.size() - 4), ".mp4") << name;
  }
}

TEST(FilenamePattern, FollowsTheZoneSetWhileRunning) {
  const Date date = at("2026-03-05T14:07:00Z");
  {
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(FilenamePattern::fileName("T", date, "mp4"), "T 2026-03-05 at 14.07.mp4");
  }
  {
    ScopedTimeZone zone("XYZ-5:45");
    EXPECT_EQ(FilenamePattern::fileName("T", date, "mp4"), "T 2026-03-05 at 19.52.mp4");
  }
  {
    ScopedTimeZone zone("UTC0");
    EXPECT_EQ(FilenamePattern::fileName("T", date, "mp4"), "T 2026-03-05 at 14.07.mp4");
  }
}

// The calendar arithmetic used for far dates agrees with the standard
// library's civil calendar, and in UTC the system's local time agrees with it
// everywhere, including where the system gives up and the fallback answers.
RC_GTEST_PROP(LocalTime, UTCFieldsMatchTheCivilCalendar, ()) {
  const auto count = *rc::gen::inRange<std::int64_t>(-1'000'000'000'000LL, 1'000'000'000'000LL);
  const Date date{seconds{count}};
  const LocalTime::Fields fields = LocalTime::utcFields(date);
  const auto days = floor<std::chrono::days>(date);
  const year_month_day ymd{days};
  const hh_mm_ss time{date - days};
  RC_ASSERT(fields.year == static_cast<int>(ymd.year()));
  RC_ASSERT(fields.month == static_cast<int>(static_cast<unsigned>(ymd.month())));
  RC_ASSERT(fields.day == static_cast<int>(static_cast<unsigned>(ymd.day())));
  RC_ASSERT(fields.hour == time.hours().count());
  RC_ASSERT(fields.minute == time.minutes().count());
  RC_ASSERT(fields.second == time.seconds().count());
}

RC_GTEST_PROP(LocalTime, SystemUTCAgreesWithTheFallbackForEveryMoment, ()) {
  ScopedTimeZone utc("UTC0");
  const auto count = *rc::gen::oneOf(rc::gen::arbitrary<std::int64_t>(),
                                     rc::gen::inRange<std::int64_t>(-70'000'000'000'000'000LL,
                                                                    70'000'000'000'000'000LL),
                                     rc::gen::inRange<std::int64_t>(-5'000'000'000LL, 5'000'000'000LL));
  const Date date{seconds{count}};
  RC_ASSERT(LocalTime::fields(date) == LocalTime::utcFields(date));
}

// ---- In other processes: time zones and locales --------------------------

struct ZoneCase {
  const char* tz;
  std::vector<std::string> expected;  // one name per date in kProbeDates
};

const std::vector<std::string> kProbeDates = {"2026-03-05T14:07:00Z", "2025-12-31T23:30:00Z",
                                              "2026-07-01T04:05:59Z", "2026-03-08T06:59:59Z",
                                              "2026-03-08T07:00:00Z"};

const std::vector<ZoneCase>& zoneCases() {
  static const std::vector<ZoneCase> cases = {
      {"UTC",
       {"Clip 2026-03-05 at 14.07.mp4", "Clip 2025-12-31 at 23.30.mp4", "Clip 2026-07-01 at 04.05.mp4",
        "Clip 2026-03-08 at 06.59.mp4", "Clip 2026-03-08 at 07.00.mp4"}},
      {"America/New_York",  // daylight saving time begins 2026-03-08 at 02:00
       {"Clip 2026-03-05 at 09.07.mp4", "Clip 2025-12-31 at 18.30.mp4", "Clip 2026-07-01 at 00.05.mp4",
        "Clip 2026-03-08 at 01.59.mp4", "Clip 2026-03-08 at 03.00.mp4"}},
      {"Asia/Kolkata",
       {"Clip 2026-03-05 at 19.37.mp4", "Clip 2026-01-01 at 05.00.mp4", "Clip 2026-07-01 at 09.35.mp4",
        "Clip 2026-03-08 at 12.29.mp4", "Clip 2026-03-08 at 12.30.mp4"}},
      {"Pacific/Chatham",  // +13:45 in its summer, +12:45 in winter
       {"Clip 2026-03-06 at 03.52.mp4", "Clip 2026-01-01 at 13.15.mp4", "Clip 2026-07-01 at 16.50.mp4",
        "Clip 2026-03-08 at 20.44.mp4", "Clip 2026-03-08 at 20.45.mp4"}},
      {"XYZ-5:45",
       {"Clip 2026-03-05 at 19.52.mp4", "Clip 2026-01-01 at 05.15.mp4", "Clip 2026-07-01 at 09.50.mp4",
        "Clip 2026-03-08 at 12.44.mp4", "Clip 2026-03-08 at 12.45.mp4"}},
  };
  return cases;
}

std::vector<std::string> probeArguments() {
  std::vector<std::string> args = {FILENAME_PROBE, "Clip", "mp4"};
  args.insert(args.end(), kProbeDates.begin(), kProbeDates.end());
  return args;
}

TEST(FilenamePatternProcess, FollowsTheTimeZone) {
  for (const auto& zone : zoneCases()) {
    SCOPED_TRACE(zone.tz);
    const auto output = run(probeArguments(), {std::string("TZ=") + zone.tz, "LC_ALL=C"});
    ASSERT_TRUE(output);
    auto names = lines(*output);
    ASSERT_FALSE(names.empty());
    names.erase(names.begin());
    EXPECT_EQ(names, zone.expected);
  }
}

// Compiles a few locales whose clocks, digits and calendars differ from the
// POSIX ones into `folder` (for LOCPATH) when the system has localedef and the
// locale sources; installs nothing. Returns the names it made.
std::vector<std::string> compileLocales(const fs::path& folder) {
  std::vector<std::string> made;
  if (!fs::exists("/usr/bin/localedef")) return made;
  static const struct {
    const char* source;  // 12-hour clock; Buddhist era and Thai digits; Persian digits
    const char* name;
  } wanted[] = {{"en_US", "en_US.UTF-8"}, {"th_TH", "th_TH.UTF-8"}, {"fa_IR", "fa_IR.UTF-8"}};
  for (const auto& locale : wanted) {
    if (!fs::exists(fs::path("/usr/share/i18n/locales") / locale.source)) continue;
    if (run({"/usr/bin/localedef", "-i", locale.source, "-f", "UTF-8", (folder / locale.name).string()},
            {"PATH=/usr/bin:/bin"})) {
      made.push_back(locale.name);
    }
  }
  return made;
}

// Slow (a few seconds) when it can compile locales for the test.
TEST(FilenamePatternProcess, IgnoresTheLocale) {
  TemporaryFolder locales;
  const std::vector<std::string> compiled = compileLocales(locales.path());
  std::cout << "[          ] locales compiled for the test: " << compiled.size() << "\n";

  struct LocaleCase {
    std::string name;
    bool mustBeAdopted;  // false for names the system is not expected to have
  };
  std::vector<LocaleCase> cases = {{"C", true}, {"C.UTF-8", true}, {"POSIX", true},
                                   {"de_DE.UTF-8", false}, {"ar_SA.UTF-8", false}, {"ja_JP.UTF-8", false}};
  for (const auto& name : compiled) cases.push_back({name, true});

  const ZoneCase& newYork = zoneCases()[1];
  for (const auto& locale : cases) {
    for (const char* variable : {"LANG", "LC_ALL", "LC_TIME"}) {
      SCOPED_TRACE(std::string(variable) + "=" + locale.name);
      const auto output = run(probeArguments(), {std::string("TZ=") + newYork.tz, std::string(variable) + "=" +
                                                     locale.name, "LOCPATH=" + locales.path().string()});
      ASSERT_TRUE(output);
      auto names = lines(*output);
      ASSERT_FALSE(names.empty());
      if (locale.mustBeAdopted) {
        EXPECT_NE(names[0], "refused") << "the probe did not run under this locale";
      }
      names.erase(names.begin());
      EXPECT_EQ(names, newYork.expected);
    }
  }
}

// ---- Unique locations ----------------------------------------------------

TEST(FilenamePattern, UniqueURLTakesTheNameWhenFree) {
  TemporaryFolder folder;
  EXPECT_EQ(FilenamePattern::uniqueURL(folder.path(), "Clip 2026-03-05 at 14.07.mp4"),
            folder.path() / "Clip 2026-03-05 at 14.07.mp4");
  // A leading slash does not leave the folder.
  EXPECT_EQ(FilenamePattern::uniqueURL(folder.path(), "/Clip.mp4"), folder.path() / "Clip.mp4");
}

TEST(FilenamePattern, UniqueURLCountsUpPastTakenNames) {
  TemporaryFolder folder;
  touch(folder.path() / "Clip 2026-03-05 at 14.07.mp4");
  touch(folder.path() / "Clip 2026-03-05 at 14.07 2.mp4");
  EXPECT_EQ(FilenamePattern::uniqueURL(folder.path(), "Clip 2026-03-05 at 14.07.mp4"),
            folder.path() / "Clip 2026-03-05 at 14.07 3.mp4");

  static const struct {
    const char* name;
    const char* second;
  } splits[] = {
      {"a.tar.gz", "a.tar 2.gz"},
      {"notes", "notes 2"},
      {".mp4", ".mp4 2"},
      {"clip.", "clip. 2"},
      {"v1.2 final.mov", "v1.2 final 2.mov"},
  };
  for (const auto& split : splits) {
    touch(folder.path() / split.name);
    EXPECT_EQ(FilenamePattern::uniqueURL(folder.path(), split.name), folder.path() / split.second) << split.name;
  }
}

TEST(FilenamePattern, UniqueURLTreatsFoldersAndDanglingLinksAsTaken) {
  TemporaryFolder folder;
  fs::create_directory(folder.path() / "Clip.mp4");
  fs::create_symlink(folder.path() / "nowhere", folder.path() / "Clip 2.mp4");
  fs::create_symlink(folder.path() / "Clip.mp4", folder.path() / "Clip 3.mp4");
  EXPECT_EQ(FilenamePattern::uniqueURL(folder.path(), "Clip.mp4"), folder.path() / "Clip 4.mp4");
}

TEST(FilenamePattern, UniqueURLEndsWhenExistenceCannotBeChecked) {
  TemporaryFolder folder;
  touch(folder.path() / "file");
  // Every path under a regular file fails to stat (not a directory): the first
  // candidate is returned and the write will report the error.
  EXPECT_EQ(FilenamePattern::uniqueURL(folder.path() / "file", "Clip.mp4"), folder.path() / "file" / "Clip.mp4");
}

TEST(FilenamePattern, UniqueURLWithAThousandNamesTaken) {
  TemporaryFolder folder;
  touch(folder.path() / "Clip.mp4");
  for (int n = 2; n <= 1000; ++n) touch(folder.path() / ("Clip " + std::to_string(n) + ".mp4"));
  const fs::path result = FilenamePattern::uniqueURL(folder.path(), "Clip.mp4");
  EXPECT_EQ(result, folder.path() / "Clip 1001.mp4");
  EXPECT_FALSE(fs::exists(result));

  fs::remove(folder.path() / "Clip 500.mp4");
  EXPECT_EQ(FilenamePattern::uniqueURL(folder.path(), "Clip.mp4"), folder.path() / "Clip 500.mp4");
}

// Against a model: with any set of numbers taken (1 standing for the plain
// name), the result is the first free one and names nothing on disk.
RC_GTEST_PROP(FilenamePattern, UniqueURLIsTheFirstFreeName, ()) {
  const auto taken = *rc::gen::container<std::set<int>>(rc::gen::inRange(1, 40));
  TemporaryFolder folder;
  auto nameFor = [](int n) { return n == 1 ? std::string("Take.mov") : "Take " + std::to_string(n) + ".mov"; };
  for (int n : taken) touch(folder.path() / nameFor(n));
  int expected = 1;
  while (taken.count(expected) != 0) ++expected;
  const fs::path result = FilenamePattern::uniqueURL(folder.path(), "Take.mov");
  RC_ASSERT(result == folder.path() / nameFor(expected));
  RC_ASSERT(!fs::exists(fs::symlink_status(result)));
}

}  // namespace
}  // namespace RecorderCore
