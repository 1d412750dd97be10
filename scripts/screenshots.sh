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
# Settings files hold the API secret: owner only, as the program writes them.
(umask 077; cat > "$work/OnlineService.ini") <<'INI'
[ApiConfig]
ServerName=(EMBEDDED)
DatabaseName=POS.DB
Url=https://shop.example.com/wp-json/wc/v3
Key=ck_0123456789abcdef
Secret=cs_0123456789abcdef
PrinterName=N/A
GraphicMode=0
PrintItemBarcode=1
PrintProductCodeAsBarcode=1
OnlyPrintNumberAsBarcode=0
PrintItemLocation=0
WarehouseCode=1
Desc1=1
Desc2=2
Desc3=3
Desc4=0
INI

cat > "$work/OnlineService.state" <<'STATE'
{
    "problems": [
        {"id": "receipt:W26000004", "kind": "receipt", "order": "1004", "invoice": "W26000004",
         "reason": "Printer 192.168.1.50:9100: Connection refused",
         "firstTry": "2026-12-10 09:12:31", "lastTry": "2026-12-10 09:12:31", "dismissed": false},
        {"id": "order:1007", "kind": "order", "order": "1007",
         "reason": "Customer data error. - The member code \"M123456789012345\" has 16 characters; a POS customer code holds 15.",
         "firstTry": "2026-12-10 09:14:02", "lastTry": "2026-12-10 10:31:47", "dismissed": false},
        {"id": "product:WINE-RED", "kind": "product", "object": "WINE-RED",
         "reason": "Invalid or duplicated SKU. (product_invalid_sku)",
         "firstTry": "2026-12-10 09:11:55", "lastTry": "2026-12-10 10:31:20", "dismissed": false}
    ]
}
STATE

XDG_RUNTIME_DIR="$work/run" xvfb-run -a -s "-screen 0 1024x768x24" \
  "$BUILD_DIR/src/app/online-order-adaptor" --config "$work/OnlineService.ini" --screenshot "$OUT_DIR"
echo "Wrote $OUT_DIR/main-window.png, $OUT_DIR/main-window-problems.png and $OUT_DIR/settings-dialog.png"
