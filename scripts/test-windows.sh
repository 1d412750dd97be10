#!/usr/bin/env bash
# The Windows edition's tests, on this Debian machine: builds it
# (scripts/build-windows.sh) and runs, under Wine, the test programs that
# pass there today: the settings, clock, text and lock code (test_config) and
# the embedded database engine (test_tsql). The other test programs build
# (so they keep compiling) and run by hand:
#   ctest --test-dir build-windows -R <name>     (they start the Linux build's
#                                                 stand-ins: build it first)
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEDEBUG="${WINEDEBUG:--all}"
BUILD="${WINDOWS_BUILD_DIR:-build-windows}"
bash scripts/build-windows.sh
# A new Wine prefix is made once, before any test starts.
wineboot -i >/dev/null 2>&1 || true
status=0
for t in test_config test_tsql; do
  exe="$(find "$BUILD/tests" -name "$t.exe" | head -1)"
  echo "== $t under Wine"
  timeout 600 wine "$exe" --gtest_brief=1 || { echo "$t failed under Wine" >&2; status=1; }
done
wineserver -k 2>/dev/null || true
exit "$status"
