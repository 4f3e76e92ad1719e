#!/usr/bin/env bash
# A short agent session through the bridge, printed as the agent sees it.
#
# Builds recorder-mcp (Release) and puts it in a throw-away app bundle next to
# a stand-in host app (the stub app of the tests), then plays an agent host:
# initialize, tools/list, and two tools/call requests. The bridge finds the
# app not running on the first call and starts it from its bundle, as it
# would start the real app. Nothing outside a temporary folder is touched.
# Assumes scripts/setup.sh has run.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build/release
echo "== building recorder-mcp (Release) in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRECORDER_BENCH=OFF >/dev/null
cmake --build "$build" --target recorder-mcp recorder-stub-app -j "$(nproc)" >/dev/null

root=$(mktemp -d /tmp/recorder-demo-XXXXXX)
cleanup() {
  if [[ -f "$root/data/DemoRec/stub-app.pid" ]]; then
    kill "$(cat "$root/data/DemoRec/stub-app.pid")" 2>/dev/null || true
  fi
  rm -rf "$root"
}
trap cleanup EXIT

bundle="$root/Demo Recorder.app"
mkdir -p "$bundle/Contents/MacOS" "$root/home" "$root/data"
cat > "$bundle/Contents/Info.plist" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>ProductNameCompact</key><string>DemoRec</string>
  <key>ProductNameDisplay</key><string>Demo Recorder</string>
  <key>CFBundleShortVersionString</key><string>1.0.0</string>
  <key>CFBundleVersion</key><string>1</string>
  <key>CFBundleExecutable</key><string>Demo Recorder</string>
  <key>EnabledFeatures</key><string>mcp</string>
</dict>
</plist>
PLIST
cp "$build/bridge/recorder-mcp" "$bundle/Contents/MacOS/recorder-mcp"
cp "$build/tests/bridge/recorder-stub-app" "$bundle/Contents/MacOS/Demo Recorder"

echo "== agent session (bridge: $bundle/Contents/MacOS/recorder-mcp)"
HOME="$root/home" XDG_DATA_HOME="$root/data" \
python3 -u - "$bundle/Contents/MacOS/recorder-mcp" <<'PY'
import json, subprocess, sys

bridge = subprocess.Popen([sys.argv[1]], stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
next_id = 0

def request(method, params=None, notify=False):
    global next_id
    message = {"jsonrpc": "2.0", "method": method}
    if params is not None:
        message["params"] = params
    if not notify:
        next_id += 1
        message["id"] = next_id
    line = json.dumps(message)
    print(f"\nagent → {line if len(line) < 160 else line[:157] + '...'}")
    bridge.stdin.write(line + "\n")
    bridge.stdin.flush()
    if notify:
        return None
    answer = json.loads(bridge.stdout.readline())
    return answer

init = request("initialize", {"protocolVersion": "2025-06-18",
                              "clientInfo": {"name": "Demo Agent", "version": "1.0"},
                              "capabilities": {}})
info = init["result"]
print(f"bridge → server {info['serverInfo']}, protocol {info['protocolVersion']}")
print("         instructions: " + info["instructions"].splitlines()[0])
request("notifications/initialized", notify=True)

tools = request("tools/list")["result"]["tools"]
print(f"bridge → {len(tools)} tools: " + ", ".join(tool["name"] for tool in tools[:8]) + ", …")

for name, arguments in [("get_status", {}), ("add_zoom", {"at": 3.5, "duration": 2, "amount": 2})]:
    result = request("tools/call", {"name": name, "arguments": arguments})["result"]
    print(f"bridge → isError {str(result['isError']).lower()}, text:")
    print("         " + result["content"][0]["text"].replace("\n", "\n         "))

bridge.stdin.close()
print(f"\nend of input: the bridge exited with status {bridge.wait()}")
PY
echo "== done (the bridge's diagnostics went to standard error, shown above with the [DemoRec-mcp] prefix)"
