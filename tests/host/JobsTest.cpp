// The job registry with a stand-in job: states, progress and waiting.
#include <thread>

#include <gtest/gtest.h>

#include "host/Jobs.h"

namespace {

using RecorderCore::AgentError;
using RecorderCore::Jobs;
using namespace std::chrono_literals;

TEST(Jobs, AJobRunsReportsProgressAndEnds) {
  Jobs jobs;
  const auto id = jobs.start("Preparing");
  EXPECT_EQ((*jobs.state(id))["state"], "running");
  jobs.progress(id, 0.25, "Rendering");
  EXPECT_EQ(*jobs.state(id), (nlohmann::json{{"job_id", id}, {"state", "running"}, {"progress", 0.25}, {"status", "Rendering"}}));
  jobs.finish(id, nlohmann::json{{"file_path", "/tmp/x.mp4"}});
  EXPECT_EQ(*jobs.state(id), (nlohmann::json{{"job_id", id}, {"state", "done"}, {"result", {{"file_path", "/tmp/x.mp4"}}}}));
  // An ended job stays as it ended.
  jobs.fail(id, AgentError("late", "Too late."));
  jobs.progress(id, 0.5, "again");
  EXPECT_EQ((*jobs.state(id))["state"], "done");
  EXPECT_FALSE(jobs.state("other"));
  EXPECT_FALSE(jobs.wait("other", 10ms));
}

TEST(Jobs, WaitReturnsWhenTheJobEndsOrTheTimeRunsOut) {
  Jobs jobs;
  const auto id = jobs.start("Working");
  auto started = std::chrono::steady_clock::now();
  EXPECT_EQ((*jobs.wait(id, 100ms))["state"], "running");
  EXPECT_GE(std::chrono::steady_clock::now() - started, 100ms);

  std::thread worker([&] {
    std::this_thread::sleep_for(50ms);
    jobs.progress(id, 0.5, "Half way");
    std::this_thread::sleep_for(50ms);
    jobs.fail(id, AgentError("render_failed", "The renderer stopped."));
  });
  started = std::chrono::steady_clock::now();
  const auto state = *jobs.wait(id, 10s);
  EXPECT_LT(std::chrono::steady_clock::now() - started, 5s);
  worker.join();
  EXPECT_EQ(state["state"], "failed");
  EXPECT_EQ(state["error"]["code"], "render_failed");
}

}  // namespace
