#include "RecorderCore/platform/ProcessControl.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>

#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/UserFolders.h"

namespace RecorderCore {
namespace {

namespace fs = std::filesystem;

struct TemporaryFolder {
  fs::path path;
  TemporaryFolder() {
    std::string pattern = (fs::temp_directory_path() / "rc-proc-XXXXXX").string();
    path = ::mkdtemp(pattern.data());
  }
  ~TemporaryFolder() { fs::remove_all(path); }
};

void writeScript(const fs::path& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body;
  fs::permissions(path, fs::perms::owner_all);
}

// Waits up to two seconds for a file that a detached process writes.
std::string awaitFile(const fs::path& path) {
  for (int i = 0; i < 200; ++i) {
    if (auto text = FileIO::readFile(path.string()); text && !text->empty() &&
                                                     text->back() == '\n') {
      return *text;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return {};
}

TEST(ProcessControl, SpawnDetachedStartsTheProgramInItsOwnSession) {
  TemporaryFolder folder;
  const fs::path script = folder.path / "app with space";
  const fs::path record = folder.path / "record.txt";
  // The script reports its arguments, its session, and where its standard
  // streams go (read before anything is redirected).
  writeScript(script, "out=\"" + record.string() + "\"\n"
                      "sid=$(ps -o sid= -p $$ | tr -d ' ')\n"
                      "streams=$(readlink /proc/$$/fd/0 /proc/$$/fd/1 /proc/$$/fd/2 | tr '\\n' ' ')\n"
                      "{ printf '%s|' \"$@\"; echo \"$sid\"; echo \"$streams\"; } > \"$out.tmp\"\n"
                      "mv \"$out.tmp\" \"$out\"\n");
  ASSERT_TRUE(ProcessControl::spawnDetached(script.string(), {"--agent", "two words"}));
  const std::string text = awaitFile(record);
  std::istringstream lines(text);
  std::string arguments, streams;
  std::getline(lines, arguments, '\n');
  std::getline(lines, streams, '\n');
  const auto bar = arguments.rfind('|');
  EXPECT_EQ(arguments.substr(0, bar + 1), "--agent|two words|");
  // A session other than ours: the app does not go when our terminal does.
  const std::string session = arguments.substr(bar + 1);
  EXPECT_FALSE(session.empty());
  EXPECT_NE(session, std::to_string(::getsid(0)));
  EXPECT_EQ(streams, "/dev/null /dev/null /dev/null ");
}

TEST(ProcessControl, SpawnDetachedRefusesWhatCannotRun) {
  TemporaryFolder folder;
  EXPECT_FALSE(ProcessControl::spawnDetached((folder.path / "missing").string(), {}));
  const fs::path plain = folder.path / "plain.txt";
  std::ofstream(plain) << "text";
  EXPECT_FALSE(ProcessControl::spawnDetached(plain.string(), {}));
}

TEST(ProcessControl, RunAndWaitReportsTheExitStatus) {
  TemporaryFolder folder;
  const fs::path script = folder.path / "exit3";
  writeScript(script, "exit $#\n");
  EXPECT_EQ(ProcessControl::runAndWait(script.string(), {"a", "b", "c"}), 3);
  EXPECT_EQ(ProcessControl::runAndWait((folder.path / "missing").string(), {}), -1);
}

TEST(ProcessControl, SleepForWaitsAtLeastTheDuration) {
  const auto start = std::chrono::steady_clock::now();
  ProcessControl::sleepFor(std::chrono::milliseconds(30));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(30));
}

// Changes one environment variable for the life of the value.
struct ScopedVariable {
  std::string name;
  std::optional<std::string> saved;
  ScopedVariable(std::string variable, const char* value) : name(std::move(variable)) {
    if (const char* old = std::getenv(name.c_str())) saved = old;
    if (value) ::setenv(name.c_str(), value, 1); else ::unsetenv(name.c_str());
  }
  ~ScopedVariable() {
    if (saved) ::setenv(name.c_str(), saved->c_str(), 1); else ::unsetenv(name.c_str());
  }
};

TEST(UserFolders, ApplicationSupportFollowsHomeAndXDG) {
  static const struct {
    const char* home;
    const char* xdg;
    std::string expected;
  } cases[] = {
      {"/home/ada", nullptr, "/home/ada/.local/share"},
      {"/home/ada/", nullptr, "/home/ada/.local/share"},
      {"/home/ada", "", "/home/ada/.local/share"},
      {"/home/ada", "relative/data", "/home/ada/.local/share"},
      {"/home/ada", "/data/ada/", "/data/ada"},
      {"/", nullptr, "/.local/share"},
  };
  for (const auto& c : cases) {
    ScopedVariable home("HOME", c.home);
    ScopedVariable xdg("XDG_DATA_HOME", c.xdg);
    EXPECT_EQ(UserFolders::applicationSupportDirectory(), c.expected) << c.home;
  }
  ScopedVariable home("HOME", nullptr);
  EXPECT_FALSE(UserFolders::homeDirectory().empty());
}

}  // namespace
}  // namespace RecorderCore
