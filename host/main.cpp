// recorder-host: the host app without a screen: the server of the agent
// socket and the executor of the agent tools over saved projects.
//
//   recorder-host [--agent] [--idle-seconds N] [--autosave-seconds N]
//   recorder-host --set allow-agents on|off
//
// Started by the agent bridge with "--agent" (it then exits by itself after
// ten minutes without a connection), or by hand. Its identity comes from the
// Info.plist of the bundle it sits in. While it listens, its process id is
// in host.pid beside the socket, so a script that started an agent session
// can end the host it caused to start.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "RecorderCore/brand/Brand.h"
#include "RecorderCore/brand/Features.h"
#include "RecorderCore/platform/ProcessControl.h"
#include "RecorderCore/platform/ProcessInfo.h"
#include "RecorderCore/platform/SocketListening.h"
#include "RecorderCore/platform/UnixSocket.h"
#include "host/HostPaths.h"
#include "host/HostServer.h"
#include "host/Jobs.h"
#include "host/ProjectStore.h"
#include "host/Tools.h"

namespace {

using namespace RecorderCore;

void say(const Brand& brand, const std::string& line) { std::cerr << "[" << brand.compact << "-host] " << line << "\n"; }

int usage(const Brand& brand) {
  say(brand, "usage: recorder-host [--agent] [--idle-seconds N] [--autosave-seconds N] | --set allow-agents on|off");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  ProcessInfo::recordArguments(argc, argv);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const Brand& brand = Brand::current();
  const HostPaths paths = HostPaths::forBrand(brand);
  bool agent = false;
  std::optional<std::chrono::milliseconds> idle;
  std::chrono::milliseconds autosave = std::chrono::seconds(5);
  for (std::size_t index = 0; index < arguments.size(); ++index) {
    const std::string& argument = arguments[index];
    if (argument == "--agent") {
      agent = true;
    } else if (argument == "--idle-seconds" && index + 1 < arguments.size()) {
      const double seconds = std::atof(arguments[++index].c_str());
      if (!(seconds > 0)) return usage(brand);
      idle = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    } else if (argument == "--autosave-seconds" && index + 1 < arguments.size()) {
      const double seconds = std::atof(arguments[++index].c_str());
      if (!(seconds > 0)) return usage(brand);
      autosave = std::chrono::milliseconds(static_cast<long long>(seconds * 1000));
    } else if (argument == "--set" && index + 2 < arguments.size() && arguments[index + 1] == "allow-agents") {
      const std::string value = arguments[index + 2];
      if (value != "on" && value != "off") return usage(brand);
      HostSettings settings = HostSettings::load(paths.settingsPath);
      settings.allowAgents = value == "on";
      try {
        SocketListening::createPrivateFolder(paths.supportFolder);
        settings.save(paths.settingsPath);
      } catch (const std::exception& error) {
        say(brand, std::string("cannot write the settings: ") + error.what());
        return 1;
      }
      say(brand, "Allow agents to control " + brand.display + ": " + value);
      return 0;
    } else {
      return usage(brand);
    }
  }
  if (agent && !idle) idle = std::chrono::minutes(10);

  if (!Features::current().isEnabled(Feature::mcp)) {
    say(brand, "agent control is not part of this build; not listening");
    return 0;
  }
  if (!HostSettings::load(paths.settingsPath).allowAgents) {
    say(brand, "agents are switched off (Allow agents to control " + brand.display +
                   "); not listening. Switch on with: recorder-host --set allow-agents on");
    return 0;
  }
  if (!SocketListening::createPrivateFolder(paths.supportFolder)) {
    say(brand, "cannot create " + paths.supportFolder);
    return 1;
  }
  if (UnixSocket::connect(paths.socketPath)) {
    say(brand, "another instance is already listening on " + paths.socketPath);
    return 1;
  }
  auto listener = UnixSocket::listen(paths.socketPath);
  if (!listener) {
    say(brand, "cannot listen on " + paths.socketPath);
    return 1;
  }
  SocketListening::restrictToOwner(paths.socketPath);
  ProcessControl::ignoreSIGPIPE();

  ProjectStore store;
  Jobs jobs;
  Tools tools(brand, paths, store, jobs);
  store.startAutosave(autosave);
  const std::string pidPath = paths.supportFolder + "/host.pid";
  SocketListening::writeProcessIDFile(pidPath);
  HostServer server(tools, std::move(*listener));
  say(brand, "listening on " + paths.socketPath);
  server.run(idle);
  store.stopAutosave();
  store.saveChanged();
  SocketListening::removeSocketFile(paths.socketPath);
  std::remove(pidPath.c_str());
  say(brand, "no connection for a while; saved and exiting");
  return 0;
}
