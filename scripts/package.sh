#!/usr/bin/env bash
# Builds the Debian package kadrel-connect_<version>_<architecture>.deb into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
cd build
cpack -G DEB
