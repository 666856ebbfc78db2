#!/usr/bin/env bash
# Builds the program and starts it with simulated instruments of the four models attached.
# Without a display it runs the same demonstration headless and keeps what it produced.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

program=build/src/app/kadrel_connect
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
    exec "$program" --demo "$@"
fi

folder=$(mktemp -d "${TMPDIR:-/tmp}/kadrel-demo.XXXXXX")
echo "No display found: running the demonstration headless."
echo "It connects to a simulated Kadrel-1.AN, reads its archive and saves the archive and a"
echo "picture of the window into $folder"
QT_QPA_PLATFORM=offscreen "$program" --demo --snapshot "$folder"
