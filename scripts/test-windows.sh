#!/usr/bin/env bash
# The Windows edition's tests, on this Debian machine: builds it
# (scripts/build-windows.sh), runs the core's tests under Wine, then the
# end-to-end story against the Linux edition (scripts/story-windows.sh) and
# the installer's install and uninstall (scripts/test-installer.sh). The
# story and the tests under Wine start the Linux build's stand-ins: build the
# Linux edition first (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
export WINEDEBUG="${WINEDEBUG:--all}"
bash scripts/build-windows.sh
# A new Wine prefix is made once, before the tests start in parallel.
wineboot -i >/dev/null 2>&1 || true
ctest --test-dir "${WINDOWS_BUILD_DIR:-build-windows}" --output-on-failure -j"$(nproc)" --timeout 900
bash scripts/story-windows.sh
if [ -f scripts/test-installer.sh ]; then
  bash scripts/test-installer.sh
fi
