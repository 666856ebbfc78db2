#!/usr/bin/env bash
# Builds the Debian package kadrel-connect_<version>_<architecture>.deb into build/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
# dpkg-shlibdeps (dpkg-dev) finds the libraries the package depends on; it needs file.
scripts/install-deps.sh dpkg-dev file
cd build
cpack -G DEB
