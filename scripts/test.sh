#!/usr/bin/env bash
# Builds everything and runs every test: the suite, then the same suite under
# AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows build with
# its whole suite under Wine, then each fuzzer briefly.
# Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
export QT_QPA_PLATFORM=offscreen

scripts/setup.sh

# The launcher tests start a Windows program through Wine, in a prefix of the
# build's own, made afresh each run; its server is ended once the tests are done.
end_wine() { WINEPREFIX="$root/build/$1/wineprefix" /usr/lib/wine/wineserver64 -k 2>/dev/null || true; }

echo "== Build and test =="
rm -rf build/default/wineprefix
cmake --preset default >/dev/null
cmake --build --preset default
ctest --preset default
end_wine default

echo "== Build and test under AddressSanitizer and UndefinedBehaviorSanitizer =="
rm -rf build/asan/wineprefix
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan
end_wine asan

scripts/test-windows.sh

if [ -x scripts/fuzz.sh ]; then
  echo "== Fuzzers, briefly =="
  scripts/fuzz.sh "${VELOX_FUZZ_SECONDS:-10}"
fi
