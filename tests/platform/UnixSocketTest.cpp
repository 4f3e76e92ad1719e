#include "RecorderCore/platform/UnixSocket.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "RecorderCore/platform/ProcessControl.h"

namespace RecorderCore {
namespace {

namespace fs = std::filesystem;

// A fresh folder under /tmp (short, so that socket paths fit) removed at the
// end of the test.
struct TemporaryFolder {
  fs::path path;
  TemporaryFolder() {
    std::string pattern = "/tmp/rc-sock-XXXXXX";
    path = ::mkdtemp(pattern.data());
  }
  ~TemporaryFolder() { fs::remove_all(path); }
};

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
    const long count = peer->receive(buffer, sizeof buffer);
    ASSERT_EQ(count, 5);
    EXPECT_TRUE(peer->sendAll(std::string(buffer, 5) + "!"));
  });
  auto client = UnixSocket::connect(path);
  ASSERT_TRUE(client.has_value());
  EXPECT_TRUE(client->sendAll("hello"));
  std::string reply;
  char buffer[16];
  long count = 0;
  while ((count = client->receive(buffer, sizeof buffer)) > 0) reply.append(buffer, static_cast<size_t>(count));
  EXPECT_EQ(reply, "hello!");
  server.join();
  // The peer has gone: sending fails instead of killing the process.
  bool failed = false;
  for (int i = 0; i < 100 && !failed; ++i) failed = !client->sendAll(std::string(4096, 'x'));
  EXPECT_TRUE(failed);
}

TEST(UnixSocket, PathsOf104BytesOrMoreAreNeverUsed) {
  TemporaryFolder folder;
  const std::string base = folder.path.string() + "/";
  for (std::size_t length : {std::size_t{100}, std::size_t{102}, std::size_t{103},
                             std::size_t{104}, std::size_t{107}, std::size_t{200}}) {
    const std::string path = base + std::string(length - base.size(), 'a');
    ASSERT_EQ(path.size(), length);
    auto listener = UnixSocket::listen(path);
    EXPECT_EQ(listener.has_value(), length <= 103) << length;
    EXPECT_EQ(UnixSocket::connect(path).has_value(), length <= 103) << length;
  }
}

TEST(UnixSocket, NobodyListeningOrNoFileFailsToConnect) {
  TemporaryFolder folder;
  EXPECT_FALSE(UnixSocket::connect((folder.path / "none.sock").string()));
  // A socket file whose listener is gone refuses the connection.
  const std::string stale = (folder.path / "stale.sock").string();
  { auto listener = UnixSocket::listen(stale); ASSERT_TRUE(listener); }
  EXPECT_TRUE(fs::exists(stale));
  EXPECT_FALSE(UnixSocket::connect(stale));
  // Listening again replaces the stale file.
  EXPECT_TRUE(UnixSocket::listen(stale));
}

TEST(UnixSocket, ReceiveTimesOut) {
  TemporaryFolder folder;
  const std::string path = (folder.path / "quiet.sock").string();
  auto listener = UnixSocket::listen(path);
  ASSERT_TRUE(listener);
  auto client = UnixSocket::connect(path);
  ASSERT_TRUE(client);
  auto peer = listener->accept();
  ASSERT_TRUE(client->setReceiveTimeout(std::chrono::milliseconds(100)));
  const auto start = std::chrono::steady_clock::now();
  char byte = 0;
  EXPECT_EQ(client->receive(&byte, 1), -1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
}

}  // namespace
}  // namespace RecorderCore
