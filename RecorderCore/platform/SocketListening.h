// The listening side of the agent socket beyond bind and accept: a private
// folder for it, owner-only permissions, and waiting for a connection with a
// time limit so that a server can stop when nobody has called for a while.
#pragma once

#include <chrono>
#include <string>

#include "RecorderCore/platform/UnixSocket.h"

namespace RecorderCore::SocketListening {

// Creates the folder with any missing parents and gives it mode 0700, so that
// nobody else can reach a socket inside it. False when either step fails.
bool createPrivateFolder(const std::string& path);

// Gives a file mode 0600 (read and write for its owner only).
bool restrictToOwner(const std::string& path);

// Waits until the listening socket has a connection to accept, or the
// timeout passes. True when a connection is waiting; false on timeout or
// error (an interrupted wait counts as a timeout).
bool waitForConnection(const UnixSocket& listener, std::chrono::milliseconds timeout);

// Removes the socket file at path when it is a socket; any other kind of
// file is left alone.
void removeSocketFile(const std::string& path);

// Writes the running process's id and a newline to path, replacing what was
// there: the record of which process serves a socket. False on failure.
bool writeProcessIDFile(const std::string& path);

}  // namespace RecorderCore::SocketListening
