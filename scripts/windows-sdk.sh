#!/usr/bin/env bash
# Finds Qt and SDL built for Windows (MinGW-w64) and prints their folder.
#   1. $VELOX_WINDOWS_SDK, when set: a folder the user points to;
#   2. the archive in ../shared/windows-sdk/ beside the repository, unpacked into
#      ${XDG_CACHE_HOME:-~/.cache}/velox/windows-sdk, again only when the archive changed;
#   3. one built into that same cache by scripts/build-windows-sdk.sh.
# With none of them it says in one line how to get one and exits 1.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
archive="$root/../shared/windows-sdk/qt6.4.2-sdl2.26.5-mingw64-static.tar.xz"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/velox"
target="$cache/windows-sdk"
usable() { [ -f "$1/lib/cmake/Qt6/Qt6Config.cmake" ] && [ -f "$1/bin/SDL2.dll" ]; }

if [ -n "${VELOX_WINDOWS_SDK:-}" ]; then
  if usable "$VELOX_WINDOWS_SDK"; then echo "$VELOX_WINDOWS_SDK"; exit 0; fi
  echo "VELOX_WINDOWS_SDK=$VELOX_WINDOWS_SDK holds no Qt and SDL for Windows" >&2
  exit 1
fi

if [ -f "$archive" ]; then
  stamp="$(stat -c '%s %Y' "$archive") $(basename "$archive")"
  if ! usable "$target" || [ "$(cat "$target.stamp" 2>/dev/null)" != "$stamp" ]; then
    echo "Unpacking $(basename "$archive") into $target" >&2
    mkdir -p "$cache"
    fresh="$(mktemp -d "$cache/windows-sdk.unpack.XXXXXX")"
    tar -C "$fresh" -xJf "$archive"
    # Swap whole folders, so that a build never sees half an SDK.
    old="$cache/windows-sdk.old.$$"
    [ -e "$target" ] && mv "$target" "$old"
    mv "$fresh/windows-sdk" "$target"
    rm -rf "$fresh" "$old"
    echo "$stamp" >"$target.stamp"
  fi
  echo "$target"
  exit 0
fi

if usable "$target"; then echo "$target"; exit 0; fi

echo "no Qt and SDL for Windows: put the archive in ../shared/windows-sdk/, set VELOX_WINDOWS_SDK, or build them with scripts/build-windows-sdk.sh $target (about 35 minutes)" >&2
exit 1
