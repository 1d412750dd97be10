#!/usr/bin/env bash
# Sets up, builds and runs the main job on the embedded defaults: one
# catalogue pass and one order pass of the service against a fresh embedded
# demo database and the stand-in shop on loopback.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
BUILD_DIR="${BUILD_DIR:-build}"

work="$(mktemp -d)"
shop_pid=""
cleanup() {
  [ -n "$shop_pid" ] && kill "$shop_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$work/run"

"$BUILD_DIR/tools/posdb/posdb" init "$work/POS.DB" --demo
"$BUILD_DIR/tools/shop-standin/shop-standin" --port 0 --key ck_demo --secret cs_demo > "$work/shop.log" &
shop_pid=$!
for _ in $(seq 100); do grep -q '^listening on ' "$work/shop.log" 2>/dev/null && break; sleep 0.1; done
origin="$(sed -n 's/^listening on //p' "$work/shop.log" | head -1)"
[ -n "$origin" ] || { echo "The stand-in shop did not start" >&2; exit 1; }

cat > "$work/OnlineService.ini" <<INI
[ApiConfig]
ServerName=(EMBEDDED)
DatabaseName=POS.DB
Url=$origin/wp-json/wc/v3
Key=ck_demo
Secret=cs_demo
PrinterName=N/A
WarehouseCode=1
Desc1=1
Debug=1
INI

echo "== online-order-adaptor --once (activity log) =="
XDG_RUNTIME_DIR="$work/run" "$BUILD_DIR/src/app/online-order-adaptor" --once --config "$work/OnlineService.ini"
