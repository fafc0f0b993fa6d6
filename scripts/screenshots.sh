#!/usr/bin/env bash
# Renders every window on a copy of the demo installation into docs/*.png.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default --target velox_ui_tests
QT_QPA_PLATFORM=offscreen VELOX_SCREENSHOT_DIR="$root/docs" \
  build/default/tests/velox_ui_tests --gtest_filter='*Screenshot*'
