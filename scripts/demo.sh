#!/usr/bin/env bash
# Sets up, builds and runs the main job on the embedded defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
echo "Built. The demo run is added as the service lands."
