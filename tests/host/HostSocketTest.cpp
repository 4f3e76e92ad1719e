// The host through its socket: every tool's argument errors, calls without a
// project, unknown tools and malformed requests, and what good calls change.
#include <fstream>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "RecorderCore/project/ProjectPackage.h"
#include "tests/host/HostTestSupport.h"

namespace {

using nlohmann::json;
using HostTest::RunningHost;

std::string errorField(const json& reply, const char* key) {
  if (!reply.is_object() || !reply.contains("error") || !reply["error"].is_object()) return "";
  return reply["error"].value(key, std::string());
}
std::string errorCode(const json& reply) { return errorField(reply, "code"); }
std::string errorMessage(const json& reply) { return errorField(reply, "message"); }

TEST(HostSocket, ArgumentErrorsOfEveryToolNameTheArgument) {
  RunningHost host;
  ASSERT_EQ(host.openSample()["name"], "Product Tour");
  static const struct {
    const char* tool;
    const char* arguments;
    const char* message;
  } cases[] = {
      {"list_projects", R"({"limit":0})", "Argument limit: must be between 1 and 200."},
      {"list_projects", R"({"limit":201})", "Argument limit: must be between 1 and 200."},
      {"open_project", R"({})", "Argument path: is required."},
      {"open_project", R"({"path":""})", "Argument path: is required."},
      {"open_project", R"({"path":7})", "Argument path: is required."},
      {"open_project", R"({"path":"/etc"})", "Argument path: is outside the folders agents may use."},
      {"open_project", R"({"path":"/tmp/../etc/passwd"})", "Argument path: is outside the folders agents may use."},
      {"open_project", R"({"path":"~/.ssh"})", "Argument path: is outside the folders agents may use."},
      {"open_project", R"({"path":"/tmp"})", "Argument path: is not a project package: it has no manifest.json."},
      {"start_recording", R"({"countdown_seconds":11})", "Argument countdown_seconds: must be between 0 and 10."},
      {"start_recording", R"({"max_duration_seconds":0.5})", "Argument max_duration_seconds: must be between 1 and 7200."},
      {"start_recording", R"({"area":{"x":1}})", "Argument area: needs x, y, width and height as numbers."},
      {"set_canvas", R"({})", "Argument aspect: is required."},
      {"set_canvas", R"({"aspect":"5:4"})", "Argument aspect: must be one of 16:9, 9:16, 1:1, 4:5, 4:3, 3:2, 21:9."},
      {"set_background", R"({})", "Argument photo: pass exactly one of photo, color, gradient or image_path."},
      {"set_background", R"({"color":"#000000","photo":"x"})",
       "Argument photo: pass exactly one of photo, color, gradient or image_path."},
      {"set_background", R"({"color":"red"})", "Argument color: must be a hex color like #1C1C1E."},
      {"set_background", R"({"photo":"beach"})", "Argument photo: is not one of the photos from list_backgrounds."},
      {"set_background", R"({"gradient":{"from":"#000000"}})",
       "Argument gradient: needs from and to as hex colors like #1C1C1E."},
      {"set_background", R"({"image_path":"/etc/hosts"})", "Argument image_path: is outside the folders agents may use."},
      {"set_background", R"({"image_path":"/tmp/no-such-host-image.png"})",
       "Argument image_path: there is no file at this path."},
      {"set_frame", R"({"padding":0.31})", "Argument padding: must be between 0 and 0.3."},
      {"set_frame", R"({"corner_radius":-1})", "Argument corner_radius: must be between 0 and 60."},
      {"set_frame", R"({"shadow":1.5})", "Argument shadow: must be between 0 and 1."},
      {"trim", R"({"from":1})", "Argument to: is required and must be a number."},
      {"trim", R"({"from":"1","to":3})", "Argument from: is required and must be a number."},
      {"trim", R"({"from":5,"to":5})", "Argument to: must be later than from."},
      {"cut", R"({"from":-1,"to":3})", "Argument from: must be 0 or later."},
      {"cut", R"({"from":500,"to":600})", "Argument from: is after the end of the project (60 s)."},
      {"add_zoom", R"({})", "Argument at: is required and must be a number."},
      {"add_zoom", R"({"at":61})", "Argument at: must be a time within the project, 0 to 60 s."},
      {"add_zoom", R"({"at":1,"amount":4.5})", "Argument amount: must be between 1.2 and 4."},
      {"add_zoom", R"({"at":1,"amount":1.1})", "Argument amount: must be between 1.2 and 4."},
      {"add_zoom", R"({"at":1,"x":1.2})", "Argument x: must be between 0 and 1."},
      {"add_zoom", R"({"at":1,"duration":0})", "Argument duration: must be between 0.1 and 3600."},
      {"remove_zooms", R"({"zoom_id":"nope"})", "Argument zoom_id: no zoom has this id."},
      {"remove_zooms", R"({"from":5,"to":2})", "Argument to: must not be earlier than from."},
      {"add_text", R"({})", "Argument text: is required."},
      {"add_text", R"({"text":""})", "Argument text: is required."},
      {"add_text", R"({"text":"Hi","look":"fancy"})",
       "Argument look: must be one of plain, label, pill, beast, boxed, marker."},
      {"add_text", R"({"text":"Hi","color":"blue"})", "Argument color: must be a hex color like #1C1C1E."},
      {"add_text", R"({"text":"Hi","outline":0.3})", "Argument outline: must be between 0 and 0.2."},
      {"add_text", R"({"text":"Hi","box_padding":0})", "Argument box_padding: must be between 0.1 and 1.2."},
      {"add_text", R"({"text":"Hi","in_animation":"spin"})",
       "Argument in_animation: must be one of none, fade, pop, slideUp, slideDown, slideLeft, slideRight, shake, bounce."},
      {"add_text", R"({"text":"Hi","animation_duration":2})", "Argument animation_duration: must be between 0.1 and 1.5."},
      {"add_blur", R"({"style":"smudge"})", "Argument style: must be one of blur, pixelate."},
      {"add_blur", R"({"amount":2})", "Argument amount: must be between 0 and 1."},
      {"set_watermark", R"({"placement":"middle"})",
       "Argument placement: must be one of bottomRight, bottomLeft, topRight, topLeft, middleLeft, middleRight, "
       "topCenter, bottomCenter, center."},
      {"set_watermark", R"({"opacity":0.05})", "Argument opacity: must be between 0.1 and 1."},
      {"set_watermark", R"({"size":0.1})", "Argument size: must be between 0.012 and 0.09."},
      {"set_watermark", R"({"x":0.5})", "Argument y: is needed together with the other."},
      {"set_watermark", R"({"text_color":"white"})", "Argument text_color: must be a hex color like #1C1C1E."},
      {"set_watermark", R"({"image_path":"~/.zshrc"})", "Argument image_path: is outside the folders agents may use."},
      {"transcribe", R"({"quality":"great"})", "Argument quality: must be one of fast, accurate, best."},
      {"set_caption_style", R"({"preset":"fancy"})",
       "Argument preset: must be one of beast, social, pill, boxed, mono, clean."},
      {"set_caption_style", R"({"words_per_line":11})", "Argument words_per_line: must be between 1 and 10."},
      {"set_caption_style", R"({"position":-0.1})", "Argument position: must be between 0 and 1."},
      {"set_caption_style", R"({"highlight_color":"yellow"})",
       "Argument highlight_color: must be a hex color like #1C1C1E."},
      {"export_srt", R"({"output_path":"/etc/x.srt"})", "Argument output_path: is outside the folders agents may use."},
      {"export_srt", R"({"output_path":"/tmp/no-such-folder-for-host/x.srt"})",
       "Argument output_path: its folder does not exist."},
      {"export_project", R"({"resolution":900})", "Argument resolution: must be one of 720, 1080, 1440, 2160."},
      {"export_project", R"({"format":"avi"})", "Argument format: must be one of mp4, hevc, gif."},
      {"export_project", R"({"fps":24})", "Argument fps: must be 30 or 60."},
      {"export_project", R"({"output_path":"~/.bashrc"})", "Argument output_path: is outside the folders agents may use."},
      {"get_job", R"({})", "Argument job_id: is required."},
      {"get_job", R"({"job_id":"123"})", "Argument job_id: no job has this id."},
      {"wait_for_job", R"({"job_id":"123","timeout_seconds":51})", "Argument timeout_seconds: must be between 1 and 50."},
      {"wait_for_job", R"({"job_id":"123","timeout_seconds":1})", "Argument job_id: no job has this id."},
      {"reveal_in_finder", R"({})", "Argument path: is required."},
      {"reveal_in_finder", R"({"path":"/usr/bin"})", "Argument path: is outside the folders agents may use."},
      {"reveal_in_finder", R"({"path":"/tmp/no-such-file-for-host"})",
       "Argument path: there is no file or folder at this path."},
  };
  const auto before = host.call("get_project")["result"];
  for (const auto& entry : cases) {
    const auto reply = host.call(entry.tool, json::parse(entry.arguments));
    EXPECT_EQ(reply["ok"], false) << entry.tool << " " << entry.arguments;
    EXPECT_EQ(errorCode(reply), "bad_argument") << entry.tool << " " << entry.arguments;
    EXPECT_EQ(errorMessage(reply), entry.message) << entry.tool << " " << entry.arguments;
  }
  // None of the refused calls changed the project.
  EXPECT_EQ(host.call("get_project")["result"], before);
}

TEST(HostSocket, EditingToolsWithoutAProjectSayNoProject) {
  RunningHost host;
  for (const char* tool : {"get_project", "set_canvas", "set_background", "set_frame", "trim", "cut", "add_zoom",
                           "remove_zooms", "regenerate_zooms", "add_text", "add_blur", "set_watermark",
                           "set_caption_style", "export_srt", "undo", "save"}) {
    const auto reply = host.call(tool, json{{"aspect", "1:1"}, {"from", 1}, {"to", 2}, {"at", 1}, {"text", "x"}});
    EXPECT_EQ(errorCode(reply), "no_project") << tool;
    EXPECT_EQ(errorMessage(reply), "No project is open.") << tool;
    EXPECT_EQ(errorField(reply, "hint"),
              "Call list_projects and open_project first, or record something with start_recording.")
        << tool;
  }
}

TEST(HostSocket, UnknownToolsAndMalformedRequests) {
  RunningHost host;
  for (const char* name : {"frobnicate", "Get_Status", " get_status", ""}) {
    const auto reply = host.call(name);
    EXPECT_EQ(errorCode(reply), "unknown_tool") << name;
    EXPECT_EQ(errorMessage(reply), "There is no tool called " + std::string(name) + ".");
    EXPECT_EQ(reply["id"], "call");
  }
  EXPECT_EQ(errorCode(HostTest::roundTrip(host.paths.socketPath, json{{"id", 4}, {"command", "tools/delete"}})),
            "unknown_command");
  // A line that is not an object gets a failure with a null id.
  auto socket = RecorderCore::UnixSocket::connect(host.paths.socketPath);
  ASSERT_TRUE(socket);
  socket->sendAll("[1,2]\nextra");
  char buffer[4096];
  const long count = socket->receive(buffer, sizeof buffer);
  ASSERT_GT(count, 0);
  const auto reply = RecorderCore::AgentWire::decode(std::string_view(buffer, static_cast<std::size_t>(count)));
  ASSERT_TRUE(reply);
  EXPECT_EQ((*reply)["id"], nullptr);
  EXPECT_EQ((*reply)["error"]["code"], "bad_request");
  // tools/list answers the catalogue.
  const auto list = HostTest::roundTrip(host.paths.socketPath, json{{"id", "list"}, {"command", "tools/list"}});
  EXPECT_EQ(list["id"], "list");
  EXPECT_EQ(list["result"]["tools"].size(), 29u);
}

TEST(HostSocket, ToolsThisHostCannotRunSayNotAvailable) {
  RunningHost host;
  for (const char* tool : {"list_sources", "start_recording", "pause_recording", "stop_recording", "transcribe",
                           "export_project"}) {
    const auto reply = host.call(tool);
    EXPECT_EQ(errorCode(reply), "not_available") << tool;
    EXPECT_THAT(errorMessage(reply), testing::StartsWith("Test Recorder on this host has no ")) << tool;
    EXPECT_TRUE(reply["error"].contains("hint")) << tool;
  }
  const auto status = host.call("get_status")["result"];
  EXPECT_EQ(status["recording_state"], "idle");
  EXPECT_EQ(status["version"], "2.1.0 (42)");
  EXPECT_EQ(status["screen_recording_permission"], "unavailable");
  EXPECT_EQ(host.call("list_backgrounds")["result"], json({{"backgrounds", json::array()}}));
}

TEST(HostSocket, EditsChangeTheProjectAndUndoReturnsEachStep) {
  RunningHost host;
  const auto opened = host.openSample();
  EXPECT_EQ(opened["zooms"].size(), 0u);
  EXPECT_GT(opened["captions"]["word_count"].get<int>(), 20);

  const auto regenerated = host.call("regenerate_zooms")["result"];
  ASSERT_GT(regenerated["automatic_zooms"].get<int>(), 0);
  const auto zoom = host.call("add_zoom", json{{"at", 2.0}, {"x", 0.25}, {"y", 0.25}, {"amount", 4}})["result"];
  ASSERT_TRUE(zoom.contains("zoom_id"));
  EXPECT_DOUBLE_EQ(zoom["x"].get<double>(), 0.25);
  // A second regeneration replaces only the automatic zooms.
  host.call("regenerate_zooms");
  auto summary = host.call("get_project")["result"];
  int manual = 0;
  for (const auto& entry : summary["zooms"]) manual += entry["auto"] == false;
  EXPECT_EQ(manual, 1);
  EXPECT_EQ(summary["zooms"].size(), regenerated["automatic_zooms"].get<std::size_t>() + 1);

  // Without x and y the zoom goes where the cursor was.
  const auto followed = host.call("add_zoom", json{{"at", 10.0}})["result"];
  EXPECT_FALSE(followed["x"] == 0.5 && followed["y"] == 0.5);

  host.call("add_text", json{{"text", "Hello 👋"}, {"look", "beast"}, {"color", "#FF0000"}});
  host.call("set_caption_style", json{{"preset", "beast"}, {"words_per_line", 2}});
  host.call("set_caption_style", json{{"highlight", false}});
  host.call("cut", json{{"from", 10}, {"to", 20}});
  summary = host.call("get_project")["result"];
  EXPECT_DOUBLE_EQ(summary["duration"].get<double>(), 50);
  EXPECT_EQ(summary["captions"]["style"], "beast");
  EXPECT_EQ(summary["undo"], "Cut");

  // Undo: the cut, then both caption changes as one step, then the text.
  EXPECT_EQ(host.call("undo")["result"]["undone"], "Cut");
  EXPECT_DOUBLE_EQ(host.call("get_project")["result"]["duration"].get<double>(), 60);
  EXPECT_EQ(host.call("undo")["result"]["undone"], "Caption Style");
  EXPECT_EQ(host.call("get_project")["result"]["captions"]["style"], "clean");
  EXPECT_EQ(host.call("undo")["result"]["undone"], "Add Text");

  // The saved package holds what the project shows.
  EXPECT_EQ(host.call("save")["result"]["saved"], true);
  const auto saved = RecorderCore::ProjectPackage::load(host.sample);
  EXPECT_EQ(saved.zooms.size(), host.call("get_project")["result"]["zooms"].size());
  EXPECT_EQ(host.call("get_status")["result"]["open_projects"][0]["unsaved_changes"], false);
}

TEST(HostSocket, SubtitlesNeverOverwriteAFile) {
  RunningHost host;
  host.openSample();
  const auto first = host.call("export_srt")["result"]["file_path"].get<std::string>();
  const auto second = host.call("export_srt")["result"]["file_path"].get<std::string>();
  EXPECT_NE(first, second);
  EXPECT_EQ(std::filesystem::path(first).parent_path(), host.paths.moviesFolder);
  std::ifstream file(first);
  std::string firstLine;
  std::getline(file, firstLine);
  EXPECT_EQ(firstLine, "1");
  const auto taken = host.call("export_srt", json{{"output_path", first}});
  EXPECT_EQ(errorMessage(taken), "Argument output_path: a file already exists there.");
  const auto chosen = (host.root / "home" / "Movies" / "mine.srt").string();
  EXPECT_EQ(host.call("export_srt", json{{"output_path", chosen}})["result"]["file_path"], chosen);
}

}  // namespace
