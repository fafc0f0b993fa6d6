#!/usr/bin/env bash
# The Windows stage: builds the program and the whole test suite for Windows with
# MinGW-w64 and runs the tests under Wine, in a fresh Wine prefix, on Qt's
# offscreen platform. Skipped, with the reason, when no Qt and SDL for Windows
# are at hand (see scripts/windows-sdk.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

echo "== Windows build, tests under Wine =="
if ! found="$(scripts/windows-sdk.sh 2>&1)"; then
  echo "Windows stage skipped: $found"
  exit 0
fi
sdk="$(tail -n1 <<<"$found")"
[ "$found" = "$sdk" ] || head -n -1 <<<"$found"
export VELOX_WINDOWS_SDK="$sdk"
started=$SECONDS
build=build/windows-cross
rm -rf "$build/wineprefix" "$build/test-results"
cmake --preset windows-cross --fresh >/dev/null
cmake --build --preset windows-cross
status=0
ctest --preset windows-cross || status=$?
# Wine's server would linger a few seconds after the last program; end it now.
WINEPREFIX="$root/$build/wineprefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true

# What ran: every test case of every shard, from GoogleTest's own reports.
shopt -s nullglob
reports=("$build"/test-results/*.xml)
total=0 skipped=0 failed=0
for r in "${reports[@]}"; do
  read -r t f < <(sed -n 's/.*<testsuites tests="\([0-9]*\)" failures="\([0-9]*\)".*/\1 \2/p' "$r" | head -n1)
  total=$((total + ${t:-0})) failed=$((failed + ${f:-0}))
  skipped=$((skipped + $(grep -c 'result="skipped"' "$r" || true)))
done
for r in "${reports[@]}"; do
  awk '/<testcase /{match($0, /name="[^"]*"/); n=substr($0, RSTART+6, RLENGTH-7); match($0, /classname="[^"]*"/); c=substr($0, RSTART+11, RLENGTH-12)}
       /<skipped message=/{match($0, /message="[^"]*"/); m=substr($0, RSTART+9, RLENGTH-10)
         sub(/^[^&]*&#x0A;/, "", m); gsub(/&#x0A;/, " ", m); gsub(/&quot;/, "\"", m); gsub(/&apos;/, "'\''", m)
         gsub(/&lt;/, "<", m); gsub(/&gt;/, ">", m); gsub(/&amp;/, "\\&", m)
         print "  skipped under Wine: " c "." n ": " m}' "$r"
done
echo "Windows stage: $total tests under Wine ($((total - skipped - failed)) passed, $skipped skipped, $failed failed) in $((SECONDS - started)) s"
exit $status
