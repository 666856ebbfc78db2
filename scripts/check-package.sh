#!/usr/bin/env bash
# Builds the Debian package and checks that it holds the programs, the help pages, the desktop
# entry, the icon, the archive file types and the port rule, with its dependencies declared.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/package.sh > /dev/null

packages=(build/kadrel-connect_*.deb)
if [ ${#packages[@]} -ne 1 ] || [ ! -f "${packages[0]}" ]; then
    echo "check-package: expected one package in build/, found: ${packages[*]}" >&2
    exit 1
fi
package=${packages[0]}
contents=$(dpkg-deb -c "$package" | sed -E 's/^([^ ]+ +){5}//')

failed=0
expect() {
    if ! grep -qxF -- "$1" <<<"$contents"; then
        echo "check-package: $package lacks $1" >&2
        failed=1
    fi
}
expect "./usr/bin/kadrel-cli"
expect "./usr/bin/kadrel_sim"
expect "./usr/bin/kadrel_connect -> ../lib/kadrel-connect/kadrel_connect"
expect "./usr/lib/kadrel-connect/kadrel_connect"
expect "./usr/lib/kadrel-connect/Help/Kadrel1Help.html"
expect "./usr/lib/kadrel-connect/Help/Kadrel1EngHelp.html"
expect "./usr/share/applications/kadrel-connect.desktop"
expect "./usr/share/icons/hicolor/scalable/apps/kadrel-connect.svg"
expect "./usr/share/mime/packages/kadrel-connect.xml"
expect "./usr/lib/udev/rules.d/60-kadrel-connect.rules"

depends=$(dpkg-deb -f "$package" Depends)
for dependency in libqt6core6 libqt6serialport6 libqt6widgets6 fonts-liberation2 \
    qt6-translations-l10n; do
    if ! grep -q "\b$dependency\b" <<<"$depends"; then
        echo "check-package: $package does not depend on $dependency (Depends: $depends)" >&2
        failed=1
    fi
done

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "check-package: $package holds the programs, help, desktop entry, icon, file types and port rule"
