// The messages the agent bridge writes to the agent host: JSON-RPC 2.0
// envelopes, the "initialize" answer, and MCP tool results.
//
// Everything here builds JSON values and nothing else; writing them out (one
// compact line each, AgentWire::encode) and deciding which to send is the
// bridge's dispatcher. Safe to call from any thread.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "RecorderCore/brand/Brand.h"

namespace RecorderCore::MCPMessages {

// The MCP revision this server speaks when the client names none.
inline constexpr std::string_view protocolVersion = "2025-06-18";

// Returns {"jsonrpc": "2.0", "id", "result"}. The id is echoed as given,
// null included; no id at all also gives null.
nlohmann::json result(const std::optional<nlohmann::json>& id, const nlohmann::json& result);

// Returns {"jsonrpc": "2.0", "id", "error": {"code", "message"}}, never with a
// "data" member; no id gives null (the parse error of an unreadable line).
nlohmann::json error(const std::optional<nlohmann::json>& id, int code, std::string_view message);

// Returns the "initialize" result: the client's protocol version echoed
// unchanged (or ours when it sent none), the tools capability, the server's
// name, title and version from the brand, and the instructions.
nlohmann::json initializeResult(const Brand& brand,
                                const std::optional<std::string>& clientVersion = std::nullopt);

// Returns the instructions the agent reads on "initialize": the display name
// followed by seven lines on how to use the tools, joined by "\n" with no
// final newline.
std::string instructions(std::string_view displayName);

// Returns the MCP tool result for a structured answer:
// {"content": [{"type": "text", "text": T}], "isError", "structuredContent"}
// where T is the answer pretty-printed with sorted keys ("{}" when it cannot be
// written) and "structuredContent" is the answer itself, present only when
// isError is false.
nlohmann::json toolResult(const nlohmann::json& answer, bool isError);

// Returns the MCP tool result for a reply of the host app (AgentWire::reply):
// a reply whose "ok" is the boolean true gives its "result" object (an empty
// object when that is missing or not an object) as a success; any other reply
// gives {"error": its "error" value} as a failure, or
// {"error": {"message": "Unknown error."}} when it has no "error".
nlohmann::json toolResult(const nlohmann::json& wireReply);

}  // namespace RecorderCore::MCPMessages
