#!/usr/bin/env bash
# Assembles the app bundle: <output folder>/Recorder.app with the Info.plist
# of the product, recorder-host (the bundle's executable) and recorder-mcp in
# Contents/MacOS, and a sample project in Contents/Resources/Samples.
#
#   scripts/bundle.sh <output folder> [build folder]
#
# Builds the three executables it needs (Release) in the build folder,
# build/release by default. Prints the bundle's path on its last line.
set -euo pipefail
cd "$(dirname "$0")/.."

if [[ $# -lt 1 ]]; then
  echo "usage: scripts/bundle.sh <output folder> [build folder]" >&2
  exit 2
fi
out=$1
build=${2:-build/release}

compact=Recorder
display=Recorder
extension=recorder

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DRECORDER_BENCH=OFF >/dev/null
cmake --build "$build" --target recorder-mcp recorder-host make-sample-project -j "$(nproc)" >/dev/null

bundle="$out/$display.app"
rm -rf "$bundle"
mkdir -p "$bundle/Contents/MacOS" "$bundle/Contents/Resources/Samples"
cat > "$bundle/Contents/Info.plist" <<PLIST
<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0">
<dict>
  <key>ProductNameCompact</key><string>$compact</string>
  <key>ProductNameDisplay</key><string>$display</string>
  <key>CFBundleIdentifier</key><string>com.example.recorder</string>
  <key>ProductDomain</key><string>example.com</string>
  <key>ProductURLScheme</key><string>recorder</string>
  <key>ProductDocumentExtension</key><string>$extension</string>
  <key>CFBundleShortVersionString</key><string>1.0.0</string>
  <key>CFBundleVersion</key><string>1</string>
  <key>CFBundleExecutable</key><string>recorder-host</string>
  <key>EnabledFeatures</key><string>mcp</string>
</dict>
</plist>
PLIST
# Copied, not linked: both executables find their bundle from their own
# resolved location.
cp "$build/host/recorder-host" "$bundle/Contents/MacOS/recorder-host"
cp "$build/bridge/recorder-mcp" "$bundle/Contents/MacOS/recorder-mcp"
"$build/host/make-sample-project" "$bundle/Contents/Resources/Samples/Product Tour.$extension" --seed 7 >/dev/null
echo "$bundle"
