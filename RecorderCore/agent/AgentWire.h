// The private protocol between the agent bridge (client) and the host app
// (server): a Unix-domain stream socket named socketName in the product's
// Application Support folder, one connection per request, one JSON object per
// line in each direction.
//
// Requests:  {"id": "list", "command": "tools/list"}
//            {"id": "call", "command": "tools/call", "name", "arguments", "client"}
// Replies:   {"id", "ok": true, "result": {...}}
//            {"id", "ok": false, "error": {"code", "message", "hint"?}}
//
// These are pure functions over JSON values; the socket itself is the
// caller's. Safe to call from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "RecorderCore/agent/AgentError.h"

namespace RecorderCore::AgentWire {

// The socket file's name inside the product's Application Support folder.
inline constexpr std::string_view socketName = "agent.sock";

// Returns the message as compact JSON (forward slashes not escaped) followed
// by one "\n". Nothing when the message is not an object or cannot be written
// as JSON text (a string that is not UTF-8, nesting deeper than
// JSONText::kMaxDepth).
std::optional<std::string> encode(const nlohmann::json& message);

// Returns the JSON object held by the bytes up to the first "\n" (all of them
// when there is none); whatever follows that newline is ignored. Nothing when
// those bytes are not JSON or hold another kind of value than an object.
std::optional<nlohmann::json> decode(std::string_view bytes);

// Returns the success reply {"id", "ok": true, "result"}; the id is null when
// the request had none.
nlohmann::json reply(const std::optional<nlohmann::json>& id, const nlohmann::json& result);

// Returns the failure reply {"id", "ok": false, "error"}; the id is null when
// the request had none.
nlohmann::json reply(const std::optional<nlohmann::json>& id, const AgentError& error);

}  // namespace RecorderCore::AgentWire
