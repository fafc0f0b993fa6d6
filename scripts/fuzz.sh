#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan, UBSan) and runs each for the given
# number of seconds (default 60), seeded from the demo installation.
# Usage: scripts/fuzz.sh [seconds] [target-name-filter]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
seconds="${1:-60}"
filter="${2:-}"

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

seeds="$root/build/fuzz/seeds"
rm -rf "$seeds" && mkdir -p "$seeds"
find demo -type f \( -name '*.ini' -o -name '*.cfg' \) -exec cp {} "$seeds/" \;
cp fuzz/seeds/* "$seeds/"

for target in build/fuzz/fuzz/fuzz_*; do
  name="$(basename "$target")"
  [ -x "$target" ] || continue
  [[ -z "$filter" || "$name" == *"$filter"* ]] || continue
  corpus="$root/build/fuzz/corpus/$name"
  mkdir -p "$corpus"
  echo "-- $name for ${seconds}s"
  log="$root/build/fuzz/$name.log"
  status=0
  (cd "$root/build/fuzz" && "$root/$target" -max_total_time="$seconds" -max_len=65536 -timeout=10 \
    -rss_limit_mb=2048 -print_final_stats=1 "$corpus" "$seeds") >"$log" 2>&1 || status=$?
  grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb|ERROR|SUMMARY' "$log" || true
  if [ "$status" -ne 0 ]; then
    echo "$name failed (exit $status); see $log and the crash-* file in build/fuzz"
    exit 1
  fi
done
