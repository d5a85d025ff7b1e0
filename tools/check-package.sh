#!/usr/bin/env bash
# Builds the Debian package and checks it: the files it holds, no maintainer scripts, the desktop
# entry and AppStream metainfo as installed, lintian, and the installed programs run from a
# scratch root. Each failed check prints a line "FAIL: ..."; the status is non-zero when any
# check failed. Run as root (the checking tools are installed when missing).
set -uo pipefail
cd "$(dirname "$0")/.."

failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

tools/ensure-packages.sh lintian desktop-file-utils appstream || { fail "cannot install the checking tools"; exit 1; }

# The build's output goes on to standard error (through the same open file: no reopening of a log).
deb=$(bash tools/package.sh | tee >(cat >&2) | tail -n 1)
if [ ! -f "$deb" ]; then
    fail "the package does not build"
    exit 1
fi
echo "== Checking $deb"

contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
for path in \
    usr/bin/orvelt usr/bin/orvelt-cli \
    usr/share/orvelt/resources/BondTable.plist usr/share/orvelt/resources/BondTable.cells \
    usr/share/orvelt/resources/EarningRates.plist \
    usr/share/orvelt/resources/portfolios.plist usr/share/orvelt/resources/preset.plist \
    usr/share/orvelt/resources/orvelt.png usr/share/orvelt/resources/site/index.html \
    usr/share/orvelt/resources/site/help/orvelthelp/Orvelt_Help.html \
    usr/share/applications/orvelt.desktop \
    usr/share/icons/hicolor/scalable/apps/orvelt.svg \
    usr/share/icons/hicolor/256x256/apps/orvelt.png \
    usr/share/metainfo/org.orvelt.Orvelt.metainfo.xml \
    usr/share/man/man1/orvelt.1.gz usr/share/man/man1/orvelt-cli.1.gz \
    usr/share/doc/orvelt/copyright usr/share/doc/orvelt/changelog.gz; do
    grep -qx "./$path" <<<"$contents" || fail "the package lacks /$path"
done

# The chart window needs the Qt Charts library; dpkg-shlibdeps must have found it.
dpkg-deb --field "$deb" Depends | grep -q 'libqt6charts6' ||
    fail "the package does not depend on libqt6charts6"
# The value table's compact form is checked with libcrypto's SHA-256.
dpkg-deb --field "$deb" Depends | grep -q 'libssl3' ||
    fail "the package does not depend on libssl3"

# Removing the package must leave the user's data alone: it runs no script of its own.
control=$(mktemp -d)
dpkg-deb --control "$deb" "$control"
for script in preinst postinst prerm postrm; do
    [ -e "$control/$script" ] && fail "the package has a $script script"
done
rm -rf "$control"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
desktop-file-validate "$root/usr/share/applications/orvelt.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.orvelt.Orvelt.metainfo.xml" ||
    fail "appstreamcli validate"

lintian --fail-on error --allow-root "$deb" || fail "lintian reports errors"

# The installed programs answer without a display and find their shipped resources.
cli_version=$("$root/usr/bin/orvelt-cli" --version) || fail "orvelt-cli --version"
app_version=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/orvelt" --version) ||
    fail "orvelt --version"
echo "installed: $cli_version; $app_version"
mkdir -p "$root/home/data"
cat >"$root/home/data/portfolios.plist" <<'PLIST'
<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict><key>Check</key><dict><key>Name</key><string>Check</string>
<key>Bonds</key><array><dict><key>Serial</key><string>I1</string><key>Type</key><string>I</string>
<key>Face Value</key><string>100</string><key>Issue Year</key><string>2001</string>
<key>Issue Month</key><string>January</string></dict></array></dict></dict></plist>
PLIST
HOME="$root/home" "$root/usr/bin/orvelt-cli" --data-dir "$root/home/data" report Check \
    --month 2009-06 || fail "the installed orvelt-cli does not find the shipped value table"

if [ "$failures" -eq 0 ]; then
    echo "Package checks passed: $(basename "$deb")"
else
    echo "Package checks: $failures FAILED"
fi
[ "$failures" -eq 0 ]
