#!/usr/bin/env bash
# Takes the pictures of the main window, its problems list and the settings
# dialog shown in the README (docs/main-window.png,
# docs/main-window-problems.png, docs/settings-dialog.png) on a virtual X
# display, with the service started on a fresh embedded demo database. The
# problems list holds entries of each kind as the service writes them (a
# receipt the printer did not take, an order with bad data, a product the
# shop refused).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
OUT_DIR="${OUT_DIR:-docs}"

cmake --build "$BUILD_DIR" --target online-order-adaptor
cmake --build "$BUILD_DIR" --target posdb 2>/dev/null || true

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/run"
if [ -x "$BUILD_DIR/tools/posdb/posdb" ]; then
  "$BUILD_DIR/tools/posdb/posdb" init "$work/POS.DB" --demo >/dev/null
else
  echo "posdb is not built: the pictures show a failed connection" >&2
fi
# The settings and the problems list the pictures show (the Windows
# edition's pictures use the same). Settings files hold the API secret:
# owner only, as the program writes them.
(umask 077; cp scripts/demo/screens.ini "$work/OnlineService.ini")
cp scripts/demo/screens-problems.json "$work/OnlineService.state"

XDG_RUNTIME_DIR="$work/run" xvfb-run -a -s "-screen 0 1024x768x24" \
  "$BUILD_DIR/src/app/online-order-adaptor" --config "$work/OnlineService.ini" --screenshot "$OUT_DIR"
echo "Wrote $OUT_DIR/main-window.png, $OUT_DIR/main-window-problems.png and $OUT_DIR/settings-dialog.png"
