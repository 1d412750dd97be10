#!/usr/bin/env bash
# The end-to-end story of the Windows edition under Wine, checked against the
# Linux edition: scripts/demo.sh runs twice on the same stand-ins (the shop
# and the printer, programs of this machine on loopback), once with the Linux
# programs and once with posdb.exe and online-order-adaptor.exe under Wine.
# The Windows edition then runs a second time with the POS database behind
# `posdb serve` (the Linux build's), reached as a shop's SQL Server is: through
# Wine's odbc32, the host's unixODBC and its FreeTDS driver.
# Every run must write the same POS rows and print the same receipt bytes as
# the Linux one; only the moments (dates and times, which differ between the
# runs) are masked before comparing. Needs both builds: ./build and
# ./build-windows, and FreeTDS's ODBC driver (Debian tdsodbc).
# Output: ./story-output (or $STORY_OUT), with the demo folders and the
# differences when there are any. Exit status 0 when all agree.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT="$(pwd)"
LINUX_BUILD="${BUILD_DIR:-build}"
WIN_BUILD="${WINDOWS_BUILD_DIR:-build-windows}"
OUT="${STORY_OUT:-story-output}"
export WINEDEBUG="${WINEDEBUG:--all}"
for f in "$LINUX_BUILD/tools/posdb/posdb" "$WIN_BUILD/tools/posdb/posdb.exe" "$WIN_BUILD/src/app/online-order-adaptor.exe"; do
  [ -x "$f" ] || [ -f "$f" ] || { echo "story-windows: $f is missing (build both editions first)" >&2; exit 1; }
done
rm -rf "$OUT"
mkdir -p "$OUT/bin"
OUT="$(cd "$OUT" && pwd)"

# The Windows programs, each behind a wrapper that runs it under Wine.
for p in tools/posdb/posdb src/app/online-order-adaptor; do
  printf '#!/bin/sh\nexec wine "%s" "$@"\n' "$ROOT/$WIN_BUILD/$p.exe" > "$OUT/bin/$(basename "$p")"
  chmod +x "$OUT/bin/$(basename "$p")"
done
wineboot -i >/dev/null 2>&1 || true

echo "==== The Linux edition ===="
DEMO_SKIP_BUILD=1 DEMO_HEADLESS=1 DEMO_OUT="$OUT/linux" BUILD_DIR="$LINUX_BUILD" bash scripts/demo.sh
echo
# windows_demo NAME [VAR=VALUE...]: the demo with posdb.exe and the service
# under Wine, into $OUT/NAME.
windows_demo() {
  local name="$1"
  shift
  env "$@" DEMO_SKIP_BUILD=1 DEMO_HEADLESS=1 DEMO_OUT="$OUT/$name" BUILD_DIR="$LINUX_BUILD" \
    DEMO_POSDB="$OUT/bin/posdb" DEMO_SERVICE="$OUT/bin/online-order-adaptor" bash scripts/demo.sh
}
echo "==== The Windows edition, under Wine ===="
windows_demo windows
echo
echo "==== The Windows edition, under Wine, over ODBC (odbc32, FreeTDS, posdb serve) ===="
windows_demo windows-odbc DEMO_POS_SERVER=1
grep -q '^ServerName=127\.0\.0\.1,' "$OUT/windows-odbc/OnlineService.ini" ||
  { echo "story-windows: the ODBC run did not name a server" >&2; exit 1; }

# The POS rows the service writes, read with the Linux posdb from each file.
# Moments are masked: YYYY-MM-DD[ hh:mm[:ss[.fff]]] and hh:mm[:ss].
mask() { sed -E 's/[0-9]{4}-[0-9]{2}-[0-9]{2}([ T][0-9]{2}:[0-9]{2}(:[0-9]{2}(\.[0-9]+)?)?)?/<moment>/g'; }
TABLES=(InvoiceHead InvoiceItem RecvAcct Payment Customer Product ProductExtend ProductFamily Category OnlineSyncLog)
dump() {
  local db="$1" t
  for t in "${TABLES[@]}"; do
    echo "== $t"
    "$LINUX_BUILD/tools/posdb/posdb" exec "$db" -Q "Select * From $t" 2>&1 | LC_ALL=C sort | mask
  done
}
# The receipts: the printer's bytes, with the printed moments masked (the
# receipt prints dates as dd/mm/yyyy and times as hh:mm[:ss]).
mask_bytes() { LC_ALL=C sed -E 's#[0-9]{2}/[0-9]{2}/[0-9]{4}#<date>#g; s#[0-9]{2}:[0-9]{2}(:[0-9]{2})?#<time>#g' "$1"; }

dump "$OUT/linux/POS.DB" > "$OUT/linux-rows.txt"
# Each table's dump has its column names on one line besides its rows.
rows=$(( $(grep -vc '^== ' "$OUT/linux-rows.txt" || true) - ${#TABLES[@]} ))
linux_receipts=("$OUT"/linux/receipts/*.bin)
status=0
# compare RUN: the run's rows and receipts against the Linux run's.
compare() {
  local run="$1" run_status=0 same=0 bin name other
  dump "$OUT/$run/POS.DB" > "$OUT/$run-rows.txt"
  if ! diff -u "$OUT/linux-rows.txt" "$OUT/$run-rows.txt" > "$OUT/$run-rows.diff"; then
    echo "story-windows: the POS rows of $run differ ($OUT/$run-rows.diff):" >&2
    head -40 "$OUT/$run-rows.diff" >&2
    run_status=1
  fi
  local receipts=("$OUT/$run"/receipts/*.bin)
  if [ "${#linux_receipts[@]}" -ne "${#receipts[@]}" ]; then
    echo "story-windows: ${#linux_receipts[@]} receipts on Linux, ${#receipts[@]} in $run" >&2
    run_status=1
  fi
  for bin in "${linux_receipts[@]}"; do
    name="$(basename "$bin")"
    other="$OUT/$run/receipts/$name"
    if [ ! -f "$other" ] || ! cmp -s <(mask_bytes "$bin") <(mask_bytes "$other"); then
      echo "story-windows: receipt $name of $run differs" >&2
      cmp <(mask_bytes "$bin") <(mask_bytes "$other") >&2 || true
      run_status=1
    else
      same=$((same + 1))
    fi
  done
  if [ "$run_status" -eq 0 ]; then
    echo "story-windows: $run has the same $rows POS rows (${#TABLES[@]} tables) and the same bytes of $same receipts as Linux"
  else
    status=1
  fi
}
compare windows
compare windows-odbc
exit "$status"
