// The platform calls of the bridge and the host app: spawning, user folders
// and local sockets.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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
  std::istringstream lines(FileIO::readFile(record.string()).value_or(""));
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
  } cases[] = {
      {"/home/ada/", nullptr, "/home/ada/.local/share"},
      {"/home/ada", "", "/home/ada/.local/share"},
      {"/home/ada", "relative/data", "/home/ada/.local/share"},
      {"/home/ada", "/data/ada/", "/data/ada"},
  };
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

TEST(UnixSocket, ConnectsSendsAndReceivesBothWays) {
  ProcessControl::ignoreSIGPIPE();
  TemporaryFolder folder;
  const std::string path = (folder.path / "s.sock").string();
  auto listener = UnixSocket::listen(path);
  ASSERT_TRUE(listener.has_value());
  std::thread server([&] {
    auto peer = listener->accept();
    ASSERT_TRUE(peer.has_value());
    char buffer[16];
    ASSERT_EQ(peer->receive(buffer, sizeof buffer), 5);
    EXPECT_TRUE(peer->sendAll(std::string(buffer, 5) + "!"));
  });
  auto client = UnixSocket::connect(path);
  ASSERT_TRUE(client.has_value());
  EXPECT_TRUE(client->sendAll("hello"));
  std::string reply;
  char buffer[16];
  for (long count; (count = client->receive(buffer, sizeof buffer)) > 0;) reply.append(buffer, static_cast<size_t>(count));
  EXPECT_EQ(reply, "hello!");
  server.join();
  // The peer has gone: sending fails instead of killing the process.
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
