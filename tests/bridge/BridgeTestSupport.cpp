#include "tests/bridge/BridgeTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/ProcessControl.h"
#include "bridge/LineReader.h"

extern char** environ;

namespace RecorderCore::Testing {

TestBundle::TestBundle(const std::optional<json>& info) {
  fs::create_directories(bundle / "Contents/MacOS");
  fs::create_directories(home);
  fs::create_directories(data);
  if (info) {
    // The XML form, with strings and integers: all these tests need.
    std::ofstream plist(bundle / "Contents/Info.plist");
    plist << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<dict>\n";
    for (const auto& [key, value] : info->items()) {
      plist << "<key>" << key << "</key>"
            << (value.is_string() ? "<string>" + value.get<std::string>() + "</string>"
                                  : "<integer>" + value.dump() + "</integer>") << "\n";
    }
    plist << "</dict>\n</plist>\n";
  }
  // A copy, not a symbolic link: the bridge resolves links and would find the
  // build folder instead of this bundle.
  fs::copy_file(fs::path(RECORDER_BINARY_DIR) / "bridge/recorder-mcp", bridge());
}

BridgeProcess::BridgeProcess(const fs::path& executable, const Environment& environment) {
  ProcessControl::ignoreSIGPIPE();
  std::vector<std::string> entries;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    if (!environment.contains(text.substr(0, text.find('=')))) entries.push_back(text);
  }
  for (const auto& [name, value] : environment) if (value) entries.push_back(name + "=" + *value);
  std::vector<char*> envp;
  for (auto& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);

  int inputPipe[2], outputPipe[2];
  if (::pipe2(inputPipe, O_CLOEXEC) != 0 || ::pipe2(outputPipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe2 failed");
  }
  // Larger pipes (best effort) mean fewer hand-overs for lines of megabytes.
  ::fcntl(inputPipe[1], F_SETPIPE_SZ, 1 << 20);
  ::fcntl(outputPipe[0], F_SETPIPE_SZ, 1 << 20);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inputPipe[0], 0);
  posix_spawn_file_actions_adddup2(&actions, outputPipe[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, (scratch_.path / "stderr.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::string program = executable.string();
  std::vector<char*> argv{program.data(), nullptr};
  const int result = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(inputPipe[0]);
  ::close(outputPipe[1]);
  if (result != 0) throw std::runtime_error("posix_spawn failed: " + std::string(std::strerror(result)));
  input_ = inputPipe[1];
  output_ = outputPipe[0];
}

BridgeProcess::~BridgeProcess() {
  closeInput();
  if (waitForExit() < 0) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  ::close(output_);
}

void BridgeProcess::send(std::string_view bytes) {
  if (input_ < 0 || !FileIO::writeAll(input_, bytes)) throw std::runtime_error("the bridge's input is closed");
}

std::optional<std::string> BridgeProcess::readLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::size_t scanned = 0;
  std::string chunk(1 << 20, '\0');
  while (true) {
    if (const auto newline = pending_.find('\n', scanned); newline != std::string::npos) {
      std::string line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      return line;
    }
    scanned = pending_.size();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    pollfd waiting{output_, POLLIN, 0};
    const int ready = left.count() > 0 ? ::poll(&waiting, 1, static_cast<int>(left.count())) : 0;
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    const long count = FileIO::readSome(output_, chunk.data(), chunk.size());
    if (count <= 0) {
      if (pending_.empty()) return std::nullopt;
      return std::exchange(pending_, {});
    }
    pending_.append(chunk.data(), static_cast<std::size_t>(count));
  }
}

bool BridgeProcess::pingIsNextAnswer() {
  const int id = nextPingId_++;
  sendLine({{"jsonrpc", "2.0"}, {"id", id}, {"method", "ping"}});
  return readLine() == json({{"jsonrpc", "2.0"}, {"id", id}, {"result", json::object()}}).dump();
}

int BridgeProcess::waitForExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!exitStatus_) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    } else if (std::chrono::steady_clock::now() >= deadline) {
      return -1;
    } else {
      std::this_thread::sleep_for(5ms);
    }
  }
  return *exitStatus_;
}

std::vector<std::string> BridgeProcess::standardErrorLines(std::size_t count, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    const std::string text = standardError();
    std::vector<std::string> lines;
    for (std::size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
      lines.push_back(text.substr(start, end - start));
    }
    if (lines.size() >= count || std::chrono::steady_clock::now() >= deadline) return lines;
    std::this_thread::sleep_for(5ms);
  }
}

TestApp::TestApp(const std::string& path, Handler handler) : path_(path), handler_(std::move(handler)) {
  ProcessControl::ignoreSIGPIPE();
  fs::create_directories(fs::path(path).parent_path());
  listener_ = UnixSocket::listen(path);
  if (!listener_) throw std::runtime_error("cannot listen on " + path);
  thread_ = std::thread([this] {
    while (true) {
      auto peer = listener_->accept();
      if (stopping_) return;
      if (!peer) continue;
      peer->setReceiveTimeout(30s);
      const std::string request = LineReader(peer->descriptor()).next().value_or("");
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
      }
      handler_(request, *peer);
    }
  });
}

TestApp::~TestApp() {
  stopping_ = true;
  UnixSocket::connect(path_);  // wakes the accept()
  thread_.join();
}

TestApp::Handler TestApp::replyInPieces(std::vector<std::string> pieces) {
  return [pieces = std::move(pieces)](const std::string&, UnixSocket& peer) {
    for (const auto& piece : pieces) {
      peer.sendAll(piece);
      std::this_thread::sleep_for(15ms);
    }
  };
}

}  // namespace RecorderCore::Testing
