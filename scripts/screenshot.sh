#!/usr/bin/env bash
# Starts the editor on a virtual X display and saves a picture of its window.
# Usage: scripts/screenshot.sh [output.png]   (default docs/screenshot.png)
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-docs/screenshot.png}
pellam=build/default/src/gui/pellam
[ -x "$pellam" ] || { echo "build the editor first (make build)" >&2; exit 1; }
mkdir -p "$(dirname "$out")"
xvfb-run -a -s '-screen 0 1024x768x24' bash -c "
  '$pellam' & pid=\$!
  for i in \$(seq 50); do
    id=\$(xwininfo -root -tree 2>/dev/null | awk '/\"Pellam v1.4\"/ {print \$1; exit}')
    [ -n \"\$id\" ] && break
    sleep 0.2
  done
  sleep 1
  import -window \"\$id\" '$out'
  kill \$pid
"
echo "saved $out"
