#!/usr/bin/env bash
# Writes a picture of every page of the editor (and of its dialogs) into a
# folder, rendered headless, for a person to look at.
# Usage: scripts/page-pictures.sh [folder]   (default build/pages)
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build/pages}
mkdir -p "$folder"
PELLAM_SCREENSHOT_DIR="$(cd "$folder" && pwd)" QT_QPA_PLATFORM=offscreen \
  build/default/tests/pellam_gui_tests --gtest_filter='*PagePictures*' >/dev/null
ls "$folder"
