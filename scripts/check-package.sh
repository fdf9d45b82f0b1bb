#!/usr/bin/env bash
# Checks the two Debian packages of `make package` as users get them.
#   pellam-cli: its dependencies hold no Qt, X11 or font (nor do theirs); it
#     is unpacked alone into a temporary root and run from there (version and
#     licence, a JUnit and a JSON analysis of the test corpus, standard input
#     and output, a failed write to a full disk); its binary is hardened; the
#     udev rules, the i2c-dev loader and the step that applies them are in.
#   pellam: it depends on exactly this pellam-cli, the Qt platform plugins and
#     a CJK font; unpacked with pellam-cli into another root, it runs.
# With --install (CI, as root) both are then installed with apt-get, run from
# /usr/bin and removed again.
set -euo pipefail
cd "$(dirname "$0")/.."

install=no
[ "${1:-}" = "--install" ] && install=yes

fail() {
  echo "check-package: $*" >&2
  exit 1
}

# (No "| grep -q" or "| head" after a command below: with pipefail the
# command's SIGPIPE would fail the check. Outputs are taken whole instead.)
shopt -s nullglob
debs=(build/default/pellam-cli_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] || fail "not one pellam-cli package in build/default (make package)"
cli_deb=${debs[0]}
debs=(build/default/pellam_*_amd64.deb)
[ ${#debs[@]} -eq 1 ] || fail "not one pellam package in build/default (make package)"
gui_deb=${debs[0]}
version=$(dpkg-deb -f "$cli_deb" Version)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
gui_libraries='qt|libx11|libxcb|libgl|libegl|libfontconfig|libfreetype|fonts-'

# --- pellam-cli ---------------------------------------------------------------
depends=$(dpkg-deb -f "$cli_deb" Depends)
echo "pellam-cli $version Depends: $depends"
if grep -Eiq "$gui_libraries" <<<"$(dpkg -I "$cli_deb")"; then
  fail "pellam-cli pulls in a GUI library: $depends"
fi
# Nor through the packages it depends on.
if command -v apt-cache >/dev/null; then
  names=$(sed -e 's/([^)]*)//g' -e 's/|/,/g' -e 's/,/ /g' <<<"$depends")
  # shellcheck disable=SC2086
  closure=$(apt-cache depends --recurse --no-recommends --no-suggests --no-conflicts \
            --no-breaks --no-replaces --no-enhances $names 2>/dev/null | grep -v '^ ' || true)
  if grep -Eiq "$gui_libraries" <<<"$closure"; then
    fail "pellam-cli's dependencies pull in a GUI library: $(grep -Ei "$gui_libraries" <<<"$closure" | head -n3 | xargs)"
  fi
fi

cli="$root/cli/usr/bin/pellam-cli"
dpkg-deb -x "$cli_deb" "$root/cli"
for f in usr/bin/pellam-cli usr/share/man/man1/pellam-cli.1.gz usr/share/doc/pellam-cli/copyright \
         usr/share/doc/pellam-cli/changelog.gz \
         lib/udev/rules.d/60-pellam-usb-debug-tool.rules lib/modules-load.d/pellam-i2c-dev.conf; do
  [ -f "$root/cli/$f" ] || fail "missing $f in $cli_deb"
done
[ ! -e "$root/cli/usr/bin/pellam" ] || fail "the editor is in $cli_deb"
grep -q '^License: Expat' "$root/cli/usr/share/doc/pellam-cli/copyright" ||
  fail "the copyright file names no MIT (Expat) licence"
if grep -Eiq "$gui_libraries" <<<"$(ldd "$cli")"; then fail "pellam-cli loads a GUI library"; fi

# Hardened as Debian's own binaries: PIE, full RELRO with bindnow, fortified calls.
grep -q 'Type:.*DYN' <<<"$(readelf -h "$cli")" || fail "pellam-cli is not a position-independent executable"
grep -q GNU_RELRO <<<"$(readelf -lW "$cli")" || fail "pellam-cli has no RELRO"
grep -Eq 'BIND_NOW|FLAGS.*NOW' <<<"$(readelf -dW "$cli")" || fail "pellam-cli is not linked with bindnow"
grep -q '__[a-z_]*_chk' <<<"$(nm -D "$cli")" || fail "pellam-cli calls no fortified function"

# After installation udev reads the rules again and i2c-dev is loaded.
dpkg-deb -e "$cli_deb" "$root/cli-control"
[ -x "$root/cli-control/postinst" ] || fail "pellam-cli has no postinst"
grep -q 'udevadm control --reload-rules' "$root/cli-control/postinst" || fail "postinst does not reload udev"
grep -q 'modprobe i2c-dev' "$root/cli-control/postinst" || fail "postinst does not load i2c-dev"

# Run from the root: version and licence, then the corpus as CI jobs analyse it.
"$cli" --version | tee "$root/version.txt"
grep -q "^pellam-cli $version\$" "$root/version.txt" || fail "--version does not say $version"
grep -q 'MIT licence' "$root/version.txt" || fail "--version names no licence"
status=0
"$cli" analyse --format junit tests/data/corpus/edid >"$root/report.xml" || status=$?
# 1 means some compliance items failed, which real EDIDs do; 2 would be an error.
[ "$status" -le 1 ] || fail "analysis from the package failed ($status)"
grep -q '<testsuites' "$root/report.xml" || fail "no JUnit report"
status=0
"$cli" analyse --format json tests/data/corpus/edid >"$root/report.json" || status=$?
[ "$status" -le 1 ] || fail "JSON analysis from the package failed ($status)"
grep -q '"tool": "pellam-cli"' "$root/report.json" || fail "no JSON report"
if command -v python3 >/dev/null; then
  python3 -c 'import json, sys; json.load(open(sys.argv[1]))' "$root/report.json" ||
    fail "the JSON report does not parse"
fi
corpus=(tests/data/corpus/edid/*.bin)
first=${corpus[0]}
status=0
"$cli" analyse -q - <"$first" >"$root/quiet.txt" || status=$?
[ "$status" -le 1 ] && grep -q ' standard input$' "$root/quiet.txt" || fail "analyse - did not read standard input"
"$cli" convert "$first" - >"$root/converted.bin"
cmp "$root/converted.bin" "$first" || fail "convert to standard output changed the bytes"
if [ -w /dev/full ]; then
  status=0
  "$cli" analyse "$first" >/dev/full 2>"$root/full.txt" || status=$?
  [ "$status" -eq 2 ] || fail "a report written to a full disk exited $status, not 2"
fi

# --- pellam -------------------------------------------------------------------
gui_depends=$(dpkg-deb -f "$gui_deb" Depends)
echo "pellam $version Depends: $gui_depends"
grep -Fq "pellam-cli (= $version)" <<<"$gui_depends" || fail "pellam does not depend on pellam-cli (= $version)"
grep -Fq "qt6-qpa-plugins" <<<"$gui_depends" || fail "pellam does not depend on the Qt platform plugins"
grep -Eq 'fonts-noto-cjk *\| *fonts-wqy-microhei' <<<"$gui_depends" || fail "pellam does not depend on a CJK font"
dpkg-deb -x "$gui_deb" "$root/gui"
for f in usr/bin/pellam usr/share/applications/pellam.desktop usr/share/icons/hicolor/scalable/apps/pellam.svg \
         usr/share/man/man1/pellam.1.gz usr/share/doc/pellam/copyright usr/share/doc/pellam/changelog.gz; do
  [ -f "$root/gui/$f" ] || fail "missing $f in $gui_deb"
done
[ ! -e "$root/gui/usr/bin/pellam-cli" ] || fail "pellam-cli is in $gui_deb as well"
[ ! -e "$root/gui/lib" ] || fail "the udev rules are in $gui_deb as well"
grep -Eq 'BIND_NOW|FLAGS.*NOW' <<<"$(readelf -dW "$root/gui/usr/bin/pellam")" || fail "pellam is not linked with bindnow"
dpkg-deb -x "$cli_deb" "$root/gui"
grep -q 'MIT licence' <<<"$("$root/gui/usr/bin/pellam" --version)" || fail "pellam --version names no licence"
"$root/gui/usr/bin/pellam-cli" --version >/dev/null

# --- installed ----------------------------------------------------------------
if [ "$install" = yes ]; then
  export DEBIAN_FRONTEND=noninteractive
  # pellam-cli alone, then the editor; apt-get takes the dependencies.
  apt-get install -y -qq --no-install-recommends "./$cli_deb"
  if grep -Eiq "$gui_libraries" <<<"$(dpkg-query -W -f='${Depends}\n' pellam-cli)"; then
    fail "the installed pellam-cli depends on a GUI library"
  fi
  /usr/bin/pellam-cli --version
  [ -f /lib/udev/rules.d/60-pellam-usb-debug-tool.rules ] || fail "the udev rule was not installed"
  apt-get install -y -qq --no-install-recommends "./$gui_deb"
  /usr/bin/pellam --version
  apt-get purge -y -qq pellam pellam-cli
fi
echo "packages OK: $cli_deb $gui_deb"
