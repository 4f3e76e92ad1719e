#include "host/Jobs.h"

#include <algorithm>

#include "RecorderCore/project/Uuid.h"

namespace RecorderCore {

std::string_view rawValue(Jobs::State state) {
  switch (state) {
    case Jobs::State::running:
      return "running";
    case Jobs::State::done:
      return "done";
    case Jobs::State::failed:
      return "failed";
  }
  return "running";
}

std::string Jobs::start(std::string status) {
  const std::string id = Uuid::random().uuidString();
  std::lock_guard lock(mutex_);
  jobs_[id] = Job{State::running, 0, std::move(status), nullptr, std::nullopt};
  return id;
}

void Jobs::progress(const std::string& id, double fraction, std::string status) {
  std::lock_guard lock(mutex_);
  const auto found = jobs_.find(id);
  if (found == jobs_.end() || found->second.state != State::running) return;
  found->second.progress = std::clamp(fraction, 0.0, 1.0);
  found->second.status = std::move(status);
  changed_.notify_all();
}

void Jobs::finish(const std::string& id, nlohmann::json result) { end(id, State::done, std::move(result), std::nullopt); }

void Jobs::fail(const std::string& id, AgentError error) { end(id, State::failed, nullptr, std::move(error)); }

void Jobs::end(const std::string& id, State state, nlohmann::json result, std::optional<AgentError> error) {
  std::lock_guard lock(mutex_);
  const auto found = jobs_.find(id);
  if (found == jobs_.end() || found->second.state != State::running) return;
  found->second.state = state;
  found->second.progress = 1;
  found->second.result = std::move(result);
  found->second.error = std::move(error);
  changed_.notify_all();
}

nlohmann::json Jobs::describe(const std::string& id, const Job& job) const {
  nlohmann::json answer{{"job_id", id}, {"state", rawValue(job.state)}};
  switch (job.state) {
    case State::running:
      answer["progress"] = job.progress;
      answer["status"] = job.status;
      break;
    case State::done:
      answer["result"] = job.result;
      break;
    case State::failed:
      answer["error"] = job.error ? nlohmann::json(*job.error) : nlohmann::json(nullptr);
      break;
  }
  return answer;
}

std::optional<nlohmann::json> Jobs::state(const std::string& id) const {
  std::lock_guard lock(mutex_);
  const auto found = jobs_.find(id);
  if (found == jobs_.end()) return std::nullopt;
  return describe(id, found->second);
}

std::optional<nlohmann::json> Jobs::wait(const std::string& id, std::chrono::milliseconds timeout) const {
  std::unique_lock lock(mutex_);
  if (!jobs_.contains(id)) return std::nullopt;
  changed_.wait_for(lock, timeout, [&] { return jobs_.at(id).state != State::running; });
  return describe(id, jobs_.at(id));
}

}  // namespace RecorderCore
