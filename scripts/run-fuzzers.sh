#!/usr/bin/env bash
# Runs each libFuzzer target for a bounded time, seeded with the real EDIDs.
# Usage: scripts/run-fuzzers.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
build=build/fuzz

for target in fuzz_analyser fuzz_eeprom_faults fuzz_extension_block fuzz_file_readers fuzz_page_edits fuzz_whole_images; do
  work=$(mktemp -d)
  cp tests/data/corpus/edid/*.bin "$work"/
  echo "== $target for ${seconds}s"
  "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$build/$target-" "$work" 2>&1 | tail -n 12
  rm -rf "$work"
done
