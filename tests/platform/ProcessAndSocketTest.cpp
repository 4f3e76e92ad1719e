// The platform calls of the bridge and the host app: spawning, user folders
// and local sockets.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#include <unistd.h>

#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/ProcessControl.h"
#include "RecorderCore/platform/UnixSocket.h"
#include "RecorderCore/platform/UserFolders.h"

namespace RecorderCore {
namespace {

namespace fs = std::filesystem;

// A fresh folder under /tmp (short, so that socket paths fit), removed at the
// end of the test.
struct TemporaryFolder {
  fs::path path = ::mkdtemp(std::string("/tmp/rc-platform-XXXXXX").data());
  ~TemporaryFolder() { fs::remove_all(path); }
};

void writeScript(const fs::path& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body;
  fs::permissions(path, fs::perms::owner_all);
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
  for (int i = 0; i < 200 && !fs::exists(record); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  // A session other than ours: the app does not go when our terminal does.
  const std::string ours = std::to_string(::getsid(0));
  const std::string text = FileIO::readFile(record.string()).value_or("");
  EXPECT_EQ(text.substr(0, 18), "--agent|two words|");
  EXPECT_TRUE(text.find("|" + ours + "\n") == std::string::npos && text[18] != '\n') << text << " ours: " << ours;
  EXPECT_EQ(text.substr(text.find('\n') + 1), "/dev/null /dev/null /dev/null \n");
}

TEST(ProcessControl, RefusesWhatCannotRunAndReportsTheExitStatus) {
  TemporaryFolder folder;
  std::ofstream(folder.path / "plain.txt") << "text";
  EXPECT_FALSE(ProcessControl::spawnDetached((folder.path / "missing").string(), {}));
  EXPECT_FALSE(ProcessControl::spawnDetached((folder.path / "plain.txt").string(), {}));
  writeScript(folder.path / "exit3", "exit $#\n");
  EXPECT_EQ(ProcessControl::runAndWait((folder.path / "exit3").string(), {"a", "b", "c"}), 3);
  EXPECT_EQ(ProcessControl::runAndWait((folder.path / "missing").string(), {}), -1);
}

TEST(UserFolders, ApplicationSupportFollowsHomeAndXDG) {
  const auto set = [](const char* name, const char* value) {
    if (value) ::setenv(name, value, 1); else ::unsetenv(name);
  };
  const char* savedHome = std::getenv("HOME");
  const char* savedXDG = std::getenv("XDG_DATA_HOME");
  const std::string home = savedHome ? savedHome : "", xdg = savedXDG ? savedXDG : "";
  static const struct {
    const char* home;
    const char* xdg;
    std::string expected;
  } cases[] = {{"/home/ada/", nullptr, "/home/ada/.local/share"}, {"/home/ada", "", "/home/ada/.local/share"},
               {"/home/ada", "relative/data", "/home/ada/.local/share"}, {"/home/ada", "/data/ada/", "/data/ada"}};
  for (const auto& c : cases) {
    set("HOME", c.home);
    set("XDG_DATA_HOME", c.xdg);
    EXPECT_EQ(UserFolders::applicationSupportDirectory(), c.expected) << c.home;
  }
  set("HOME", nullptr);
  EXPECT_FALSE(UserFolders::homeDirectory().empty());
  set("HOME", savedHome ? home.c_str() : nullptr);
  set("XDG_DATA_HOME", savedXDG ? xdg.c_str() : nullptr);
}

// (The bridge's tests carry requests and replies both ways over these sockets.)
TEST(UnixSocket, SendingToAPeerThatHasGoneFailsWithoutKillingTheProcess) {
  ProcessControl::ignoreSIGPIPE();
  TemporaryFolder folder;
  auto listener = UnixSocket::listen((folder.path / "s.sock").string());
  ASSERT_TRUE(listener.has_value());
  auto client = UnixSocket::connect((folder.path / "s.sock").string());
  ASSERT_TRUE(client.has_value());
  listener->accept().reset();
  bool failed = false;
  for (int i = 0; i < 100 && !failed; ++i) failed = !client->sendAll(std::string(4096, 'x'));
  EXPECT_TRUE(failed);
}

TEST(UnixSocket, LongPathsAndStaleFilesNeverConnect) {
  TemporaryFolder folder;
  const std::string base = folder.path.string() + "/";
  for (std::size_t length : {std::size_t{103}, std::size_t{104}, std::size_t{200}}) {
    const std::string path = base + std::string(length - base.size(), 'a');
    auto listener = UnixSocket::listen(path);
    EXPECT_EQ(listener.has_value(), length <= 103) << length;
    EXPECT_EQ(UnixSocket::connect(path).has_value(), length <= 103) << length;
  }
  EXPECT_FALSE(UnixSocket::connect((folder.path / "none.sock").string()));
  // A socket file whose listener is gone refuses the connection; listening
  // again replaces it.
  const std::string stale = (folder.path / "stale.sock").string();
  { auto listener = UnixSocket::listen(stale); ASSERT_TRUE(listener); }
  EXPECT_TRUE(fs::exists(stale));
  EXPECT_FALSE(UnixSocket::connect(stale));
  EXPECT_TRUE(UnixSocket::listen(stale));
}

}  // namespace
}  // namespace RecorderCore
