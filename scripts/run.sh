#!/usr/bin/env bash
# Builds the program and starts it with simulated instruments attached.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh

demo=$(mktemp -d "${TMPDIR:-/tmp}/kadrel-demo.XXXXXX")
build/src/sim/kadrel_sim --model an --serial A005 --count 300 --link "$demo/port-an" > /dev/null &
sim=$!
trap 'kill $sim 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "$demo/port-an" ] && break
    sleep 0.1
done

echo "Reading the archive of a simulated Kadrel-1.AN on $demo/port-an ..."
build/src/cli/kadrel-cli read --port "$demo/port-an" --out "$demo/demo.kadrel1an" --lang en
echo "Saved $demo/demo.kadrel1an. The first records:"
build/src/cli/kadrel-cli table "$demo/demo.kadrel1an" | head -n 6 | cut -f 1-10 | tr -d '\r'
