// recorder-mcp: the agent bridge. An agent host starts it as a child process
// and speaks MCP on its standard input and output; see bridge/Bridge.h.
#include "RecorderCore/platform/FileIO.h"
#include "RecorderCore/platform/ProcessInfo.h"
#include "bridge/Bridge.h"

int main(int argc, char** argv) {
  RecorderCore::ProcessInfo::recordArguments(argc, argv);
  RecorderCore::Bridge::startUp().serve(RecorderCore::FileIO::standardInput);
  return 0;
}
