#!/usr/bin/env bash
# Measures the desktop program against the minimal Qt Widgets program built
# from the same tree, in the same run, on a virtual X display:
#   - time from start to the launcher window mapped (median of ROUNDS),
#   - peak memory (VmHWM) once the window is up and settled (median),
#   - CPU used while idle for 10 s with every window open, the gamepad dialog included.
# Usage: bench/measure-desktop.sh [rounds]   (default 7)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
rounds="${1:-7}"

cmake --preset default >/dev/null
cmake --build --preset default --target velox-configurator velox_minimal_qt velox_window_waiter velox_desktop_probe >/dev/null
bin="$root/build/default"
caption="Velox Configurator v$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$bin/CMakeCache.txt")"

stage="$bin/measure-run"
rm -rf "$stage" && mkdir -p "$stage" && cp -a demo/. "$stage/" && cp "$bin/velox-configurator" "$bin/bench/velox_desktop_probe" "$stage/"

# A display of our own: Xvfb picks a free number and tells it through a file.
displayfile="$bin/measure-display"
: >"$displayfile"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$displayfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 100); do [ -s "$displayfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$displayfile")"

median() { sort -n | awk '{a[NR]=$1} END {print (NR%2 ? a[(NR+1)/2] : (a[NR/2]+a[NR/2+1])/2)}'; }

# One run: prints "<ms to window> <peak KiB>".
measure() {
  local title="$1"; shift
  local out pid ms
  out=$("$bin/bench/velox_window_waiter" "$title" "$@")
  pid=${out% *}; ms=${out#* }
  sleep 1  # let it settle before reading its memory
  local hwm
  hwm=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  echo "$ms $hwm"
}

declare -A start mem
for name in minimal velox; do : >"$bin/measure-$name.txt"; done
for _ in $(seq "$rounds"); do
  measure "Minimal Qt program" "$bin/bench/velox_minimal_qt" >>"$bin/measure-minimal.txt"
  (cd "$stage" && measure "$caption" ./velox-configurator) >>"$bin/measure-velox.txt"
done
for name in minimal velox; do
  start[$name]=$(cut -d' ' -f1 "$bin/measure-$name.txt" | median)
  mem[$name]=$(cut -d' ' -f2 "$bin/measure-$name.txt" | median)
done

# Idle CPU with every window open: the probe opens each dialog from the launcher.
cpu_idle() {
  local out pid t0 t1 ticks
  out=$(cd "$stage" && "$bin/bench/velox_window_waiter" "$@")
  pid=${out% *}
  sleep 2  # let every window finish opening
  t0=$(awk '{print $14+$15}' "/proc/$pid/stat")
  sleep 10
  t1=$(awk '{print $14+$15}' "/proc/$pid/stat")
  kill "$pid"; wait "$pid" 2>/dev/null || true
  ticks=$(getconf CLK_TCK)
  awk -v d=$((t1 - t0)) -v hz="$ticks" 'BEGIN {printf "%.2f", 100 * d / hz / 10}'
}
idle_velox=$(cpu_idle "$caption" ./velox_desktop_probe)
idle_minimal=$(cpu_idle "Minimal Qt program" "$bin/bench/velox_minimal_qt")

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
echo
echo "Desktop measurements, median of $rounds rounds (Xvfb, $(nproc) cores)"
printf '%-34s %12s %12s %8s\n' "" "minimal Qt" "configurator" "ratio"
printf '%-34s %12s %12s %8s\n' "start to window shown (ms)" "${start[minimal]}" "${start[velox]}" "$(ratio "${start[velox]}" "${start[minimal]}")"
printf '%-34s %12s %12s %8s\n' "peak memory (KiB)" "${mem[minimal]}" "${mem[velox]}" "$(ratio "${mem[velox]}" "${mem[minimal]}")"
printf '%-34s %12s %12s\n' "idle CPU, 10 s, every window (%)" "$idle_minimal" "$idle_velox"
