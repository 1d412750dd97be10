#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite, then the tests against a real
# shop (scripts/real-shop-test.sh), then the Windows edition's tests under Wine
# (scripts/test-windows.sh, a cross build of its own in build-windows), then
# each fuzz target briefly (scripts/fuzz.sh, a clang build of its own in
# build-fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" --timeout 900 -LE realshop
# The tests against a real shop (the one of WOO_URL, or ../shared/real-shop's).
bash scripts/real-shop-test.sh
bash scripts/test-windows.sh
bash scripts/fuzz.sh 15
