#!/usr/bin/env bash
# Unpacks the Debian package into a temporary root and runs the programs from
# there: the version, and an analysis of the built-in test corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(ls build/default/pellam_*_amd64.deb | head -n1)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
"$root/usr/bin/pellam-cli" --version
"$root/usr/bin/pellam" --version
status=0
"$root/usr/bin/pellam-cli" analyse --format junit tests/data/corpus/edid >"$root/report.xml" || status=$?
# 1 means some compliance items failed, which real EDIDs do; 2 would be an error.
[ "$status" -le 1 ] || { echo "analysis from the package failed ($status)" >&2; exit 1; }
grep -q '<testsuites' "$root/report.xml"
for f in usr/share/applications/pellam.desktop usr/share/icons/hicolor/scalable/apps/pellam.svg \
         usr/share/man/man1/pellam.1.gz usr/share/man/man1/pellam-cli.1.gz usr/share/doc/pellam/copyright; do
  [ -f "$root/$f" ] || { echo "missing $f in $deb" >&2; exit 1; }
done
echo "package OK: $deb"
