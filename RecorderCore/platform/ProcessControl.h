// Process-wide signal handling, sleeping, and starting other programs.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace RecorderCore::ProcessControl {

// Ignores SIGPIPE for the whole process, so that writing to a closed pipe or
// socket fails with EPIPE instead of ending the process.
void ignoreSIGPIPE();

// Blocks the calling thread for the duration, resuming after signals until
// the whole time has passed.
void sleepFor(std::chrono::microseconds duration);

// Starts the executable with the arguments (not counting the program name),
// detached: in a session of its own, standard streams on /dev/null, not a
// child this process has to reap. Returns as soon as it has been spawned;
// false when the file is not an executable or the spawn fails.
bool spawnDetached(const std::string& executable, const std::vector<std::string>& arguments);

// Runs the executable with the arguments and waits for it to exit. Returns
// its exit status, or -1 when it could not be started or did not exit
// normally.
int runAndWait(const std::string& executable, const std::vector<std::string>& arguments);

}  // namespace RecorderCore::ProcessControl
