#!/usr/bin/env bash
# Writes a picture of every page of the editor (and of its dialogs) into a
# folder, rendered headless, for a person to look at: once with the default
# Chinese texts into <folder>/zh, once in English into <folder>/en.
# Usage: scripts/page-pictures.sh [folder]   (default build/pages)
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build/pages}
for lang in zh en; do
  mkdir -p "$folder/$lang"
  PELLAM_SCREENSHOT_DIR="$(cd "$folder/$lang" && pwd)" PELLAM_SCREENSHOT_LANG=$lang \
    QT_QPA_PLATFORM=offscreen \
    build/default/tests/pellam_gui_tests --gtest_filter='*PagePictures*' >/dev/null
  echo "$folder/$lang:"
  ls "$folder/$lang"
done
