// Test support for the agent bridge: temporary app bundles holding the built
// recorder-mcp, the bridge run as a child process over real pipes, and an
// in-process stand-in for the host app on the agent socket.
#pragma once

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <nlohmann/json.hpp>
#include <sys/types.h>

#include "RecorderCore/platform/UnixSocket.h"

namespace RecorderCore::Testing {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace std::chrono_literals;

// The built executables under test.
fs::path bridgeExecutable();
fs::path stubAppExecutable();

// A new folder under /tmp (short enough for socket paths), removed with
// everything in it when the value goes.
class TemporaryFolder {
 public:
  TemporaryFolder();
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

enum class PlistForm { xml, binary, none };

// Writes a JSON object as a property list file in the given form.
void writePlist(const fs::path& path, const json& info, PlistForm form);

// An app bundle in a temporary folder, laid out as on macOS, with the built
// bridge copied into Contents/MacOS, plus a home folder and a data folder
// (XDG_DATA_HOME) for the bridge's environment.
class TestBundle {
 public:
  explicit TestBundle(const json& info, PlistForm form = PlistForm::xml,
                      const std::string& name = "Clip Test.app");

  const fs::path& bundle() const { return bundle_; }
  const fs::path& home() const { return home_; }
  const fs::path& data() const { return data_; }
  fs::path bridge() const { return bundle_ / "Contents/MacOS/recorder-mcp"; }
  // <data>/<compact>/agent.sock, the path the bridge computes.
  std::string socketPath(const std::string& compact) const;
  // Copies an executable into Contents/MacOS under the given name.
  void installApp(const fs::path& source, const std::string& name) const;
  // Writes an executable shell script into Contents/MacOS.
  void installScript(const std::string& name, const std::string& body) const;
  // The environment the bridge runs with: HOME and XDG_DATA_HOME pointed at
  // the temporary folders, ENABLED_FEATURES removed.
  std::map<std::string, std::optional<std::string>> environment() const;

 private:
  TemporaryFolder root_;
  fs::path bundle_;
  fs::path home_;
  fs::path data_;
};

// The bridge as a child process: its standard input and output are pipes,
// its standard error a file.
class BridgeProcess {
 public:
  // Starts the executable with the environment of this process changed as
  // given (a value of nothing removes the variable).
  BridgeProcess(const fs::path& executable,
                const std::map<std::string, std::optional<std::string>>& environment);
  ~BridgeProcess();
  BridgeProcess(const BridgeProcess&) = delete;
  BridgeProcess& operator=(const BridgeProcess&) = delete;

  // Writes raw bytes to the bridge's standard input.
  void send(std::string_view bytes);
  // Writes the message as one compact line.
  void sendLine(const json& message);
  // Returns the next line of standard output without its "\n"; nothing when
  // none comes within the timeout or the output ends.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = 30s);
  // Returns the next line parsed as JSON; nothing as readLine().
  std::optional<json> readMessage(std::chrono::milliseconds timeout = 30s);
  // Sends a ping with a fresh id and returns true when the next output line
  // is its answer: everything sent before it has been answered, and nothing
  // else was written in between.
  bool pingIsNextAnswer();

  // Closes standard input.
  void closeInput();
  // Waits for the process to exit; its status, or -1 after the timeout.
  int waitForExit(std::chrono::milliseconds timeout = 10s);
  // Everything left on standard output after the process exited.
  std::string remainingOutput();
  // Everything written to standard error so far.
  std::string standardError() const;
  // Waits until standard error holds `count` lines; returns them.
  std::vector<std::string> standardErrorLines(std::size_t count,
                                              std::chrono::milliseconds timeout = 5s) const;

  pid_t pid() const { return pid_; }

 private:
  TemporaryFolder scratch_;
  fs::path errorFile_;
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  std::string pending_;
  int nextPingId_ = 1000000;
  std::optional<int> exitStatus_;
};

// A stand-in for the host app on the agent socket, serving connections one by
// one on a thread of its own. For each connection it reads the request line
// and hands it to the handler, which writes whatever reply it likes; the
// connection closes when the handler returns.
class TestApp {
 public:
  using Handler = std::function<void(const std::string& request, UnixSocket& peer)>;

  // Listens at path (creating its folder).
  TestApp(const std::string& path, Handler handler);
  ~TestApp();
  TestApp(const TestApp&) = delete;
  TestApp& operator=(const TestApp&) = delete;

  // The request lines received so far, without their "\n".
  std::vector<std::string> requests() const;

  // A handler that sends the bytes as they are.
  static Handler replyWith(std::string bytes);

 private:
  std::string path_;
  Handler handler_;
  std::optional<UnixSocket> listener_;
  std::atomic<bool> stopping_{false};
  mutable std::mutex mutex_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// The response line of a JSON-RPC request as the bridge writes it.
std::string compactLine(const json& message);

}  // namespace RecorderCore::Testing
