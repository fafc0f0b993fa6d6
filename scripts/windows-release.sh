#!/usr/bin/env bash
# Makes the Windows release, build/windows-cross/velox-configurator-<version>-windows-x86_64.zip
# (velox-configurator.exe, static; README.txt), then checks it: unpacks it
# into a fresh copy of the demo installation, starts it under Wine on a virtual
# display with Qt's windows platform, opens "Configure Velox HLE" from the keyboard
# and takes a screenshot of the screen.
# Usage: scripts/windows-release.sh [screenshot.png]   (default: build/windows-cross/windows-launcher.png)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
build="$root/build/windows-cross"
shot="$(realpath -m "${1:-$build/windows-launcher.png}")"

scripts/setup.sh
sdk="$(scripts/windows-sdk.sh)"
export VELOX_WINDOWS_SDK="$sdk"
cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross --target velox_release_zip
zip="$(ls "$build"/velox-configurator-*-windows-x86_64.zip)"
echo "Release: $zip"
unzip -l "$zip"
# Nothing beside it: no Qt, C++ runtime, threads or SDL DLL may be imported, and
# the pad is read through winmm as the emulator reads it.
imports="$(x86_64-w64-mingw32-objdump -p "$build/velox-configurator.exe")"
if grep -iE 'DLL Name: *(qt6|libstdc|libgcc|libwinpthread|sdl2)' <<<"$imports" || ! grep -q joyGetPosEx <<<"$imports" ||
   [ "$(unzip -Z1 "$zip" | sort | tr '\n' ' ')" != "README.txt velox-configurator.exe " ]; then
  echo "velox-configurator.exe needs DLLs that are not in the release, or the release holds more than it and README.txt" >&2
  exit 1
fi

check="$build/release-check"
rm -rf "$check" && mkdir -p "$check"
export WINEPREFIX="$check/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
unset QT_QPA_PLATFORM
wine=/usr/lib/wine/wine64
"$wine" wineboot --init >/dev/null 2>&1
# Wine's desktop process started without a display would keep the program off the screen.
/usr/lib/wine/wineserver64 -k 2>/dev/null || true

# The demo installation where a player would have it: C:\Jeux vidéo\Velox.
install="$WINEPREFIX/drive_c/Jeux vidéo/Velox"
mkdir -p "$install"
cp -a demo/. "$install/"
unzip -q "$zip" -d "$install"
ln -sfn "$install" "$check/Velox"

cat >"$check/show.sh" <<'SHOW'
#!/usr/bin/env bash
# Runs on the virtual display: start, wait for the launcher, open the settings, take the picture.
set -euo pipefail
cd "$(realpath "$1/Velox")"
"$2" velox-configurator.exe >"$1/program.log" 2>&1 &
program=$!
waitfor() {  # a top-level window whose name holds the caption, within two minutes
  for _ in $(seq 600); do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n1 || true)"
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.2
  done
  return 1
}
caption="$4"
launcher="$(waitfor "$caption")" || { echo "the launcher never showed" >&2; exit 1; }
xdotool windowmove "$launcher" 20 20
# "Configure Velox HLE" is the third button: Tab there from the first, Space presses it.
xdotool windowactivate --sync "$launcher" 2>/dev/null || xdotool windowfocus "$launcher"
count="$(xdotool search --onlyvisible --name "$caption" | wc -l)"
xdotool key --window "$launcher" Tab Tab space
for _ in $(seq 300); do
  [ "$(xdotool search --onlyvisible --name "$caption" | wc -l)" -gt "$count" ] && break
  sleep 0.2
done
settings="$(xdotool search --onlyvisible --name "$caption" | grep -vx "$launcher" | tail -n1 || true)"
[ -n "$settings" ] && xdotool windowmove "$settings" 440 20
sleep 2  # let both windows finish painting before the picture: not a test, a photograph
import -window root "$3"
kill "$program" 2>/dev/null || true
SHOW
chmod +x "$check/show.sh"
# Every window's caption, with the version the build was configured with.
caption="Velox Configurator v$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")"
xvfb-run -a -s "-screen 0 1000x420x24" "$check/show.sh" "$check" "$wine" "$shot" "$caption"
/usr/lib/wine/wineserver64 -k 2>/dev/null || true
echo "Screenshot: $shot"
