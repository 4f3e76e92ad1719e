// Temporary app bundles holding the built host and bridge, and running them
// as child processes with their own HOME and data folder.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/host/HostTestSupport.h"

extern char** environ;

namespace HostTest {

// <root>/Test Recorder.app with both executables and an Info.plist naming
// the host as its executable; HOME and XDG_DATA_HOME under <root>.
struct Bundle {
  fs::path root = makeTemporaryFolder();
  fs::path app = root / "Test Recorder.app";
  fs::path host = app / "Contents/MacOS/recorder-host";
  fs::path bridge = app / "Contents/MacOS/recorder-mcp";
  fs::path home = root / "home";
  fs::path data = root / "data";
  fs::path support = data / "TestRec";
  fs::path socket = support / "agent.sock";
  fs::path projects = support / "Projects";

  Bundle() {
    // A child that exits before reading all its input must not end the test.
    ::signal(SIGPIPE, SIG_IGN);
    fs::create_directories(app / "Contents/MacOS");
    fs::create_directories(home);
    fs::create_directories(data);
    std::ofstream(app / "Contents/Info.plist")
        << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n"
           "<key>ProductNameCompact</key><string>TestRec</string>\n"
           "<key>ProductNameDisplay</key><string>Test Recorder</string>\n"
           "<key>ProductDocumentExtension</key><string>testrec</string>\n"
           "<key>CFBundleIdentifier</key><string>com.example.testrec</string>\n"
           "<key>CFBundleShortVersionString</key><string>2.1.0</string>\n"
           "<key>CFBundleVersion</key><string>42</string>\n"
           "<key>CFBundleExecutable</key><string>recorder-host</string>\n"
           "<key>EnabledFeatures</key><string>mcp</string>\n</dict>\n</plist>\n";
    fs::copy_file(RECORDER_HOST_PATH, host);
    fs::copy_file(RECORDER_MCP_PATH, bridge);
  }
  ~Bundle() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
  }
  Bundle(const Bundle&) = delete;
  Bundle& operator=(const Bundle&) = delete;

  std::vector<std::string> environment() const {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry) {
      const std::string text = *entry;
      if (text.starts_with("HOME=") || text.starts_with("XDG_DATA_HOME=") || text.starts_with("ENABLED_FEATURES=")) {
        continue;
      }
      result.push_back(text);
    }
    result.push_back("HOME=" + home.string());
    result.push_back("XDG_DATA_HOME=" + data.string());
    return result;
  }
};

struct Child {
  pid_t pid = -1;
  int input = -1;
  int output = -1;
  int error = -1;
};

// Starts the program with pipes on all three standard streams.
inline Child start(const fs::path& program, const std::vector<std::string>& arguments,
                   const std::vector<std::string>& environment) {
  // Everything the child needs is made before fork(): tests start children
  // from several threads at once, and a child that allocated after fork()
  // could wait forever for a lock another thread held at that moment.
  std::vector<std::string> all{program.string()};
  all.insert(all.end(), arguments.begin(), arguments.end());
  std::vector<std::string> env = environment;
  std::vector<char*> argv, envp;
  for (auto& text : all) argv.push_back(text.data());
  argv.push_back(nullptr);
  for (auto& text : env) envp.push_back(text.data());
  envp.push_back(nullptr);
  int in[2], out[2], err[2];
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) return {};
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(err[1], 2);
    ::execve(argv[0], argv.data(), envp.data());
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  ::close(err[1]);
  return Child{pid, in[1], out[0], err[0]};
}

inline std::string readAll(int fd) {
  std::string text;
  char buffer[4096];
  long count;
  while ((count = ::read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, static_cast<std::size_t>(count));
  ::close(fd);
  return text;
}

struct Finished {
  int status = -1;
  std::string output;
  std::string error;
};

// Writes the input, closes it, and waits for the program to end.
inline Finished finish(Child child, const std::string& input = "") {
  // Written from a thread of its own: a long input and a long output would
  // otherwise wait for each other through the full pipes.
  std::thread writer([&] {
    std::size_t done = 0;
    while (done < input.size()) {
      const auto count = ::write(child.input, input.data() + done, input.size() - done);
      if (count <= 0) break;
      done += static_cast<std::size_t>(count);
    }
    ::close(child.input);
  });
  Finished result;
  std::thread errors([&] { result.error = readAll(child.error); });
  result.output = readAll(child.output);
  errors.join();
  writer.join();
  int status = 0;
  ::waitpid(child.pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return result;
}

inline Finished run(const fs::path& program, const std::vector<std::string>& arguments,
                    const std::vector<std::string>& environment, const std::string& input = "") {
  return finish(start(program, arguments, environment), input);
}

// Waits until something listens on the socket; false after `limit`.
inline bool waitForSocket(const fs::path& socket, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (std::chrono::steady_clock::now() < end) {
    if (RecorderCore::UnixSocket::connect(socket.string())) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

// Ends the host a bridge started (its id is in host.pid beside the socket)
// and waits until nothing listens any more.
inline void stopLaunchedHost(const fs::path& support, int signal = SIGTERM) {
  std::ifstream file(support / "host.pid");
  pid_t pid = 0;
  if (!(file >> pid) || pid <= 0) return;
  ::kill(pid, signal);
  for (int attempt = 0; attempt < 500 && ::kill(pid, 0) == 0; ++attempt) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// The JSON-RPC lines of an agent session that calls the given tools in order.
inline std::string agentSession(const std::vector<std::pair<std::string, json>>& calls) {
  std::string lines = R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"protocolVersion":"2025-06-18",)"
                      R"("capabilities":{},"clientInfo":{"name":"Test Agent","version":"1"}}})"
                      "\n";
  int id = 1;
  for (const auto& [name, arguments] : calls) {
    lines += json{{"jsonrpc", "2.0"}, {"id", id++}, {"method", "tools/call"},
                  {"params", {{"name", name}, {"arguments", arguments}}}}
                 .dump() +
             "\n";
  }
  return lines;
}

}  // namespace HostTest
