#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j"$(nproc)" --timeout 900
