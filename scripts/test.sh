#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite, then each fuzz target briefly
# (scripts/fuzz.sh, a clang build of its own in build-fuzz).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" --timeout 900
bash scripts/fuzz.sh 15
