#include "tests/bridge/BridgeTestSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <stdexcept>

#include <plist/plist.h>

#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/ProcessControl.h"

extern char** environ;

namespace RecorderCore::Testing {

fs::path bridgeExecutable() { return fs::path(RECORDER_BINARY_DIR) / "bridge/recorder-mcp"; }

fs::path stubAppExecutable() {
  return fs::path(RECORDER_BINARY_DIR) / "tests/bridge/recorder-stub-app";
}

TemporaryFolder::TemporaryFolder() {
  std::string pattern = "/tmp/rc-bridge-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TemporaryFolder::~TemporaryFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

namespace {

plist_t plistFromJSON(const json& value) {
  if (value.is_object()) {
    plist_t dict = plist_new_dict();
    for (const auto& [key, member] : value.items()) {
      plist_dict_set_item(dict, key.c_str(), plistFromJSON(member));
    }
    return dict;
  }
  if (value.is_array()) {
    plist_t array = plist_new_array();
    for (const auto& element : value) plist_array_append_item(array, plistFromJSON(element));
    return array;
  }
  if (value.is_boolean()) return plist_new_bool(value.get<bool>() ? 1 : 0);
  if (value.is_number_integer()) return plist_new_uint(value.get<std::uint64_t>());
  if (value.is_number_float()) return plist_new_real(value.get<double>());
  if (value.is_string()) return plist_new_string(value.get<std::string>().c_str());
  throw std::invalid_argument("no property-list form for " + value.dump());
}

void writeExecutable(const fs::path& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
  fs::permissions(path, fs::perms::owner_all);
}

}  // namespace

void writePlist(const fs::path& path, const json& info, PlistForm form) {
  if (form == PlistForm::none) return;
  plist_t root = plistFromJSON(info);
  char* bytes = nullptr;
  std::uint32_t length = 0;
  if (form == PlistForm::xml) {
    plist_to_xml(root, &bytes, &length);
  } else {
    plist_to_bin(root, &bytes, &length);
  }
  std::ofstream(path, std::ios::binary).write(bytes, length);
  std::free(bytes);
  plist_free(root);
}

TestBundle::TestBundle(const json& info, PlistForm form, const std::string& name)
    : bundle_(root_.path() / name), home_(root_.path() / "home"), data_(root_.path() / "data") {
  fs::create_directories(bundle_ / "Contents/MacOS");
  fs::create_directories(home_);
  fs::create_directories(data_);
  writePlist(bundle_ / "Contents/Info.plist", info, form);
  // A copy, not a symbolic link: the bridge resolves links and would find the
  // build folder instead of this bundle.
  fs::copy_file(bridgeExecutable(), bridge());
}

std::string TestBundle::socketPath(const std::string& compact) const {
  return (data_ / compact / "agent.sock").string();
}

void TestBundle::installApp(const fs::path& source, const std::string& name) const {
  fs::copy_file(source, bundle_ / "Contents/MacOS" / name);
}

void TestBundle::installScript(const std::string& name, const std::string& body) const {
  writeExecutable(bundle_ / "Contents/MacOS" / name, "#!/bin/sh\n" + body);
}

std::map<std::string, std::optional<std::string>> TestBundle::environment() const {
  return {{"HOME", home_.string()},
          {"XDG_DATA_HOME", data_.string()},
          {"ENABLED_FEATURES", std::nullopt},
          {"STUB_APP_LAUNCH_LOG", std::nullopt}};
}

BridgeProcess::BridgeProcess(const fs::path& executable,
                             const std::map<std::string, std::optional<std::string>>& environment)
    : errorFile_(scratch_.path() / "stderr.txt") {
  ProcessControl::ignoreSIGPIPE();
  std::map<std::string, std::string> variables;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text(*entry);
    const auto equals = text.find('=');
    if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
  }
  for (const auto& [name, value] : environment) {
    if (value) variables[name] = *value; else variables.erase(name);
  }
  std::vector<std::string> entries;
  for (const auto& [name, value] : variables) entries.push_back(name + "=" + value);
  std::vector<char*> envp;
  for (auto& entry : entries) envp.push_back(entry.data());
  envp.push_back(nullptr);

  int inputPipe[2];
  int outputPipe[2];
  if (::pipe2(inputPipe, O_CLOEXEC) != 0 || ::pipe2(outputPipe, O_CLOEXEC) != 0) {
    throw std::runtime_error("pipe2 failed");
  }
  // Larger pipes mean fewer hand-overs between the processes for the
  // requests and answers of many megabytes (best effort: the system may cap
  // the size).
  ::fcntl(inputPipe[1], F_SETPIPE_SZ, 1 << 20);
  ::fcntl(outputPipe[0], F_SETPIPE_SZ, 1 << 20);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inputPipe[0], 0);
  posix_spawn_file_actions_adddup2(&actions, outputPipe[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, errorFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
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
  if (waitForExit(10s) < 0 && !exitStatus_) {
    ::kill(pid_, SIGKILL);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  if (output_ >= 0) ::close(output_);
}

void BridgeProcess::send(std::string_view bytes) {
  if (input_ < 0 || !FileIO::writeAll(input_, bytes)) {
    throw std::runtime_error("the bridge's standard input is closed");
  }
}

void BridgeProcess::sendLine(const json& message) { send(compactLine(message) + "\n"); }

std::optional<std::string> BridgeProcess::readLine(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  std::size_t scanned = 0;
  std::string chunk(1 << 20, '\0');
  while (true) {
    const auto newline = pending_.find('\n', scanned);
    if (newline != std::string::npos) {
      std::string line = pending_.substr(0, newline);
      pending_.erase(0, newline + 1);
      return line;
    }
    scanned = pending_.size();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd waiting{output_, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return std::nullopt;
    const long count = FileIO::readSome(output_, chunk.data(), chunk.size());
    if (count <= 0) return std::nullopt;
    pending_.append(chunk.data(), static_cast<std::size_t>(count));
  }
}

std::optional<json> BridgeProcess::readMessage(std::chrono::milliseconds timeout) {
  const auto line = readLine(timeout);
  if (!line) return std::nullopt;
  json message = json::parse(*line, nullptr, false);
  if (message.is_discarded()) return std::nullopt;
  return message;
}

bool BridgeProcess::pingIsNextAnswer() {
  const int id = nextPingId_++;
  sendLine({{"jsonrpc", "2.0"}, {"id", id}, {"method", "ping"}});
  const auto line = readLine();
  return line == compactLine({{"jsonrpc", "2.0"}, {"id", id}, {"result", json::object()}});
}

void BridgeProcess::closeInput() {
  if (input_ >= 0) {
    ::close(input_);
    input_ = -1;
  }
}

int BridgeProcess::waitForExit(std::chrono::milliseconds timeout) {
  if (exitStatus_) return *exitStatus_;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    int status = 0;
    const pid_t done = ::waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      exitStatus_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      return *exitStatus_;
    }
    if (std::chrono::steady_clock::now() >= deadline) return -1;
    std::this_thread::sleep_for(5ms);
  }
}

std::string BridgeProcess::remainingOutput() {
  std::string rest = std::move(pending_);
  pending_.clear();
  char chunk[65536];
  long count = 0;
  while ((count = FileIO::readSome(output_, chunk, sizeof chunk)) > 0) {
    rest.append(chunk, static_cast<std::size_t>(count));
  }
  return rest;
}

std::string BridgeProcess::standardError() const {
  return FileIO::readFile(errorFile_.string()).value_or("");
}

std::vector<std::string> BridgeProcess::standardErrorLines(std::size_t count,
                                                           std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    const std::string text = standardError();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (auto end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
      lines.push_back(text.substr(start, end - start));
      start = end + 1;
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
      std::string buffer;
      std::string chunk(65536, '\0');
      std::size_t newline = std::string::npos;
      while (newline == std::string::npos) {
        const long count = peer->receive(chunk.data(), chunk.size());
        if (count <= 0) break;
        const std::size_t before = buffer.size();
        buffer.append(chunk.data(), static_cast<std::size_t>(count));
        newline = buffer.find('\n', before);
      }
      if (newline != std::string::npos) buffer.resize(newline);
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(buffer);
      }
      handler_(buffer, *peer);
    }
  });
}

TestApp::~TestApp() {
  stopping_ = true;
  // Wake the accept() with a connection of our own.
  UnixSocket::connect(path_);
  thread_.join();
}

std::vector<std::string> TestApp::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

TestApp::Handler TestApp::replyWith(std::string bytes) {
  return [bytes = std::move(bytes)](const std::string&, UnixSocket& peer) { peer.sendAll(bytes); };
}

std::string compactLine(const json& message) { return message.dump(); }

}  // namespace RecorderCore::Testing
