#!/usr/bin/env bash
# Builds the configurator, stages a fresh copy of the demo installation beside it
# under the build tree, and opens the configurator there (that folder being both
# its own folder and the current directory). The demo in the repository is never modified.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

scripts/setup.sh
cmake --preset default >/dev/null
cmake --build --preset default --target velox-configurator

stage="$root/build/default/demo-run"
rm -rf "$stage"
mkdir -p "$stage"
cp -a demo/. "$stage/"
cp build/default/velox-configurator "$stage/"
echo "Demo installation: $stage"

cd "$stage"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running on a virtual X display (Xvfb). Stop it with Ctrl+C."
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ./velox-configurator "$@"
fi
exec ./velox-configurator "$@"
