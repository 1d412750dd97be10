#!/usr/bin/env bash
# The whole product in one go: sets up, builds, creates an embedded POS
# database with the demo shop, starts the stand-in shop seeded with sample
# orders (scripts/demo/orders.json) and the printer stand-in, and runs the
# service three times (--once: one catalogue pass and one order pass each; in
# the main window when there is a display, headless otherwise or with
# DEMO_HEADLESS=1): first it uploads the catalogue and imports the orders, then one order
# is cancelled and another refunded in two steps in the shop, and the next
# runs book them as credit notes. It ends with a summary of what reached the
# shop, the invoices and credit notes written and the receipt previews.
#
# Everything it keeps goes to ./demo-output (or $DEMO_OUT): the build log, the
# POS database, the settings file, the activity log of each run, the shop's
# final state and the receipts (raw printer bytes, text and PNG). It leaves
# nothing running.
# DEMO_SKIP_BUILD=1 skips setup and build and uses what $BUILD_DIR holds.
# DEMO_POSDB and DEMO_SERVICE name other posdb and service programs to run
# (scripts/story-windows.sh runs the Windows edition's under Wine that way).
# DEMO_POS_SERVER=1 has the service reach the POS database as it reaches a
# shop's SQL Server: over ODBC (FreeTDS) to `posdb serve` on the same file.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
OUT="${DEMO_OUT:-demo-output}"
mkdir -p "$OUT"
if [ -z "${DEMO_SKIP_BUILD:-}" ]; then
  bash scripts/setup.sh
  # The compiler's output goes to a file; the screen shows the progress.
  echo "== Building into $BUILD_DIR (log: $OUT/build.log) =="
  if ! bash scripts/build.sh 2>&1 | tee "$OUT/build.log" | awk -F'[][/]' '/^\[[0-9]+\/[0-9]+\]/ {
         p = int($2 * 10 / $3); if (p > done) { done = p; printf "  %d%%\n", p * 10; fflush() } }'; then
    echo "The build failed; the end of $OUT/build.log:" >&2
    tail -30 "$OUT/build.log" >&2
    exit 1
  fi
fi
POSDB="${DEMO_POSDB:-$BUILD_DIR/tools/posdb/posdb}"
SERVICE="${DEMO_SERVICE:-$BUILD_DIR/src/app/online-order-adaptor}"
DEMO=scripts/demo

work="$(mktemp -d)"
shop_pid=""
printer_pid=""
server_pid=""
stop() {  # stops one background tool by its id and waits for it to end
  [ -n "$1" ] || return 0
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
cleanup() {
  stop "$shop_pid"
  stop "$printer_pid"
  stop "$server_pid"
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# Only what an earlier demo left there is removed from the output folder.
rm -rf "$OUT/receipts" "$OUT"/window-* "$OUT/POS.DB" "$OUT/POS.DB-wal" "$OUT/POS.DB-shm" "$OUT/OnlineService.ini" \
  "$OUT/shop-state.json" "$OUT"/activity-*.log
mkdir -p "$OUT/receipts"
mkdir -m 700 "$work/run" "$work/jobs"

# Waits for a tool's "listening on ADDRESS" line in its log and prints ADDRESS.
listening_on() {
  for _ in $(seq 100); do grep -q '^listening on ' "$1" 2>/dev/null && break; sleep 0.1; done
  sed -n 's/^listening on //p' "$1" | head -1
}

# Sends a JSON body from standard input to an admin route of the stand-in shop.
admin() {
  curl -sS --fail-with-body -X POST -H 'Content-Type: application/json' --data-binary @- \
    "$origin/standin/$1" > "$work/admin.json" ||
    { echo "The stand-in shop refused POST /standin/$1: $(cat "$work/admin.json")" >&2; exit 1; }
}

# Makes a refund of an order from a file whose lines name products by SKU: each
# line is tied to the order's line of that SKU, as the shop's refund form does.
refund() {
  local order
  order="$(curl -sS "$origin/standin/state" | jq --argjson id "$1" '.orders[] | select(.id == $id)')"
  jq --argjson order "$order" \
    '.line_items |= map(.sku as $sku | {line_item_id: ($order.line_items[] | select(.sku == $sku) | .id),
                                        quantity: .quantity})' "$2" | admin "orders/$1/refunds"
  echo "  refund of order $1: $(jq -r '.amount' "$work/admin.json") (\"$(jq -r '.reason' "$work/admin.json")\")"
}

# Lines up tab-separated columns (posdb's output), indented by two spaces.
aligned() {
  awk -F'\t' '{ for (i = 1; i <= NF; i++) { cell[NR, i] = $i; if (length($i) > w[i]) w[i] = length($i) }
                 if (NF > n) n = NF }
               END { for (r = 1; r <= NR; r++) { line = " "
                       for (i = 1; i <= n; i++) line = line sprintf(" %-*s", w[i], cell[r, i])
                       sub(/ +$/, "", line); print line } }'
}

failed_runs=0
run=0
# One run of the service: a catalogue pass and an order pass, then it exits.
run_service() {
  run=$((run + 1))
  local log="$OUT/activity-$run.log" status=0
  echo "== Run $run: online-order-adaptor --once ($1) =="
  local shown=()
  [ ${#window_args[@]} -eq 0 ] || shown=("${window_args[@]}" --screenshot "$OUT/window-$run")
  XDG_RUNTIME_DIR="$work/run" "$SERVICE" --once ${shown[@]+"${shown[@]}"} --config "$OUT/OnlineService.ini" \
    > "$log" 2>&1 || status=$?
  # The order pass's own lines tell what happened to each order.
  awk '/^Start Sync orders/ { on = 1 } on && /Pending Orders|^Order ID: | \|- /' "$log" | sed 's/^/  /'
  if [ "$status" -ne 0 ]; then
    failed_runs=$((failed_runs + 1))
    echo "  the run ended with status $status:"
    tail -5 "$log" | sed 's/^/    /'
  fi
  echo "  (activity log: $log)"
}

echo "== POS database: posdb init --demo =="
"$POSDB" init "$OUT/POS.DB" --demo
echo "  $OUT/POS.DB"
server_name="(EMBEDDED)"
database_name="POS.DB"
if [ -n "${DEMO_POS_SERVER:-}" ]; then
  "$BUILD_DIR/tools/posdb/posdb" serve "$OUT/POS.DB" --port 0 > "$work/posdb-serve.log" 2>&1 &
  server_pid=$!
  address="$(listening_on "$work/posdb-serve.log")"
  [ -n "$address" ] || { echo "posdb serve did not start:" >&2; cat "$work/posdb-serve.log" >&2; exit 1; }
  # SQL Server names a port after a comma.
  server_name="${address%:*},${address##*:}"
  database_name="POS"
  echo "== POS database served as a SQL Server at $server_name (posdb serve, reached over ODBC) =="
fi

# The orders were placed over the last hour, five minutes apart, and not
# touched since: a later run asks only for what changed after the one before.
jq 'now as $now | to_entries | map(((($now - 3600 + .key * 300) | floor | strftime("%Y-%m-%dT%H:%M:%S")) as $t
  | .value + {date_created_gmt: $t, date_modified_gmt: $t}))' "$DEMO/orders.json" > "$work/orders.json"
"$BUILD_DIR/tools/shop-standin/shop-standin" --port 0 --key ck_demo --secret cs_demo \
  --seed "$work/orders.json" > "$work/shop.log" 2>&1 &
shop_pid=$!
origin="$(listening_on "$work/shop.log")"
[ -n "$origin" ] || { echo "The stand-in shop did not start:" >&2; cat "$work/shop.log" >&2; exit 1; }
echo "== Stand-in shop at $origin with $(jq length "$DEMO/orders.json") orders =="
curl -sS "$origin/standin/state" | jq -r '.orders[] |
  "  order \(.id): \(.status), \(if .meta_data[0].value.memberCode != "" then "member " + .meta_data[0].value.memberCode
  else "guest" end), \(if .shipping_lines[0].method_id == "local_pickup" then "pickup" else "delivery" end), total \(.total)"'

"$BUILD_DIR/tools/printer-standin/printer-standin" --port 0 --out "$work/jobs" --idle-timeout 5000 \
  > "$work/printer.log" 2>&1 &
printer_pid=$!
printer="$(listening_on "$work/printer.log")"
[ -n "$printer" ] || { echo "The printer stand-in did not start:" >&2; cat "$work/printer.log" >&2; exit 1; }
echo "== Printer stand-in at $printer =="

# The settings file holds the shop's secret: readable by its owner only. The
# languages: names in English (Desc1), Description1 in Simplified Chinese
# (Desc2) and Description2 in Traditional Chinese (Desc3), as the demo rows are.
# The receipts print the English and the Simplified Chinese names: in GBK.
(umask 077; cat > "$OUT/OnlineService.ini" <<INI
[ApiConfig]
ServerName=$server_name
DatabaseName=$database_name
Url=$origin/wp-json/wc/v3
Key=ck_demo
Secret=cs_demo
PrinterName=socket://$printer
WarehouseCode=1
Desc1=1
Desc2=2
Desc3=3
Debug=1

[Receipt]
CodePage=GBK
INI
)

# With a display each run shows the main window while its passes run; the
# window closes by itself and is kept as a picture. Without one it runs headless.
window_args=()
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${DEMO_HEADLESS:-}" ]; then
  window_args=(--show-window)
  echo "(A display is there: each run shows the main window, kept as $OUT/window-N/main-window.png.)"
fi
run_service "catalogue upload, new orders"

echo "== In the shop: order 5005 is cancelled, order 5006 gets a first refund =="
echo '{"status": "cancelled"}' | admin orders/5005/status
echo "  order 5005: $(jq -r .status "$work/admin.json")"
refund 5006 "$DEMO/refund-1.json"
run_service "the cancellation and the first refund"

echo "== In the shop: order 5006 gets its second refund =="
refund 5006 "$DEMO/refund-2.json"
run_service "the second refund"

# Stopping the printer stand-in ends the jobs in progress, so every job file is whole.
stop "$printer_pid"
printer_pid=""
curl -sS "$origin/standin/state" > "$OUT/shop-state.json"
stop "$shop_pid"
shop_pid=""
stop "$server_pid"
server_pid=""

receipts=()
for job in "$work"/jobs/job-*.bin; do
  [ -e "$job" ] || continue
  name="$(basename "$job" .bin)"
  name="receipt-${name#job-}"
  cp "$job" "$OUT/receipts/$name.bin"
  "$BUILD_DIR/tools/escpos-view/escpos-view" "$job" --codepage GBK --png "$OUT/receipts/$name.png" \
    > "$OUT/receipts/$name.txt" ||
    echo "escpos-view could not read $job" >&2
  receipts+=("$name")
done

echo
echo "================================ Summary ================================"
echo "Reached the shop:"
jq -r '
  def count(list): (list | length) as $all | ([list[] | select((.translation_of // "") != "" and .translation_of != 0)]
    | length) as $tr | "\($all)" + (if $tr > 0 then " (\($all - $tr) + \($tr) translations)" else "" end);
  "  categories: \(count(.categories))",
  "  products:   \(count(.products))",
  "  variations: \(.variations | length)",
  "  orders:     \([.orders[] | .status] | group_by(.) | map("\(length) \(.[0])") | join(", "))"' "$OUT/shop-state.json"
echo
echo "Invoices written (POS database $OUT/POS.DB):"
"$POSDB" exec "$OUT/POS.DB" -Q "Select InvoiceNo, OnlineOrderId As OrderId, CustomerCode, Amount, GST, Freight, PaidAmount
  From InvoiceHead Where KindFlag=6 Order By InvoiceNo" | aligned
echo
echo "Credit notes written:"
"$POSDB" exec "$OUT/POS.DB" -Q "Select InvoiceNo, ReferenceNo As Credits, OnlineOrderId As RefundId, Amount, GST
  From InvoiceHead Where KindFlag=5 Order By InvoiceNo" | aligned
echo
echo "Receipts printed: ${#receipts[@]} (previews in $OUT/receipts/)"
for name in "${receipts[@]}"; do
  invoice="$(grep -o -m1 -E '\b[A-Z]{1,3}[0-9]{8}\b' "$OUT/receipts/$name.txt" || true)"
  echo "  $OUT/receipts/$name.png${invoice:+  (invoice $invoice)}"
done
windows=("$OUT"/window-*/main-window.png)
if [ -e "${windows[0]}" ]; then
  echo "The main window at the end of each run:"
  printf '  %s\n' "${windows[@]}"
fi
if [ "$failed_runs" -gt 0 ]; then
  echo
  echo "$failed_runs of $run runs of the service did not end cleanly; see the activity logs in $OUT."
  exit 1
fi
