#!/usr/bin/env bash
# A short agent session through the bridge against the real host, printed as
# the agent sees it.
#
# Builds the app bundle (scripts/bundle.sh) in a temporary folder, puts its
# sample project into the projects folder, and lets the official MCP client
# (tests/e2e, installed by scripts/setup.sh) start the bundle's recorder-mcp.
# The bridge finds no host listening, starts recorder-host from the bundle
# with --agent, and forwards every call to it: open_project, get_project,
# regenerate_zooms, add_zoom, add_text, set_caption_style, export_srt, cut,
# undo and save. HOME and the data folder are temporary, so nothing of the
# user's is touched; the host is stopped at the end.
set -euo pipefail
cd "$(dirname "$0")/.."

root=$(mktemp -d /tmp/recorder-demo-XXXXXX)
support="$root/data/Recorder"
cleanup() {
  if [[ -f "$support/host.pid" ]]; then
    kill "$(cat "$support/host.pid")" 2>/dev/null || true
  fi
  rm -rf "$root"
}
trap cleanup EXIT

echo "== building the bundle"
bundle=$(scripts/bundle.sh "$root" | tail -n 1)
echo "   $bundle"
mkdir -p "$root/home" "$support/Projects"
cp -R "$bundle/Contents/Resources/Samples/Product Tour.recorder" "$support/Projects/"

echo "== agent session"
HOME="$root/home" XDG_DATA_HOME="$root/data" \
  node tests/e2e/demo-agent.mjs "$bundle/Contents/MacOS/recorder-mcp" "$support/Projects/Product Tour.recorder"
echo
echo "== subtitles written by export_srt:"
ls "$root/home/Movies"
echo "== done (lines starting [Recorder-mcp] and [Recorder-host] are the bridge's and the host's diagnostics)"
