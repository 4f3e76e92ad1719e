// Long-running work that an agent follows with get_job and wait_for_job:
// each job has an id, a state (running, done, failed), a progress 0…1 with a
// status line, and at the end a result or an error.
//
// Whatever does the work reports through progress(), finish() and fail();
// wait() blocks on a condition variable until the job ends or the time runs
// out. All members are safe to call from any thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <mutex>
#include <optional>
#include <string>

#include <nlohmann/json.hpp>

#include "RecorderCore/agent/AgentError.h"

namespace RecorderCore {

class Jobs {
 public:
  enum class State { running, done, failed };

  // Registers a running job and returns its id.
  std::string start(std::string status);
  // Reports progress of a running job; ignored once it has ended.
  void progress(const std::string& id, double fraction, std::string status);
  // Ends a running job with its result, or with an error.
  void finish(const std::string& id, nlohmann::json result);
  void fail(const std::string& id, AgentError error);

  // The job's state as agents see it: {"job_id", "state": "running",
  // "progress", "status"}, {"job_id", "state": "done", "result"} or
  // {"job_id", "state": "failed", "error"}. Nothing for an unknown id.
  std::optional<nlohmann::json> state(const std::string& id) const;
  // Waits until the job is no longer running or the timeout passes, then
  // returns its state; nothing for an unknown id.
  std::optional<nlohmann::json> wait(const std::string& id, std::chrono::milliseconds timeout) const;

 private:
  struct Job {
    State state = State::running;
    double progress = 0;
    std::string status;
    nlohmann::json result;
    std::optional<AgentError> error;
  };
  nlohmann::json describe(const std::string& id, const Job& job) const;
  void end(const std::string& id, State state, nlohmann::json result, std::optional<AgentError> error);

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::map<std::string, Job> jobs_;
};

std::string_view rawValue(Jobs::State state);

}  // namespace RecorderCore
