#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite, then the tests against a real
# shop (scripts/real-shop-test.sh), then the Windows edition under Wine (a
# cross build of its own in build-windows): its tests (scripts/test-windows.sh),
# the end-to-end story against the Linux edition's, embedded and over ODBC
# (scripts/story-windows.sh), its SQL Server session through Wine's odbc32
# (scripts/test-wine-odbc.sh) and its installer (scripts/test-installer.sh);
# then each fuzz target briefly (scripts/fuzz.sh, a clang build of its own in
# build-fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" --timeout 900 -LE realshop
# The tests against a real shop (the one of WOO_URL, or ../shared/real-shop's).
bash scripts/real-shop-test.sh
bash scripts/test-windows.sh
bash scripts/story-windows.sh
bash scripts/test-wine-odbc.sh
bash scripts/test-installer.sh
bash scripts/fuzz.sh 15
