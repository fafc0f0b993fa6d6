#!/usr/bin/env bash
# Renders every window on a copy of the demo installation into docs/*.png, and
# again at twice the size (QT_SCALE_FACTOR=2, as on a high-density screen) into
# docs/scaled/*.png, to see that nothing is clipped or overlaps when scaled.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
cmake --preset default >/dev/null
cmake --build --preset default --target velox_screenshots
mkdir -p docs/scaled
QT_QPA_PLATFORM=offscreen build/default/velox_screenshots "$root/docs"
QT_QPA_PLATFORM=offscreen QT_SCALE_FACTOR=2 build/default/velox_screenshots "$root/docs/scaled"
