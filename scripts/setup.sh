#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a fresh Debian
# machine. Run as root (it uses apt-get). Safe to run again: apt and npm skip
# what is already there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build g++ clang-14 libclang-rt-14-dev
  nlohmann-json3-dev libplist-dev libutf8proc-dev
  libgtest-dev libgmock-dev librapidcheck-dev libbenchmark-dev
  python3 python3-srt ffmpeg espeak-ng sox
)

# Node.js may already come from another source whose package bundles npm and
# conflicts with Debian's npm package: ask for Debian's only when the commands
# are missing.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The official MCP client used by the end-to-end tests.
if [[ ! -d tests/e2e/node_modules/@modelcontextprotocol/sdk ]]; then
  (cd tests/e2e && npm ci --no-audit --no-fund --loglevel=error)
fi
