#!/usr/bin/env bash
# Compares analysing a folder of EDIDs in one pellam-cli process with running
# the reference decoder's checker once per file, and prints the ratio.
# Usage: bench/analyse-vs-edid-decode.sh [folder]   (default: the test corpus)
# Needs: hyperfine and edid-decode (Debian packages), a built pellam-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-tests/data/corpus/edid}
cli=${PELLAM_CLI:-build/default/src/cli/pellam-cli}
for tool in hyperfine edid-decode; do
  command -v "$tool" >/dev/null || { echo "install $tool first (apt-get install $tool)" >&2; exit 1; }
done
[ -x "$cli" ] || { echo "build pellam-cli first (make build)" >&2; exit 1; }

count=$(find "$folder" -maxdepth 1 -name '*.bin' | wc -l)
json=$(mktemp)
trap 'rm -f "$json"' EXIT
# Both commands see the same files; failures of either tool are findings
# about the EDIDs, not errors of the benchmark.
hyperfine --warmup 2 --runs "${RUNS:-10}" --export-json "$json" -N \
  --command-name "pellam-cli analyse ($count files, one process)" \
  "$cli analyse $folder" \
  --command-name "edid-decode --check (once per file)" \
  "bash -c 'for f in $folder/*.bin; do edid-decode --check \"\$f\" >/dev/null 2>&1; done; true'" \
  -i >/dev/null

python3 - "$json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
ours, theirs = results[0]["mean"], results[1]["mean"]
print(f"{results[0]['command']}: {ours * 1000:8.1f} ms")
print(f"{results[1]['command']}: {theirs * 1000:8.1f} ms")
print(f"ratio: {theirs / ours:.1f} x faster")
PY
