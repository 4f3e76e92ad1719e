#include "RecorderCore/agent/AgentCatalogue.h"

#include <array>

namespace RecorderCore::AgentCatalogue {
namespace {

struct Entry {
  std::string_view name;
  std::string_view title;
  std::string_view description;
  std::string_view schema;
};

// Descriptions and schemas are exact texts that agents read; long ones are
// split over adjacent literals only to keep the lines short.
constexpr std::array kEntries{
    Entry{"get_status", "Status",
      "Call this first. Returns the app version, whether Screen Recording "
      "permission is granted, the recording state (idle, countdown, recording, "
      "paused, finishing) and the projects open in the editor.",
      emptySchema},
    Entry{"list_projects", "List projects",
      "Recordings saved on this Mac, newest first, with path, name, modified "
      "date and duration. Use a path with open_project.",
      R"~({"type":"object","properties":{"limit":{"type":"integer","minimum":1,)~"
      R"~("maximum":200,"description":"How many to return (default 20)."}},)~"
      R"~("additionalProperties":false})~"},
    Entry{"open_project", "Open project",
      "Opens a project in the editor and makes it the one the editing tools act "
      "on. Returns its summary (see get_project).",
      R"~({"type":"object","properties":{"path":{"type":"string",)~"
      R"~("description":"Absolute path of the project package,)~"
      R"~( from list_projects or stop_recording."}},"required":["path"],)~"
      R"~("additionalProperties":false})~"},
    Entry{"get_project", "Project summary",
      "Summary of the project the editing tools act on: duration, canvas size, "
      "background, clips, zooms, overlay items, whether it has captions (and "
      "their text with times), and whether it has a microphone or camera track.",
      emptySchema},
    Entry{"list_sources", "List displays and windows",
      "What can be recorded right now: displays (display_id, name, size, which "
      "is the main one) and the windows on screen (window_id, app, title, "
      "position and size). Call it right before start_recording; window ids "
      "change when windows close and reopen.",
      emptySchema},
    Entry{"start_recording", "Start recording",
      "Starts a recording. Pass exactly one of window_id (one app's window, "
      "captured whole even when other windows cover it, on any display), "
      "display_id, or area (a rectangle on a display, in points from its "
      "top-left corner); with none of them the main display is recorded. "
      "Camera, microphone and system audio follow the person's last choices "
      "unless set here. The person sees a countdown and a recording indicator. "
      "Returns at once; call stop_recording to finish. Always pass "
      "max_duration_seconds unless the person asked for an open-ended "
      "recording.",
      R"~({"type":"object","properties":{"window_id":{"type":"integer",)~"
      R"~("description":"A window_id from list_sources."},)~"
      R"~("display_id":{"type":"integer",)~"
      R"~("description":"A display_id from list_sources."},)~"
      R"~("area":{"type":"object","properties":{"display_id":{"type":"integer",)~"
      R"~("description":"Defaults to the main display."},"x":{"type":"number"},)~"
      R"~("y":{"type":"number"},"width":{"type":"number"},)~"
      R"~("height":{"type":"number"}},"required":["x","y","width","height"]},)~"
      R"~("camera":{"type":"boolean",)~"
      R"~("description":"false records no camera; true uses the person's usual camera."},)~"
      R"~("microphone":{"type":"boolean",)~"
      R"~("description":"false records no microphone; true uses the person's usual microphone."},)~"
      R"~("system_audio":{"type":"boolean",)~"
      R"~("description":"Record the sound the Mac plays."},)~"
      R"~("countdown_seconds":{"type":"integer","minimum":0,"maximum":10,)~"
      R"~("description":"The on-screen countdown before recording starts (default: the person's setting,)~"
      R"~( usually 3)."},"max_duration_seconds":{"type":"number","minimum":1,)~"
      R"~("maximum":7200,)~"
      R"~("description":"Stop by itself after this long (safety net)."}},)~"
      R"~("additionalProperties":false})~"},
    Entry{"pause_recording", "Pause or resume",
      "Pauses the recording, or resumes it when it is paused.",
      emptySchema},
    Entry{"stop_recording", "Stop recording",
      "Stops the recording, saves it as a project, opens it in the editor and "
      "returns its path and summary. Automatic zooms have already been added "
      "from the person's clicks.",
      emptySchema},
    Entry{"set_canvas", "Set aspect ratio",
      "Changes the shape of the output video. The recording is re-fitted inside "
      "it on the background.",
      R"~({"type":"object","properties":{"aspect":{"type":"string",)~"
      R"~("enum":["16:9","9:16","1:1","4:5","4:3","3:2","21:9"],)~"
      R"~("description":"16:9 landscape (YouTube, X, LinkedIn),)~"
      R"~( 9:16 vertical (TikTok, Reels, Shorts), 1:1 square,)~"
      R"~( 4:5 portrait feed."}},"required":["aspect"],)~"
      R"~("additionalProperties":false})~"},
    Entry{"list_backgrounds", "List background photos",
      "The background photos that ship with the app, by id.",
      emptySchema},
    Entry{"set_background", "Set background",
      "What shows behind the recording. Pass exactly one of photo (an id from "
      "list_backgrounds), color (hex like #1C1C1E), gradient, or image_path (an "
      "image file on this Mac).",
      R"~({"type":"object","properties":{"photo":{"type":"string"},)~"
      R"~("color":{"type":"string"},"gradient":{"type":"object",)~"
      R"~("properties":{"from":{"type":"string"},"to":{"type":"string"},)~"
      R"~("angle":{"type":"number"}},"required":["from","to"]},)~"
      R"~("image_path":{"type":"string"}},"additionalProperties":false})~"},
    Entry{"set_frame", "Set padding, corners, shadow",
      "How the recording sits on the background. padding 0–0.3 (fraction of the "
      "canvas), corner_radius 0–60, shadow 0–1.",
      R"~({"type":"object","properties":{"padding":{"type":"number"},)~"
      R"~("corner_radius":{"type":"number"},"shadow":{"type":"number"}},)~"
      R"~("additionalProperties":false})~"},
    Entry{"trim", "Trim",
      "Keeps only the part of the video between from and to (seconds on the "
      "current timeline) and removes the rest.",
      R"~({"type":"object","properties":{"from":{"type":"number"},)~"
      R"~("to":{"type":"number"}},"required":["from","to"],)~"
      R"~("additionalProperties":false})~"},
    Entry{"cut", "Cut out a section",
      "Removes the section between from and to (seconds); what follows moves "
      "up. Captions, zooms and overlays follow.",
      R"~({"type":"object","properties":{"from":{"type":"number"},)~"
      R"~("to":{"type":"number"}},"required":["from","to"],)~"
      R"~("additionalProperties":false})~"},
    Entry{"add_zoom", "Add a zoom",
      "Zooms into a spot of the recording from at for duration seconds (default "
      "3), easing in and out. amount is the magnification, 1.2–4 (default 2). x "
      "and y are the spot to zoom into as fractions of the recording, 0,0 = top "
      "left; without them the zoom follows where the cursor was at that moment, "
      "or the centre. get_project lists every zoom with its id.",
      R"~({"type":"object","properties":{"at":{"type":"number"},)~"
      R"~("duration":{"type":"number"},"amount":{"type":"number","minimum":1.2,)~"
      R"~("maximum":4},"x":{"type":"number"},"y":{"type":"number"}},)~"
      R"~("required":["at"],"additionalProperties":false})~"},
    Entry{"remove_zooms", "Remove zooms",
      "Removes the zooms that overlap from–to (seconds), or every zoom when "
      "both are omitted. Pass zoom_id to remove one zoom from get_project.",
      R"~({"type":"object","properties":{"from":{"type":"number"},)~"
      R"~("to":{"type":"number"},"zoom_id":{"type":"string"}},)~"
      R"~("additionalProperties":false})~"},
    Entry{"regenerate_zooms", "Regenerate automatic zooms",
      "Replaces the automatic zooms (the ones made from the person's clicks "
      "when the recording stopped) with a fresh set from the clicks; zooms "
      "added by hand or with add_zoom stay.",
      emptySchema},
    Entry{"add_text", "Add text or emoji",
      "Puts a text overlay (emoji welcome) on the video, with the same choices "
      "as the editor's Add › Text or emoji. at and duration are seconds; x and "
      "y are where its centre goes, as fractions of the canvas (0,0 = top "
      "left); width is its size as a fraction of the canvas width. Defaults: "
      "from the start for 4 seconds, top centre, width 0.3. look is a "
      "ready-made style: plain (bold white), label (black on a white rounded "
      "box), pill (white on a dark pill), beast (big uppercase with an outline "
      "and shadow), boxed (white on a black box), marker (black on yellow). The "
      "other arguments change single settings on top of that: color and "
      "box_color are hex; font is a font family name; outline 0–0.2 is the "
      "outline's width; box_opacity 0–1; box_corner_radius 0–0.5 (0.5 = a "
      "pill); box_padding 0.1–1.2; opacity 0–1; rotation in degrees; "
      "in_animation / out_animation: none, fade, pop, slideUp, slideDown, "
      "slideLeft, slideRight, shake, bounce; animation_duration 0.1–1.5 s.",
      R"~({"type":"object","properties":{"text":{"type":"string"},)~"
      R"~("at":{"type":"number"},"duration":{"type":"number"},)~"
      R"~("x":{"type":"number"},"y":{"type":"number"},"width":{"type":"number"},)~"
      R"~("look":{"type":"string","enum":["plain","label","pill","beast",)~"
      R"~("boxed","marker"]},"color":{"type":"string"},"font":{"type":"string"},)~"
      R"~("bold":{"type":"boolean"},"italic":{"type":"boolean"},)~"
      R"~("uppercase":{"type":"boolean"},"shadow":{"type":"boolean"},)~"
      R"~("outline":{"type":"number"},"box":{"type":"boolean"},)~"
      R"~("box_color":{"type":"string"},"box_opacity":{"type":"number"},)~"
      R"~("box_corner_radius":{"type":"number"},"box_padding":{"type":"number"},)~"
      R"~("opacity":{"type":"number"},"rotation":{"type":"number"},)~"
      R"~("in_animation":{"type":"string","enum":["none","fade","pop","slideUp",)~"
      R"~("slideDown","slideLeft","slideRight","shake","bounce"]},)~"
      R"~("out_animation":{"type":"string","enum":["none","fade","pop",)~"
      R"~("slideUp","slideDown","slideLeft","slideRight","shake","bounce"]},)~"
      R"~("animation_duration":{"type":"number"}},"required":["text"],)~"
      R"~("additionalProperties":false})~"},
    Entry{"add_blur", "Blur or pixelate a region",
      "Hides what is under a rectangle of the recording by blurring or "
      "pixelating it, from at for duration seconds (default: from the start to "
      "the end). x, y, width, height are fractions of the canvas, 0,0 = top "
      "left (default: a 30% box in the middle). style blur (default) or "
      "pixelate; amount 0–1 is the strength. The region zooms with the "
      "recording.",
      R"~({"type":"object","properties":{"x":{"type":"number"},)~"
      R"~("y":{"type":"number"},"width":{"type":"number"},)~"
      R"~("height":{"type":"number"},"at":{"type":"number"},)~"
      R"~("duration":{"type":"number"},"style":{"type":"string","enum":["blur",)~"
      R"~("pixelate"]},"amount":{"type":"number","minimum":0,"maximum":1}},)~"
      R"~("additionalProperties":false})~"},
    Entry{"set_watermark", "Set the watermark",
      "The person's own watermark on every export, and whether the product's "
      "mark is shown too. Pass only what changes: enabled; text (emoji "
      "welcome); image_path (a logo file on this Mac, shown in front of the "
      "text); placement (a grid spot) or x and y (the mark's centre as "
      "fractions of the canvas, 0,0 = top left); opacity 0.1–1; size (text "
      "height as a fraction of the canvas height, 0.012–0.09); bold, italic, "
      "uppercase, shadow; text_color and box_color as hex; box (the background "
      "box) and box_opacity 0–1; font (a font family name); show_brand keeps "
      "the product's own mark as well.",
      R"~({"type":"object","properties":{"enabled":{"type":"boolean"},)~"
      R"~("text":{"type":"string"},"image_path":{"type":"string"},)~"
      R"~("placement":{"type":"string","enum":["bottomRight","bottomLeft",)~"
      R"~("topRight","topLeft","middleLeft","middleRight","topCenter",)~"
      R"~("bottomCenter","center"]},"x":{"type":"number"},"y":{"type":"number"},)~"
      R"~("opacity":{"type":"number"},"size":{"type":"number"},)~"
      R"~("bold":{"type":"boolean"},"italic":{"type":"boolean"},)~"
      R"~("uppercase":{"type":"boolean"},"shadow":{"type":"boolean"},)~"
      R"~("text_color":{"type":"string"},"box":{"type":"boolean"},)~"
      R"~("box_color":{"type":"string"},"box_opacity":{"type":"number"},)~"
      R"~("font":{"type":"string"},"show_brand":{"type":"boolean"}},)~"
      R"~("additionalProperties":false})~"},
    Entry{"transcribe", "Make captions",
      "Turns the speech in the recording into timed captions, on this Mac. A "
      "job: returns job_id, then use wait_for_job. The first run downloads a "
      "speech model once (hundreds of MB), so it can take minutes. language is "
      "a two-letter code; omit it to detect. quality: fast, accurate or best "
      "(default best on Apple Silicon).",
      R"~({"type":"object","properties":{"language":{"type":"string"},)~"
      R"~("quality":{"type":"string","enum":["fast","accurate","best"]}},)~"
      R"~("additionalProperties":false})~"},
    Entry{"set_caption_style", "Style the captions",
      "Look of the captions (after transcribe). preset: beast (bold uppercase, "
      "three words at a time), social, pill, boxed, mono, clean. highlight "
      "lights up the word being spoken; highlight_color is hex; emoji shows a "
      "fitting emoji above each sentence; position is 0 (top) to 1 (bottom); "
      "show=false hides the captions.",
      R"~({"type":"object","properties":{"preset":{"type":"string",)~"
      R"~("enum":["beast","social","pill","boxed","mono","clean"]},)~"
      R"~("highlight":{"type":"boolean"},"highlight_color":{"type":"string"},)~"
      R"~("emoji":{"type":"boolean"},"position":{"type":"number"},)~"
      R"~("words_per_line":{"type":"integer","minimum":1,"maximum":10},)~"
      R"~("show":{"type":"boolean"}},"additionalProperties":false})~"},
    Entry{"export_srt", "Export subtitles file",
      "Writes the captions as an .srt file. Returns file_path.",
      R"~({"type":"object","properties":{"output_path":{"type":"string"}},)~"
      R"~("additionalProperties":false})~"},
    Entry{"export_project", "Export video",
      "Renders the project to a video file. A job: returns job_id, then use "
      "wait_for_job; the finished job's result has file_path, duration_seconds, "
      "width, height. resolution is the longer side: 1080 (default), 1440, 2160 "
      "or 720. format: mp4 (default), hevc or gif. output_path is optional; "
      "without it the file goes to the person's export folder.",
      R"~({"type":"object","properties":{"resolution":{"type":"integer",)~"
      R"~("enum":[720,1080,1440,2160]},"format":{"type":"string","enum":["mp4",)~"
      R"~("hevc","gif"]},"fps":{"type":"integer","enum":[30,60]},)~"
      R"~("output_path":{"type":"string"}},"additionalProperties":false})~"},
    Entry{"get_job", "Job status",
      "State of a job: running (with progress 0–1 and a status line), done "
      "(with result) or failed (with error).",
      R"~({"type":"object","properties":{"job_id":{"type":"string"}},)~"
      R"~("required":["job_id"],"additionalProperties":false})~"},
    Entry{"wait_for_job", "Wait for a job",
      "Waits up to timeout_seconds (max 50, default 30) for a job to finish and "
      "returns its state, same shape as get_job. Call again while it says "
      "running.",
      R"~({"type":"object","properties":{"job_id":{"type":"string"},)~"
      R"~("timeout_seconds":{"type":"number","minimum":1,"maximum":50}},)~"
      R"~("required":["job_id"],"additionalProperties":false})~"},
    Entry{"undo", "Undo",
      "Undoes the last edit in the open project.",
      emptySchema},
    Entry{"save", "Save",
      "Saves the open project now (it also saves by itself every few seconds).",
      emptySchema},
    Entry{"reveal_in_finder", "Show in Finder",
      "Shows a file or project in Finder for the person.",
      R"~({"type":"object","properties":{"path":{"type":"string"}},)~"
      R"~("required":["path"],"additionalProperties":false})~"},
};
static_assert(kEntries.size() == 29);

}  // namespace

const std::vector<AgentTool>& tools() {
  static const std::vector<AgentTool> all = [] {
    std::vector<AgentTool> built;
    built.reserve(kEntries.size());
    for (const Entry& entry : kEntries) {
      built.push_back(AgentTool{std::string(entry.name), std::string(entry.title),
                                std::string(entry.description), std::string(entry.schema)});
    }
    return built;
  }();
  return all;
}

const AgentTool* tool(std::string_view named) {
  for (const AgentTool& candidate : tools()) {
    if (candidate.name == named) return &candidate;
  }
  return nullptr;
}

}  // namespace RecorderCore::AgentCatalogue
