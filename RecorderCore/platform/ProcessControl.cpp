#include "RecorderCore/platform/ProcessControl.h"

#include <cerrno>
#include <csignal>
#include <ctime>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace RecorderCore::ProcessControl {
namespace {

// The argument vector execv() wants; the strings must outlive the call.
std::vector<char*> argumentVector(const std::string& executable,
                                  const std::vector<std::string>& arguments) {
  std::vector<char*> argv;
  argv.reserve(arguments.size() + 2);
  argv.push_back(const_cast<char*>(executable.c_str()));
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  return argv;
}

pid_t waitRetrying(pid_t child, int& status) {
  pid_t result = 0;
  do {
    result = ::waitpid(child, &status, 0);
  } while (result < 0 && errno == EINTR);
  return result;
}

}  // namespace

void ignoreSIGPIPE() { std::signal(SIGPIPE, SIG_IGN); }

void sleepFor(std::chrono::microseconds duration) {
  if (duration.count() <= 0) return;
  timespec remaining{};
  remaining.tv_sec = static_cast<time_t>(duration.count() / 1'000'000);
  remaining.tv_nsec = static_cast<long>(duration.count() % 1'000'000 * 1000);
  while (::nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

bool spawnDetached(const std::string& executable, const std::vector<std::string>& arguments) {
  if (::access(executable.c_str(), X_OK) != 0) return false;
  // Everything the child needs is built before fork(): between fork() and
  // exec only async-signal-safe calls are allowed.
  std::vector<char*> argv = argumentVector(executable, arguments);
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    // The intermediate child starts a session and forks the app, then exits
    // at once, so the app is adopted by init and never becomes our zombie.
    ::setsid();
    const pid_t app = ::fork();
    if (app != 0) ::_exit(app < 0 ? 1 : 0);
    const int null = ::open("/dev/null", O_RDWR);
    if (null >= 0) {
      ::dup2(null, STDIN_FILENO);
      ::dup2(null, STDOUT_FILENO);
      ::dup2(null, STDERR_FILENO);
      if (null > STDERR_FILENO) ::close(null);
    }
    ::execv(executable.c_str(), argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (waitRetrying(child, status) < 0) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int runAndWait(const std::string& executable, const std::vector<std::string>& arguments) {
  std::vector<char*> argv = argumentVector(executable, arguments);
  pid_t child = 0;
  if (::posix_spawn(&child, executable.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
    return -1;
  }
  int status = 0;
  if (waitRetrying(child, status) < 0 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

}  // namespace RecorderCore::ProcessControl
