#!/usr/bin/env bash
# Renders every window on a copy of the demo installation into docs/*.png, and
# again at twice the size (QT_SCALE_FACTOR=2, as on a high-density screen) into
# docs/scaled/*.png, to see that nothing is clipped or overlaps when scaled.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default --target velox_ui_tests
mkdir -p docs/scaled
QT_QPA_PLATFORM=offscreen VELOX_SCREENSHOT_DIR="$root/docs" \
  build/default/tests/velox_ui_tests --gtest_filter='*Screenshot*'
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 VELOX_SCREENSHOT_DIR="$root/docs/scaled" \
  build/default/tests/velox_ui_tests --gtest_filter='*Screenshot*'
