#!/usr/bin/env bash
# Two figures of pellam-cli analyse on a batch of EDIDs:
#  1. speed: one pellam-cli process over a folder against the reference
#     decoder's checker run once per file (the loop a CI job would write
#     without pellam-cli), and the ratio;
#  2. memory: the peak resident size of one run over 10,000 files in each
#     output format, which stays flat because every file is written out and
#     forgotten before the next is read.
# Usage: bench/analyse-vs-edid-decode.sh [folder]   (default: the test corpus)
#        COPIES=10000 RUNS=10 to change the batch and the number of timed runs.
# Needs: hyperfine, edid-decode and time (Debian packages), a built pellam-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-tests/data/corpus/edid}
cli=${PELLAM_CLI:-build/default/src/cli/pellam-cli}
copies=${COPIES:-10000}
for tool in hyperfine edid-decode /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "install $(basename "$tool") first (apt-get install $(basename "$tool"))" >&2; exit 1; }
done
[ -x "$cli" ] || { echo "build pellam-cli first (make build)" >&2; exit 1; }

count=$(find "$folder" -maxdepth 1 -name '*.bin' | wc -l)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- 1. speed -------------------------------------------------------------------
# Both commands see the same files; failures of either tool are findings
# about the EDIDs, not errors of the benchmark.
hyperfine --warmup 2 --runs "${RUNS:-10}" --export-json "$work/times.json" -N \
  --command-name "pellam-cli analyse ($count files, one process)" \
  "$cli analyse $folder" \
  --command-name "edid-decode --check (once per file)" \
  "bash -c 'for f in $folder/*.bin; do edid-decode --check \"\$f\" >/dev/null 2>&1; done; true'" \
  -i >/dev/null

python3 - "$work/times.json" <<'PY'
import json, sys
results = json.load(open(sys.argv[1]))["results"]
ours, theirs = results[0]["mean"], results[1]["mean"]
print(f"{results[0]['command']}: {ours * 1000:8.1f} ms")
print(f"{results[1]['command']}: {theirs * 1000:8.1f} ms")
print(f"ratio: {theirs / ours:.1f} x faster")
PY

# --- 2. memory ------------------------------------------------------------------
# The folder's files copied over and over until there are $copies of them.
mkdir "$work/batch"
files=("$folder"/*.bin)
for ((i = 0; i < copies; i++)); do
  cp "${files[i % ${#files[@]}]}" "$work/batch/$(printf '%05d' "$i").bin"
done
echo "memory of one run over $copies files (peak resident size):"
for format in text json junit; do
  start=$(date +%s.%N)
  /usr/bin/time -f '%M' -o "$work/rss" "$cli" analyse --format "$format" "$work/batch" \
    >"$work/out" 2>/dev/null || true
  end=$(date +%s.%N)
  printf '  --format %-5s %6.1f MB  %8.1f MB written  %5.2f s\n' "$format" \
    "$(awk 'END { print $1 / 1024 }' "$work/rss")" \
    "$(stat -c %s "$work/out" | awk '{print $1 / 1048576}')" \
    "$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')"
done
